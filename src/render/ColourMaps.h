#pragma once

#include <QRgb>
#include <array>

#include "core/ColourChoice.h"

namespace ocuvis {

// The colour of a map at t in 0..1 (held to the ends outside it).
QRgb ColourMapAt(ColourMapKind kind, double t);

// The map in 256 steps, as the frame looks values up.
using ColourTable = std::array<QRgb, 256>;
ColourTable ColourMapTable(ColourMapKind kind);

// A colour towards another by step/255 of the way, each channel rounded down: the dots' depth
// shading, in the steps of the line fading.
inline QRgb ShadedTowards(QRgb colour, QRgb background, int step) {
    const auto mix = [step](int c, int b) { return c + (b - c) * step / 255; };
    return qRgb(mix(qRed(colour), qRed(background)), mix(qGreen(colour), qGreen(background)),
                mix(qBlue(colour), qBlue(background)));
}

// The brightness of a colour (Rec. 601 weights) in one eye's channel of the red/blue views:
// blue for the first image, red for the second.
inline QRgb LuminanceInEye(QRgb colour, int image) {
    const int y = (299 * qRed(colour) + 587 * qGreen(colour) + 114 * qBlue(colour) + 500) / 1000;
    return image == 0 ? qRgb(0, 0, y) : qRgb(y, 0, 0);
}

}  // namespace ocuvis
