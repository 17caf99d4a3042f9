#include "app/placement_rule.h"

#include <gtest/gtest.h>

// Found by argument-dependent lookup, so in PlacementRect's (global) namespace.
std::ostream& operator<<(std::ostream& out, const PlacementRect& r)
{
    return out << "(" << r.X << ", " << r.Y << ") " << r.Width << " x " << r.Height;
}

bool operator==(const PlacementRect& a, const PlacementRect& b)
{
    return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height;
}

namespace {

const PlacementRect kWorkArea = {0, 0, 1024, 738};
const PlacementRect kSecondMonitorArea = {-1280, -200, 1280, 984};

TEST(PlacementRule, AWindowOffEveryMonitorComesBackWhole)
{
    struct Case {
        PlacementRect stored, area, want;
    } cases[] = {
        {{-3000, 50, 580, 450}, kWorkArea, {0, 50, 580, 450}},
        {{5000, 9000, 580, 450}, kWorkArea, {444, 288, 580, 450}},
        {{-32000, -32000, 160, 28}, kWorkArea, {0, 0, 160, 28}},  // a minimised window's spot
        {{50, 50, 3000, 2000}, kWorkArea, {0, 0, 1024, 738}},     // shrunk only where larger
        {{3000, 100, 580, 2000}, kWorkArea, {444, 0, 580, 738}},
        {{-5000, 100, 580, 450}, kSecondMonitorArea, {-1280, 100, 580, 450}},
        {{INT32_MAX, INT32_MIN, 580, 450}, kWorkArea, {444, 0, 580, 450}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoveOntoWorkArea(c.stored, c.area), c.want) << "stored " << c.stored;
}

}  // namespace
