#include "strip/balloon_shape.h"

#include <algorithm>
#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

// Chat adds bumps 70 twips high every 300 twips; these are a little smaller
// and closer, for the smaller panels.
const double kBumpHeight = 2.0;
const double kBumpLength = 16.0;
const double kStep = 1.0;  // between the points of a curve
const double kTailBulge = 0.05;  // each side of a tail bulges by this part of its length
// A thought's bubbles grow from the tip to the cloud (Chat: 150 twips high,
// widening to 400 twips).
const double kFirstBubbleSide = 6.0;
const double kLastBubbleWidth = 20.0;
const double kLastBubbleHeight = 11.0;
const double kBubbleGap = 5.0;

// A rounded rectangle walked clockwise from the left end of its top edge;
// `at` gives the point `s` along it and the outward normal there.
struct RoundedRect {
    double x0, y0, x1, y1, radius;

    double Top() const { return x1 - x0 - 2 * radius; }
    double Side() const { return y1 - y0 - 2 * radius; }
    double Corner() const { return kPi * radius / 2; }
    double Perimeter() const { return 2 * Top() + 2 * Side() + 4 * Corner(); }
    // Where the bottom edge starts (at its right end; it runs leftward).
    double BottomStart() const { return Top() + Side() + 2 * Corner(); }

    void At(double s, ShapePoint& point, ShapePoint& normal) const
    {
        const double pieces[] = {Top(), Corner(), Side(), Corner(), Top(), Corner(), Side(), Corner()};
        int piece = 0;
        while (piece < 7 && s > pieces[piece]) {
            s -= pieces[piece];
            ++piece;
        }
        s = std::min(s, pieces[piece]);
        double angle = radius > 0 ? s / radius : 0.0;
        switch (piece) {
        case 0: point = {x0 + radius + s, y0}; normal = {0, -1}; return;
        case 2: point = {x1, y0 + radius + s}; normal = {1, 0}; return;
        case 4: point = {x1 - radius - s, y1}; normal = {0, 1}; return;
        case 6: point = {x0, y1 - radius - s}; normal = {-1, 0}; return;
        default: break;
        }
        // The corners: top right, bottom right, bottom left, top left.
        const double centres[4][2] = {{x1 - radius, y0 + radius}, {x1 - radius, y1 - radius},
                                      {x0 + radius, y1 - radius}, {x0 + radius, y0 + radius}};
        int corner = piece / 2;
        double a = -kPi / 2 + corner * kPi / 2 + angle;
        normal = {std::cos(a), std::sin(a)};
        point = {centres[corner][0] + radius * normal.x, centres[corner][1] + radius * normal.y};
    }
};

// The cloud's point `s` along it: the rounded rectangle pushed out by a bump.
ShapePoint CloudPoint(const RoundedRect& shape, double s, double bumpLength)
{
    ShapePoint point, normal;
    shape.At(s, point, normal);
    double bump = kBumpHeight * 0.5 * (1 - std::cos(2 * kPi * s / bumpLength));
    return ShapePoint{point.x + normal.x * bump, point.y + normal.y * bump};
}

// A shallow arc from a to b, bulging by kTailBulge of its length towards the
// side whose x has the sign of `side`.
void AddArc(ShapePath& path, ShapePoint a, ShapePoint b, double side)
{
    double dx = b.x - a.x, dy = b.y - a.y;
    double length = std::hypot(dx, dy);
    if (length <= 0)
        return;
    ShapePoint across{-dy / length, dx / length};
    if ((across.x < 0) != (side < 0))
        across = ShapePoint{-across.x, -across.y};
    // A quadratic curve strays half as far as its control point.
    double offset = 2 * kTailBulge * length;
    ShapePoint control{(a.x + b.x) / 2 + across.x * offset, (a.y + b.y) / 2 + across.y * offset};
    int steps = std::max(2, static_cast<int>(std::ceil(length / (kStep * 1.5))));
    for (int i = 1; i <= steps; ++i) {
        double t = static_cast<double>(i) / steps, u = 1 - t;
        path.push_back(ShapePoint{u * u * a.x + 2 * u * t * control.x + t * t * b.x,
                                  u * u * a.y + 2 * u * t * control.y + t * t * b.y});
    }
}

