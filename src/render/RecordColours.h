#pragma once

#include <QRgb>
#include <cstdint>
#include <cstring>

#include "render/ColourMaps.h"
#include "render/FrameContext.h"
#include "render/RecordProjection.h"

namespace ocuvis {

// The colour of each record's dot and line in one frame: the file's colours, a field through a
// colour map, or the view's dot colour, then shaded by depth and, in the red/blue views, turned
// into brightness in each eye's channel. Inactive when none of this applies: the layers then
// draw as they always have.
class RecordColours {
  public:
    explicit RecordColours(const FrameContext& frame);

    bool Active() const { return mode_ != Mode::Plain || shading_; }
    bool Colouring() const { return mode_ != Mode::Plain; }
    bool Shading() const { return shading_; }
    bool Mapped() const { return mode_ == Mode::Value || mode_ == Mode::Axis; }

    // The colour of record i before shading: a colour only where Colouring().
    QRgb Of(int i) const {
        if (mode_ == Mode::Rgb) return cells_[i];
        if (mode_ == Mode::Plain) return plain_;
        float v;
        if (mode_ == Mode::Value)
            std::memcpy(&v, &cells_[i], sizeof v);
        else
            v = axis_[4 * i];
        return table_[IndexOf(v)];
    }

    // What the two images draw a record of that colour at that rotated depth in.
    void ImageColours(QRgb colour, float depth, QRgb& first, QRgb& second) const {
        if (!shading_ && !anaglyph_) {
            first = second = colour;
            return;
        }
        ShadedImageColours(colour, depth, first, second);
    }

    // The depth range the dots are shaded over; the rotated depths of the frame's dots.
    void SetDepthRange(float nearest, float farthest) {
        nearest_ = nearest;
        farthest_ = farthest;
    }
    // Widens a depth range by the depths of records begin..end-1 with an image.
    static void MeasureDots(const ProjectedRecord* records, int begin, int end, float& nearest,
                            float& farthest);

    // The range of a mapped field in data units, as the legend shows it, and the map.
    double rangeMin = 0.0, rangeMax = 0.0;
    const ColourTable& table() const { return table_; }

  private:
    enum class Mode { Plain, Rgb, Value, Axis };
    int IndexOf(float v) const {
        const float t = (v - low_) * perStep_ + 0.5f;
        if (!(t > 0.0f)) return 0;
        return t >= 255.0f ? 255 : static_cast<int>(t);
    }
    void FindRange(const FrameContext& frame, int axis);
    void ShadedImageColours(QRgb colour, float depth, QRgb& first, QRgb& second) const;

    Mode mode_ = Mode::Plain;
    const QRgb* cells_ = nullptr;
    const float* axis_ = nullptr;  // the x, y or z of record 0, four floats a record
    float low_ = 0.0f, perStep_ = 0.0f;
    ColourTable table_{};
    QRgb plain_ = 0;
    bool shading_ = false, anaglyph_ = false;
    QRgb background_ = 0;
    QRgb eye_[2] = {0, 0};
    float nearest_ = 0.0f, farthest_ = 0.0f;
};

}  // namespace ocuvis
