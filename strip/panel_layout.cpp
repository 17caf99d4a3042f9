#include "strip/panel_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// Chat lays out in twips, 15 to a pixel at 96 dpi; its distances in pixels:
const int kBodyHeight = static_cast<int>(kPanelSide / 1.9);  // every figure's height before zooming
const int kTailRoom = 7;       // kept below a balloon for its tail (100 twips)
const int kTailTipAbove = 13;  // the tail's tip above the figure's top (200 twips)
const int kRouteWidth = 20;    // kept clear beside an earlier balloon's tail (300 twips)
const int kOneLineWidth = 33;  // text narrower than this stays on one line (500 twips)
const double kZoomThreshold = 1.1;  // smaller zooms are not worth it

const int kDockGap = 2;     // between the panel's border and the top balloon
const int kBalloonGap = 3;  // between balloons
const int kTailHalfBase = 6;
const int kMinBalloonWidth = 40;

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

int Clamp(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

// The first speaker stands left and the second right, the third left beside
// the first, the fourth right beside the second, and so on; each keeps its side
// and faces the middle.
long SideKey(int rank)
{
    return rank % 2 == 0 ? rank : 1000000L - rank;
}

bool FacesLeft(int rank)
{
    return rank % 2 == 1;
}

// Where a speaker's balloon aims: the figure's mouth and top, or the panel's
// middle for a speaker without art.
struct Aim {
    int figure = -1;
    int x = kPanelSide / 2;
    int figureTop = kPanelSide;
};

void LayoutFigures(const OpenPanel& panel, bool establishing, PanelLayout& out, std::vector<Aim>& aims)
{
    aims.assign(panel.speakers.size(), Aim());
    out.zoom = 1.0;
    out.zoomLine = kPanelSide - kBodyHeight;
    std::vector<size_t> order;
    for (size_t i = 0; i < panel.speakers.size(); ++i)
        if (panel.speakers[i].hasArt)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return SideKey(panel.speakers[a].rank) < SideKey(panel.speakers[b].rank);
    });
    size_t n = order.size();
    if (n == 0)
        return;

    std::vector<int> width(n), height(n, kBodyHeight), top(n, kPanelSide - kBodyHeight);
    int maxHead = 0, sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const FigureMetrics& m = panel.speakers[order[i]].metrics;
        double scale = static_cast<double>(kBodyHeight) / std::max(1, m.height);
        width[i] = Round(m.width * scale);
        maxHead = std::max(maxHead, Round(m.headBottom * scale));
        sum += width[i];
    }
    if (sum > kPanelSide) {
        // Too wide together: all shrink alike and stand on the bottom edge.
        double reduction = static_cast<double>(kPanelSide) / sum;
        for (size_t i = 0; i < n; ++i) {
            height[i] = Round(kBodyHeight * reduction);
            width[i] = Round(width[i] * reduction);
            top[i] = kPanelSide - height[i];
        }
    } else if (!establishing && sum > 0) {
        // Closer in, but never so close that the heads are cut at the neck;
        // the figures grow down from their top line and the bottom edge crops them.
        double zoom = static_cast<double>(kPanelSide) / sum;
        if (maxHead > 0)
            zoom = std::min(zoom, kBodyHeight / (1.2 * maxHead));
        if (zoom >= kZoomThreshold) {
            out.zoom = zoom;
            for (size_t i = 0; i < n; ++i) {
                height[i] = Round(height[i] * zoom);
                width[i] = Round(width[i] * zoom);
            }
        }
    }
    int total = 0;
    for (int w : width)
        total += w;
    int margin = std::max(0, (kPanelSide - total) / static_cast<int>(n + 1));
    int x = margin;
    for (size_t i = 0; i < n; ++i) {
        const PanelSpeaker& speaker = panel.speakers[order[i]];
        PlacedFigure figure;
        figure.nick = speaker.nick;
        figure.character = speaker.character;
        figure.pose = speaker.pose;
        figure.flipped = FacesLeft(speaker.rank);
        figure.rect = StripRect{x, top[i], width[i], height[i]};
        double mouth = speaker.metrics.width > 0 ? static_cast<double>(speaker.metrics.mouthX) / speaker.metrics.width : 0.5;
        if (figure.flipped)
            mouth = 1.0 - mouth;
        figure.mouthX = x + Round(mouth * width[i]);
        aims[order[i]] = Aim{static_cast<int>(out.figures.size()), figure.mouthX, top[i]};
        out.figures.push_back(figure);
        x += width[i] + margin;
    }
}

