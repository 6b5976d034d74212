#include "ImageCanvas.h"

#include <algorithm>

#include "CanvasPens.h"
#include "FrameFonts.h"
#include "ThinLine.h"

namespace ocuvis {

ImageCanvas::ImageCanvas(QImage& image, DotStampCache& stamps)
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

void ImageCanvas::SetFont(const FontSpec& font) {
    font_ = font;
}

void ImageCanvas::SetTextColour(Colour colour) {
    textColour_ = colour;
}

void ImageCanvas::DrawLine(int x1, int y1, int x2, int y2) {
    if (penWidth_ <= 1) {
        QRgb* const pixels = pixels_;
        const int stride = stride_;
        const QRgb rgb = penRgb_;
        RasteriseThinLine(x1, y1, x2, y2, width_, height_,
                          [=](int x, int y) { pixels[y * stride + x] = rgb; });
        return;
    }
    QPainter& painter = Painter();
    painter.setPen(StrokePen(penColour_, penWidth_));
    painter.drawLine(x1, y1, x2, y2);
}

void ImageCanvas::DrawEllipse(const CanvasRect& bounds) {
    const int w = bounds.right - bounds.left;
    const int h = bounds.bottom - bounds.top;
    if (w <= 0 || h <= 0) return;
    if (w > DotStampCache::kMaxStampSize || h > DotStampCache::kMaxStampSize) {
        QPainter& painter = Painter();
        painter.setPen(StrokePen(penColour_, penWidth_));
        if (brushSolid_)
            painter.setBrush(QColor(brushRgb_));
        else
            painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRect(bounds.left, bounds.top, w, h));
        return;
    }
    const DotStamp& stamp = stamps_.Get(w, h, penWidth_, brushSolid_);
    if (bounds.left + stamp.left >= 0 && bounds.left + stamp.right <= width_ &&
        bounds.top + stamp.top >= 0 && bounds.top + stamp.bottom < height_) {
        // Wholly inside, as nearly every dot is.
        QRgb* const corner = pixels_ + bounds.top * stride_ + bounds.left;
        for (const DotStamp::Span& span : stamp.spans) {
            QRgb* const row = corner + span.row * stride_;
            const QRgb rgb = span.outline ? penRgb_ : brushRgb_;
            for (int x = span.begin; x < span.end; ++x)
                row[x] = rgb;
        }
        return;
    }
    for (const DotStamp::Span& span : stamp.spans) {
        const int y = bounds.top + span.row;
        if (y < 0 || y >= height_) continue;
        const int begin = std::max(0, bounds.left + span.begin);
        const int end = std::min(width_, bounds.left + span.end);
        if (begin >= end) continue;
        std::fill(pixels_ + y * stride_ + begin, pixels_ + y * stride_ + end,
                  span.outline ? penRgb_ : brushRgb_);
    }
}

void ImageCanvas::DrawText(const CanvasRect& box, TextAlign align, std::string_view text) {
    QPainter& painter = Painter();
    painter.setPen(QColor(ToRgb(textColour_)));
    painter.setFont(FrameFonts::Instance().Font(font_));
    const int flags = Qt::TextSingleLine | Qt::TextDontClip | Qt::AlignVCenter |
                      (align == TextAlign::Right ? Qt::AlignRight : Qt::AlignHCenter);
    painter.drawText(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top), flags,
                     QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void ImageCanvas::FillRect(const CanvasRect& area) {
    const int left = std::max(0, area.left);
    const int right = std::min(width_, area.right);
    const int top = std::max(0, area.top);
    const int bottom = std::min(height_, area.bottom);
    for (int y = top; y < bottom; ++y)
        std::fill(pixels_ + y * stride_ + left, pixels_ + y * stride_ + right, brushRgb_);
}

}  // namespace ocuvis
