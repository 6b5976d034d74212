#include "app/commands/GraphCommands.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace ocuvis {

namespace {
constexpr const char* kErrorCaption = "Ocuvis Error Message";
constexpr const char* kWarningCaption = "Ocuvis Warning Message";

// Cycling buttons go one up and wrap to 0 past their last item. Compared before the step, so a
// stored value at the top of the integers wraps instead of overflowing.
std::int32_t NextInCycle(std::int32_t value, std::int32_t last) {
    return value < last ? value + 1 : 0;
}
}  // namespace

GraphCommands::GraphCommands(GraphViewState& view, GraphScaling& scaling, RedrawGate& gate,
                             UserFeedback& feedback)
    : view_(view), scaling_(scaling), gate_(gate), feedback_(feedback) {}

void GraphCommands::SetPointSize(std::int32_t n) {
    view_.pointSize = n;
    if (n >= 0 && n <= 6) view_.pointsPixelItem = n;
}

void GraphCommands::SetLineThickness(std::int32_t n) {
    view_.lineThickness = n;
    if (n >= 0 && n <= 3) view_.linesPixelItem = n;
}

void GraphCommands::SetGridThickness(std::int32_t n) {
    view_.gridThickness = n;
    if (n >= 0 && n <= 3) view_.gridPixelItem = n;
}

void GraphCommands::SelectViewType(ViewType type) {
    view_.viewType = type;
    gate_.RedrawGraph();
}

void GraphCommands::PointsPixelClick(std::int32_t n) {
    SetPointSize(n);
    view_.finePoints = FinePoints::Off;
    gate_.RedrawGraph();
}

void GraphCommands::LinesPixelClick(std::int32_t n) {
    SetLineThickness(n);
    gate_.RedrawGraph();
}

void GraphCommands::GridPixelClick(std::int32_t n) {
    SetGridThickness(n);
    gate_.RedrawGraph();
}

void GraphCommands::PointsSpdBtnClick() {
    PointsPixelClick(NextInCycle(view_.pointSize, 6));
}
void GraphCommands::LinesSpdBtnClick() {
    LinesPixelClick(NextInCycle(view_.lineThickness, 3));
}
void GraphCommands::GridSpdBtnClick() {
    GridPixelClick(NextInCycle(view_.gridThickness, 3));
}

void GraphCommands::ToggleAndRedraw(bool& flag) {
    flag = !flag;
    gate_.RedrawGraph();
}

void GraphCommands::ModeIndicatorItemClick() {
    ToggleAndRedraw(view_.modeIndicator);
}
void GraphCommands::AxisLabelsClick() {
    ToggleAndRedraw(view_.axisLabels);
}
void GraphCommands::TitlesItemClick() {
    ToggleAndRedraw(view_.titles);
}
void GraphCommands::TextLabelsItemClick() {
    ToggleAndRedraw(view_.textLabels);
}
void GraphCommands::DepthShadeClick() {
    ToggleAndRedraw(view_.depthShade);
}
void GraphCommands::FinePointsClick(FinePoints fine) {
    view_.finePoints = view_.finePoints == fine ? FinePoints::Off : fine;
    gate_.RedrawGraph();
}
void GraphCommands::SelectColourBy(ColourBy by) {
    view_.colourBy = by;
    gate_.RedrawGraph();
}
void GraphCommands::SelectColourMap(ColourMapKind map) {
    view_.colourMap = map;
    gate_.RedrawGraph();
}
void GraphCommands::ColourLegendClick() {
    ToggleAndRedraw(view_.colourLegend);
}

