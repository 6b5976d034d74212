#pragma once

#include "render/FrameContext.h"

namespace ocuvis {

// The indicator's font, and its box's half width and height around the projected origin, in
// which the text is centred.
constexpr TextFont kIndicatorFont{FontFace::Sans, 14, false};
constexpr int kIndicatorReach = 100;

// The view mode's name ("3D-X" and the like), or nothing for a view without one.
const char* ModeIndicatorText(ViewType type);

// The name of the view mode at the centre of each image, drawn first so that everything else
// covers it. It stands on the projected origin, unrotated and unscaled, so it moves only with
// the frame.
class ModeIndicatorLayer {
  public:
    explicit ModeIndicatorLayer(FrameContext& frame) : frame_(frame) {}
    void Draw();

  private:
    FrameContext& frame_;
};

}  // namespace ocuvis
