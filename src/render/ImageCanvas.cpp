#include "render/ImageCanvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "render/CanvasPens.h"
#include "render/FrameFonts.h"
#include "render/PixelFill.h"
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

int TextFlags(TextAlign align) {
    return Qt::TextSingleLine | Qt::TextDontClip | Qt::AlignVCenter |
           (align == TextAlign::Right ? Qt::AlignRight : Qt::AlignHCenter);
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

void ImageCanvas::FillRect(const CanvasRect& area) {
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
