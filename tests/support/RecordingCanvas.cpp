#include "RecordingCanvas.h"

namespace ocuvis {

RecordingCanvas::Operation RecordingCanvas::Current(Kind kind) const {
    Operation op;
    op.kind = kind;
    op.penColour = penColour_;
    op.penWidth = penWidth_;
    op.brushSolid = brushSolid_;
    op.brushColour = brushColour_;
    op.font = font_;
    op.textColour = textColour_;
    return op;
}

void RecordingCanvas::DrawLine(int x1, int y1, int x2, int y2) {
    Operation op = Current(Kind::Line);
    op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
    operations.push_back(std::move(op));
}

void RecordingCanvas::DrawEllipse(const CanvasRect& bounds) {
    Operation op = Current(Kind::Ellipse);
    op.rect = bounds;
    operations.push_back(std::move(op));
}

void RecordingCanvas::DrawText(const CanvasRect& box, TextAlign align, std::string_view text) {
    Operation op = Current(Kind::Text);
    op.rect = box;
    op.align = align;
    op.text = std::string(text);
    operations.push_back(std::move(op));
}

void RecordingCanvas::FillRect(const CanvasRect& area) {
    Operation op = Current(Kind::Fill);
    op.rect = area;
    operations.push_back(std::move(op));
}

std::vector<RecordingCanvas::Operation> RecordingCanvas::Of(Kind kind) const {
    std::vector<Operation> result;
    for (const Operation& op : operations)
        if (op.kind == kind) result.push_back(op);
    return result;
}

}  // namespace ocuvis
