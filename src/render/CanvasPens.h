#pragma once

#include <QColor>
#include <QPen>

#include "core/ViewType.h"

namespace ocuvis {

// The Qt form of a 0x00BBGGRR colour.
inline QRgb ToRgb(Colour c) {
    return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

// The pen every canvas strokes with. One-pixel lines have flat caps and so leave out their last
// pixel; wider ones get round caps and joins, so thick polylines show no gaps at the bends. Both
// canvases build their pens here, which is what keeps them pixel-identical.
inline QPen StrokePen(Colour colour, int width) {
    if (width <= 1)
        return QPen(QColor(ToRgb(colour)), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    return QPen(QColor(ToRgb(colour)), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace ocuvis