// The room for balloons: the panel's top half inside the border, with room
// for a tail under the lowest balloon.
struct BalloonArea {
    int left = kBorderWidth;
    int right = kPanelSide - kBorderWidth;
    int top = kBorderWidth;
    int half = kPanelSide / 2;
    int bottom = kPanelSide / 2 - kTailRoom;  // no balloon reaches below this
};

struct BalloonSpot {
    StripRect rect;
    int toX = 0;
    bool hasTail = false;
    // The corridor that the tail comes down through, kept clear of later
    // balloons.
    int routeLeft = 0, routeRight = 0;
    std::vector<TextLine> lines;
};

// The text width Chat aims for: one line for a short text; else between the
// width that an area estimate gives for the height left and the full width
// (Chat picks at random; this takes the middle).
int GoalTextWidth(const PanelSay& say, int maxText, int lowestBottom, int lineHeight, const BalloonArea& area)
{
    const PreparedText& text = *say.text;
    if (say.fullWidth)
        return maxText;
    int length = text.singleLineWidth;
    if (length <= kOneLineWidth)
        return std::max(1, std::min(length, maxText));
    int potentialHeight = std::max(1, area.half - lowestBottom + kTailRoom);
    double estimate = 1.3 * length * 2.0 * lineHeight;
    int minText = std::max(static_cast<int>(estimate / potentialHeight), text.widestPiece);
    int goal = (minText + maxText) / 2;
    return Clamp(goal, 1, std::min(maxText, length));
}

bool PlaceBalloon(const PanelSay& say, const Aim& aim, bool hasTail, const std::vector<BalloonSpot>& placed,
                  const TextMeasure& measure, bool force, BalloonSpot& spot)
{
    const BalloonArea area{};
    int lineHeight = measure.LineHeight(TextStyle::Balloon);
    spot = BalloonSpot();
    spot.toX = aim.x;
    spot.hasTail = hasTail;

    // Stay on this side of every earlier tail.
    int low = area.left, high = area.right;
    int lowestBottom = area.top;
    for (const BalloonSpot& other : placed) {
        lowestBottom = std::max(lowestBottom, other.rect.Bottom());
        if (!other.hasTail)
            continue;
        if (spot.toX > other.toX)
            low = std::max(low, std::max(other.toX, other.routeLeft + kRouteWidth));
        else if (spot.toX < other.toX)
            high = std::min(high, std::min(other.toX, other.routeRight - kRouteWidth));
    }
    if (high - low < kMinBalloonWidth && !force)
        return false;
    if (high - low < kMinBalloonWidth) {
        low = area.left;
        high = area.right;
    }
    int maxOuter = high - low;
    int maxText = std::max(1, maxOuter - 2 * kBalloonPaddingX);
    int goal = GoalTextWidth(say, maxText, lowestBottom, lineHeight, area);
    const int widths[] = {goal, maxText};
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 1 && widths[1] == widths[0] && !force)
            break;
        WrapPrepared(*say.text, widths[attempt], measure, spot.lines);
        int widest = 0;
        for (const TextLine& line : spot.lines)
            widest = std::max(widest, line.width);
        int width = Clamp(widest + 2 * kBalloonPaddingX, std::min(kMinBalloonWidth, maxOuter), maxOuter);
        int height = static_cast<int>(spot.lines.size()) * lineHeight + kBalloonPaddingTop + kBalloonPaddingBottom;
        int x = say.kind == BalloonKind::Action ? low : Clamp(spot.toX - width / 2, low, high - width);
        // Read left to right, then down: beside an earlier balloon only when
        // that one is wholly to the left, else below it.
        int top = area.top + kDockGap;
        for (const BalloonSpot& other : placed) {
            if (other.rect.Right() + kBalloonGap <= x)
                top = std::max(top, other.rect.y);
            else
                top = std::max(top, other.rect.Bottom() + kBalloonGap);
        }
        spot.rect = StripRect{x, top, width, height};
        spot.routeLeft = x;
        spot.routeRight = x + width;
        if (top + height <= area.bottom || (force && attempt == 1))
            return true;
    }
    return false;
}

