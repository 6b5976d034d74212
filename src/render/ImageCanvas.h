#pragma once

#include <QImage>
#include <QPainter>
#include <memory>

#include "render/Canvas.h"
#include "render/DrawnSpans.h"
#include "render/PixelStamp.h"

namespace ocuvis {

// The fast canvas: one-pixel lines, stamped ellipses and stamped short wide lines go straight
// into the pixel buffer of an RGB32 image; text, long wide lines and very large ellipses go
// through a QPainter on the same image. Every primitive sets exactly the pixels the plain
// QPainterCanvas sets.
class ImageCanvas final : public Canvas {
  public:
    // The image must be Format_RGB32 and outlive the canvas; the stamp cache may be shared
    // between frames.
    ImageCanvas(QImage& image, StampCache& stamps);
    ~ImageCanvas() override;

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

  private:
    QPainter& Painter();
    // Copies a text seen before from its stamp, where its reach is all one colour; false if
    // the painter must draw it.
    bool StampText(const CanvasRect& box, TextAlign align, std::string_view text);
    static void MeasureText(const TextStamps::Key& key, TextStamps::Entry& entry);
    static TextStamps::Stamp MakeTextStamp(const TextStamps::Key& key, const CanvasRect& reach,
                                           QRgb background);
    // Sets the stamp's pixels with its anchor at (x, y): outline in the pen colour, the rest in
    // the brush colour.
    void Stamp(const PixelStamp& stamp, int x, int y);

    QImage& image_;
    StampCache& stamps_;
    QRgb* pixels_;
    int stride_;  // in pixels
    int width_;
    int height_;
    std::unique_ptr<QPainter> painter_;  // begun on first use
    DrawnSpans* drawn_ = nullptr;

    Colour penColour_ = 0;
    int penWidth_ = 1;
    bool brushSolid_ = false;
    Colour brushColour_ = 0;
    TextFont font_;
    Colour textColour_ = 0;
    QRgb penRgb_;
    QRgb brushRgb_;
};

}  // namespace ocuvis
