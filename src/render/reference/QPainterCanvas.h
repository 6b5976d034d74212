#pragma once

#include <QImage>
#include <QPainter>

#include "render/Canvas.h"

namespace ocuvis {

// The plain canvas: every primitive is one ordinary QPainter call. It is the reference the fast
// ImageCanvas is held to, and the yardstick of its speed.
class QPainterCanvas final : public Canvas {
  public:
    explicit QPainterCanvas(QImage& image);

    void SetPenColour(Colour colour) override;
    void SetPenWidth(int width) override;
    void SetBrush(bool solid, Colour colour) override;
    void SetFont(const TextFont& font) override;
    void SetTextColour(Colour colour) override;

    void DrawLine(int x1, int y1, int x2, int y2) override;
    void DrawEllipse(const CanvasRect& bounds) override;
    void DrawText(const CanvasRect& box, TextAlign align, std::string_view text) override;
    void FillRect(const CanvasRect& area) override;

  private:
    void ApplyPen();

    QPainter painter_;
    Colour penColour_ = 0;
    int penWidth_ = 1;
    bool brushSolid_ = false;
    Colour brushColour_ = 0;
    Colour textColour_ = 0;
};

}  // namespace ocuvis
