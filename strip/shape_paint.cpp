#include "strip/shape_paint.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Each pixel row is sampled on this many lines; along a line, coverage is exact.
const int kSubRows = 4;

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom excluded
    bool Empty() const { return left >= right || top >= bottom; }
};

// The pixels that a shape's bounds, grown by `margin`, cover inside the clip and the picture.
Box BoundsOf(const ShapePath& path, double margin, const PixelView& picture, const StripRect& clip)
{
    double minX = path[0].x, maxX = path[0].x, minY = path[0].y, maxY = path[0].y;
    for (const ShapePoint& p : path) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    Box box;
    box.left = std::max({static_cast<int>(std::floor(minX - margin)), clip.x, 0});
    box.top = std::max({static_cast<int>(std::floor(minY - margin)), clip.y, 0});
    box.right = std::min({static_cast<int>(std::ceil(maxX + margin)) + 1, clip.Right(), picture.width});
    box.bottom = std::min({static_cast<int>(std::ceil(maxY + margin)) + 1, clip.Bottom(), picture.height});
    return box;
}

// Moves a pixel towards `grey` by `cover` (0 to 1).
inline void Blend(uint8_t* pixel, uint8_t grey, double cover)
{
    int amount = static_cast<int>(std::min(1.0, cover) * 255 + 0.5);
    if (amount <= 0)
        return;
    for (int c = 0; c < 3; ++c)
        pixel[c] = static_cast<uint8_t>((pixel[c] * (255 - amount) + grey * amount + 127) / 255);
}

struct Edge {
    double x0, y0, x1, y1;  // y0 < y1
    int direction;
};

// Adds the part of [a, b) inside the box to a row's coverage, weighted as one sample line.
void AddSpan(std::vector<double>& cover, const Box& box, double a, double b)
{
    a = std::max(a, static_cast<double>(box.left));
    b = std::min(b, static_cast<double>(box.right));
    if (a >= b)
        return;
    const double weight = 1.0 / kSubRows;
    int first = static_cast<int>(std::floor(a)), last = static_cast<int>(std::floor(b));
    if (first == last) {
        cover[first - box.left] += (b - a) * weight;
        return;
    }
    cover[first - box.left] += (first + 1 - a) * weight;
    for (int x = first + 1; x < last; ++x)
        cover[x - box.left] += weight;
    if (last < box.right)
        cover[last - box.left] += (b - last) * weight;
}

double DistanceToSegment(double px, double py, const ShapePoint& a, const ShapePoint& b)
{
    double dx = b.x - a.x, dy = b.y - a.y;
    double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    double ex = a.x + t * dx - px, ey = a.y + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

// Raises the coverage of the pixels near the segment: full within half the
// width of it, fading over one pixel beyond.
void CoverSegment(std::vector<float>& cover, const Box& box, const ShapePoint& a, const ShapePoint& b, double half)
{
    int left = std::max(box.left, static_cast<int>(std::floor(std::min(a.x, b.x) - half - 1)));
    int right = std::min(box.right, static_cast<int>(std::ceil(std::max(a.x, b.x) + half + 1)));
    int top = std::max(box.top, static_cast<int>(std::floor(std::min(a.y, b.y) - half - 1)));
    int bottom = std::min(box.bottom, static_cast<int>(std::ceil(std::max(a.y, b.y) + half + 1)));
    int width = box.right - box.left;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            double c = half + 0.5 - DistanceToSegment(x + 0.5, y + 0.5, a, b);
            if (c <= 0)
                continue;
            float& at = cover[static_cast<size_t>(y - box.top) * width + (x - box.left)];
            at = std::max(at, static_cast<float>(std::min(1.0, c)));
        }
}

}  // namespace

