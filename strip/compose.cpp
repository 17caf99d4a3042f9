#include "strip/compose.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Filter weights in fixed point: the taps of one output pixel add up to 1 << kWeightBits.
const int kWeightBits = 14;
const int kWeightOne = 1 << kWeightBits;
// The first pass keeps this many fraction bits of each channel.
const int kMidBits = 6;

// x / 255, rounded, for x up to 255 * 255, without a division.
inline int Div255(int x)
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// For each output index: the source indices [first, first + count) and their weights.
struct Taps {
    std::vector<int> first, count, offset, weights;
};

// Output pixel i covers the source interval [start + i * step, start + (i + 1) * step).
// Wider than a source pixel (shrinking): every source pixel it overlaps,
// weighted by the overlap. Narrower (enlarging): the two source pixels
// around its centre, weighted linearly. Indices are clamped to the source.
Taps MakeTaps(int sourceSize, int outputSize, double start, double step, bool mirror)
{
    Taps taps;
    taps.first.resize(outputSize);
    taps.count.resize(outputSize);
    taps.offset.resize(outputSize);
    std::vector<double> weights;
    for (int o = 0; o < outputSize; ++o) {
        int i = mirror ? outputSize - 1 - o : o;
        weights.clear();
        int first;
        if (step > 1.0) {
            double a = std::max(0.0, start + i * step), b = std::min(static_cast<double>(sourceSize), start + (i + 1) * step);
            first = std::min(sourceSize - 1, static_cast<int>(std::floor(a)));
            int last = std::max(first, std::min(sourceSize - 1, static_cast<int>(std::ceil(b)) - 1));
            for (int s = first; s <= last; ++s)
                weights.push_back(std::max(0.0, std::min(b, s + 1.0) - std::max(a, static_cast<double>(s))));
        } else {
            double centre = start + (i + 0.5) * step - 0.5;
            int s0 = static_cast<int>(std::floor(centre));
            double f = centre - s0;
            int lo = std::min(std::max(s0, 0), sourceSize - 1), hi = std::min(std::max(s0 + 1, 0), sourceSize - 1);
            first = lo;
            if (hi == lo || f <= 0.0) {
                weights.push_back(1.0);
            } else {
                weights.push_back(1.0 - f);
                weights.push_back(f);
            }
        }
        double sum = 0;
        for (double w : weights)
            sum += w;
        if (sum <= 0) {
            weights.assign(1, 1.0);
            sum = 1.0;
        }
        taps.first[o] = first;
        taps.count[o] = static_cast<int>(weights.size());
        taps.offset[o] = static_cast<int>(taps.weights.size());
        int total = 0, largest = 0;
        for (size_t k = 0; k < weights.size(); ++k) {
            int w = static_cast<int>(std::lround(weights[k] / sum * kWeightOne));
            taps.weights.push_back(w);
            total += w;
            if (w > taps.weights[taps.offset[o] + largest])
                largest = static_cast<int>(k);
        }
        taps.weights[taps.offset[o] + largest] += kWeightOne - total;
    }
    return taps;
}

