// One image block of an art file, decoded: a BMP file (plain, RLE4 or RLE8)
// or deflated DIB bits, with the colours its palette type gives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chatart/chat_art.h"

class ByteCursor;

const uint16_t kBmpMagic = 0x4D42;  // "BM", a BMP file's first two bytes
const unsigned kMaxPaletteColors = 2048;  // Chat's bound for its palette records

// Palette types of an image reference.
enum ArtPaletteType {
    PaletteOwn = 0,  // a BMP file's own colour table
    PaletteGlobal = 1,
    PaletteLocal = 2,
    PaletteMono = 3,
    PaletteMaskedMono = 4,
    PaletteDualMask = 5,
};

enum ArtImageFormat { FormatBmp = 0, FormatDeflate = 1 };

// A decoded image, top row first. Images of up to 8 bits a pixel keep their
// palette indices (the 2-bit pose images carry planes, not colours); deeper
// ones have only colours.
struct DibImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<uint8_t> index;    // bitsPerPixel <= 8: one palette index a pixel
    std::vector<uint8_t> palette;  // R G B triples
    std::vector<uint8_t> rgb;      // bitsPerPixel > 8: R G B a pixel
};

// The colour of pixel `pixel` (y * width + x). An index past the palette reads as black.
void ImageColor(const DibImage& image, size_t pixel, uint8_t rgb[3]);

// Decodes the image that `ref` names in `file`; `globalPalette` serves palette
// type 1. The error says what is wrong, without the file's name.
bool DecodeImage(const std::vector<uint8_t>& file, const ArtImageRef& ref,
                 const std::vector<uint8_t>& globalPalette, DibImage& image, std::string& error);

// Expands RLE8 (bitsPerPixel 8) or RLE4 (4) data into bottom-up rows of
// `stride` bytes. A run may fill a row's padding (Chat's own expander allows
// it, and odd-width RLE4 art does it), never pass it; nothing is written past
// the last row.
bool ExpandRle(ByteCursor& data, int bitsPerPixel, int height, size_t stride, std::vector<uint8_t>& bits,
               std::string& error);
