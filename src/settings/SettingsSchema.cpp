#include "settings/SettingsSchema.h"

#include <array>
#include <cmath>
#include <optional>
#include <string_view>

#include "core/ScaleSteps.h"
#include "core/ScrollBarModel.h"
#include "core/ViewType.h"

namespace ocuvis {

namespace {

struct BoolValue {
    std::string_view name;
    bool GraphViewState::*field;
};

// The eight toggles read together at load, in their order.
constexpr std::array<BoolValue, 8> kToggles = {{
    {"Full Box Grid", &GraphViewState::fullBoxGrid},
    {"Rotate Azimuth", &GraphViewState::rotateAzimuth},
    {"Rotate Elevation", &GraphViewState::rotateElevation},
    {"Enable Axis Labels", &GraphViewState::axisLabels},
    {"Enable Titles", &GraphViewState::titles},
    {"TextLabels.Down", &GraphViewState::textLabels},
    {"FadeLinesSpdBtn.Down", &GraphViewState::fadeLines},
    {"Enable Mode Indicator", &GraphViewState::modeIndicator},
}};

struct ColourValue {
    std::string_view name;
    Colour GraphViewState::*field;
};

constexpr std::array<ColourValue, 5> kColours = {{
    {"Background Color", &GraphViewState::backgroundColor},
    {"Text Color", &GraphViewState::textColor},
    {"Dot Color", &GraphViewState::dotColor},
    {"Lines Color", &GraphViewState::lineColor},
    {"Grid Color", &GraphViewState::gridColor},
}};

// Thicknesses and the point size beyond their menus (a grid of 5 pixels, say) are kept as stored
// and drawn so; past the widest dot the frame draws, or below none, no drawing can show them,
// and they keep the default.
constexpr std::int32_t kWidestStoredWidth = 64;

}  // namespace

void SettingsSchema::ReadWidth(std::string_view name, std::int32_t& width) {
    std::int32_t stored = width;
    if (store_.ReadInteger(key_, name, stored) && stored >= 0 && stored <= kWidestStoredWidth)
        width = stored;
}

SettingsSchema::SettingsSchema(OrlenRegistry& store, std::string appKeyName)
    : store_(store), key_(std::move(appKeyName)) {}

void SettingsSchema::LoadSettings(GraphViewState& view, GraphRecord& graph, WindowBounds& bounds) {
    store_.RestoreFormBounds(key_, bounds);

    for (const auto& toggle : kToggles) {
        bool value = false;
        if (store_.ReadBool(key_, toggle.name, value)) view.*toggle.field = value;
    }

    bool zInvert = false;
    if (store_.ReadBool(key_, "ZInvert", zInvert)) view.zInvert = zInvert;
    graph.zscale =
        view.ZSign() * ScaleSteps[static_cast<std::size_t>(kRangeBar.Clamp(view.zRangePosition))];
    graph.zshift = OffsetShift(view.zOffsetPosition, view.ZSign());

    store_.ReadInteger(key_, "Rotate Time Delay", storedRotateDelay);
    ReadWidth("Grid Thickness", view.gridThickness);
    ReadWidth("Connecting Line Thickness", view.lineThickness);
    ReadWidth("Point Size", view.pointSize);

    for (const auto& colour : kColours) {
        std::int32_t value = 0;
        if (store_.ReadInteger(key_, colour.name, value))
            view.*colour.field = static_cast<Colour>(value);
    }

    // The angle scroll bars keep a stored angle within -180..180.
    std::int32_t angle = 0;
    if (store_.ReadInteger(key_, "Elevation", angle)) view.elevation = kAngleBar.Clamp(angle);
    if (store_.ReadInteger(key_, "Azimuth", angle)) view.azimuth = kAngleBar.Clamp(angle);
    view.elevationRadians = AngleRadians(view.elevation);
    view.azimuthRadians = AngleRadians(view.azimuth);

    std::string viewText = "Cross Eyes";
    store_.ReadString(key_, "View Type", viewText);
    // Matched exactly: "cross eyes" is no view type, and the view stays as it is.
    if (const std::optional<ViewType> type = ViewTypeFromName(viewText)) view.viewType = *type;

    bool fixedAspect = false;
    if (store_.ReadBool(key_, "Fixed 1-1 Aspect Ratio", fixedAspect))
        view.fixedAspect = fixedAspect;
    LoadStereoSettings(view);
    LoadColourSettings(view);
}

void SettingsSchema::LoadStereoSettings(GraphViewState& view) {
    bool swap = false;
    if (store_.ReadBool(key_, "Swap Eyes", swap)) view.swapEyes = swap;
    std::int32_t tenths = 0;
    if (store_.ReadInteger(key_, "Eye Separation Tenths", tenths) && tenths >= 0 &&
        tenths <= kMostEyeSeparationTenths)
        view.eyeSeparationTenths = tenths;
    std::string method;
    if (store_.ReadString(key_, "Anaglyph Method", method)) {
        if (method == "Plain") view.anaglyphMethod = AnaglyphMethod::Plain;
        if (method == "Optimised") view.anaglyphMethod = AnaglyphMethod::Optimised;
    }
}

void SettingsSchema::LoadColourSettings(GraphViewState& view) {
    std::string text;
    if (store_.ReadString(key_, "Colour By", text))
        if (const auto by = ChoiceFromName<ColourBy>(kColourByNames, text)) view.colourBy = *by;
    if (store_.ReadString(key_, "Colour Map", text))
        if (const auto map = ChoiceFromName<ColourMapKind>(kColourMapNames, text))
            view.colourMap = *map;
    double low = 0.0, high = 0.0;
    bool typed = false;
    // A typed range is only taken whole and the right way round.
    if (store_.ReadBool(key_, "Colour Range Typed", typed) &&
        store_.ReadFloat(key_, "Colour Range Min", low) &&
        store_.ReadFloat(key_, "Colour Range Max", high) && std::isfinite(low) &&
        std::isfinite(high) && low < high) {
        view.colourRangeTyped = typed;
        view.colourRangeMin = low;
        view.colourRangeMax = high;
    }
    store_.ReadBool(key_, "Colour Legend", view.colourLegend);
    store_.ReadBool(key_, "Depth Shade", view.depthShade);
    std::int32_t fine = 0;
    if (store_.ReadInteger(key_, "Fine Points", fine) && fine >= 0 && fine <= 2)
        view.finePoints = static_cast<FinePoints>(fine);
}

void SettingsSchema::SaveColourSettings(const GraphViewState& view) {
    store_.WriteString(key_, "Colour By", ChoiceName(kColourByNames, view.colourBy));
    store_.WriteString(key_, "Colour Map", ChoiceName(kColourMapNames, view.colourMap));
    store_.WriteBool(key_, "Colour Range Typed", view.colourRangeTyped);
    store_.WriteFloat(key_, "Colour Range Min", view.colourRangeMin);
    store_.WriteFloat(key_, "Colour Range Max", view.colourRangeMax);
    store_.WriteBool(key_, "Colour Legend", view.colourLegend);
    store_.WriteBool(key_, "Depth Shade", view.depthShade);
    store_.WriteInteger(key_, "Fine Points", static_cast<std::int32_t>(view.finePoints));
}

void SettingsSchema::SaveSettings(const GraphViewState& view, const WindowBounds& bounds) {
    store_.SaveFormBounds(key_, bounds);
    store_.WriteInteger(key_, "Grid Thickness", view.gridThickness);
    for (const auto& toggle : kToggles)
        store_.WriteBool(key_, toggle.name, view.*toggle.field);
    store_.WriteInteger(key_, "Rotate Time Delay", storedRotateDelay);
    store_.WriteInteger(key_, "Connecting Line Thickness", view.lineThickness);
    store_.WriteInteger(key_, "Point Size", view.pointSize);
    store_.WriteInteger(key_, "Elevation", view.elevation);
    store_.WriteInteger(key_, "Azimuth", view.azimuth);
    for (const auto& colour : kColours)
        store_.WriteInteger(key_, colour.name, static_cast<std::int32_t>(view.*colour.field));
    store_.WriteBool(key_, "ZInvert", view.zInvert);
    store_.WriteBool(key_, "Fixed 1-1 Aspect Ratio", view.fixedAspect);
    // A view type outside the known ones has no checked radio item, and so no text to write.
    const auto index = static_cast<int>(view.viewType);
    if (index >= 0 && index <= static_cast<int>(kLastViewType))
        store_.WriteString(key_, "View Type", ViewTypeName(view.viewType));
    store_.WriteBool(key_, "Swap Eyes", view.swapEyes);
    store_.WriteInteger(key_, "Eye Separation Tenths", view.eyeSeparationTenths);
    store_.WriteString(key_, "Anaglyph Method",
                       view.anaglyphMethod == AnaglyphMethod::Plain ? "Plain" : "Optimised");
    SaveColourSettings(view);
}

}  // namespace ocuvis
