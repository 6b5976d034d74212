// Parses arbitrary argument lists (NUL-separated in the input) as ocuvis-render's command line
// and checks that whatever is accepted lies within the documented bounds.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "app/cli/RenderCommand.h"
#include "core/ScaleSteps.h"
#include "core/ScrollBarModel.h"

using namespace ocuvis;
using namespace ocuvis::cli;

namespace {

using fuzz::Check;

bool Within(ScrollRange range, int value) {
    return value >= range.minimum && value <= range.maximum;
}

std::string LowerExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return extension;
}

bool IsImageName(const std::string& name) {
    const std::string extension = LowerExtension(name);
    return extension == "png" || extension == "bmp";
}

bool IsAnimationName(const std::string& name) {
    const std::string extension = LowerExtension(name);
    return extension == "gif" || extension == "webp";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start <= bytes.size() && arguments.size() < 64;) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        arguments.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }

    std::string error;
    const auto options = ParseRenderArguments(arguments, error);
    if (!options) {
        Check(!error.empty());
        return 0;
    }
    if (options->help || options->version) return 0;

    Check(options->width >= 1 && options->width <= 16384);
    Check(options->height >= 1 && options->height <= 16384);
    const bool toStandardOutput = options->output == kStandardOutput;
    if (options->animate) {
        Check(IsAnimationName(options->output) && options->frames == 1 && options->delayMs);
        Check(IsTurntableStep(options->stepDegrees));
    } else {
        Check(toStandardOutput || IsImageName(options->output));
    }
    Check(options->view.eyeSeparationTenths >= 0 &&
          options->view.eyeSeparationTenths <= kMostEyeSeparationTenths);
    if (options->oneToOne)
        Check(options->width == OneToOneWidth(options->height, options->view.viewType));
    Check(options->frames >= 1 && options->frames <= 100000);
    const GraphViewState& view = options->view;
    Check(Within(kAngleBar, view.azimuth) && Within(kAngleBar, view.elevation));
    Check(view.pointSize >= 0 && view.pointSize <= 6);
    Check(view.lineThickness >= 0 && view.lineThickness <= 3);
    Check(view.gridThickness >= 0 && view.gridThickness <= 3);
    Check(static_cast<int>(view.viewType) >= 0 && view.viewType <= kLastViewType);
    for (const int position : options->rangePositions)
        Check(Within(kRangeBar, position));
    Check(Within(kXYOffsetBar, options->offsetPositions[0]));
    Check(Within(kXYOffsetBar, options->offsetPositions[1]));
    Check(Within(kZOffsetBar, options->offsetPositions[2]));
    if (options->z0) Check(std::isfinite(*options->z0) && *options->z0 > 0.0f);
    const FileInputFields& fields = options->fields;
    for (const int index : {fields.XIndex, fields.YIndex, fields.ZIndex, fields.DotIndex})
        Check(index >= 0 && index <= 20);
    Check(std::isfinite(fields.SamplePercent) && fields.SamplePercent >= 0.0f &&
          fields.SamplePercent <= 100.0f);

    // Every frame of a run gets a name of its own, or all go to standard output.
    if (toStandardOutput) return 0;
    const std::string first = FrameFileName(options->output, 1, options->frames);
    const std::string last = FrameFileName(options->output, options->frames, options->frames);
    Check(!first.empty());
    Check(options->frames == 1 || first != last);
    return 0;
}
