#include "render/Projection.h"

#include <cmath>

namespace ocuvis {

Projection::Projection(const GraphViewState& view, const GraphRecord& graph, int width, int height)
    : viewType_(view.viewType),
      graph_(graph),
      width_(width),
      height_(height),
      d_(view.z0),
      cosAz_(std::cos(view.azimuthRadians)),
      sinAz_(std::sin(view.azimuthRadians)),
      cosEl_(std::cos(view.elevationRadians)),
      sinEl_(std::sin(view.elevationRadians)),
      sinElSinAz_(sinEl_ * sinAz_),
      sinElCosAz_(sinEl_ * cosAz_),
      cosElCosAz_(cosEl_ * cosAz_),
      cosElSinAz_(cosEl_ * sinAz_) {
    ComputeFrameExtents();
}

void Projection::ComputeFrameExtents() {
    const ViewType type = viewType_;
    const double d = d_;
    const bool sideBySide = type == ViewType::CrossEyes || type == ViewType::WallEyes;
    eyeOffset = type == ViewType::Single ? 0.0f : (graph_.xmax - graph_.xmin) * 0.5f;
    const double h = sideBySide ? eyeOffset : 0.0;
    frameLeft = static_cast<float>((graph_.xmin - h) * d / (graph_.zmin + d));
    frameRight = static_cast<float>((graph_.xmax + h) * d / (graph_.zmin + d));
    const float margin = static_cast<float>((graph_.ymax - graph_.ymin) * 0.05);
    frameBottom = static_cast<float>(graph_.ymin * d / (graph_.zmax + d) - margin);
    frameTop = static_cast<float>(graph_.ymax * d / (graph_.zmin + d) - margin);

    const float h1 = eyeOffset;
    switch (type) {
        case ViewType::CrossEyes:
            firstEye_ = -h1, firstShift_ = 0.0f, secondEye_ = h1, secondShift_ = 0.0f;
            break;
        case ViewType::WallEyes:
            firstEye_ = h1, firstShift_ = 2 * h1, secondEye_ = -h1, secondShift_ = -2 * h1;
            break;
        case ViewType::RightRed:
            firstEye_ = -h1, firstShift_ = -h1, secondEye_ = h1, secondShift_ = h1;
            break;
        case ViewType::RightBlue:
            firstEye_ = h1, firstShift_ = h1, secondEye_ = -h1, secondShift_ = -h1;
            break;
        case ViewType::Single:
            firstEye_ = 0.0f, firstShift_ = 0.0f, secondEye_ = 0.0f, secondShift_ = 0.0f;
            break;
    }
    frameUsable_ = std::isfinite(frameLeft) && std::isfinite(frameRight) &&
                   std::isfinite(frameBottom) && std::isfinite(frameTop) &&
                   frameRight != frameLeft && frameTop != frameBottom && std::isfinite(d_);
}

bool Projection::PixelsOf(const RotatedPosition& p, ImagePixels& pixels) const {
    if (!IsDrawable(p)) return false;
    const float column1 = FirstImageColumn(p);
    const float column2 = Paired() ? SecondImageColumn(p) : column1;
    const float row = ImageRow(p);
    if (!std::isfinite(column1) || !std::isfinite(column2) || !std::isfinite(row)) return false;
    pixels = {TruncatePixel(column1), TruncatePixel(column2), TruncatePixel(row)};
    return true;
}

int Projection::FirstImageX(float X, float Y, float Z) const {
    return TruncatePixel(FirstImageColumn({X, Y, Z}));
}

int Projection::SecondImageX(float X, float Y, float Z) const {
    return TruncatePixel(SecondImageColumn({X, Y, Z}));
}

int Projection::ImageY(float X, float Y, float Z) const {
    return TruncatePixel(ImageRow({X, Y, Z}));
}

}  // namespace ocuvis
