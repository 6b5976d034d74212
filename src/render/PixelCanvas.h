#pragma once

#include <QRgb>
#include <string_view>

#include "render/Canvas.h"
#include "render/DrawnSpans.h"
#include "render/PixelStamp.h"

namespace ocuvis {

// The pixel part of the fast canvas: fills, one-pixel lines, stamped ellipses and stamped short
// wide lines go straight into a buffer of RGB32 pixels. What only a painter draws exactly
// (text, long wide lines, very large ellipses) goes to the Paint hooks, which ImageCanvas
// gives a QPainter; here they draw nothing and mark the frame as not whole, so that a tool
// without Qt Gui knows to hand it on.
class PixelCanvas : public Canvas {
  public:
    // The pixels (stride in pixels) must outlive the canvas; the stamp cache may be shared
    // between frames.
    PixelCanvas(QRgb* pixels, int stride, int width, int height, StampCache& stamps);

    void SetPenColour(Colour colour) override;
    void SetPenWidth(int width) override;
    void SetBrush(bool solid, Colour colour) override;
    void SetFont(const TextFont& font) override;
    void SetTextColour(Colour colour) override;

    void DrawLine(int x1, int y1, int x2, int y2) override;
    void DrawEllipse(const CanvasRect& bounds) override;
    void DrawText(const CanvasRect& box, TextAlign align, std::string_view text) override;
    void FillRect(const CanvasRect& area) override;

    // From here on, what is drawn widens the spans, and a fill of the whole image is the
    // background fill of the spans (an image kept from frame to frame).
    void TrackDrawing(DrawnSpans* spans) { drawn_ = spans; }

    // False once a Paint hook was called without a painter behind it.
    bool whole() const { return whole_; }

  protected:
    virtual void PaintLine(int x1, int y1, int x2, int y2);
    virtual void PaintEllipse(const CanvasRect& bounds);
    virtual void PaintText(const CanvasRect& box, TextAlign align, std::string_view text);

    StampCache& stamps_;
    QRgb* pixels_;
    int stride_;
    int width_;
    int height_;
    DrawnSpans* drawn_ = nullptr;

    Colour penColour_ = 0;
    int penWidth_ = 1;
    bool brushSolid_ = false;
    Colour brushColour_ = 0;
    TextFont font_;
    Colour textColour_ = 0;
    QRgb penRgb_;
    QRgb brushRgb_;

  private:
    // Sets the stamp's pixels with its anchor at (x, y): outline in the pen colour, the rest in
    // the brush colour.
    void Stamp(const PixelStamp& stamp, int x, int y);

    bool whole_ = true;
};

}  // namespace ocuvis
