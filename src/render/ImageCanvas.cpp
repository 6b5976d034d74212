#include "render/ImageCanvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "render/CanvasPens.h"
#include "render/FrameFonts.h"

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

int TextFlags(TextAlign align) {
    return Qt::TextSingleLine | Qt::TextDontClip | Qt::AlignVCenter |
           (align == TextAlign::Right ? Qt::AlignRight : Qt::AlignHCenter);
}

constexpr QRgb kBackground = 0xff000000u;
constexpr Colour kOutline = 0x0000FF;  // red
constexpr Colour kFill = 0x00FF00;     // green

// The spans of an image painted in the two marker colours, relative to (originX, originY).
PixelStamp Collect(const QImage& image, int originX, int originY) {
    std::vector<PixelStamp::Span> spans;
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
            spans.push_back({static_cast<std::int16_t>(y - originY),
                             static_cast<std::int16_t>(x - originX),
                             static_cast<std::int16_t>(end - originX), pixel == ToRgb(kOutline)});
            x = end;
        }
    }
    return StampOfSpans(std::move(spans));
}

std::optional<PixelStamp> RasteriseEllipse(int width, int height, int penWidth, bool filled) {
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

std::optional<PixelStamp> RasteriseLine(int dx, int dy, int width) {
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

}  // namespace

StampShapes PaintedShapes() {
    return {RasteriseEllipse, RasteriseLine};
}

ImageCanvas::ImageCanvas(QImage& image, StampCache& stamps)
    : PixelCanvas(reinterpret_cast<QRgb*>(image.bits()), static_cast<int>(image.bytesPerLine() / 4),
                  image.width(), image.height(), stamps),
      image_(image) {
    Q_ASSERT(image.format() == QImage::Format_RGB32);
}

ImageCanvas::~ImageCanvas() = default;

QPainter& ImageCanvas::Painter() {
    if (!painter_) painter_ = std::make_unique<QPainter>(&image_);
    return *painter_;
}

void ImageCanvas::PaintLine(int x1, int y1, int x2, int y2) {
    QPainter& painter = Painter();
    painter.setPen(StrokePen(penColour_, penWidth_));
    painter.drawLine(x1, y1, x2, y2);
}

void ImageCanvas::PaintEllipse(const CanvasRect& bounds) {
    QPainter& painter = Painter();
    painter.setPen(StrokePen(penColour_, penWidth_));
    if (brushSolid_)
        painter.setBrush(QColor(brushRgb_));
    else
        painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(
        QRect(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top));
}

void ImageCanvas::PaintText(const CanvasRect& box, TextAlign align, std::string_view text) {
    if (StampText(box, align, text)) return;
    QPainter& painter = Painter();
    painter.setPen(QColor(ToRgb(textColour_)));
    painter.setFont(FrameFonts::Instance().Font(font_));
    const int flags = TextFlags(align);
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

bool ImageCanvas::StampText(const CanvasRect& box, TextAlign align, std::string_view text) {
    if (image_.devicePixelRatio() != 1.0) return false;
    const TextStamps::Key key{std::string(text),      font_,
                              ToRgb(textColour_),     align,
                              box.right - box.left,   box.bottom - box.top,
                              image_.dotsPerMeterX(), image_.dotsPerMeterY()};
    TextStamps::Entry& entry = stamps_.Texts().Find(key);
    // A text drawn once, as in a single frame, is not worth keeping.
    if (entry.seen < 2) ++entry.seen;
    if (entry.seen < 2) return false;
    if (!entry.measured) MeasureText(key, entry);
    if (!entry.stampable) return false;
    const CanvasRect& reach = entry.reach;
    const int left = box.left + reach.left, top = box.top + reach.top;
    const int width = reach.right - reach.left, height = reach.bottom - reach.top;
    if (left < 0 || top < 0 || left + width > width_ || top + height > height_) return false;
    const QRgb background = pixels_[top * stride_ + left];
    for (int y = top; y < top + height; ++y) {
        const QRgb* row = pixels_ + y * stride_ + left;
        if (std::any_of(row, row + width, [&](QRgb p) { return p != background; })) return false;
    }
    auto stamp =
        std::find_if(entry.stamps.begin(), entry.stamps.end(),
                     [&](const TextStamps::Stamp& s) { return s.background == background; });
    if (stamp == entry.stamps.end()) {
        // A text on a few backgrounds at most: the frame's and the faded one.
        if (entry.stamps.size() >= 4) entry.stamps.clear();
        entry.stamps.push_back(MakeTextStamp(key, reach, background));
        stamp = entry.stamps.end() - 1;
    }
    for (int y = 0; y < height; ++y)
        std::copy_n(stamp->pixels.data() + static_cast<std::ptrdiff_t>(y) * width, width,
                    pixels_ + (top + y) * stride_ + left);
    if (drawn_ != nullptr) drawn_->Add(left, top, left + width, top + height);
    return true;
}

void ImageCanvas::MeasureText(const TextStamps::Key& key, TextStamps::Entry& entry) {
    entry.measured = true;
    const QString string =
        QString::fromUtf8(key.text.data(), static_cast<qsizetype>(key.text.size()));
    if (HasMarks(string)) return;
    // At most the area the drawn spans take for the text, measured for an image of the same
    // resolution.
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.setDotsPerMeterX(key.dotsPerMeterX);
    probe.setDotsPerMeterY(key.dotsPerMeterY);
    CanvasRect most;
    {
        QPainter painter(&probe);
        painter.setFont(FrameFonts::Instance().Font(key.font));
        const int margin = painter.fontMetrics().height();
        const QRect laid = painter.boundingRect(QRect(0, 0, key.boxWidth, key.boxHeight),
                                                TextFlags(key.align), string);
        most = {laid.left() - margin, laid.top() - margin, laid.right() + 1 + margin,
                laid.bottom() + 1 + margin};
    }
    // Within it, the pixels the text changes on the colour farthest from its own in each
    // channel, where the faintest edge of a glyph shows; and a pixel more all round.
    const auto far = [](int channel) { return channel < 128 ? 255 : 0; };
    const QRgb contrast =
        qRgb(far(qRed(key.colour)), far(qGreen(key.colour)), far(qBlue(key.colour)));
    const TextStamps::Stamp pad = MakeTextStamp(key, most, contrast);
    const int width = most.right - most.left, height = most.bottom - most.top;
    CanvasRect changed{width, height, 0, 0};
    const QRgb* pixel = pad.pixels.data();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (*pixel++ != contrast)
                changed = {std::min(changed.left, x), std::min(changed.top, y),
                           std::max(changed.right, x + 1), std::max(changed.bottom, y + 1)};
    if (changed.left >= changed.right) return;  // nothing drawn: the painter's business
    entry.reach = {most.left + std::max(0, changed.left - 1),
                   most.top + std::max(0, changed.top - 1),
                   most.left + std::min(width, changed.right + 1),
                   most.top + std::min(height, changed.bottom + 1)};
    entry.stampable = true;
}

TextStamps::Stamp ImageCanvas::MakeTextStamp(const TextStamps::Key& key, const CanvasRect& reach,
                                             QRgb background) {
    const int width = reach.right - reach.left, height = reach.bottom - reach.top;
    QImage pad(width, height, QImage::Format_RGB32);
    pad.setDotsPerMeterX(key.dotsPerMeterX);
    pad.setDotsPerMeterY(key.dotsPerMeterY);
    pad.fill(background);
    {
        QPainter painter(&pad);
        painter.setPen(QColor(key.colour));
        painter.setFont(FrameFonts::Instance().Font(key.font));
        painter.drawText(
            QRect(-reach.left, -reach.top, key.boxWidth, key.boxHeight), TextFlags(key.align),
            QString::fromUtf8(key.text.data(), static_cast<qsizetype>(key.text.size())));
    }
    TextStamps::Stamp stamp{background, {}};
    stamp.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pad.constScanLine(y));
        stamp.pixels.insert(stamp.pixels.end(), row, row + width);
    }
    return stamp;
}

}  // namespace ocuvis
