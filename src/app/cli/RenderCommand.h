#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/standalone/StandaloneViewer.h"
#include "core/GraphViewState.h"
#include "input/LoaderServices.h"
#include "render/FrameRenderer.h"
#include "render/ImageFile.h"
#include "render/animation/AnimationExport.h"

namespace ocuvis::cli {

// Exit statuses of ocuvis-render.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;      // the image could not be written
constexpr int kExitUsage = 2;       // unknown or malformed options
constexpr int kExitUnreadable = 3;  // the data file could not be read; no image is written

// Everything ocuvis-render is told on its command line. The view starts at the first-run
// defaults of the viewer; positions and angles are applied after the load's auto scale.
struct RenderOptions {
    std::string dataFile;
    std::string output;  // "-" for standard output; ocuvis.png (ocuvis.gif animated) when none
    std::optional<ImageFileFormat> format;
    int width = 780;
    int height = 239;
    bool oneToOne = false;  // the width follows the height, as the viewer's 1:1 button sets it
    GraphViewState view;
    std::array<int, 3> rangePositions{21, 21, 21};
    std::array<int, 3> offsetPositions{0, 0, 0};
    int zoomSteps = 0;  // wheel notches over the graph, after the ranges
    std::optional<float> z0;
    TitleTexts titles;
    FileInputFields fields;
    std::uint32_t seed = 0;
    int frames = 1;
    std::optional<AnimationKind> animate;
    int stepDegrees = 2;
    std::optional<int> delayMs;  // the kind's own when none
    bool help = false;
    bool version = false;
};

// The output name that stands for standard output.
inline constexpr const char* kStandardOutput = "-";

// The width the viewer's 1:1 button gives a paint area of that height: 1.96 times it for the
// side-by-side pairs, the height itself otherwise.
int OneToOneWidth(int height, ViewType view);

// Reads the arguments (without the program name). Nothing, with a message in error, when an
// option is unknown, lacks its value or has a malformed one.
std::optional<RenderOptions> ParseRenderArguments(const std::vector<std::string>& arguments,
                                                  std::string& error);

// Loads, scales, renders and writes the image or images; reports on out and err.
int RunRender(const RenderOptions& options, std::ostream& out, std::ostream& err);

// RunRender for a single PNG frame, without Qt: nothing, with nothing written or told,
// when the options or the frame ask for what only RunRender draws (see PlainFrameRenderer).
std::optional<int> RunPlainRender(const RenderOptions& options, std::ostream& out,
                                  std::ostream& err);

// The answer to options that ask for no frames (a usage error, --help, --version): its exit
// status, once written; nothing for options that ask for frames.
std::optional<int> AnswerWithoutFrames(const std::optional<RenderOptions>& options,
                                       const std::string& error, std::ostream& out,
                                       std::ostream& err);

// The data file loaded into the viewer as the viewer starts, then scaled and turned as the
// options say. The exit status, told on err, when there is nothing to draw; else nothing.
std::optional<int> LoadForRender(const RenderOptions& options, StandaloneViewer& viewer,
                                 std::ostream& err);
// The frames' only free texts, titles and labels: axis labels, the legend and the mode
// indicator are ASCII.
std::vector<std::string_view> FreeTexts(const RenderOptions& options, const PointStore& store);
// The load's warning and status line, beside the image when it goes to standard output.
void ReportLoad(const RenderOptions& options, const StandaloneViewer& viewer, std::ostream& out,
                std::ostream& err);

// An encoded image to its file or to standard output; false, with the failure told on err,
// when it cannot be written.
bool WriteImageBytes(std::string_view bytes, const std::string& name, std::ostream& err);
bool WriteStreamBytes(std::string_view bytes, std::ostream& out, std::ostream& err);

// The whole tool: parse, then help or run. Needs a QGuiApplication.
int RenderMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

std::string RenderUsage();
// "ocuvis-render" and the version, one line.
std::string RenderVersion();

// The file name of frame number (1-based) of count: a printf-style %d in the name takes the
// number; otherwise names of several frames get "-0001" style numbers before the extension.
std::string FrameFileName(const std::string& pattern, int number, int count);

}  // namespace ocuvis::cli
