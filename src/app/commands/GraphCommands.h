#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/GraphViewState.h"
#include "core/RedrawGate.h"
#include "core/UserFeedback.h"
#include "render/GraphScaling.h"

namespace ocuvis {

// The standard colour dialog, as the colour commands use it: nothing when cancelled.
class ColorChooser {
  public:
    virtual ~ColorChooser() = default;
    virtual std::optional<Colour> ChooseColor() = 0;
};

// The commands of the menus and the tool bar that change the view: view type, plot attributes,
// toggles, colours, scale. Each changes the view state and ends in one redraw unless said
// otherwise; the window only brings its controls in line with the state afterwards.
class GraphCommands {
  public:
    GraphCommands(GraphViewState& view, GraphScaling& scaling, RedrawGate& gate,
                  UserFeedback& feedback);

    // Store the value, check the parent item (unchecked for 0) and the matching sub-item; a
    // value outside the sub-menu changes no sub-item. No redraw.
    void SetPointSize(std::int32_t n);
    void SetLineThickness(std::int32_t n);
    void SetGridThickness(std::int32_t n);

    void SelectViewType(ViewType type);
    void PointsPixelClick(std::int32_t n);
    void LinesPixelClick(std::int32_t n);
    void GridPixelClick(std::int32_t n);
    void PointsSpdBtnClick();
    void LinesSpdBtnClick();
    void GridSpdBtnClick();

    void ModeIndicatorItemClick();
    void AxisLabelsClick();
    void TitlesItemClick();
    void TextLabelsItemClick();
    void FadeItemClick();
    void DepthShadeClick();
    // Fine dots instead of the point size; choosing the one on turns fine dots off.
    void FinePointsClick(FinePoints fine);
    void SelectColourBy(ColourBy by);
    void SelectColourMap(ColourMapKind map);
    void ColourLegendClick();
    // "MIN,MAX" in data units sets the colour map's range, an empty text gives the field's own;
    // false, changing nothing, for any other text.
    bool SetColourRange(const std::string& text);
    void FullGridClick();
    void ZInvertItemClick();
    // The button's new down state is the new setting.
    void ZInvertSpdBtnClick(bool down);
    void AutoScaleItemClick();
    // The button's new down state is the new setting; the window then fits its width. No redraw.
    void AspectRatioSpdBtnClick(bool down);
    // Titles just edited are shown.
    void TitlesEdited();

    void DotsColorSetupItemClick(ColorChooser& chooser);
    void LinesColorSetupItemClick(ColorChooser& chooser);
    void GridColorSetupItemClick(ColorChooser& chooser);
    void TextColorSetupItemClick(ColorChooser& chooser);
    void BackgoundColorSetupItemClick(ColorChooser& chooser);
    void DefaultColorsSetupItemClick();
    // The five default colours, without a redraw (start-up).
    void SetDefaultColors();

  private:
    void ToggleAndRedraw(bool& flag);
    void SetColorUnlessBackground(Colour& target, ColorChooser& chooser, const char* message,
                                  MessageIcon icon);

    GraphViewState& view_;
    GraphScaling& scaling_;
    RedrawGate& gate_;
    UserFeedback& feedback_;
};

}  // namespace ocuvis