// Whether the segment from a to b passes through the rectangle.
bool SegmentHitsRect(StripPoint a, StripPoint b, const StripRect& r)
{
    double t0 = 0.0, t1 = 1.0;
    double dx = b.x - a.x, dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {static_cast<double>(a.x - r.x), static_cast<double>(r.Right() - a.x),
                        static_cast<double>(a.y - r.y), static_cast<double>(r.Bottom() - a.y)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

void SetTail(const BalloonSpot& spot, const Aim& aim, PlacedBalloon& balloon)
{
    const StripRect& r = spot.rect;
    int bottom = r.Bottom();
    int tipY = std::max(aim.figureTop - kTailTipAbove, bottom + kTailRoom);
    int left = std::max(spot.routeLeft, r.x + kBalloonCornerRadius) + kTailHalfBase;
    int right = std::min(spot.routeRight, r.Right() - kBalloonCornerRadius) - kTailHalfBase;
    if (left > right) {
        int middle = (std::max(spot.routeLeft, r.x) + std::min(spot.routeRight, r.Right())) / 2;
        left = right = Clamp(middle, r.x + kTailHalfBase, r.Right() - kTailHalfBase);
    }
    int baseX = Clamp(spot.toX, left, right);
    balloon.hasTail = true;
    balloon.tailTip = StripPoint{spot.toX, tipY};
    balloon.tailBaseLeft = StripPoint{baseX - kTailHalfBase, bottom};
    balloon.tailBaseRight = StripPoint{baseX + kTailHalfBase, bottom};
}

}  // namespace

bool LayoutContentPanel(const OpenPanel& panel, bool establishing, bool force, const TextMeasure& measure,
                        PanelLayout& out)
{
    out = PanelLayout();
    out.kind = PanelKind::Content;
    out.border = true;
    out.backdrop = panel.backdrop;
    std::vector<Aim> aims;
    LayoutFigures(panel, establishing, out, aims);

    std::vector<BalloonSpot> spots;
    for (const PanelSay& say : panel.says) {
        const Aim& aim = aims[say.speaker];
        bool hasTail = aim.figure >= 0 && say.kind != BalloonKind::Action;
        BalloonSpot spot;
        if (!PlaceBalloon(say, aim, hasTail, spots, measure, force, spot))
            return false;
        // Earlier tails keep to their side of this balloon.
        for (BalloonSpot& other : spots) {
            if (!other.hasTail)
                continue;
            if (spot.toX > other.toX)
                other.routeRight = std::min(other.routeRight, spot.rect.x);
            else if (spot.toX < other.toX)
                other.routeLeft = std::max(other.routeLeft, spot.rect.Right());
        }
        spots.push_back(spot);
    }

    int lineHeight = measure.LineHeight(TextStyle::Balloon);
    for (size_t i = 0; i < spots.size(); ++i) {
        const BalloonSpot& spot = spots[i];
        const PanelSay& say = panel.says[i];
        PlacedBalloon balloon;
        balloon.kind = say.kind;
        balloon.figure = aims[say.speaker].figure;
        balloon.rect = spot.rect;
        balloon.text.style = TextStyle::Balloon;
        balloon.text.text = say.text->text;
        for (size_t l = 0; l < spot.lines.size(); ++l) {
            const TextLine& line = spot.lines[l];
            int x = say.kind == BalloonKind::Action ? spot.rect.x + kBalloonPaddingX
                                                    : spot.rect.x + (spot.rect.width - line.width) / 2;
            int y = spot.rect.y + kBalloonPaddingTop + static_cast<int>(l) * lineHeight;
            balloon.text.lines.push_back(PlacedLine{line.start, line.length, x, y, line.width});
        }
        if (spot.hasTail)
            SetTail(spot, aims[say.speaker], balloon);
        out.balloons.push_back(balloon);
    }

    // No tail may cross another balloon.
    if (!force) {
        for (size_t i = 0; i < out.balloons.size(); ++i) {
            const PlacedBalloon& b = out.balloons[i];
            if (!b.hasTail)
                continue;
            for (size_t j = 0; j < out.balloons.size(); ++j) {
                if (j == i)
                    continue;
                const StripRect& r = out.balloons[j].rect;
                if (SegmentHitsRect(b.tailBaseLeft, b.tailTip, r) || SegmentHitsRect(b.tailBaseRight, b.tailTip, r))
                    return false;
            }
        }
    }
    return true;
}

int FullBalloonTextWidth()
{
    const BalloonArea area{};
    return std::max(1, area.right - area.left - 2 * kBalloonPaddingX);
}

int BalloonLinesInEmptyPanel(const TextMeasure& measure)
{
    const BalloonArea area{};
    int lineHeight = std::max(1, measure.LineHeight(TextStyle::Balloon));
    int room = area.bottom - area.top - kDockGap - kBalloonPaddingTop - kBalloonPaddingBottom;
    return std::max(1, room / lineHeight);
}
