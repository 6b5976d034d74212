#pragma once

#include "render/FrameContext.h"

namespace ocuvis {

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
