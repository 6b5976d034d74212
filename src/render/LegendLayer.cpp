#include "render/LegendLayer.h"

#include <charconv>

#include "render/RecordColours.h"

namespace ocuvis {

namespace {

constexpr int kBarWidth = 12;
constexpr int kEdge = 12;      // from the frame's right edge to the bar
constexpr int kMargin = 24;    // above and below the bar
constexpr int kTextGap = 4;    // between the bar and the texts
constexpr int kTextBox = 200;  // the box the texts are right-aligned in

}  // namespace

std::string LegendLayer::ValueText(double value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : std::string();
}

void LegendLayer::Draw(const RecordColours& colours) {
    if (!colours.Mapped()) return;
    const int right = frame_.width - kEdge;
    const int left = right - kBarWidth;
    const int top = kMargin;
    const int bottom = frame_.height - kMargin;
    if (bottom - top < 2 || left < 0) return;
    Canvas& canvas = frame_.canvas;
    const ColourTable& table = colours.table();
    // The top of the bar is the top of the range.
    for (int y = top; y < bottom; ++y) {
        const int index = (bottom - 1 - y) * 255 / (bottom - 1 - top);
        const QRgb c = table[static_cast<std::size_t>(index)];
        canvas.SetBrush(true, ColourFromRgb(qRed(c), qGreen(c), qBlue(c)));
        canvas.FillRect({left, y, right, y + 1});
    }
    const int textRight = left - kTextGap;
    canvas.DrawText({textRight - kTextBox, top - kMargin, textRight, top + kMargin},
                    TextAlign::Right, ValueText(colours.rangeMax));
    canvas.DrawText({textRight - kTextBox, bottom - kMargin, textRight, bottom + kMargin},
                    TextAlign::Right, ValueText(colours.rangeMin));
}

}  // namespace ocuvis
