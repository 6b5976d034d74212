// Loading, scaling, rendering and writing for ocuvis-render.
#include "app/cli/RenderCommand.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/standalone/StandaloneViewer.h"
#include "input/DataFileLoader.h"
#include "input/StatusText.h"
#include "render/FrameFonts.h"
#include "render/ImageFile.h"

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

bool WriteToFile(const QImage& image, const std::string& pattern, int frame, int frames,
                 std::ostream& err) {
    const std::string name = FrameFileName(pattern, frame, frames);
    if (const auto failure = WriteImageFile(image, QString::fromStdString(name))) {
        err << "ocuvis-render: cannot write '" << name << "': " << failure->toStdString() << '\n';
        return false;
    }
    return true;
}

bool WriteToStream(const QImage& image, std::optional<ImageFileFormat> format, std::ostream& out,
                   std::ostream& err) {
    QByteArray bytes;
    if (const auto failure = EncodeImage(image, format.value_or(ImageFileFormat::Png), bytes)) {
        err << "ocuvis-render: cannot encode the image: " << failure->toStdString() << '\n';
        return false;
    }
    errno = 0;
    out.write(bytes.constData(), bytes.size());
    out.flush();
    if (!out) {
        err << "ocuvis-render: cannot write the image to standard output";
        if (errno != 0) err << ": " << std::generic_category().message(errno);
        err << '\n';
        return false;
    }
    return true;
}

int WriteAnimation(FrameRenderer& renderer, const FrameSources& sources,
                   const RenderOptions& options, std::ostream& err) {
    AnimationRequest request;
    request.kind = *options.animate;
    request.stepDegrees = options.stepDegrees;
    request.delayMs = options.delayMs.value_or(DefaultAnimationDelay(request.kind));
    request.size = {options.width, options.height};
    request.path = QString::fromStdString(options.output);
    const AnimationOutcome outcome = ExportAnimation(renderer, sources, request);
    if (outcome.failure) {
        err << "ocuvis-render: cannot write '" << options.output
            << "': " << outcome.failure->toStdString() << '\n';
        return kExitFailed;
    }
    return kExitOk;
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

int RunRender(const RenderOptions& options, std::ostream& out, std::ostream& err) {
    // As the viewer starts: defaults, the auto scale with the angles reset, then the load,
    // which ends in the auto scale that keeps them.
    StandaloneViewer viewer;
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
    if (viewer.store->defaultDataLoaded) {
        err << "ocuvis-render: warning: '" << viewer.loader.outcome().path
            << "' holds fewer than two records; drawing the built-in data set\n";
    }
    // With the image on standard output, the report goes beside it.
    const bool toStandardOutput = options.output == kStandardOutput;
    if (!viewer.display.statusText.empty())
        (toStandardOutput ? err : out) << viewer.display.statusText << '\n';

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

    // The frames' only free texts: axis labels, the legend and the mode indicator are ASCII.
    std::vector<std::string_view> texts{options.titles.mainTitle, options.titles.xTitle,
                                        options.titles.yTitle, options.titles.zTitle};
    const PointStore& store = *viewer.store;
    for (int i = 0; i < std::clamp(store.labelCount, 0, kLabelCapacity); ++i)
        texts.push_back(store.labels[static_cast<std::size_t>(i)].text);
    FrameFonts::SkipSystemFontsFor(texts);
    FrameRenderer renderer;
    const FrameSources sources{view, viewer.graph, *viewer.store, options.titles};
    if (options.animate) return WriteAnimation(renderer, sources, options, err);
    for (int frame = 1; frame <= options.frames; ++frame) {
        const QImage image = renderer.RenderImage(options.width, options.height, sources);
        if (image.isNull()) {
            err << "ocuvis-render: no memory for a frame of " << options.width << "x"
                << options.height << " pixels\n";
            return kExitFailed;
        }
        if (!(toStandardOutput ? WriteToStream(image, options.format, out, err)
                               : WriteToFile(image, options.output, frame, options.frames, err)))
            return kExitFailed;
        // One step of the rotation timer.
        scaling.SetAzimuth(kAngleBar.StepUp(view.azimuth));
    }
    return kExitOk;
}

int RenderMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    std::string error;
    const std::optional<RenderOptions> options = ParseRenderArguments(arguments, error);
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
    return RunRender(*options, out, err);
}

}  // namespace ocuvis::cli
