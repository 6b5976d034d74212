#pragma once

#include <QImage>
#include <QPainter>
#include <memory>

#include "render/PixelCanvas.h"
#include "render/TextStamps.h"

namespace ocuvis {

// Ellipses and wide lines as QPainter itself rasterises them, for a stamp cache.
StampShapes PaintedShapes();

// The fast canvas: the pixel canvas on an RGB32 image, with a QPainter on the same image for
// text, long wide lines and very large ellipses. Every primitive sets exactly the pixels the
// plain QPainterCanvas sets.
class ImageCanvas final : public PixelCanvas {
  public:
    // The image must be Format_RGB32 and outlive the canvas; the stamp cache may be shared
    // between frames.
    ImageCanvas(QImage& image, StampCache& stamps);
    ~ImageCanvas() override;

  private:
    void PaintLine(int x1, int y1, int x2, int y2) override;
    void PaintEllipse(const CanvasRect& bounds) override;
    void PaintText(const CanvasRect& box, TextAlign align, std::string_view text) override;

    QPainter& Painter();
    // Copies a text seen before from its stamp, where its reach is all one colour; false if
    // the painter must draw it.
    bool StampText(const CanvasRect& box, TextAlign align, std::string_view text);
    static void MeasureText(const TextStamps::Key& key, TextStamps::Entry& entry);
    static TextStamps::Stamp MakeTextStamp(const TextStamps::Key& key, const CanvasRect& reach,
                                           QRgb background);

    QImage& image_;
    std::unique_ptr<QPainter> painter_;  // begun on first use
};

}  // namespace ocuvis
