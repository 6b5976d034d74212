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
        TextAlign align = TextAlign::Centre;
        std::string text;
        Colour penColour = 0;
        int penWidth = 1;
        bool brushSolid = false;
        Colour brushColour = 0;
        TextFont font;
        Colour textColour = 0;
    };

    void SetPenColour(Colour colour) override { penColour_ = colour; }
    void SetPenWidth(int width) override { penWidth_ = width; }
    void SetBrush(bool solid, Colour colour) override {
        brushSolid_ = solid;
        brushColour_ = colour;
    }
    void SetFont(const TextFont& font) override { font_ = font; }
    void SetTextColour(Colour colour) override { textColour_ = colour; }

    void DrawLine(int x1, int y1, int x2, int y2) override;
    void DrawEllipse(const CanvasRect& bounds) override;
    void DrawText(const CanvasRect& box, TextAlign align, std::string_view text) override;
    void FillRect(const CanvasRect& area) override;

    std::vector<Operation> operations;

    // The operations of one kind, in order.
    std::vector<Operation> Of(Kind kind) const;

  private:
    Operation Current(Kind kind) const;

    Colour penColour_ = 0;
    int penWidth_ = 1;
    bool brushSolid_ = false;
    Colour brushColour_ = 0;
    TextFont font_;
    Colour textColour_ = 0;
};

}  // namespace ocuvis
