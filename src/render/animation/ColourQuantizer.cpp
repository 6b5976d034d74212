#include "render/animation/ColourQuantizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <queue>

namespace ocuvis {

namespace {

int Channel(std::uint32_t colour, int axis) {
    return static_cast<int>(colour >> (16 - 8 * axis) & 0xFF);
}

std::uint32_t Pack(double r, double g, double b) {
    const auto c = [](double v) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L));
    };
    return c(r) << 16 | c(g) << 8 | c(b);
}

// Weighted sums of a run of colours: enough for its mean and its squared error.
struct Moments {
    double weight = 0;
    std::array<double, 3> sum{};
    double squares = 0;

    void Add(const ColourCount& c) {
        const double w = c.count;
        weight += w;
        for (int axis = 0; axis < 3; ++axis) {
            const double v = Channel(c.colour, axis);
            sum[axis] += w * v;
            squares += w * v * v;
        }
    }
    double Error() const {
        if (weight <= 0) return 0;
        return squares - (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / weight;
    }
    Moments Minus(const Moments& part) const {
        Moments rest = *this;
        rest.weight -= part.weight;
        for (int axis = 0; axis < 3; ++axis)
            rest.sum[axis] -= part.sum[axis];
        rest.squares -= part.squares;
        return rest;
    }
};

struct Box {
    std::size_t begin, end;
    Moments moments;
    bool operator<(const Box& other) const { return moments.Error() < other.moments.Error(); }
};

Moments MomentsOf(const std::vector<ColourCount>& colours, std::size_t begin, std::size_t end) {
    Moments m;
    for (std::size_t i = begin; i < end; ++i)
        m.Add(colours[i]);
    return m;
}

// Sorts the box along its widest-spread channel and cuts it where the two halves' errors add
// up to the least. Returns the first index of the second half.
std::size_t SplitPoint(std::vector<ColourCount>& colours, const Box& box) {
    int axis = 0;
    double spread = -1;
    for (int a = 0; a < 3; ++a) {
        const double mean = box.moments.sum[a] / box.moments.weight;
        double variance = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            const double d = Channel(colours[i].colour, a) - mean;
            variance += colours[i].count * d * d;
        }
        if (variance > spread) {
            spread = variance;
            axis = a;
        }
    }
    const auto sorted = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
    std::sort(sorted, sorted + static_cast<std::ptrdiff_t>(box.end - box.begin),
              [axis](const ColourCount& x, const ColourCount& y) {
                  return Channel(x.colour, axis) < Channel(y.colour, axis);
              });
    Moments first;
    std::size_t best = box.begin + 1;
    double bestError = -1;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
        first.Add(colours[i]);
        const double error = first.Error() + box.moments.Minus(first).Error();
        if (bestError < 0 || error < bestError) {
            bestError = error;
            best = i + 1;
        }
    }
    return best;
}

std::vector<std::uint32_t> MedianCut(std::vector<ColourCount>& colours, int maxColours) {
    std::priority_queue<Box> open;
    std::vector<Box> done;
    open.push({0, colours.size(), MomentsOf(colours, 0, colours.size())});
    while (!open.empty() && static_cast<int>(open.size() + done.size()) < maxColours) {
        const Box box = open.top();
        open.pop();
        if (box.end - box.begin < 2) {
            done.push_back(box);
            continue;
        }
        const std::size_t cut = SplitPoint(colours, box);
        open.push({box.begin, cut, MomentsOf(colours, box.begin, cut)});
        open.push({cut, box.end, MomentsOf(colours, cut, box.end)});
    }
    for (; !open.empty(); open.pop())
        done.push_back(open.top());
    std::vector<std::uint32_t> palette;
    for (const Box& box : done) {
        const Moments& m = box.moments;
        palette.push_back(Pack(m.sum[0] / m.weight, m.sum[1] / m.weight, m.sum[2] / m.weight));
    }
    return palette;
}

// Moves each palette colour to the mean of the colours nearest to it.
void Refine(const std::vector<ColourCount>& colours, std::vector<std::uint32_t>& palette) {
    const NearestColour nearest(palette);
    std::vector<Moments> groups(palette.size());
    for (const ColourCount& c : colours)
        groups[static_cast<std::size_t>(nearest(c.colour))].Add(c);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const Moments& m = groups[i];
        if (m.weight > 0)
            palette[i] = Pack(m.sum[0] / m.weight, m.sum[1] / m.weight, m.sum[2] / m.weight);
    }
}

}  // namespace

std::vector<std::uint32_t> ChoosePalette(std::vector<ColourCount> colours, int maxColours) {
    if (static_cast<int>(colours.size()) <= maxColours) {
        std::vector<std::uint32_t> palette;
        palette.reserve(colours.size());
        for (const ColourCount& c : colours)
            palette.push_back(c.colour);
        return palette;
    }
    std::vector<std::uint32_t> palette = MedianCut(colours, maxColours);
    // Further rounds gained little on shaded point clouds for their cost in every frame.
    Refine(colours, palette);
    return palette;
}

NearestColour::NearestColour(const std::vector<std::uint32_t>& palette) {
    for (std::size_t i = 0; i < palette.size(); ++i)
        entries_.push_back({Channel(palette[i], 0), Channel(palette[i], 1), Channel(palette[i], 2),
                            static_cast<int>(i)});
    std::sort(entries_.begin(), entries_.end(), [](const Entry& x, const Entry& y) {
        return x.g != y.g ? x.g < y.g : x.index < y.index;
    });
}

int NearestColour::operator()(std::uint32_t colour) const {
    const int r = Channel(colour, 0), g = Channel(colour, 1), b = Channel(colour, 2);
    const auto start = std::lower_bound(entries_.begin(), entries_.end(), g,
                                        [](const Entry& e, int green) { return e.g < green; });
    int best = -1;
    int bestDistance = 0;
    const auto consider = [&](const Entry& e) {
        const int dg = e.g - g;
        if (best >= 0 && dg * dg > bestDistance) return false;
        const int distance = (e.r - r) * (e.r - r) + dg * dg + (e.b - b) * (e.b - b);
        if (best < 0 || distance < bestDistance || (distance == bestDistance && e.index < best)) {
            best = e.index;
            bestDistance = distance;
        }
        return true;
    };
    for (auto up = start; up != entries_.end() && consider(*up); ++up) {
    }
    for (auto down = start; down != entries_.begin() && consider(*(down - 1)); --down) {
    }
    return best;
}

}  // namespace ocuvis
