#pragma once

#include <cmath>
#include <cstdint>

#include "core/GraphRecord.h"
#include "core/GraphViewState.h"

namespace ocuvis {

// A position after the rotation; Z is the depth, larger is farther away.
struct RotatedPosition {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
};

// The truncated pixel positions of one position: its column in each image and its row.
struct ImagePixels {
    int column1 = 0;
    int column2 = 0;
    int row = 0;
};

// Which images a frame holds: both of its view, or one eye's alone (a whole single image, as
// the composed views draw them). Apart is both eyes of a composed view at once, each in an
// image of its own: the first column in the left eye's image, the second in the right's.
// Swap and separation apply to each.
enum class EyeImage { Both, Left, Right, Apart };

// The one chain from plot coordinates to pixels: rotation by the two angles, perspective from
// one eye per image, placement of the image and the mapping of the frame onto the paint area.
// Built per frame from the view state, the graph record and the paint area's size.
class Projection {
  public:
    Projection(const GraphViewState& view, const GraphRecord& graph, int width, int height,
               EyeImage eye = EyeImage::Both);

    // Eye offset and frame extents for the view type; every pixel mapping of the frame uses
    // them. The constructor runs it once.
    void ComputeFrameExtents();

    // One rotated coordinate each, as doubles; callers store them as floats.
    double RotateX(float x, float y, float z) const;
    double RotateY(float x, float y, float z) const;
    double RotateZ(float x, float y, float z) const;
    RotatedPosition Rotate(float x, float y, float z) const;

    // False for positions at or behind the eye (Z + D <= 0) and for anything that is not a
    // finite number: those have no image and are never drawn.
    bool IsDrawable(const RotatedPosition& p) const;

    // Pixel positions before truncation, as 32-bit floats. Only meaningful for drawable
    // positions; far positions may lie millions of pixels outside the frame.
    float FirstImageColumn(const RotatedPosition& p) const;
    float SecondImageColumn(const RotatedPosition& p) const;
    float ImageRow(const RotatedPosition& p) const;

    // The pixels of a position in both images (in the single view the second is the first).
    // False for a position that is not drawable or whose projection overflows a float: such a
    // position has no pixel and is skipped.
    bool PixelsOf(const RotatedPosition& p, ImagePixels& pixels) const;

    // Truncated pixel positions. Values beyond kPixelLimit are held there, so that
    // arithmetic on them cannot overflow.
    int FirstImageX(float X, float Y, float Z) const;
    int SecondImageX(float X, float Y, float Z) const;
    int ImageY(float X, float Y, float Z) const;

    // Projected coordinate to pixel, as a float before truncation.
    float ToPixelX(float u) const;
    float ToPixelY(float v) const;

    // Truncation toward zero, held within ±kPixelLimit; NaN gives -kPixelLimit.
    static int TruncatePixel(float value);
    static constexpr float kPixelLimit = 16777216.0f;  // 2^24: far outside any frame

    // False when the frame itself has no extent or is not finite (a viewing distance that
    // puts the cube's near face at the eye, say): then nothing can be placed.
    bool FrameUsable() const { return frameUsable_; }

    bool Paired() const {
        return viewType_ != ViewType::Single &&
               (eyeImage_ == EyeImage::Both || eyeImage_ == EyeImage::Apart);
    }
    EyeImage eyeImage() const { return eyeImage_; }
    ViewType viewType() const { return viewType_; }
    int width() const { return width_; }
    int height() const { return height_; }
    float viewingDistance() const { return d_; }

    // The numbers of the chain, for code that runs it on several positions at once and must
    // do exactly what the functions above do.
    struct Terms {
        double cosAz, sinAz, cosEl, sinEl, sinElSinAz, sinElCosAz, cosElCosAz, cosElSinAz;
        float d, firstEye, firstShift, secondEye, secondShift;
        int width, height;
    };
    Terms terms() const {
        return {cosAz_,      sinAz_,      cosEl_,       sinEl_, sinElSinAz_,
                sinElCosAz_, cosElCosAz_, cosElSinAz_,  d_,     firstEye_,
                firstShift_, secondEye_,  secondShift_, width_, height_};
    }

    float eyeOffset = 0.0f;
    float frameLeft = 0.0f;
    float frameRight = 0.0f;
    float frameBottom = 0.0f;
    float frameTop = 0.0f;

  private:
    // Places an image whose centre plane lies at the given position for an eye at base times
    // the separation (negative base: the left eye), the other eye when swapped.
    void PlaceImage(float centre, float base, float& eye, float& shift) const;

    float ImageU(const RotatedPosition& p, float eye, float shift) const;

    ViewType viewType_;
    EyeImage eyeImage_;
    bool swapEyes_;
    std::int32_t separationTenths_;
    GraphRecord graph_;
    int width_;
    int height_;
    float d_;
    double cosAz_, sinAz_, cosEl_, sinEl_;
    double sinElSinAz_, sinElCosAz_, cosElCosAz_, cosElSinAz_;
    // Eye positions and placement shifts of the two images.
    float firstEye_ = 0.0f, firstShift_ = 0.0f, secondEye_ = 0.0f, secondShift_ = 0.0f;
    bool frameUsable_ = false;
};

// Inline: every record goes through these several times per frame.
inline double Projection::RotateX(float x, float, float z) const {
    return cosAz_ * x + sinAz_ * z;
}

inline double Projection::RotateY(float x, float y, float z) const {
    return cosEl_ * y + sinElSinAz_ * x - sinElCosAz_ * z;
}

inline double Projection::RotateZ(float x, float y, float z) const {
    return sinEl_ * y + cosElCosAz_ * z - cosElSinAz_ * x;
}

inline RotatedPosition Projection::Rotate(float x, float y, float z) const {
    return {static_cast<float>(RotateX(x, y, z)), static_cast<float>(RotateY(x, y, z)),
            static_cast<float>(RotateZ(x, y, z))};
}

inline bool Projection::IsDrawable(const RotatedPosition& p) const {
    // Written so that NaN fails every test.
    return frameUsable_ && p.Z + d_ > 0.0f && std::isfinite(p.X) && std::isfinite(p.Y) &&
           std::isfinite(p.Z);
}

inline float Projection::ImageU(const RotatedPosition& p, float eye, float shift) const {
    return static_cast<float>(
        (static_cast<double>(p.X) - eye) * d_ / (p.Z + static_cast<double>(d_)) + shift);
}

inline float Projection::FirstImageColumn(const RotatedPosition& p) const {
    return ToPixelX(ImageU(p, firstEye_, firstShift_));
}

inline float Projection::SecondImageColumn(const RotatedPosition& p) const {
    return ToPixelX(ImageU(p, secondEye_, secondShift_));
}

inline float Projection::ImageRow(const RotatedPosition& p) const {
    const float v =
        static_cast<float>(static_cast<double>(p.Y) * d_ / (p.Z + static_cast<double>(d_)));
    return ToPixelY(v);
}

inline float Projection::ToPixelX(float u) const {
    return static_cast<float>(static_cast<double>(width_) * (static_cast<double>(u) - frameLeft) /
                              (static_cast<double>(frameRight) - frameLeft));
}

inline float Projection::ToPixelY(float v) const {
    return static_cast<float>(height_ * (1.0 - (static_cast<double>(v) - frameBottom) /
                                                   (static_cast<double>(frameTop) - frameBottom)));
}

inline int Projection::TruncatePixel(float value) {
    if (!(value > -kPixelLimit)) return -static_cast<int>(kPixelLimit);
    if (value > kPixelLimit) return static_cast<int>(kPixelLimit);
    return static_cast<int>(value);
}

}  // namespace ocuvis
