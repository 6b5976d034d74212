#pragma once

#include <string>

#include "render/FrameContext.h"

namespace ocuvis {

// The data file's text labels, last of all, in two passes split as the faded lines are: far
// half first. With fading each label takes the grey of its depth, else the line colour. A
// label is drawn in both images of the side-by-side pairs and once, never recoloured, in the
// other views.
class TextLabelsLayer {
  public:
    explicit TextLabelsLayer(FrameContext& frame) : frame_(frame) {}
    void Draw();

  private:
    void DrawPass(int pass);

    FrameContext& frame_;
};

// The point size of a text label by its length in characters.
int TextLabelPointSize(int characters);

// Label texts come from data files in whatever 8-bit encoding they were written: valid UTF-8 is
// kept, anything else is read as Latin-1. Returns UTF-8 and counts the characters.
std::string LabelTextAsUtf8(const std::string& raw, int& characters);

}  // namespace ocuvis
