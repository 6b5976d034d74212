#include "render/ImageCanvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "render/CanvasPens.h"
#include "render/FrameFonts.h"
#include "render/ThinLine.h"

namespace ocuvis {

namespace {

bool HasMarks(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(text[i], text[i + 1]), ++i;
        if (QChar::isMark(c)) return true;
    }
    return false;
}

}  // namespace

ImageCanvas::ImageCanvas(QImage& image, StampCache& stamps)
    : image_(image),
      stamps_(stamps),
      pixels_(reinterpret_cast<QRgb*>(image.bits())),
      stride_(static_cast<int>(image.bytesPerLine() / 4)),
      width_(image.width()),
      height_(image.height()),
      penRgb_(ToRgb(0)),
      brushRgb_(ToRgb(0)) {
    Q_ASSERT(image.format() == QImage::Format_RGB32);
}

ImageCanvas::~ImageCanvas() = default;

QPainter& ImageCanvas::Painter() {
    if (!painter_) painter_ = std::make_unique<QPainter>(&image_);
    return *painter_;
}

void ImageCanvas::SetPenColour(Colour colour) {
    penColour_ = colour;
    penRgb_ = ToRgb(colour);
}

void ImageCanvas::SetPenWidth(int width) {
    penWidth_ = std::max(1, width);
}

void ImageCanvas::SetBrush(bool solid, Colour colour) {
    brushSolid_ = solid;
    brushColour_ = colour;
    brushRgb_ = ToRgb(colour);
}

void ImageCanvas::SetFont(const TextFont& font) {
    font_ = font;
}

void ImageCanvas::SetTextColour(Colour colour) {
    textColour_ = colour;
}

void ImageCanvas::DrawLine(int x1, int y1, int x2, int y2) {
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
    QPainter& painter = Painter();
    painter.setPen(StrokePen(penColour_, penWidth_));
    painter.drawLine(x1, y1, x2, y2);
}

void ImageCanvas::DrawEllipse(const CanvasRect& bounds) {
    const int w = bounds.right - bounds.left;
    const int h = bounds.bottom - bounds.top;
    if (w <= 0 || h <= 0) return;
    if (w > StampCache::kMaxEllipseSize || h > StampCache::kMaxEllipseSize) {
        if (drawn_ != nullptr) {
            const std::int64_t reach = std::int64_t{penWidth_} + 1;
            drawn_->Add(bounds.left - reach, bounds.top - reach, bounds.right + reach,
                        bounds.bottom + reach);
        }
        QPainter& painter = Painter();
        painter.setPen(StrokePen(penColour_, penWidth_));
        if (brushSolid_)
            painter.setBrush(QColor(brushRgb_));
        else
            painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRect(bounds.left, bounds.top, w, h));
        return;
    }
    Stamp(stamps_.Ellipse(w, h, penWidth_, brushSolid_), bounds.left, bounds.top);
}

void ImageCanvas::Stamp(const PixelStamp& stamp, int x, int y) {
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

void ImageCanvas::DrawText(const CanvasRect& box, TextAlign align, std::string_view text) {
    QPainter& painter = Painter();
    painter.setPen(QColor(ToRgb(textColour_)));
    painter.setFont(FrameFonts::Instance().Font(font_));
    const int flags = Qt::TextSingleLine | Qt::TextDontClip | Qt::AlignVCenter |
                      (align == TextAlign::Right ? Qt::AlignRight : Qt::AlignHCenter);
    const QRect rect(box.left, box.top, box.right - box.left, box.bottom - box.top);
    const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    painter.drawText(rect, flags, string);
    if (drawn_ != nullptr) {
        // Glyphs may reach past the text's box, and past its laid-out rectangle by less than a
        // line's height; marks stacked on a letter may reach any row.
        const std::int64_t margin = painter.fontMetrics().height();
        const QRect laid = painter.boundingRect(rect, flags, string);
        std::int64_t top = laid.top(), bottom = std::int64_t{laid.bottom()} + 1;
        if (HasMarks(string)) top = 0, bottom = height_;
        drawn_->Add(laid.left() - margin, top - margin, std::int64_t{laid.right()} + 1 + margin,
                    bottom + margin);
    }
}

void ImageCanvas::FillRect(const CanvasRect& area) {
    const int left = std::max(0, area.left);
    const int right = std::min(width_, area.right);
    const int top = std::max(0, area.top);
    const int bottom = std::min(height_, area.bottom);
    // An area wholly beside the image fills nothing.
    if (left >= right) return;
    if (drawn_ != nullptr) {
        if (left == 0 && top == 0 && right == width_ && bottom == height_) {
            drawn_->FillBackground(pixels_, stride_, width_, height_, brushRgb_);
            return;
        }
        drawn_->Add(left, top, right, bottom);
    }
    for (int y = top; y < bottom; ++y)
        std::fill(pixels_ + y * stride_ + left, pixels_ + y * stride_ + right, brushRgb_);
}

}  // namespace ocuvis
