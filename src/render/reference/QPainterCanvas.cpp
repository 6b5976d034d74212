#include "render/reference/QPainterCanvas.h"

#include <algorithm>

#include "render/CanvasPens.h"
#include "render/FrameFonts.h"

namespace ocuvis {

QPainterCanvas::QPainterCanvas(QImage& image) : painter_(&image) {
    ApplyPen();
    painter_.setBrush(Qt::NoBrush);
}

void QPainterCanvas::ApplyPen() {
    painter_.setPen(StrokePen(penColour_, penWidth_));
}

void QPainterCanvas::SetPenColour(Colour colour) {
    penColour_ = colour;
    ApplyPen();
}

void QPainterCanvas::SetPenWidth(int width) {
    penWidth_ = std::max(1, width);
    ApplyPen();
}

void QPainterCanvas::SetBrush(bool solid, Colour colour) {
    brushSolid_ = solid;
    brushColour_ = colour;
    if (solid)
        painter_.setBrush(QColor(ToRgb(colour)));
    else
        painter_.setBrush(Qt::NoBrush);
}

void QPainterCanvas::SetFont(const TextFont& font) {
    painter_.setFont(FrameFonts::Instance().Font(font));
}

void QPainterCanvas::SetTextColour(Colour colour) {
    textColour_ = colour;
}

void QPainterCanvas::DrawLine(int x1, int y1, int x2, int y2) {
    painter_.drawLine(x1, y1, x2, y2);
}

void QPainterCanvas::DrawEllipse(const CanvasRect& bounds) {
    const int w = bounds.right - bounds.left;
    const int h = bounds.bottom - bounds.top;
    if (w <= 0 || h <= 0) return;
    painter_.drawEllipse(QRect(bounds.left, bounds.top, w, h));
}

void QPainterCanvas::DrawText(const CanvasRect& box, TextAlign align, std::string_view text) {
    // Text takes its colour from the pen; the line pen comes back afterwards.
    painter_.setPen(QColor(ToRgb(textColour_)));
    const int flags = Qt::TextSingleLine | Qt::TextDontClip | Qt::AlignVCenter |
                      (align == TextAlign::Right ? Qt::AlignRight : Qt::AlignHCenter);
    painter_.drawText(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top), flags,
                      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    ApplyPen();
}

void QPainterCanvas::FillRect(const CanvasRect& area) {
    painter_.fillRect(QRect(area.left, area.top, area.right - area.left, area.bottom - area.top),
                      QColor(ToRgb(brushColour_)));
}

}  // namespace ocuvis