bool GraphCommands::SetColourRange(const std::string& text) {
    const auto blank = [](char ch) { return ch == ' ' || ch == '\t'; };
    std::string trimmed = text;
    std::erase_if(trimmed, blank);
    if (trimmed.empty()) {
        view_.colourRangeTyped = false;
        gate_.RedrawGraph();
        return true;
    }
    const std::size_t comma = trimmed.find(',');
    if (comma == std::string::npos) return false;
    double low = 0.0, high = 0.0;
    const auto number = [](std::string_view part, double& value) {
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        return !part.empty() && ec == std::errc() && end == part.data() + part.size() &&
               std::isfinite(value);
    };
    const std::string_view all = trimmed;
    if (!number(all.substr(0, comma), low) || !number(all.substr(comma + 1), high) || !(low < high))
        return false;
    view_.colourRangeTyped = true;
    view_.colourRangeMin = low;
    view_.colourRangeMax = high;
    gate_.RedrawGraph();
    return true;
}

void GraphCommands::FadeItemClick() {
    ToggleAndRedraw(view_.fadeLines);
}

void GraphCommands::FullGridClick() {
    view_.fullBoxGrid = !view_.fullBoxGrid;
    // The box needs the grid: switching it either way brings a hidden grid back.
    if (view_.gridThickness == 0) SetGridThickness(1);
    gate_.RedrawGraph();
}

void GraphCommands::ZInvertItemClick() {
    ZInvertSpdBtnClick(!view_.zInvert);
}

void GraphCommands::ZInvertSpdBtnClick(bool down) {
    view_.zInvert = down;
    scaling_.ApplyZSign();
    gate_.RedrawGraph();
}

void GraphCommands::AutoScaleItemClick() {
    scaling_.AutoScale(true);
    gate_.RedrawGraph();
}

void GraphCommands::AspectRatioSpdBtnClick(bool down) {
    view_.fixedAspect = down;
}

void GraphCommands::TitlesEdited() {
    view_.titles = true;
    gate_.RedrawGraph();
}

void GraphCommands::SetColorUnlessBackground(Colour& target, ColorChooser& chooser,
                                             const char* message, MessageIcon icon) {
    const std::optional<Colour> chosen = chooser.ChooseColor();
    if (!chosen) return;
    if (*chosen == view_.backgroundColor) {
        feedback_.ShowMessage(message, kErrorCaption, icon);
        return;
    }
    target = *chosen;
    gate_.RedrawGraph();
}

void GraphCommands::DotsColorSetupItemClick(ColorChooser& chooser) {
    SetColorUnlessBackground(view_.dotColor, chooser,
                             "Dots color cannot be same as Background color.",
                             MessageIcon::Information);
}

void GraphCommands::LinesColorSetupItemClick(ColorChooser& chooser) {
    SetColorUnlessBackground(view_.lineColor, chooser,
                             "Lines color cannot be same as Background color.", MessageIcon::Stop);
}

void GraphCommands::GridColorSetupItemClick(ColorChooser& chooser) {
    SetColorUnlessBackground(view_.gridColor, chooser,
                             "Grid color cannot be same as Background color.", MessageIcon::Stop);
}

void GraphCommands::TextColorSetupItemClick(ColorChooser& chooser) {
    SetColorUnlessBackground(view_.textColor, chooser,
                             "Text color cannot be same as Background color.", MessageIcon::Stop);
}

void GraphCommands::BackgoundColorSetupItemClick(ColorChooser& chooser) {
    const std::optional<Colour> chosen = chooser.ChooseColor();
    if (!chosen) return;
    view_.backgroundColor = *chosen;
    gate_.RedrawGraph();
    const Colour c = *chosen;
    if (c == view_.dotColor || c == view_.lineColor || c == view_.gridColor ||
        c == view_.textColor) {
        feedback_.ShowMessage(
            "Warning:  One or more of Dots, Lines, Grid, and Text colors are same as Background "
            "color.",
            kWarningCaption, MessageIcon::Stop);
    }
}

void GraphCommands::SetDefaultColors() {
    view_.backgroundColor = 0x000000;
    view_.textColor = 0xFFFFFF;
    view_.dotColor = 0xFFFFFF;
    view_.lineColor = 0xFF0000;
    view_.gridColor = 0x0000FF;
}

void GraphCommands::DefaultColorsSetupItemClick() {
    SetDefaultColors();
    gate_.RedrawGraph();
}

}  // namespace ocuvis