void FillShape(const PixelView& picture, const ShapePath& outline, uint8_t grey, const StripRect& clip)
{
    if (outline.size() < 3)
        return;
    Box box = BoundsOf(outline, 0.0, picture, clip);
    if (box.Empty())
        return;
    // Each edge listed under the pixel rows it crosses.
    std::vector<Edge> edges;
    std::vector<std::vector<int>> edgesOfRow(static_cast<size_t>(box.bottom - box.top));
    for (size_t i = 0; i < outline.size(); ++i) {
        const ShapePoint& a = outline[i];
        const ShapePoint& b = outline[(i + 1) % outline.size()];
        if (a.y == b.y)
            continue;
        Edge edge = a.y < b.y ? Edge{a.x, a.y, b.x, b.y, 1} : Edge{b.x, b.y, a.x, a.y, -1};
        int first = std::max(box.top, static_cast<int>(std::floor(edge.y0)));
        int last = std::min(box.bottom - 1, static_cast<int>(std::ceil(edge.y1)) - 1);
        for (int row = first; row <= last; ++row)
            edgesOfRow[row - box.top].push_back(static_cast<int>(edges.size()));
        edges.push_back(edge);
    }

    std::vector<double> cover(static_cast<size_t>(box.right - box.left));
    std::vector<std::pair<double, int>> crossings;
    for (int row = box.top; row < box.bottom; ++row) {
        const std::vector<int>& rowEdges = edgesOfRow[row - box.top];
        if (rowEdges.empty())
            continue;
        std::fill(cover.begin(), cover.end(), 0.0);
        for (int sub = 0; sub < kSubRows; ++sub) {
            double y = row + (sub + 0.5) / kSubRows;
            crossings.clear();
            for (int index : rowEdges) {
                const Edge& e = edges[index];
                if (y >= e.y0 && y < e.y1)
                    crossings.emplace_back(e.x0 + (y - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.direction);
            }
            std::sort(crossings.begin(), crossings.end());
            int winding = 0;
            double start = 0;
            for (const auto& crossing : crossings) {
                int before = winding;
                winding += crossing.second;
                if (before == 0 && winding != 0)
                    start = crossing.first;
                else if (before != 0 && winding == 0)
                    AddSpan(cover, box, start, crossing.first);
            }
        }
        uint8_t* pixel = picture.bytes + static_cast<size_t>(row) * picture.stride + box.left * 4;
        for (int x = box.left; x < box.right; ++x, pixel += 4)
            if (cover[x - box.left] > 0)
                Blend(pixel, grey, cover[x - box.left]);
    }
}

void StrokeShape(const PixelView& picture, const ShapePath& path, bool closed, double width, uint8_t grey,
                 const StripRect& clip, double dash, double gap)
{
    if (path.size() < 2 || width <= 0)
        return;
    double half = width / 2;
    Box box = BoundsOf(path, half + 1, picture, clip);
    if (box.Empty())
        return;
    std::vector<float> cover(static_cast<size_t>(box.right - box.left) * (box.bottom - box.top), 0.0f);

    size_t segments = closed ? path.size() : path.size() - 1;
    double along = 0;  // distance into the current dash period
    for (size_t i = 0; i < segments; ++i) {
        const ShapePoint& a = path[i];
        const ShapePoint& b = path[(i + 1) % path.size()];
        if (dash <= 0) {
            CoverSegment(cover, box, a, b, half);
            continue;
        }
        double length = std::hypot(b.x - a.x, b.y - a.y);
        double done = 0;
        while (done < length) {
            bool on = along < dash;
            double step = std::min(length - done, (on ? dash : dash + gap) - along);
            if (on) {
                ShapePoint from{a.x + (b.x - a.x) * done / length, a.y + (b.y - a.y) * done / length};
                ShapePoint to{a.x + (b.x - a.x) * (done + step) / length, a.y + (b.y - a.y) * (done + step) / length};
                CoverSegment(cover, box, from, to, half);
            }
            done += step;
            along += step;
            if (along >= dash + gap)
                along = 0;
        }
    }

    int boxWidth = box.right - box.left;
    for (int y = box.top; y < box.bottom; ++y) {
        uint8_t* pixel = picture.bytes + static_cast<size_t>(y) * picture.stride + box.left * 4;
        const float* c = cover.data() + static_cast<size_t>(y - box.top) * boxWidth;
        for (int x = 0; x < boxWidth; ++x, pixel += 4)
            if (c[x] > 0)
                Blend(pixel, grey, c[x]);
    }
}
