#pragma once

#include <string>
#include <vector>

#include "render/Canvas.h"

namespace ocuvis {

// Keeps every drawing call with the pen, brush and font in force at that moment, for tests of
// what a frame draws and in which order.
class RecordingCanvas final : public Canvas {
  public:
    enum class Kind { Line, Ellipse, Text, Fill };

    struct Operation {
        Kind kind = Kind::Line;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends
        CanvasRect rect;                     // ellipse bounds, text box or filled area
        std::string text;
        Colour penColour = 0;
        int penWidth = 1;
        Colour brushColour = 0;
        TextFont font;
        Colour textColour = 0;
    };

    void SetPenColour(Colour colour) override { state_.penColour = colour; }
    void SetPenWidth(int width) override { state_.penWidth = width; }
    void SetBrush(bool, Colour colour) override { state_.brushColour = colour; }
    void SetFont(const TextFont& font) override { state_.font = font; }
    void SetTextColour(Colour colour) override { state_.textColour = colour; }

    void DrawLine(int x1, int y1, int x2, int y2) override {
        Operation& op = Add(Kind::Line, {});
        op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
    }
    void DrawEllipse(const CanvasRect& bounds) override { Add(Kind::Ellipse, bounds); }
    void DrawText(const CanvasRect& box, TextAlign, std::string_view text) override {
        Add(Kind::Text, box).text = text;
    }
    void FillRect(const CanvasRect& area) override { Add(Kind::Fill, area); }

    // The operations of one kind, in order.
    std::vector<Operation> Of(Kind kind) const {
        std::vector<Operation> result;
        for (const Operation& op : operations)
            if (op.kind == kind) result.push_back(op);
        return result;
    }

    std::vector<Operation> operations;

  private:
    Operation& Add(Kind kind, const CanvasRect& rect) {
        Operation& op = operations.emplace_back(state_);
        op.kind = kind;
        op.rect = rect;
        return op;
    }

    Operation state_;  // only the pen, brush, font and text colour are kept up to date
};

}  // namespace ocuvis
