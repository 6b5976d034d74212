#pragma once

namespace ocuvis {

// The range of one scroll bar. Positions set from outside are kept inside it, as a scroll bar
// control does.
struct ScrollRange {
    int minimum;
    int maximum;

    int Clamp(int position) const {
        return position < minimum ? minimum : (position > maximum ? maximum : position);
    }
    // One step with wrap-around: past the maximum by one lands at minimum + 1, so with ±180 the
    // run is 179, 180, -179 upwards (the rotation keys and timer rely on this).
    int StepUp(int position) const;
    int StepDown(int position) const;
};

constexpr ScrollRange kRangeBar{0, 77};
constexpr ScrollRange kXYOffsetBar{-20, 20};
constexpr ScrollRange kZOffsetBar{-40, 40};
constexpr ScrollRange kAngleBar{-180, 180};

}  // namespace ocuvis
