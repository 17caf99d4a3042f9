#include "strip/palette.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct Bgrx {
    int width, height;
    std::vector<uint8_t> bytes;
    uint8_t* At(int x, int y) { return &bytes[(static_cast<size_t>(y) * width + x) * 4]; }
};

Bgrx Make(int width, int height, uint32_t (*colour)(int x, int y))
{
    Bgrx picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t rgb = colour(x, y);
            uint8_t* p = picture.At(x, y);
            p[0] = rgb & 0xFF;
            p[1] = rgb >> 8 & 0xFF;
            p[2] = rgb >> 16 & 0xFF;
        }
    return picture;
}

// The colour a pixel gets back from its palette entry.
uint32_t RoundTrip(const PictureColours& colours, uint8_t* pixel)
{
    uint8_t entry = 0;
    MapToPalette(colours, pixel, 1, &entry);
    EXPECT_LT(entry, colours.palette.size());
    return colours.palette[entry];
}

TEST(Palette, APictureOfFewColoursKeepsThemExactly)
{
    // A page, black ink and a panel of a few flat colours.
    Bgrx picture = Make(64, 48, [](int x, int y) -> uint32_t {
        return x < 8 ? 0xFFFFFF : y < 4 ? 0x000000 : 0x3366CC + 0x081018 * (x % 5);
    });
    PictureColours colours = ChoosePictureColours(picture.bytes.data(), 64, 48, 64 * 4);
    EXPECT_LE(colours.palette.size(), 7u);
    for (int y = 0; y < 48; y += 3)
        for (int x = 0; x < 64; ++x) {
            uint8_t* p = picture.At(x, y);
            uint32_t want = static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
            ASSERT_EQ(RoundTrip(colours, p), want) << "at " << x << ", " << y;
        }
}

TEST(Palette, ManyColoursShareAtMost256EntriesAndStayClose)
{
    // Smooth gradients of every hue, on a white page with black lines.
    Bgrx picture = Make(256, 256, [](int x, int y) -> uint32_t {
        if (y % 32 == 0)
            return 0x000000;
        if (x > 224)
            return 0xFFFFFF;
        return static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y) << 8 | static_cast<uint32_t>((x + y) / 2);
    });
    PictureColours colours = ChoosePictureColours(picture.bytes.data(), 256, 256, 256 * 4);
    EXPECT_EQ(colours.palette.size(), 256u);
    int worst = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = picture.At(x, y);
            uint32_t got = RoundTrip(colours, p);
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(static_cast<int>(got >> (8 * c) & 0xFF) - p[c]));
        }
    EXPECT_LE(worst, 32) << "a colour far from its entry";
    EXPECT_EQ(RoundTrip(colours, picture.At(240, 5)), 0xFFFFFFu) << "the page stays white";
    EXPECT_EQ(RoundTrip(colours, picture.At(10, 64)), 0x000000u) << "ink stays black";
}

}  // namespace
