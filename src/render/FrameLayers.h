#pragma once

#include <QRgb>

#include "render/FrameContext.h"

namespace ocuvis {

class DirectPixelPass;
class StampCache;

// Where the direct pass draws one-pixel lines and dots: the pixels of the canvas's image.
struct DirectTarget {
    DirectPixelPass& pass;
    QRgb* pixels;
    int stride;  // in pixels
    StampCache& stamps;
};

// Whether the direct pass can draw the view's lines; wide lines may need the painter.
bool DirectDrawable(const GraphViewState& view);

// What lies under the data: background, mode indicator, grid or box with axis labels and
// titles.
void DrawUnderData(FrameContext& frame);
// Lines and dots through the canvas.
void DrawDataOnCanvas(FrameContext& frame);
// Text labels and the colour legend.
void DrawOverData(FrameContext& frame);

// Every layer in its order, each covering the ones before. With a direct target, one-pixel
// lines and dots go straight into its pixels, and what lies under them is drawn while records
// are projected.
void DrawLayers(FrameContext& frame, const DirectTarget* direct);

}  // namespace ocuvis
