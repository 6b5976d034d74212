#pragma once

#include <QImage>
#include <QSize>

#include "core/ViewType.h"
#include "render/DrawnSpans.h"
#include "render/FrameRenderer.h"

namespace ocuvis {

// The size each eye image of a composed view is drawn at for a frame of width x height: the
// whole frame, except top-bottom, whose eyes are drawn unsqueezed into the upper and lower
// rows (the upper half gets the odd row).
QSize EyeImageSize(ViewType type, int width, int height, EyeImage eye);

// Two eye images of one size as an anaglyph of the pair (RedCyan, GreenMagenta, AmberBlue):
// the left image is the one behind the red, green or amber filter. Plain writes each eye's
// luminance into its filter's channels; optimised applies the least-squares matrices to the
// gamma-encoded values. Null for a view that is no anaglyph pair or images that differ in size.
// What was drawn on each image, when known, lets the pixels outside it go unread.
QImage CombineAnaglyph(const QImage& left, const QImage& right, ViewType pair,
                       AnaglyphMethod method, const DrawnSpans* leftDrawn = nullptr,
                       const DrawnSpans* rightDrawn = nullptr);

// Two eye images packed into a width x height frame: side by side or top and bottom, the left
// eye first, each squeezed to its half where the format says half (each pixel the average of
// the area it covers, as the display will stretch it back). Null for any other view.
QImage PackEyeImages(const QImage& left, const QImage& right, ViewType format, int width,
                     int height, const DrawnSpans* leftDrawn = nullptr,
                     const DrawnSpans* rightDrawn = nullptr);

}  // namespace ocuvis