// Resamples `source` (premultiplied or opaque RGBA) into `out`, columns then rows.
void Resample(const Pixels& source, const Taps& columns, const Taps& rows, int width, int height, Pixels& out)
{
    out.width = width;
    out.height = height;
    out.stride = width * 4;
    out.bytes.assign(static_cast<size_t>(out.stride) * height, 0);
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0)
        return;

    int firstRow = source.height, lastRow = -1;
    for (int y = 0; y < height; ++y) {
        firstRow = std::min(firstRow, rows.first[y]);
        lastRow = std::max(lastRow, rows.first[y] + rows.count[y] - 1);
    }
    int usedRows = lastRow - firstRow + 1;
    std::vector<uint16_t> middle(static_cast<size_t>(usedRows) * width * 4);
    for (int sy = firstRow; sy <= lastRow; ++sy) {
        const uint8_t* in = source.bytes.data() + static_cast<size_t>(sy) * source.stride;
        uint16_t* row = middle.data() + static_cast<size_t>(sy - firstRow) * width * 4;
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = in + columns.first[x] * 4;
            const int* w = columns.weights.data() + columns.offset[x];
            int r = 0, g = 0, b = 0, a = 0;
            for (int k = 0; k < columns.count[x]; ++k, p += 4) {
                r += p[0] * w[k];
                g += p[1] * w[k];
                b += p[2] * w[k];
                a += p[3] * w[k];
            }
            const int shift = kWeightBits - kMidBits, round = 1 << (shift - 1);
            row[x * 4 + 0] = static_cast<uint16_t>((r + round) >> shift);
            row[x * 4 + 1] = static_cast<uint16_t>((g + round) >> shift);
            row[x * 4 + 2] = static_cast<uint16_t>((b + round) >> shift);
            row[x * 4 + 3] = static_cast<uint16_t>((a + round) >> shift);
        }
    }

    std::vector<int32_t> sums(static_cast<size_t>(width) * 4);
    const int shift = kWeightBits + kMidBits, round = 1 << (shift - 1);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const int* w = rows.weights.data() + rows.offset[y];
        for (int k = 0; k < rows.count[y]; ++k) {
            const uint16_t* row = middle.data() + static_cast<size_t>(rows.first[y] + k - firstRow) * width * 4;
            int weight = w[k];
            for (int i = 0; i < width * 4; ++i)
                sums[i] += row[i] * weight;
        }
        uint8_t* outRow = out.bytes.data() + static_cast<size_t>(y) * out.stride;
        for (int i = 0; i < width * 4; ++i)
            outRow[i] = static_cast<uint8_t>(std::min(255, std::max(0, (sums[i] + round) >> shift)));
    }
}

// The part of the image at (x, y) that lies inside `clip` and the picture.
bool Overlap(const PixelView& picture, const Pixels& image, int x, int y, const StripRect& clip, int& left, int& top,
             int& right, int& bottom)
{
    left = std::max({x, clip.x, 0});
    top = std::max({y, clip.y, 0});
    right = std::min({x + image.width, clip.Right(), picture.width});
    bottom = std::min({y + image.height, clip.Bottom(), picture.height});
    return left < right && top < bottom;
}

}  // namespace

PixelView ViewOf(Pixels& pixels)
{
    return PixelView{pixels.bytes.data(), pixels.width, pixels.height, pixels.stride};
}

void SwapRedAndBlue(Pixels& pixels)
{
    for (size_t i = 0; i + 3 < pixels.bytes.size(); i += 4)
        std::swap(pixels.bytes[i], pixels.bytes[i + 2]);
}

void ResetPicture(Pixels& picture, int width, int height)
{
    picture.width = width;
    picture.height = height;
    picture.stride = width * 4;
    picture.bytes.assign(static_cast<size_t>(picture.stride) * height, 0xFF);
}

void ScaleFigure(const Pixels& figure, int width, int height, bool flipped, Pixels& scaled)
{
    Pixels premultiplied = figure;
    for (size_t i = 0; i + 3 < premultiplied.bytes.size(); i += 4) {
        uint8_t* p = &premultiplied.bytes[i];
        if (p[3] == 255)
            continue;
        p[0] = static_cast<uint8_t>(Div255(p[0] * p[3]));
        p[1] = static_cast<uint8_t>(Div255(p[1] * p[3]));
        p[2] = static_cast<uint8_t>(Div255(p[2] * p[3]));
    }
    width = std::max(0, width);
    height = std::max(0, height);
    if (figure.width <= 0 || figure.height <= 0 || width == 0 || height == 0) {
        Resample(figure, Taps(), Taps(), 0, 0, scaled);
        return;
    }
    Taps columns = MakeTaps(figure.width, width, 0.0, static_cast<double>(figure.width) / width, flipped);
    Taps rows = MakeTaps(figure.height, height, 0.0, static_cast<double>(figure.height) / height, false);
    Resample(premultiplied, columns, rows, width, height, scaled);
}

void DrawScaledFigure(Pixels& picture, const Pixels& scaled, int x, int y, const StripRect& clip)
{
    DrawScaledFigure(ViewOf(picture), scaled, x, y, clip);
}

