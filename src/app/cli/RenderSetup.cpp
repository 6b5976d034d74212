// What every run of ocuvis-render does besides drawing: answering options, loading, scaling,
// reporting and writing. Kept apart from Qt, which the quick run never loads.
#include <algorithm>
#include <cerrno>
#include <ostream>
#include <system_error>

#include "app/cli/RenderCommand.h"
#include "app/standalone/StandaloneViewer.h"
#include "input/DataFileLoader.h"
#include "input/StatusText.h"
#include "render/ImageEncoding.h"

namespace ocuvis::cli {

namespace {

// "%d", "%4d" or "%04d": where it starts and how long it is.
bool FindNumberField(const std::string& pattern, std::size_t& start, std::size_t& length,
                     int& width, bool& zeroPad) {
    for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        std::size_t j = i + 1;
        zeroPad = pattern[j] == '0';
        if (zeroPad) ++j;
        width = 0;
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && width < 100)
            width = width * 10 + (pattern[j++] - '0');
        if (j < pattern.size() && pattern[j] == 'd') {
            start = i;
            length = j + 1 - i;
            return true;
        }
    }
    return false;
}

std::string Padded(int number, int width, char fill) {
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), fill);
    return digits;
}

}  // namespace

std::string FrameFileName(const std::string& pattern, int number, int count) {
    std::size_t start = 0, length = 0;
    int width = 0;
    bool zeroPad = false;
    if (FindNumberField(pattern, start, length, width, zeroPad))
        return pattern.substr(0, start) + Padded(number, width, zeroPad ? '0' : ' ') +
               pattern.substr(start + length);
    if (count <= 1) return pattern;
    const std::size_t slash = pattern.rfind('/');
    std::size_t dot = pattern.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = pattern.size();
    return pattern.substr(0, dot) + "-" + Padded(number, 4, '0') + pattern.substr(dot);
}

std::optional<int> AnswerWithoutFrames(const std::optional<RenderOptions>& options,
                                       const std::string& error, std::ostream& out,
                                       std::ostream& err) {
    if (!options) {
        err << "ocuvis-render: " << error << "\nTry 'ocuvis-render --help' for the options.\n";
        return kExitUsage;
    }
    if (options->help) {
        out << RenderUsage();
        return kExitOk;
    }
    if (options->version) {
        out << RenderVersion();
        return kExitOk;
    }
    return std::nullopt;
}

std::optional<int> LoadForRender(const RenderOptions& options, StandaloneViewer& viewer,
                                 std::ostream& err) {
    // As the viewer starts: defaults, the auto scale with the angles reset, then the load,
    // which ends in the auto scale that keeps them.
    viewer.view = options.view;
    const int azimuth = options.view.azimuth;
    const int elevation = options.view.elevation;
    viewer.view.azimuth = 0;
    viewer.view.elevation = 0;
    viewer.fileInput.fields = options.fields;
    viewer.fileInput.seed = options.seed;
    GraphViewState& view = viewer.view;
    GraphScaling& scaling = viewer.scaling;
    viewer.Load(options.dataFile);
    // The viewer shows its built-in data set for a file it cannot read; a batch run must not
    // pass that picture off as the file's.
    if (const LoadOutcome& outcome = viewer.loader.outcome(); outcome.noPoints) {
        err << "ocuvis-render: " << NoPointsStatusText(outcome.path, outcome.failure) << '\n';
        return kExitUnreadable;
    } else if (!outcome.opened) {
        err << "ocuvis-render: cannot read '" << outcome.path << "': " << outcome.failure << '\n';
        return kExitUnreadable;
    }
    scaling.SetXRangePosition(options.rangePositions[0]);
    scaling.SetYRangePosition(options.rangePositions[1]);
    scaling.SetZRangePosition(options.rangePositions[2]);
    scaling.ZoomAllAxes(options.zoomSteps);
    scaling.SetXOffsetPosition(options.offsetPositions[0]);
    scaling.SetYOffsetPosition(options.offsetPositions[1]);
    scaling.SetZOffsetPosition(options.offsetPositions[2]);
    scaling.SetAzimuth(azimuth);
    scaling.SetElevation(elevation);
    if (options.z0) view.z0 = *options.z0;
    return std::nullopt;
}

std::vector<std::string_view> FreeTexts(const RenderOptions& options, const PointStore& store) {
    std::vector<std::string_view> texts{options.titles.mainTitle, options.titles.xTitle,
                                        options.titles.yTitle, options.titles.zTitle};
    for (int i = 0; i < std::clamp(store.labelCount, 0, kLabelCapacity); ++i)
        texts.push_back(store.labels[static_cast<std::size_t>(i)].text);
    return texts;
}

void ReportLoad(const RenderOptions& options, const StandaloneViewer& viewer, std::ostream& out,
                std::ostream& err) {
    if (viewer.store->defaultDataLoaded) {
        err << "ocuvis-render: warning: '" << viewer.loader.outcome().path
            << "' holds fewer than two records; drawing the built-in data set\n";
    }
    // With the image on standard output, the report goes beside it.
    if (!viewer.display.statusText.empty())
        (options.output == kStandardOutput ? err : out) << viewer.display.statusText << '\n';
}

bool WriteImageBytes(std::string_view bytes, const std::string& name, std::ostream& err) {
    if (const auto failure = WriteFileBytes(bytes, name)) {
        err << "ocuvis-render: cannot write '" << name << "': " << *failure << '\n';
        return false;
    }
    return true;
}

bool WriteStreamBytes(std::string_view bytes, std::ostream& out, std::ostream& err) {
    errno = 0;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        err << "ocuvis-render: cannot write the image to standard output";
        if (errno != 0) err << ": " << std::generic_category().message(errno);
        err << '\n';
        return false;
    }
    return true;
}

}  // namespace ocuvis::cli
