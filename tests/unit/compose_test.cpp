#include "strip/compose.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Rgba {
    int r, g, b, a;
};

Pixels Image(int width, int height, const std::vector<Rgba>& colours)
{
    Pixels image;
    image.width = width;
    image.height = height;
    image.stride = width * 4;
    for (const Rgba& c : colours)
        image.bytes.insert(image.bytes.end(), {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g),
                                               static_cast<uint8_t>(c.b), static_cast<uint8_t>(c.a)});
    return image;
}

Rgba Grey(int value)
{
    return Rgba{value, value, value, 255};
}

Rgba At(const Pixels& image, int x, int y)
{
    const uint8_t* p = &image.bytes[static_cast<size_t>(y) * image.stride + x * 4];
    return Rgba{p[0], p[1], p[2], p[3]};
}

std::string Text(Rgba c)
{
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ", " +
           std::to_string(c.a) + ")";
}

std::string Row(const Pixels& image, int y)
{
    std::string row;
    for (int x = 0; x < image.width; ++x)
        row += Text(At(image, x, y));
    return row;
}

TEST(Compose, ShrinkingAveragesTheAreaAndEnlargingIsBilinear)
{
    Pixels source = Image(4, 2, {Grey(0), Grey(255), Grey(0), Grey(255), Grey(255), Grey(255), Grey(0), Grey(0)});
    Pixels half;
    ScaleFigure(source, 2, 1, false, half);
    EXPECT_EQ(Row(half, 0), Text(Grey(191)) + Text(Grey(64))) << "each output pixel averages its 2 x 2 block";

    Pixels ramp = Image(2, 1, {Grey(0), Grey(255)});
    Pixels wide;
    ScaleFigure(ramp, 4, 1, false, wide);
    EXPECT_EQ(Row(wide, 0), Text(Grey(0)) + Text(Grey(64)) + Text(Grey(191)) + Text(Grey(255)));
}

TEST(Compose, AFlippedFigureIsMirrored)
{
    Pixels source = Image(3, 1, {Rgba{255, 0, 0, 255}, Rgba{0, 255, 0, 255}, Rgba{0, 0, 255, 255}});
    Pixels flipped;
    ScaleFigure(source, 3, 1, true, flipped);
    EXPECT_EQ(Row(flipped, 0), Text(Rgba{0, 0, 255, 255}) + Text(Rgba{0, 255, 0, 255}) + Text(Rgba{255, 0, 0, 255}));
}

TEST(Compose, EdgesBlendWithoutTheColourOfTransparentPixels)
{
    // Opaque red beside transparent blue, shrunk to one pixel: half-covered red.
    Pixels source = Image(2, 1, {Rgba{255, 0, 0, 255}, Rgba{0, 0, 255, 0}});
    Pixels scaled;
    ScaleFigure(source, 1, 1, false, scaled);
    EXPECT_EQ(Text(At(scaled, 0, 0)), Text(Rgba{128, 0, 0, 128})) << "premultiplied";

    Pixels picture;
    ResetPicture(picture, 3, 1);
    DrawScaledFigure(picture, scaled, 1, 0, StripRect{0, 0, 3, 1});
    EXPECT_EQ(Row(picture, 0), Text(Grey(255)) + Text(Rgba{255, 127, 127, 255}) + Text(Grey(255)));
}

TEST(Compose, FiguresAreClippedToThePanel)
{
    Pixels figure = Image(10, 10, std::vector<Rgba>(100, Rgba{0, 0, 0, 255}));
    Pixels picture;
    ResetPicture(picture, 20, 20);
    DrawFigure(picture, figure, StripRect{5, 5, 10, 10}, false, StripRect{0, 0, 12, 12});
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            bool drawn = x >= 5 && x < 12 && y >= 5 && y < 12;
            EXPECT_EQ(Text(At(picture, x, y)), Text(Grey(drawn ? 0 : 255))) << "at " << x << ", " << y;
        }
}

TEST(Compose, TheBackdropIsStretchedAndZoomedAboutItsLine)
{
    // Red rises 20 a row, green 20 a column.
    std::vector<Rgba> colours;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            colours.push_back(Rgba{20 * y, 20 * x, 0, 255});
    Pixels backdrop = Image(10, 10, colours);

    Pixels picture;
    ResetPicture(picture, 12, 12);
    DrawBackdrop(picture, backdrop, StripRect{1, 1, 10, 10}, 1.0, 4);
    EXPECT_EQ(Text(At(picture, 0, 0)), Text(Grey(255))) << "outside the panel";
    EXPECT_EQ(Text(At(picture, 1 + 3, 1 + 7)), Text(Rgba{140, 60, 0, 255})) << "unzoomed: as it is";

    // At zoom 2 about row 4, panel row y shows backdrop row 4 + (y - 4) / 2, and
    // column x shows column x / 2: red 35 + 10 y, green 10 x - 5.
    Pixels zoomed;
    ScaleBackdrop(backdrop, 10, 10, 2.0, 4, zoomed);
    EXPECT_EQ(Text(At(zoomed, 3, 0)), Text(Rgba{35, 25, 0, 255}));
    EXPECT_EQ(Text(At(zoomed, 5, 4)), Text(Rgba{75, 45, 0, 255}));
    EXPECT_EQ(Text(At(zoomed, 9, 9)), Text(Rgba{125, 85, 0, 255}));
}

TEST(Compose, IconsAreCopiedAsTheyAre)
{
    std::vector<Rgba> colours;
    for (int i = 0; i < kIconSide * kIconSide; ++i)
        colours.push_back(Rgba{i % 256, (i / 7) % 256, 9, 255});
    Pixels icon = Image(kIconSide, kIconSide, colours);
    Pixels picture;
    ResetPicture(picture, 100, 60);
    DrawIcon(picture, icon, 30, 10);
    EXPECT_EQ(Text(At(picture, 29, 10)), Text(Grey(255)));
    EXPECT_EQ(Text(At(picture, 30, 10)), Text(At(icon, 0, 0)));
    EXPECT_EQ(Text(At(picture, 69, 49)), Text(At(icon, 39, 39)));
    EXPECT_EQ(Text(At(picture, 70, 49)), Text(Grey(255)));
}

}  // namespace
