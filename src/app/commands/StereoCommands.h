#pragma once

#include "core/GraphViewState.h"
#include "core/RedrawGate.h"

namespace ocuvis {

// The View menu's stereo commands: swapped eyes, the eyes' separation and the anaglyph
// method. Each changes the view state and redraws; a step past either end of the separation
// changes nothing.
class StereoCommands {
  public:
    StereoCommands(GraphViewState& view, RedrawGate& gate) : view_(view), gate_(gate) {}

    void SwapEyesClick();
    void WiderEyesClick();
    void NarrowerEyesClick();
    void UsualEyesClick();
    void SelectAnaglyphMethod(AnaglyphMethod method);

  private:
    void SetSeparation(int tenths);

    GraphViewState& view_;
    RedrawGate& gate_;
};

// "1.3": the separation as the menu shows it.
const char* SeparationText(int tenths);

}  // namespace ocuvis
