#include "render/DrawnSpans.h"

#include "render/PixelFill.h"

namespace ocuvis {

void DrawnSpans::FillBackground(QRgb* pixels, int stride, int width, int height, QRgb colour) {
    const bool onlySpans = known_ && background_ == colour && width_ == width &&
                           rows_.size() == static_cast<std::size_t>(height);
    if (!onlySpans && stride == width) {
        FillPixels(pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                   colour);
    } else {
        for (int y = 0; y < height; ++y) {
            QRgb* const row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
            if (!onlySpans) {
                FillPixels(row, static_cast<std::size_t>(width), colour);
            } else if (const Span span = Row(y); span.begin < span.end) {
                FillPixels(row + span.begin, static_cast<std::size_t>(span.end - span.begin),
                           colour);
            }
        }
    }
    Restart(width, height, colour);
}

void DrawnSpans::Restart(int width, int height, QRgb colour) {
    known_ = true;
    background_ = colour;
    width_ = width;
    rows_.assign(static_cast<std::size_t>(height), Span{width, 0});
}

void DrawnSpans::Add(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    const auto height = static_cast<std::int64_t>(rows_.size());
    const auto from = static_cast<int>(std::clamp<std::int64_t>(left, 0, width_));
    const auto to = static_cast<int>(std::clamp<std::int64_t>(right, 0, width_));
    if (from >= to) return;
    for (std::int64_t y = std::max<std::int64_t>(top, 0); y < std::min(bottom, height); ++y) {
        Span& span = rows_[static_cast<std::size_t>(y)];
        span = Hull(span, {from, to});
    }
}

}  // namespace ocuvis