void BoxOutline(const StripRect& r, ShapePath& outline)
{
    double inset = kBalloonLineWidth / 2;
    double x0 = r.x + inset, y0 = r.y + inset, x1 = r.Right() - inset, y1 = r.Bottom() - inset;
    outline = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

RoundedRect CloudBase(const StripRect& r)
{
    // The bumps' crests and the line's outer edge touch the rectangle.
    double inset = kBumpHeight + kBalloonLineWidth / 2;
    RoundedRect shape{r.x + inset, r.y + inset, r.Right() - inset, r.Bottom() - inset, 0};
    double radius = kBalloonCornerRadius - inset;
    shape.radius = std::max(0.0, std::min({radius, (shape.x1 - shape.x0) / 2, (shape.y1 - shape.y0) / 2}));
    return shape;
}

}  // namespace

void BalloonOutline(const PlacedBalloon& balloon, ShapePath& outline)
{
    outline.clear();
    const StripRect& r = balloon.rect;
    if (balloon.kind == BalloonKind::Action) {
        BoxOutline(r, outline);
        return;
    }
    RoundedRect shape = CloudBase(r);
    double perimeter = shape.Perimeter();
    if (perimeter <= 0) {
        BoxOutline(r, outline);
        return;
    }
    double bumpLength = perimeter / std::max(3.0, std::round(perimeter / kBumpLength));
    bool tail = balloon.hasTail && balloon.kind != BalloonKind::Think;

    // The tail leaves the bottom edge between its base points.
    double tailRight = 0, tailLeft = 0;
    if (tail) {
        double low = shape.x0 + shape.radius, high = shape.x1 - shape.radius;
        double right = std::min(high, std::max(low, static_cast<double>(balloon.tailBaseRight.x)));
        double left = std::min(high, std::max(low, static_cast<double>(balloon.tailBaseLeft.x)));
        tailRight = shape.BottomStart() + (high - right);
        tailLeft = shape.BottomStart() + (high - left);
    }
    int steps = std::max(8, static_cast<int>(std::ceil(perimeter / kStep)));
    bool tailDone = !tail;
    for (int i = 0; i < steps; ++i) {
        double s = perimeter * i / steps;
        if (!tailDone && s >= tailRight) {
            tailDone = true;
            ShapePoint from = CloudPoint(shape, tailRight, bumpLength);
            ShapePoint to = CloudPoint(shape, tailLeft, bumpLength);
            ShapePoint tip{static_cast<double>(balloon.tailTip.x), static_cast<double>(balloon.tailTip.y)};
            // Both sides bow away from where the tip leans: the tail leaves
            // the balloon steeply and bends towards the speaker.
            double lean = tip.x - (from.x + to.x) / 2;
            double side = lean > 0 ? -1.0 : 1.0;
            outline.push_back(from);
            AddArc(outline, from, tip, side);
            AddArc(outline, tip, to, side);
        }
        if (tail && s >= tailRight && s <= tailLeft)
            continue;
        outline.push_back(CloudPoint(shape, s, bumpLength));
    }
}

std::vector<ShapePath> ThoughtBubbles(const PlacedBalloon& balloon)
{
    std::vector<ShapePath> bubbles;
    if (!balloon.hasTail)
        return bubbles;
    RoundedRect shape = CloudBase(balloon.rect);
    ShapePoint tip{static_cast<double>(balloon.tailTip.x), static_cast<double>(balloon.tailTip.y)};
    ShapePoint entry{(balloon.tailBaseLeft.x + balloon.tailBaseRight.x) / 2.0, shape.y1};
    double dx = entry.x - tip.x, dy = entry.y - tip.y;
    double length = std::hypot(dx, dy);
    double meanHeight = (kFirstBubbleSide + kLastBubbleHeight) / 2;
    int count = std::max(1, static_cast<int>((length + kBubbleGap) / (meanHeight + kBubbleGap)));
    double usable = std::max(0.0, length - (kFirstBubbleSide + kLastBubbleHeight) / 2);
    for (int i = 0; i < count; ++i) {
        // From half a small bubble above the tip to half a large one below the cloud.
        double t = count == 1 ? 0.5 : static_cast<double>(i) / (count - 1);
        double along = kFirstBubbleSide / 2 + t * usable;
        double cx = tip.x + (length > 0 ? dx / length * along : 0);
        double cy = tip.y + (length > 0 ? dy / length * along : -along);
        double halfWidth = (kFirstBubbleSide + t * (kLastBubbleWidth - kFirstBubbleSide)) / 2;
        double halfHeight = (kFirstBubbleSide + t * (kLastBubbleHeight - kFirstBubbleSide)) / 2;
        ShapePath bubble;
        const int points = 32;
        for (int k = 0; k < points; ++k) {
            double a = 2 * kPi * k / points;
            bubble.push_back(ShapePoint{cx + halfWidth * std::cos(a), cy + halfHeight * std::sin(a)});
        }
        bubbles.push_back(bubble);
    }
    return bubbles;
}
