#pragma once

#include "render/FrameContext.h"

namespace ocuvis {

// The four titles of the titles dialog on their places around the grid box, each only when
// its text is not empty. The font is the axis labels'.
class TitlesLayer {
  public:
    explicit TitlesLayer(FrameContext& frame) : frame_(frame) {}
    void Draw();

  private:
    FrameContext& frame_;
};

}  // namespace ocuvis
