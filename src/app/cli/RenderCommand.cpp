// Loading, scaling, rendering and writing for ocuvis-render.
#include "app/cli/RenderCommand.h"

#include <QImage>
#include <QString>
#include <ostream>
#include <string>

#include "app/standalone/StandaloneViewer.h"
#include "render/FrameFonts.h"
#include "render/ImageFile.h"

namespace ocuvis::cli {

namespace {

bool WriteToFile(const QImage& image, const std::string& pattern, int frame, int frames,
                 std::ostream& err) {
    const std::string name = FrameFileName(pattern, frame, frames);
    const ImageFileFormat format = ImageFormatOfName(name).value_or(ImageFileFormat::Bmp);
    std::string bytes;
    if (const auto failure = EncodeImage(image, format, bytes)) {
        err << "ocuvis-render: cannot write '" << name << "': " << failure->toStdString() << '\n';
        return false;
    }
    return WriteImageBytes(bytes, name, err);
}

bool WriteToStream(const QImage& image, std::optional<ImageFileFormat> format, std::ostream& out,
                   std::ostream& err) {
    std::string bytes;
    if (const auto failure = EncodeImage(image, format.value_or(ImageFileFormat::Png), bytes)) {
        err << "ocuvis-render: cannot encode the image: " << failure->toStdString() << '\n';
        return false;
    }
    return WriteStreamBytes(bytes, out, err);
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

int RunRender(const RenderOptions& options, std::ostream& out, std::ostream& err) {
    StandaloneViewer viewer;
    if (const auto status = LoadForRender(options, viewer, err)) return *status;
    ReportLoad(options, viewer, out, err);
    const bool toStandardOutput = options.output == kStandardOutput;

    FrameFonts::SkipSystemFontsFor(FreeTexts(options, *viewer.store));
    FrameRenderer renderer;
    const FrameSources sources{viewer.view, viewer.graph, *viewer.store, options.titles};
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
        viewer.scaling.SetAzimuth(kAngleBar.StepUp(viewer.view.azimuth));
    }
    return kExitOk;
}

int RenderMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    std::string error;
    const std::optional<RenderOptions> options = ParseRenderArguments(arguments, error);
    if (const auto status = AnswerWithoutFrames(options, error, out, err)) return *status;
    return RunRender(*options, out, err);
}

}  // namespace ocuvis::cli
