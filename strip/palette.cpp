#include "strip/palette.h"

#include <algorithm>

namespace {

const int kCells = 1 << 15;
const size_t kMaxColours = 256;

int Cell(const uint8_t* pixel)
{
    return (pixel[2] >> 3) << 10 | (pixel[1] >> 3) << 5 | pixel[0] >> 3;
}

int Channel(int cell, int channel)  // 0 red, 1 green, 2 blue
{
    return cell >> (10 - 5 * channel) & 31;
}

// How many pixels fall into each cell, and the sums of their channels.
struct Histogram {
    std::vector<uint32_t> count = std::vector<uint32_t>(kCells);
    std::vector<uint64_t> sum = std::vector<uint64_t>(kCells * 3);
};

// A box of cells: [first, last) of the list of used cells, sorted on demand.
struct Box {
    size_t first, last;
    uint64_t pixels;
    int low[3], high[3];
};

void Measure(Box& box, const std::vector<int>& cells, const Histogram& histogram)
{
    box.pixels = 0;
    for (int c = 0; c < 3; ++c) {
        box.low[c] = 31;
        box.high[c] = 0;
    }
    for (size_t i = box.first; i < box.last; ++i) {
        box.pixels += histogram.count[cells[i]];
        for (int c = 0; c < 3; ++c) {
            box.low[c] = std::min(box.low[c], Channel(cells[i], c));
            box.high[c] = std::max(box.high[c], Channel(cells[i], c));
        }
    }
}

int Widest(const Box& box)
{
    int widest = 0;
    for (int c = 1; c < 3; ++c)
        if (box.high[c] - box.low[c] > box.high[widest] - box.low[widest])
            widest = c;
    return widest;
}

// The box most worth splitting: many pixels over a wide range of colour.
Box* Worst(std::vector<Box>& boxes)
{
    Box* worst = nullptr;
    uint64_t worstScore = 0;
    for (Box& box : boxes) {
        if (box.last - box.first < 2)
            continue;
        uint64_t score = box.pixels * static_cast<uint64_t>(box.high[Widest(box)] - box.low[Widest(box)] + 1);
        if (score > worstScore) {
            worst = &box;
            worstScore = score;
        }
    }
    return worst;
}

// Splits at the median pixel along the widest channel.
Box Split(Box& box, std::vector<int>& cells, const Histogram& histogram)
{
    int channel = Widest(box);
    std::sort(cells.begin() + box.first, cells.begin() + box.last,
              [channel](int a, int b) { return Channel(a, channel) < Channel(b, channel); });
    uint64_t half = box.pixels / 2, seen = 0;
    size_t at = box.first + 1;
    for (size_t i = box.first; i + 1 < box.last; ++i) {
        seen += histogram.count[cells[i]];
        at = i + 1;
        if (seen >= half)
            break;
    }
    Box other = {at, box.last, 0, {}, {}};
    box.last = at;
    Measure(box, cells, histogram);
    Measure(other, cells, histogram);
    return other;
}

uint32_t Mean(const Box& box, const std::vector<int>& cells, const Histogram& histogram)
{
    uint64_t sum[3] = {0, 0, 0};
    for (size_t i = box.first; i < box.last; ++i)
        for (int c = 0; c < 3; ++c)
            sum[c] += histogram.sum[cells[i] * 3 + c];
    uint32_t colour = 0;
    for (int c = 0; c < 3; ++c)
        colour = colour << 8 | static_cast<uint32_t>((sum[c] + box.pixels / 2) / box.pixels);
    return colour;
}

}  // namespace

PictureColours ChoosePictureColours(const uint8_t* bgrx, int width, int height, int stride)
{
    Histogram histogram;
    for (int y = 0; y < height; ++y) {
        const uint8_t* pixel = bgrx + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x, pixel += 4) {
            int cell = Cell(pixel);
            ++histogram.count[cell];
            histogram.sum[cell * 3] += pixel[2];
            histogram.sum[cell * 3 + 1] += pixel[1];
            histogram.sum[cell * 3 + 2] += pixel[0];
        }
    }
    std::vector<int> cells;
    for (int cell = 0; cell < kCells; ++cell)
        if (histogram.count[cell])
            cells.push_back(cell);
    std::vector<Box> boxes;
    if (!cells.empty()) {
        boxes.push_back(Box{0, cells.size(), 0, {}, {}});
        Measure(boxes.back(), cells, histogram);
    }
    while (boxes.size() < kMaxColours) {
        Box* worst = Worst(boxes);
        if (!worst)
            break;
        Box other = Split(*worst, cells, histogram);
        boxes.push_back(other);
    }
    PictureColours colours;
    colours.entry.assign(kCells, 0);
    for (const Box& box : boxes) {
        for (size_t i = box.first; i < box.last; ++i)
            colours.entry[cells[i]] = static_cast<uint8_t>(colours.palette.size());
        colours.palette.push_back(Mean(box, cells, histogram));
    }
    return colours;
}

void MapToPalette(const PictureColours& colours, const uint8_t* bgrx, int count, uint8_t* entries)
{
    for (int i = 0; i < count; ++i, bgrx += 4)
        entries[i] = colours.entry[Cell(bgrx)];
}
