#pragma once

#include <cstdint>
#include <string>

#include "core/ColourChoice.h"
#include "core/ViewType.h"

namespace ocuvis {

// Every view setting of the main window, in one plain record. Controls (check marks, tool
// buttons, scroll bars, labels) are brought in line with it after each command; they never hold
// a value of their own.
// The eyes' distance goes from 0 to twice the usual one, in tenths.
constexpr std::int32_t kMostEyeSeparationTenths = 20;

struct GraphViewState {
    ViewType viewType = ViewType::CrossEyes;

    std::int32_t azimuth = 0;    // whole degrees, -180..180
    std::int32_t elevation = 0;  // whole degrees, -180..180
    double azimuthRadians = 0.0;
    double elevationRadians = 0.0;

    std::int32_t xRangePosition = 21;  // index into ScaleSteps
    std::int32_t yRangePosition = 21;
    std::int32_t zRangePosition = 21;
    std::int32_t xOffsetPosition = 0;  // -20..20
    std::int32_t yOffsetPosition = 0;  // -20..20
    std::int32_t zOffsetPosition = 0;  // -40..40

    float z0 = 16.0f;  // perspective viewing distance; unbounded

    bool rotateAzimuth = false;
    bool rotateElevation = false;
    std::int32_t rotateSpeedIndex = 7;
    std::int32_t rotateDelay = 100;  // milliseconds

    std::int32_t pointSize = 2;      // 0..6 when set from the menus; stored values may lie outside
    std::int32_t lineThickness = 0;  // 0..3
    std::int32_t gridThickness = 1;  // 0..3

    // The checked item of each pixel sub-menu. It follows the value, except that a value outside
    // the sub-menu (a stored grid thickness of 7, say) leaves the previous item checked.
    std::int32_t pointsPixelItem = 2;
    std::int32_t linesPixelItem = 0;
    std::int32_t gridPixelItem = 1;

    bool fullBoxGrid = false;
    bool axisLabels = false;
    bool titles = false;
    bool textLabels = false;
    bool fadeLines = false;
    bool modeIndicator = true;
    bool zInvert = false;
    bool fixedAspect = false;

    Colour dotColor = 0xFFFFFF;
    Colour lineColor = 0xFF0000;
    Colour gridColor = 0x0000FF;
    Colour textColor = 0xFFFFFF;
    Colour backgroundColor = 0x000000;

    std::string dataFileName;

    // Stereo: the two eye images exchanged, and the eyes' distance in tenths of the usual one
    // (0..20; 10 draws as always, 0 gives both eyes the same image).
    bool swapEyes = false;
    std::int32_t eyeSeparationTenths = 10;
    AnaglyphMethod anaglyphMethod = AnaglyphMethod::Optimised;
    // Colouring of dots and lines. The typed range is in data units.
    ColourBy colourBy = ColourBy::File;
    ColourMapKind colourMap = ColourMapKind::Viridis;
    bool colourRangeTyped = false;
    double colourRangeMin = 0.0;
    double colourRangeMax = 1.0;
    bool colourLegend = false;
    FinePoints finePoints = FinePoints::Off;
    // Dots shaded towards the background with depth, as the lines fade.
    bool depthShade = false;

    // +1 when the Z axis is inverted, else -1: without inversion larger z plots at smaller cube z.
    float ZSign() const { return zInvert ? 1.0f : -1.0f; }
};

// Radians of a whole-degree angle with the program's own value of pi (3.14159, not the full
// value), taken in extended precision and stored as a double.
double AngleRadians(std::int32_t degrees);

}  // namespace ocuvis
