#include "render/DrawnSpans.h"

namespace ocuvis {

void DrawnSpans::FillBackground(QRgb* pixels, int stride, int width, int height, QRgb colour) {
    const bool onlySpans = known_ && background_ == colour && width_ == width &&
                           rows_.size() == static_cast<std::size_t>(height);
    for (int y = 0; y < height; ++y) {
        QRgb* const row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        if (!onlySpans) {
            std::fill_n(row, width, colour);
        } else if (const Span span = Row(y); span.begin < span.end) {
            std::fill(row + span.begin, row + span.end, colour);
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

void DrawnSpans::Add(int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    right = std::min(right, width_);
    top = std::max(top, 0);
    bottom = std::min(bottom, static_cast<int>(rows_.size()));
    if (left >= right) return;
    for (int y = top; y < bottom; ++y) {
        Span& span = rows_[static_cast<std::size_t>(y)];
        span = Hull(span, {left, right});
    }
}

}  // namespace ocuvis
