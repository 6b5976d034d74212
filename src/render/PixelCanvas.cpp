#include "render/PixelCanvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "render/CanvasPens.h"
#include "render/PixelFill.h"
#include "render/ThinLine.h"

namespace ocuvis {

PixelCanvas::PixelCanvas(QRgb* pixels, int stride, int width, int height, StampCache& stamps)
    : stamps_(stamps),
      pixels_(pixels),
      stride_(stride),
      width_(width),
      height_(height),
      penRgb_(ToRgb(0)),
      brushRgb_(ToRgb(0)) {}

void PixelCanvas::SetPenColour(Colour colour) {
    penColour_ = colour;
    penRgb_ = ToRgb(colour);
}

void PixelCanvas::SetPenWidth(int width) {
    penWidth_ = std::max(1, width);
}

void PixelCanvas::SetBrush(bool solid, Colour colour) {
    brushSolid_ = solid;
    brushColour_ = colour;
    brushRgb_ = ToRgb(colour);
}

void PixelCanvas::SetFont(const TextFont& font) {
    font_ = font;
}

void PixelCanvas::SetTextColour(Colour colour) {
    textColour_ = colour;
}

void PixelCanvas::DrawLine(int x1, int y1, int x2, int y2) {
    // A wide pen reaches its width beyond the ends, caps included.
    const auto noteDrawn = [&](std::int64_t reach) {
        if (drawn_ != nullptr)
            drawn_->Add(std::min(x1, x2) - reach, std::min(y1, y2) - reach,
                        std::int64_t{std::max(x1, x2)} + 1 + reach,
                        std::int64_t{std::max(y1, y2)} + 1 + reach);
    };
    if (penWidth_ <= 1) {
        noteDrawn(0);
        QRgb* const pixels = pixels_;
        const int stride = stride_;
        const QRgb rgb = penRgb_;
        RasteriseThinLine(x1, y1, x2, y2, width_, height_,
                          [=](int x, int y) { pixels[y * stride + x] = rgb; });
        return;
    }
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    if (penWidth_ <= StampCache::kMaxLineWidth && std::abs(dx) <= StampCache::kMaxLineReach &&
        std::abs(dy) <= StampCache::kMaxLineReach) {
        Stamp(stamps_.Line(dx, dy, penWidth_), x1, y1);
        return;
    }
    noteDrawn(std::int64_t{penWidth_} + 1);
    PaintLine(x1, y1, x2, y2);
}

void PixelCanvas::DrawEllipse(const CanvasRect& bounds) {
    const int w = bounds.right - bounds.left;
    const int h = bounds.bottom - bounds.top;
    if (w <= 0 || h <= 0) return;
    if (w > StampCache::kMaxEllipseSize || h > StampCache::kMaxEllipseSize) {
        if (drawn_ != nullptr) {
            const std::int64_t reach = std::int64_t{penWidth_} + 1;
            drawn_->Add(bounds.left - reach, bounds.top - reach, bounds.right + reach,
                        bounds.bottom + reach);
        }
        PaintEllipse(bounds);
        return;
    }
    Stamp(stamps_.Ellipse(w, h, penWidth_, brushSolid_), bounds.left, bounds.top);
}

void PixelCanvas::DrawText(const CanvasRect& box, TextAlign align, std::string_view text) {
    PaintText(box, align, text);
}

void PixelCanvas::PaintLine(int, int, int, int) {
    whole_ = false;
}

void PixelCanvas::PaintEllipse(const CanvasRect&) {
    whole_ = false;
}

void PixelCanvas::PaintText(const CanvasRect&, TextAlign, std::string_view) {
    whole_ = false;
}

void PixelCanvas::Stamp(const PixelStamp& stamp, int x, int y) {
    if (drawn_ != nullptr)
        drawn_->Add(std::int64_t{x} + stamp.left, std::int64_t{y} + stamp.top,
                    std::int64_t{x} + stamp.right, std::int64_t{y} + stamp.bottom + 1);
    if (x + stamp.left >= 0 && x + stamp.right <= width_ && y + stamp.top >= 0 &&
        y + stamp.bottom < height_) {
        // Wholly inside, as nearly every stamp is.
        QRgb* const anchor = pixels_ + y * stride_ + x;
        for (const PixelStamp::Span& span : stamp.spans) {
            QRgb* const row = anchor + span.row * stride_;
            const QRgb rgb = span.outline ? penRgb_ : brushRgb_;
            for (int i = span.begin; i < span.end; ++i)
                row[i] = rgb;
        }
        return;
    }
    for (const PixelStamp::Span& span : stamp.spans) {
        const int row = y + span.row;
        if (row < 0 || row >= height_) continue;
        const int begin = std::max(0, x + span.begin);
        const int end = std::min(width_, x + span.end);
        if (begin >= end) continue;
        std::fill(pixels_ + row * stride_ + begin, pixels_ + row * stride_ + end,
                  span.outline ? penRgb_ : brushRgb_);
    }
}

void PixelCanvas::FillRect(const CanvasRect& area) {
    const int left = std::max(0, area.left);
    const int right = std::min(width_, area.right);
    const int top = std::max(0, area.top);
    const int bottom = std::min(height_, area.bottom);
    // An area wholly beside or above or below the image fills nothing.
    if (left >= right || top >= bottom) return;
    if (drawn_ != nullptr) {
        if (left == 0 && top == 0 && right == width_ && bottom == height_) {
            drawn_->FillBackground(pixels_, stride_, width_, height_, brushRgb_);
            return;
        }
        drawn_->Add(left, top, right, bottom);
    }
    const auto run = static_cast<std::size_t>(right - left);
    if (left == 0 && right == stride_) {
        FillPixels(pixels_ + top * stride_, run * static_cast<std::size_t>(bottom - top),
                   brushRgb_);
        return;
    }
    for (int y = top; y < bottom; ++y)
        FillPixels(pixels_ + y * stride_ + left, run, brushRgb_);
}

}  // namespace ocuvis
