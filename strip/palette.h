// A picture's colours reduced to a palette of at most 256, so that its PNG
// file is a fraction of the size (a strip goes by mail). Portable.
#pragma once

#include <cstdint>
#include <vector>

// The palette of a picture and the way from a colour to its entry.
struct PictureColours {
    std::vector<uint32_t> palette;  // 0xRRGGBB, at most 256 entries
    std::vector<uint8_t> entry;     // by 15-bit colour (5 bits each of R, G, B): the palette entry
};

// Chooses the palette of a top-down 32-bit BGRX picture by median cut over
// its colours at 5 bits a channel; each entry is the mean of the colours it
// stands for, so a picture of few colours keeps them exactly where they
// differ by 8 levels or more, white and black included.
PictureColours ChoosePictureColours(const uint8_t* bgrx, int width, int height, int stride);

// The palette entries of `count` BGRX pixels.
void MapToPalette(const PictureColours& colours, const uint8_t* bgrx, int count, uint8_t* entries);
