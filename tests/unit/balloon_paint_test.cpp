#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "strip/balloon_shape.h"
#include "strip/shape_paint.h"

namespace {

Pixels Page(int width, int height, uint8_t grey)
{
    Pixels page;
    page.width = width;
    page.height = height;
    page.stride = width * 4;
    page.bytes.assign(static_cast<size_t>(page.stride) * height, grey);
    return page;
}

int GreyAt(const Pixels& page, int x, int y)
{
    return page.bytes[static_cast<size_t>(y) * page.stride + x * 4];
}

// A row as letters: '#' black, '.' untouched white, '+' anything between.
std::string Row(const Pixels& page, int y)
{
    std::string row;
    for (int x = 0; x < page.width; ++x) {
        int grey = GreyAt(page, x, y);
        row += grey == 0 ? '#' : grey == 255 ? '.' : '+';
    }
    return row;
}

const StripRect kAll{0, 0, 1000, 1000};

TEST(ShapePaint, FillCoversPixelsByTheirAreaInside)
{
    Pixels page = Page(6, 3, 255);
    FillShape(ViewOf(page), ShapePath{{1, 0}, {3.5, 0}, {3.5, 2}, {1, 2}}, 0, kAll);
    EXPECT_EQ(Row(page, 0), ".##+..");
    EXPECT_NEAR(GreyAt(page, 3, 0), 127.5, 1) << "half the pixel is inside";
    EXPECT_EQ(Row(page, 1), ".##+..");
    EXPECT_EQ(Row(page, 2), "......");

    Pixels clipped = Page(6, 1, 255);
    FillShape(ViewOf(clipped), ShapePath{{0, 0}, {6, 0}, {6, 1}, {0, 1}}, 0, StripRect{2, 0, 3, 1});
    EXPECT_EQ(Row(clipped, 0), "..###.") << "only inside the clip";
}

TEST(ShapePaint, StrokesAreCentredOnThePathAndDashed)
{
    Pixels page = Page(10, 5, 255);
    StrokeShape(ViewOf(page), ShapePath{{0, 2.5}, {10, 2.5}}, false, 1.0, 0, kAll);
    EXPECT_EQ(Row(page, 1), "..........");
    EXPECT_EQ(Row(page, 2), "##########");
    EXPECT_EQ(Row(page, 3), "..........");

    Pixels wide = Page(10, 5, 255);
    StrokeShape(ViewOf(wide), ShapePath{{0, 2.5}, {10, 2.5}}, false, 2.0, 0, kAll);
    EXPECT_EQ(Row(wide, 1), "++++++++++") << "a 2-pixel line half covers the rows beside it";
    EXPECT_NEAR(GreyAt(wide, 5, 1), 127.5, 1);
    EXPECT_EQ(Row(wide, 2), "##########");

    Pixels dashed = Page(20, 3, 255);
    StrokeShape(ViewOf(dashed), ShapePath{{0, 1.5}, {20, 1.5}}, false, 1.0, 0, kAll, 4, 4);
    EXPECT_EQ(Row(dashed, 1), "####+..+####+..+####");
}

// A balloon with its tail down to a figure below it, as the layout gives it.
PlacedBalloon SayBalloon()
{
    PlacedBalloon balloon;
    balloon.rect = StripRect{20, 10, 100, 40};
    balloon.hasTail = true;
    balloon.tailTip = StripPoint{40, 110};
    balloon.tailBaseLeft = StripPoint{54, 50};
    balloon.tailBaseRight = StripPoint{66, 50};
    return balloon;
}

void PaintBalloon(Pixels& page, const PlacedBalloon& balloon)
{
    ShapePath outline;
    BalloonOutline(balloon, outline);
    FillShape(ViewOf(page), outline, 255, kAll);
    StrokeShape(ViewOf(page), outline, true, kBalloonLineWidth, 0, kAll);
}

TEST(BalloonShape, TheCloudStaysInItsRectangleClearOfItsTextAndItsTailReachesTheTip)
{
    for (BalloonKind kind : {BalloonKind::Say, BalloonKind::Whisper, BalloonKind::Think, BalloonKind::Action}) {
        PlacedBalloon balloon = SayBalloon();
        balloon.kind = kind;
        Pixels page = Page(140, 130, 128);
        PaintBalloon(page, balloon);
        const StripRect& r = balloon.rect;
        bool tail = kind == BalloonKind::Say || kind == BalloonKind::Whisper;
        SCOPED_TRACE("balloon kind " + std::to_string(static_cast<int>(kind)));
        for (int y = 0; y < page.height; ++y)
            for (int x = 0; x < page.width; ++x) {
                bool inRect = x >= r.x && x < r.Right() && y >= r.y && y < r.Bottom();
                bool inText = x >= r.x + kBalloonPaddingX && x < r.Right() - kBalloonPaddingX &&
                              y >= r.y + kBalloonPaddingTop && y < r.Bottom() - kBalloonPaddingBottom;
                bool tailRoom = tail && y >= r.Bottom() - 1 && x >= 30 && x < 72;
                if (inText) {
                    ASSERT_EQ(GreyAt(page, x, y), 255) << "text area at (" << x << ", " << y << ")";
                } else if (!inRect && !tailRoom) {
                    ASSERT_EQ(GreyAt(page, x, y), 128) << "outside the balloon at (" << x << ", " << y << ")";
                }
            }
        // The line reaches every edge of the rectangle.
        int top = 255, left = 255, right = 255;
        for (int x = r.x; x < r.Right(); ++x)
            top = std::min(top, GreyAt(page, x, r.y));
        for (int y = r.y; y < r.Bottom(); ++y) {
            left = std::min(left, GreyAt(page, r.x, y));
            right = std::min(right, GreyAt(page, r.Right() - 1, y));
        }
        EXPECT_LE(top, 64) << "top edge";
        EXPECT_LE(left, 64) << "left edge";
        EXPECT_LE(right, 64) << "right edge";
        if (tail) {
            EXPECT_LE(GreyAt(page, balloon.tailTip.x, balloon.tailTip.y), 64) << "the tip";
            EXPECT_EQ(GreyAt(page, 52, 80), 255) << "the tail, on its way, is white inside";
        } else {
            EXPECT_EQ(GreyAt(page, balloon.tailTip.x, balloon.tailTip.y), 128) << "no tail";
        }
    }
}

TEST(BalloonShape, AThoughtsBubblesGrowFromTheTipToTheCloud)
{
    PlacedBalloon balloon = SayBalloon();
    balloon.kind = BalloonKind::Think;
    std::vector<ShapePath> bubbles = ThoughtBubbles(balloon);
    ASSERT_GE(bubbles.size(), 3u);
    double lastWidth = 0, lastTop = 1e9;
    for (size_t i = 0; i < bubbles.size(); ++i) {
        double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
        for (const ShapePoint& p : bubbles[i]) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        SCOPED_TRACE("bubble " + std::to_string(i));
        EXPECT_GE(right - left, lastWidth) << "each at least as wide as the one before";
        EXPECT_LT(bottom, lastTop) << "each above the one before";
        EXPECT_LE(bottom, balloon.tailTip.y + 0.5);
        EXPECT_GE(top, balloon.rect.Bottom() - 4.0) << "none inside the cloud, the line's width aside";
        lastWidth = right - left;
        lastTop = top;
    }
    balloon.hasTail = false;
    EXPECT_TRUE(ThoughtBubbles(balloon).empty()) << "a thought without a figure to point at has none";
}

}  // namespace
