// Median-cut colour quantisation (see TK_ColorQuantizer.h). Steps: a
// histogram of 6-bit cells, boxes of cells split where their colours vary
// most, one mean colour per box, then every cell mapped to its nearest
// palette colour (nearest, not its box's: boxes overlap in colour).
#include "plugins/TK_ColorQuantizer.h"

#include <algorithm>

namespace {

// 6 bits a channel: a 5-bit grid shows steps in smooth background gradients.
constexpr int kCells = 64 * 64 * 64;

struct Cell {
    uint64_t count = 0;
    uint64_t sum[3] = {0, 0, 0};
    int Mean(int c) const { return int((sum[c] + count / 2) / count); }
};

struct Box {
    size_t begin, end;  // into the list of used cells
    double error;       // summed squared distance to the mean
    int axis;           // the channel that varies most
};

int CellOf(const uint8_t* p) { return (p[0] >> 2) << 12 | (p[1] >> 2) << 6 | p[2] >> 2; }

// The box's error and its widest channel by variance.
Box MeasureBox(const std::vector<Cell>& cells, size_t begin, size_t end) {
    double n = 0, s[3] = {0, 0, 0}, q[3] = {0, 0, 0};
    for (size_t i = begin; i < end; ++i)
        for (int c = 0; c < 3; ++c) {
            const double m = cells[i].Mean(c), w = double(cells[i].count);
            s[c] += w * m;
            q[c] += w * m * m;
            if (c == 0) n += w;
        }
    Box box{begin, end, 0, 0};
    double widest = -1;
    for (int c = 0; c < 3; ++c) {
        const double variance = q[c] - s[c] * s[c] / n;
        box.error += variance;
        if (variance > widest) widest = variance, box.axis = c;
    }
    if (end - begin < 2) box.error = 0;
    return box;
}

// Splits the box at the pixel-weighted median of its widest channel.
void SplitBox(std::vector<Cell>& cells, const Box& box, Box& low, Box& high) {
    const int axis = box.axis;
    std::sort(cells.begin() + long(box.begin), cells.begin() + long(box.end),
              [axis](const Cell& a, const Cell& b) { return a.Mean(axis) < b.Mean(axis); });
    uint64_t total = 0, below = 0;
    for (size_t i = box.begin; i < box.end; ++i) total += cells[i].count;
    size_t split = box.begin + 1;
    for (size_t i = box.begin; i + 1 < box.end; ++i) {
        below += cells[i].count;
        split = i + 1;
        if (2 * below >= total) break;
    }
    low = MeasureBox(cells, box.begin, split);
    high = MeasureBox(cells, split, box.end);
}

std::vector<Box> CutBoxes(std::vector<Cell>& cells, int colors) {
    std::vector<Box> boxes{MeasureBox(cells, 0, cells.size())};
    while (int(boxes.size()) < colors) {
        auto worst = std::max_element(boxes.begin(), boxes.end(),
                                      [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->error <= 0) break;
        Box low, high;
        SplitBox(cells, *worst, low, high);
        *worst = low;
        boxes.push_back(high);
    }
    return boxes;
}

int Nearest(const std::vector<uint8_t>& palette, int colors, const int rgb[3]) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < colors; ++i) {
        const uint8_t* p = &palette[size_t(i) * 3];
        const int dr = p[0] - rgb[0], dg = p[1] - rgb[1], db = p[2] - rgb[2];
        const int d = 2 * dr * dr + 4 * dg * dg + db * db;  // the eye weighs green most
        if (d < bestDistance) bestDistance = d, best = i;
    }
    return best;
}

}  // namespace

bool TK_QuantizeImage(const Image& rgba, int maxColors, TK_QuantizedImage& out) {
    out = TK_QuantizedImage();
    if (rgba.format != IMAGE_RGBA || rgba.Empty()) return false;
    maxColors = std::min(std::max(maxColors, 2), 256);
    const size_t pixels = size_t(rgba.width) * size_t(rgba.height);
    std::vector<Cell> histogram(kCells);
    bool anyTransparent = false;
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* p = &rgba.pixels[i * 4];
        if (p[3] < 128) {
            anyTransparent = true;
            continue;
        }
        Cell& cell = histogram[size_t(CellOf(p))];
        ++cell.count;
        for (int c = 0; c < 3; ++c) cell.sum[c] += p[c];
    }
    std::vector<Cell> used;
    for (const Cell& cell : histogram)
        if (cell.count) used.push_back(cell);
    const int colors = anyTransparent ? maxColors - 1 : maxColors;
    for (const Box& box : used.empty() ? std::vector<Box>() : CutBoxes(used, colors)) {
        Cell mean;
        for (size_t i = box.begin; i < box.end; ++i) {
            mean.count += used[i].count;
            for (int c = 0; c < 3; ++c) mean.sum[c] += used[i].sum[c];
        }
        for (int c = 0; c < 3; ++c) out.palette.push_back(uint8_t(mean.Mean(c)));
    }
    const int opaque = out.Colors();
    if (anyTransparent) {
        out.transparent = opaque;
        out.palette.insert(out.palette.end(), {0, 0, 0});
    }
    std::vector<int16_t> lookup(kCells, -1);
    out.indices.resize(pixels);
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* p = &rgba.pixels[i * 4];
        if (p[3] < 128) {
            out.indices[i] = uint8_t(out.transparent);
            continue;
        }
        const int cell = CellOf(p);
        if (lookup[size_t(cell)] < 0) {
            const Cell& h = histogram[size_t(cell)];
            const int mean[3] = {h.Mean(0), h.Mean(1), h.Mean(2)};
            lookup[size_t(cell)] = int16_t(Nearest(out.palette, opaque, mean));
        }
        out.indices[i] = uint8_t(lookup[size_t(cell)]);
    }
    return true;
}
