#include "render/PixelStamp.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "render/CanvasPens.h"

namespace ocuvis {

namespace {

constexpr QRgb kBackground = 0xff000000u;
constexpr Colour kOutline = 0x0000FF;  // red
constexpr Colour kFill = 0x00FF00;     // green

// The spans of an image painted in the two marker colours, relative to (originX, originY).
PixelStamp Collect(const QImage& image, int originX, int originY) {
    PixelStamp stamp;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            const QRgb pixel = line[x];
            if (pixel == kBackground) {
                ++x;
                continue;
            }
            int end = x + 1;
            while (end < image.width() && line[end] == pixel)
                ++end;
            stamp.spans.push_back(
                {static_cast<std::int16_t>(y - originY), static_cast<std::int16_t>(x - originX),
                 static_cast<std::int16_t>(end - originX), pixel == ToRgb(kOutline)});
            x = end;
        }
    }
    for (const PixelStamp::Span& span : stamp.spans) {
        PixelStamp::Span* last = stamp.solidSpans.empty() ? nullptr : &stamp.solidSpans.back();
        if (last != nullptr && last->row == span.row && last->end == span.begin)
            last->end = span.end;
        else
            stamp.solidSpans.push_back(span);
    }
    if (!stamp.spans.empty()) {
        stamp.top = stamp.bottom = stamp.spans.front().row;
        stamp.left = stamp.spans.front().begin;
        stamp.right = stamp.spans.front().end;
        for (const PixelStamp::Span& span : stamp.spans) {
            stamp.top = std::min<int>(stamp.top, span.row);
            stamp.bottom = std::max<int>(stamp.bottom, span.row);
            stamp.left = std::min<int>(stamp.left, span.begin);
            stamp.right = std::max<int>(stamp.right, span.end);
        }
    }
    return stamp;
}

PixelStamp RasteriseEllipse(int width, int height, int penWidth, bool filled) {
    // Room for the pen, which reaches half its width beyond the rectangle, and then some.
    const int margin = penWidth + 4;
    QImage image(width + 2 * margin, height + 2 * margin, QImage::Format_RGB32);
    image.fill(kBackground);
    {
        QPainter painter(&image);
        painter.setPen(StrokePen(kOutline, penWidth));
        if (filled)
            painter.setBrush(QColor(ToRgb(kFill)));
        else
            painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRect(margin, margin, width, height));
    }
    return Collect(image, margin, margin);
}

}  // namespace

const PixelStamp& StampCache::FindEllipse(const EllipseKey& key) {
    auto it = ellipses_.find(key);
    if (it == ellipses_.end()) {
        const auto [width, height, penWidth, filled] = key;
        it = ellipses_.emplace(key, RasteriseEllipse(width, height, penWidth, filled)).first;
    }
    lastEllipseKey_ = key;
    lastEllipse_ = &it->second;
    return it->second;
}

PixelStamp StampCache::RasteriseLine(int dx, int dy, int width) {
    const int margin = width + 4;
    const int originX = margin + std::max(0, -dx);
    const int originY = margin + std::max(0, -dy);
    QImage image(std::abs(dx) + 2 * margin + 1, std::abs(dy) + 2 * margin + 1,
                 QImage::Format_RGB32);
    image.fill(kBackground);
    {
        QPainter painter(&image);
        painter.setPen(StrokePen(kOutline, width));
        painter.drawLine(originX, originY, originX + dx, originY + dy);
    }
    return Collect(image, originX, originY);
}

}  // namespace ocuvis
