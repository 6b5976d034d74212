#pragma once

#include <array>
#include <cstdint>

#include "core/GraphViewState.h"
#include "core/RedrawGate.h"
#include "core/UserFeedback.h"
#include "render/GraphScaling.h"

namespace ocuvis {

// Timer intervals of the twelve rotation speeds, 1 to 50 steps a second.
constexpr std::array<std::int32_t, 12> rotateDelayTable = {1000, 500, 333, 250, 200, 167,
                                                           125,  100, 67,  50,  33,  20};
constexpr std::int32_t kFastestSpeedIndex = 11;

// Auto-rotation, its speeds, and rotation by dragging across the graph. Angles move through the
// angle scroll bars of GraphScaling, whose change handlers redraw.
class RotationControl {
  public:
    RotationControl(GraphViewState& view, GraphScaling& scaling, RedrawGate& gate,
                    UserFeedback& feedback);

    void AzimuthItemClick();
    void ElevationItemClick();
    void FasterItemClick();
    void SlowerItemClick();
    void SecClick(std::int32_t index);
    void StopRotation();

    // One tick: each rotating angle one degree up, wrapping past 180.
    void RotateTimerTimer();

    // The user operated an angle bar: that axis stops rotating.
    void AzimuthScrollBarScroll();
    void ElevationScrollBarScroll();

    void GraphBoxMouseDown(bool leftButton, int x, int y);
    void GraphBoxMouseMove(bool leftButton, int x, int y);

    int dragStartX = 0;
    int dragStartY = 0;
    int dragStartAzimuth = 0;
    int dragStartElevation = 0;

  private:
    GraphViewState& view_;
    GraphScaling& scaling_;
    RedrawGate& gate_;
    UserFeedback& feedback_;
};

}  // namespace ocuvis
