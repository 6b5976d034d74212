#pragma once

#include <cstdint>
#include <string_view>

#include "core/ViewType.h"

namespace ocuvis {

// The two faces the frame uses; which real font stands behind each is decided in FrameFonts.
enum class FontFace : std::uint8_t { Sans, Serif };

struct TextFont {
    FontFace face = FontFace::Sans;
    int pointSize = 14;
    bool bold = false;

    friend bool operator==(const TextFont&, const TextFont&) = default;
};

// A rectangle with exclusive right and bottom edges, as the drawing calls take them.
struct CanvasRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const CanvasRect&, const CanvasRect&) = default;
};

// Text is always drawn on one line and vertically centred.
enum class TextAlign : std::uint8_t { Centre, Right };

// What every layer draws on. Pen, brush and font are state: a call draws with whatever was set
// last, so a layer sets them once for a run of primitives. Implementations: the fast one on a
// QImage, the plain per-primitive QPainter one it must match, and a recording one for tests.
class Canvas {
  public:
    virtual ~Canvas() = default;

    virtual void SetPenColour(Colour colour) = 0;
    virtual void SetPenWidth(int width) = 0;
    // A clear brush fills nothing.
    virtual void SetBrush(bool solid, Colour colour) = 0;
    virtual void SetFont(const TextFont& font) = 0;
    virtual void SetTextColour(Colour colour) = 0;

    // Aliased line in the current pen, both ends given in pixels.
    virtual void DrawLine(int x1, int y1, int x2, int y2) = 0;
    // Ellipse inside the rectangle, filled with the brush and outlined with the pen.
    virtual void DrawEllipse(const CanvasRect& bounds) = 0;
    // Text in the font and text colour, with a clear background.
    virtual void DrawText(const CanvasRect& box, TextAlign align, std::string_view text) = 0;
    // Fills the rectangle with the brush colour, whatever the brush style.
    virtual void FillRect(const CanvasRect& area) = 0;
};

}  // namespace ocuvis