void DrawScaledFigure(const PixelView& picture, const Pixels& scaled, int x, int y, const StripRect& clip)
{
    int left, top, right, bottom;
    if (!Overlap(picture, scaled, x, y, clip, left, top, right, bottom))
        return;
    for (int py = top; py < bottom; ++py) {
        const uint8_t* in = scaled.bytes.data() + static_cast<size_t>(py - y) * scaled.stride + (left - x) * 4;
        uint8_t* out = picture.bytes + static_cast<size_t>(py) * picture.stride + left * 4;
        for (int px = left; px < right; ++px, in += 4, out += 4) {
            int alpha = in[3];
            if (alpha == 0)
                continue;
            if (alpha == 255) {
                std::memcpy(out, in, 3);
                continue;
            }
            int keep = 255 - alpha;
            out[0] = static_cast<uint8_t>(std::min(255, in[0] + Div255(out[0] * keep)));
            out[1] = static_cast<uint8_t>(std::min(255, in[1] + Div255(out[1] * keep)));
            out[2] = static_cast<uint8_t>(std::min(255, in[2] + Div255(out[2] * keep)));
        }
    }
}

void DrawFigure(Pixels& picture, const Pixels& figure, const StripRect& rect, bool flipped, const StripRect& clip)
{
    Pixels scaled;
    ScaleFigure(figure, rect.width, rect.height, flipped, scaled);
    DrawScaledFigure(picture, scaled, rect.x, rect.y, clip);
}

void ScaleBackdrop(const Pixels& backdrop, int width, int height, double zoom, int zoomLine, Pixels& scaled)
{
    if (backdrop.width <= 0 || backdrop.height <= 0 || width <= 0 || height <= 0) {
        Resample(backdrop, Taps(), Taps(), 0, 0, scaled);
        return;
    }
    zoom = std::max(zoom, 1e-3);
    // Panel pixel x shows the stretched backdrop at x / zoom, and y at
    // zoomLine + (y - zoomLine) / zoom.
    double scaleX = static_cast<double>(backdrop.width) / width;
    double scaleY = static_cast<double>(backdrop.height) / height;
    Taps columns = MakeTaps(backdrop.width, width, 0.0, scaleX / zoom, false);
    Taps rows = MakeTaps(backdrop.height, height, (zoomLine - zoomLine / zoom) * scaleY, scaleY / zoom, false);
    Resample(backdrop, columns, rows, width, height, scaled);
    for (size_t i = 3; i < scaled.bytes.size(); i += 4)
        scaled.bytes[i] = 255;
}

void DrawBackdrop(Pixels& picture, const Pixels& backdrop, const StripRect& panel, double zoom, int zoomLine)
{
    DrawBackdrop(ViewOf(picture), backdrop, panel, zoom, zoomLine);
}

void DrawBackdrop(const PixelView& picture, const Pixels& backdrop, const StripRect& panel, double zoom, int zoomLine)
{
    Pixels scaled;
    ScaleBackdrop(backdrop, panel.width, panel.height, zoom, zoomLine, scaled);
    DrawOpaque(picture, scaled, panel.x, panel.y, panel);
}

void DrawOpaque(Pixels& picture, const Pixels& image, int x, int y, const StripRect& clip)
{
    DrawOpaque(ViewOf(picture), image, x, y, clip);
}

void DrawOpaque(const PixelView& picture, const Pixels& image, int x, int y, const StripRect& clip)
{
    int left, top, right, bottom;
    if (!Overlap(picture, image, x, y, clip, left, top, right, bottom))
        return;
    for (int py = top; py < bottom; ++py)
        std::memcpy(picture.bytes + static_cast<size_t>(py) * picture.stride + left * 4,
                    image.bytes.data() + static_cast<size_t>(py - y) * image.stride + (left - x) * 4,
                    static_cast<size_t>(right - left) * 4);
}

void DrawIcon(Pixels& picture, const Pixels& icon, int x, int y)
{
    DrawIcon(ViewOf(picture), icon, x, y);
}

void DrawIcon(const PixelView& picture, const Pixels& icon, int x, int y)
{
    DrawOpaque(picture, icon, x, y, StripRect{0, 0, picture.width, picture.height});
}
