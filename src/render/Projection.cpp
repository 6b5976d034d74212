#include "render/Projection.h"

#include <cmath>

namespace ocuvis {

Projection::Projection(const GraphViewState& view, const GraphRecord& graph, int width, int height,
                       EyeImage eye)
    : viewType_(view.viewType),
      eyeImage_(IsComposedView(view.viewType) && eye == EyeImage::Both ? EyeImage::Left : eye),
      swapEyes_(view.swapEyes),
      separationTenths_(view.eyeSeparationTenths),
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
    const bool sideBySide =
        (type == ViewType::CrossEyes || type == ViewType::WallEyes) && eyeImage_ == EyeImage::Both;
    eyeOffset = type == ViewType::Single ? 0.0f : (graph_.xmax - graph_.xmin) * 0.5f;
    const double h = sideBySide ? eyeOffset : 0.0;
    frameLeft = static_cast<float>((graph_.xmin - h) * d / (graph_.zmin + d));
    frameRight = static_cast<float>((graph_.xmax + h) * d / (graph_.zmin + d));
    const float margin = static_cast<float>((graph_.ymax - graph_.ymin) * 0.05);
    frameBottom = static_cast<float>(graph_.ymin * d / (graph_.zmax + d) - margin);
    frameTop = static_cast<float>(graph_.ymax * d / (graph_.zmin + d) - margin);

    const float h1 = eyeOffset;
    if (eyeImage_ != EyeImage::Both) {
        // One eye's whole image, centred as the red/blue views centre theirs; the eyes sit as
        // far apart as in the side-by-side pairs.
        const float base = (graph_.xmax - graph_.xmin) * 0.5f;
        PlaceImage(0.0f, eyeImage_ == EyeImage::Right ? base : -base, firstEye_, firstShift_);
        if (eyeImage_ == EyeImage::Apart)
            PlaceImage(0.0f, base, secondEye_, secondShift_);
        else
            secondEye_ = firstEye_, secondShift_ = firstShift_;
    } else {
        switch (type) {
            case ViewType::CrossEyes:
                PlaceImage(h1, -h1, firstEye_, firstShift_);
                PlaceImage(-h1, h1, secondEye_, secondShift_);
                break;
            case ViewType::WallEyes:
                PlaceImage(h1, h1, firstEye_, firstShift_);
                PlaceImage(-h1, -h1, secondEye_, secondShift_);
                break;
            case ViewType::RightRed:
                PlaceImage(0.0f, -h1, firstEye_, firstShift_);
                PlaceImage(0.0f, h1, secondEye_, secondShift_);
                break;
            case ViewType::RightBlue:
                PlaceImage(0.0f, h1, firstEye_, firstShift_);
                PlaceImage(0.0f, -h1, secondEye_, secondShift_);
                break;
            default:
                firstEye_ = 0.0f, firstShift_ = 0.0f, secondEye_ = 0.0f, secondShift_ = 0.0f;
                break;
        }
    }
    frameUsable_ = std::isfinite(frameLeft) && std::isfinite(frameRight) &&
                   std::isfinite(frameBottom) && std::isfinite(frameTop) &&
                   frameRight != frameLeft && frameTop != frameBottom && std::isfinite(d_);
}

void Projection::PlaceImage(float centre, float base, float& eye, float& shift) const {
    if (swapEyes_) base = -base;
    // Exact at ten tenths: the float times ten fits a double, and the division undoes it, so
    // the usual separation draws the very frames it always has.
    eye = static_cast<float>(static_cast<double>(base) * separationTenths_ / 10.0);
    // The image's centre stays put whatever the eye: at the usual eye the sum gives the
    // classic shifts exactly (h - h = 0, h + h = 2h).
    shift = centre + eye;
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
