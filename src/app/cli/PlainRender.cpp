// The quick run: a single PNG frame drawn and written without Qt, whose libraries take
// most of a short run's time to load.
#include <algorithm>
#include <memory>
#include <new>

#include "app/cli/RenderCommand.h"
#include "render/FrameFonts.h"
#include "render/ImageEncoding.h"
#include "render/MemoryPages.h"
#include "render/PlainFrame.h"

namespace ocuvis::cli {

namespace {

bool WritesOnePng(const RenderOptions& options) {
    if (options.animate || options.frames != 1) return false;
    if (options.output == kStandardOutput)
        return options.format.value_or(ImageFileFormat::Png) == ImageFileFormat::Png;
    return ImageFormatOfName(FrameFileName(options.output, 1, 1)) == ImageFileFormat::Png;
}

}  // namespace

std::optional<int> RunPlainRender(const RenderOptions& options, std::ostream& out,
                                  std::ostream& err) {
    if (!WritesOnePng(options) || !PlainFrameRenderer::MayBeWhole(options.view))
        return std::nullopt;
    StandaloneViewer viewer;
    if (const auto status = LoadForRender(options, viewer, err)) return *status;
    // Other text sets up the full run's fonts otherwise (FrameFonts::SkipSystemFontsFor).
    if (!FrameFonts::PrintableAscii(FreeTexts(options, *viewer.store))) return std::nullopt;
    // As FrameRenderer::NewFrameImage makes the frame.
    const int width = std::max(1, options.width), height = std::max(1, options.height);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::unique_ptr<QRgb[]> pixels(new (std::nothrow) QRgb[count]);
    if (!pixels) return std::nullopt;  // RunRender tells of it
    MapPagesForWriting(pixels.get(), count * sizeof(QRgb));
    PlainFrameRenderer renderer;
    const FrameSources sources{viewer.view, viewer.graph, *viewer.store, options.titles};
    if (!renderer.Render(pixels.get(), width, width, height, sources)) return std::nullopt;
    std::string bytes;
    if (EncodeOpaquePng(pixels.get(), width, width, height, FrameFonts::kDotsPerMetre,
                        FrameFonts::kDotsPerMetre, bytes))
        return std::nullopt;  // out of memory: RunRender tells of it

    ReportLoad(options, viewer, out, err);
    const bool written = options.output == kStandardOutput
                             ? WriteStreamBytes(bytes, out, err)
                             : WriteImageBytes(bytes, FrameFileName(options.output, 1, 1), err);
    return written ? kExitOk : kExitFailed;
}

}  // namespace ocuvis::cli
