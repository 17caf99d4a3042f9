// Writes small art files of Microsoft Chat for the tests: the header, tags,
// face, torso and body records, and images (deflated DIB bits with their
// palette types, BMP files plain or RLE-compressed).
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace art_writer {

typedef std::vector<uint8_t> Bytes;

inline void PutU8(Bytes& out, unsigned value)
{
    out.push_back(uint8_t(value));
}
inline void PutU16(Bytes& out, unsigned value)
{
    PutU8(out, value & 0xFF);
    PutU8(out, value >> 8 & 0xFF);
}
inline void PutU32(Bytes& out, uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}
inline void PutBytes(Bytes& out, const Bytes& bytes)
{
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// Pixel indices from a picture written row by row, top row first, one digit
// or letter (a = 10 ...) a pixel: {"0120", "3311"}.
inline Bytes Indices(const std::vector<std::string>& rows)
{
    Bytes indices;
    for (const std::string& row : rows)
        for (char c : row)
            indices.push_back(uint8_t(c <= '9' ? c - '0' : c - 'a' + 10));
    return indices;
}

// DIB bits: bottom row first, rows padded to four bytes.
inline Bytes PackRows(int width, int height, int bitsPerPixel, const Bytes& indices)
{
    size_t stride = (size_t(width) * bitsPerPixel + 31) / 32 * 4;
    Bytes bits(stride * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned value = indices[size_t(height - 1 - y) * width + x];
            size_t bit = size_t(x) * bitsPerPixel;
            bits[size_t(y) * stride + bit / 8] |= uint8_t(value << (8 - bitsPerPixel - bit % 8));
        }
    return bits;
}

inline Bytes Compress(const Bytes& bytes)
{
    uLongf size = compressBound(uLong(bytes.size()));
    Bytes packed(size);
    compress2(packed.data(), &size, bytes.data(), uLong(bytes.size()), 9);
    packed.resize(size);
    return packed;
}

// A BITMAPINFOHEADER without biSize's own four bytes counted out.
inline void PutInfoHeader(Bytes& out, int32_t width, int32_t height, int bitsPerPixel, uint32_t compression,
                          uint32_t colorsUsed)
{
    PutU32(out, 40);
    PutU32(out, uint32_t(width));
    PutU32(out, uint32_t(height));
    PutU16(out, 1);
    PutU16(out, bitsPerPixel);
    PutU32(out, compression);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, colorsUsed);
    PutU32(out, 0);
}

// Palette type 2's record in front of the image: tag 257, size, count, R G B.
inline Bytes LocalPalette(const Bytes& rgb)
{
    Bytes out;
    PutU16(out, 257);
    PutU16(out, unsigned(2 + rgb.size()));
    PutU16(out, unsigned(rgb.size() / 3));
    PutBytes(out, rgb);
    return out;
}

// An image block of format 1: [local palette], header, sizes, zlib stream.
inline Bytes DeflatedImage(int width, int height, int bitsPerPixel, const Bytes& indices,
                           const Bytes& localPalette = Bytes())
{
    Bytes out = localPalette.empty() ? Bytes() : LocalPalette(localPalette);
    Bytes bits = PackRows(width, height, bitsPerPixel, indices);
    Bytes packed = Compress(bits);
    PutInfoHeader(out, width, height, bitsPerPixel, 0, 0);
    PutU32(out, uint32_t(bits.size()));
    PutU32(out, uint32_t(packed.size()));
    PutBytes(out, packed);
    return out;
}

// A BMP file with a colour table (R G B given) and `bits` as stored.
inline Bytes BmpFile(int32_t width, int32_t height, int bitsPerPixel, const Bytes& rgb, const Bytes& bits,
                     uint32_t compression = 0)
{
    Bytes table;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        table.insert(table.end(), {rgb[i + 2], rgb[i + 1], rgb[i], 0});
    uint32_t bitsOffset = uint32_t(14 + 40 + table.size());
    Bytes out;
    PutU16(out, 0x4D42);
    PutU32(out, uint32_t(bitsOffset + bits.size()));
    PutU32(out, 0);
    PutU32(out, bitsOffset);
    PutInfoHeader(out, width, height, bitsPerPixel, compression, uint32_t(rgb.size() / 3));
    PutBytes(out, table);
    PutBytes(out, bits);
    return out;
}

// RLE8 (bitsPerPixel 8) or RLE4 (4) of the picture: runs of one index (RLE4:
// of one pair of indices), an end of line after each row, an end mark.
inline Bytes RleBits(int width, int height, int bitsPerPixel, const Bytes& indices)
{
    Bytes out;
    for (int y = height - 1; y >= 0; --y) {
        int x = 0;
        while (x < width) {
            int run = 1;
            uint8_t first = indices[size_t(y) * width + x];
            while (x + run < width && run < 255 && indices[size_t(y) * width + x + run] == first)
                ++run;
            PutU8(out, run);
            PutU8(out, bitsPerPixel == 8 ? first : first << 4 | first);
            x += run;
        }
        PutU16(out, 0);
    }
    PutU8(out, 0);
    PutU8(out, 1);
    return out;
}

// A character or backdrop file. Image blocks go after tag 6; offset fields
// written before them are filled in by Finish().
class ArtFile {
public:
    ArtFile(unsigned magic, unsigned type)
    {
        PutU16(bytes, magic);
        PutU16(bytes, type);
        PutU16(bytes, magic == 0x81 ? 1 : 2);
    }

    int AddImage(const Bytes& block)
    {
        images_.push_back(block);
        return int(images_.size()) - 1;
    }

    // An offset field for image `image` (-1: none), stored less `adjustment`,
    // as the tag-263 records before it require.
    void Offset(int image, int32_t adjustment = 0)
    {
        if (image >= 0)
            fields_.push_back({bytes.size(), image, adjustment});
        PutU32(bytes, 0);
    }

    void SizedTag(unsigned tag, const Bytes& payload)
    {
        PutU16(bytes, tag);
        PutU16(bytes, unsigned(payload.size()));
        PutBytes(bytes, payload);
    }

    // Tag 6, the images, tag 7; every offset filled in.
    Bytes Finish()
    {
        PutU16(bytes, 6);
        for (const Bytes& image : images_) {
            imageOffsets.push_back(uint32_t(bytes.size()));
            PutBytes(bytes, image);
        }
        PutU16(bytes, 7);
        for (const Field& field : fields_) {
            uint32_t stored = imageOffsets[size_t(field.image)] - uint32_t(field.adjustment);
            for (int i = 0; i < 4; ++i)
                bytes[field.at + i] = uint8_t(stored >> 8 * i);
        }
        return bytes;
    }

    Bytes bytes;
    std::vector<uint32_t> imageOffsets;  // after Finish()

private:
    struct Field {
        size_t at;
        int image;
        int32_t adjustment;
    };
    std::vector<Bytes> images_;
    std::vector<Field> fields_;
};

// A face, torso or body record. `fields` are, after emotion and intensity:
// faces neck X, Y, fine dX, dY, mouth X, Y; torsos neck X, Y; bodies mouth X, Y.
struct Record {
    int drawing = -1, mask = -1, aura = -1;  // images of the ArtFile, -1: none
    int emotion = 9;
    unsigned intensity = 0;
    std::vector<int> fields;
    uint8_t formats[3] = {1, 1, 1};
    uint8_t palettes[3] = {4, 3, 3};
};

// Tag `tag` with its records: old records (tags 4, 5, 9) end in 16 zero bytes
// instead of formats and palette types.
inline void PutRecords(ArtFile& file, unsigned tag, const std::vector<Record>& records, int32_t adjustment = 0)
{
    bool old = tag == 4 || tag == 5 || tag == 9;
    PutU16(file.bytes, tag);
    PutU16(file.bytes, unsigned(records.size()));
    for (const Record& record : records) {
        file.Offset(record.drawing, adjustment);
        file.Offset(record.mask, adjustment);
        file.Offset(record.aura, adjustment);
        PutU16(file.bytes, unsigned(record.emotion));
        PutU8(file.bytes, record.intensity);
        for (int field : record.fields)
            PutU16(file.bytes, unsigned(field));
        for (int i = 0; i < 6; ++i)
            PutU8(file.bytes, old ? 0 : (i < 3 ? record.formats[i] : record.palettes[i - 3]));
        if (old)
            file.bytes.resize(file.bytes.size() + 10);
    }
}

// Tag 256 (or the old tag 3) naming the icon.
inline void PutIcon(ArtFile& file, int image, uint8_t format, uint8_t palette, int32_t adjustment = 0)
{
    PutU16(file.bytes, 256);
    PutU16(file.bytes, 6);
    file.Offset(image, adjustment);
    PutU8(file.bytes, format);
    PutU8(file.bytes, palette);
}

inline void PutFlags(ArtFile& file, unsigned flags)
{
    PutU16(file.bytes, 2);
    PutU16(file.bytes, flags);
}

inline void PutAdjustment(ArtFile& file, int32_t adjustment)
{
    Bytes payload;
    PutU32(payload, uint32_t(adjustment));
    file.SizedTag(263, payload);
}

}  // namespace art_writer
