#include "render/ColourMaps.h"

#include <algorithm>
#include <cmath>

namespace ocuvis {

namespace {

struct Stop {
    int r, g, b;
};

// Evenly spaced stops, joined by straight lines.
template <std::size_t N>
QRgb Between(const std::array<Stop, N>& stops, double t) {
    const double at = t * (N - 1);
    const auto i = std::min(static_cast<std::size_t>(at), N - 2);
    const double f = at - static_cast<double>(i);
    const auto mix = [f](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
    const Stop& a = stops[i];
    const Stop& b = stops[i + 1];
    return qRgb(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b));
}

// Perceptually even, dark blue-violet through green to yellow, in nine stops.
constexpr std::array<Stop, 9> kViridis = {{{68, 1, 84},
                                           {72, 40, 120},
                                           {62, 73, 137},
                                           {49, 104, 142},
                                           {38, 130, 142},
                                           {31, 158, 137},
                                           {53, 183, 121},
                                           {110, 206, 88},
                                           {253, 231, 37}}};
// Blue through white to red, for values about a middle.
constexpr std::array<Stop, 3> kDiverging = {{{33, 102, 172}, {247, 247, 247}, {178, 24, 43}}};
constexpr std::array<Stop, 2> kGrey = {{{0, 0, 0}, {255, 255, 255}}};

// The rainbow map, from a polynomial fit of each channel.
QRgb Turbo(double t) {
    const double r =
        0.13572138 +
        t * (4.61539260 +
             t * (-42.66032258 + t * (132.13108234 + t * (-152.94239396 + t * 59.28637943))));
    const double g =
        0.09140261 + t * (2.19418839 + t * (4.84296658 + t * (-14.18503333 +
                                                              t * (4.27729857 + t * 2.82956604))));
    const double b =
        0.10667330 +
        t * (12.64194608 +
             t * (-60.58204836 + t * (110.36276771 + t * (-89.90310912 + t * 27.34824973))));
    const auto channel = [](double v) {
        return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return qRgb(channel(r), channel(g), channel(b));
}

}  // namespace

QRgb ColourMapAt(ColourMapKind kind, double t) {
    t = std::isnan(t) ? 0.0 : std::clamp(t, 0.0, 1.0);
    switch (kind) {
        case ColourMapKind::Diverging:
            return Between(kDiverging, t);
        case ColourMapKind::Turbo:
            return Turbo(t);
        case ColourMapKind::Grey:
            return Between(kGrey, t);
        case ColourMapKind::Viridis:
            break;
    }
    return Between(kViridis, t);
}

ColourTable ColourMapTable(ColourMapKind kind) {
    ColourTable table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = ColourMapAt(kind, static_cast<double>(i) / 255.0);
    return table;
}

}  // namespace ocuvis
