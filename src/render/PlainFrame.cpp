#include "render/PlainFrame.h"

#include <sys/stat.h>

#include <algorithm>

#include "render/CanvasPens.h"
#include "render/DirectPixelPass.h"
#include "render/FrameContext.h"
#include "render/FrameLayers.h"
#include "render/ModeIndicatorLayer.h"
#include "render/PixelCanvas.h"

namespace ocuvis {

namespace {

struct TabledText {
    const char* text;
    std::size_t first, last;  // in kTextSpans
};

// kDotSpans, kDotSpanStart, kTextSpans, kTabledTexts and kRasteriserFiles, written by
// ocuvis_make_plain_stamps when the program was built.
#include "render/PlainStamps.inc"

// Whether the font and the libraries that rasterised the tables are still the files they were;
// if any was changed, the painter may now draw otherwise.
bool RasterisersUnchanged() {
    static const bool unchanged = FilesAsRecorded(kRasteriserFiles);
    return unchanged;
}

std::optional<PixelStamp> TabledEllipse(int width, int height, int penWidth, bool filled) {
    // A dot of size s: a circle 2s across, outlined with a pen s wide.
    const int s = penWidth;
    if (!filled || width != 2 * s || height != 2 * s || s < 1 || s > kMaxDotSize ||
        !RasterisersUnchanged())
        return std::nullopt;
    const auto first = kDotSpans + kDotSpanStart[s - 1];
    const auto last = kDotSpans + kDotSpanStart[s];
    return StampOfSpans({first, last});
}

std::optional<PixelStamp> NoLine(int, int, int) {
    return std::nullopt;
}

// The pixel canvas with the mode indicator's texts from the table.
class TabledTextCanvas final : public PixelCanvas {
  public:
    using PixelCanvas::PixelCanvas;

  private:
    void PaintText(const CanvasRect& box, TextAlign align, std::string_view text) override {
        const TabledText* tabled = Find(box, align, text);
        if (tabled == nullptr) {
            PixelCanvas::PaintText(box, align, text);
            return;
        }
        const QRgb rgb = ToRgb(textColour_);
        for (std::size_t i = tabled->first; i < tabled->last; ++i) {
            const PixelStamp::Span& span = kTextSpans[i];
            const int row = box.top + span.row;
            if (row < 0 || row >= height_) continue;
            const int begin = std::max(0, box.left + span.begin);
            const int end = std::min(width_, box.left + span.end);
            if (begin < end)
                std::fill(pixels_ + row * stride_ + begin, pixels_ + row * stride_ + end, rgb);
        }
    }

    const TabledText* Find(const CanvasRect& box, TextAlign align, std::string_view text) const {
        if (!(font_ == kIndicatorFont) || align != TextAlign::Centre ||
            box.right - box.left != 2 * kIndicatorReach ||
            box.bottom - box.top != 2 * kIndicatorReach || !RasterisersUnchanged())
            return nullptr;
        for (const TabledText* tabled = kTabledTexts; tabled->text != nullptr; ++tabled)
            if (text == tabled->text) return tabled;
        return nullptr;
    }
};

}  // namespace

bool FilesAsRecorded(const RecordedFile* files) {
    for (const RecordedFile* file = files; file->path != nullptr; ++file) {
        struct stat info {};
        if (stat(file->path, &info) != 0 || info.st_size != file->size ||
            info.st_mtim.tv_sec != file->seconds || info.st_mtim.tv_nsec != file->nanoseconds)
            return false;
    }
    return true;
}

StampShapes TabledShapes() {
    return {TabledEllipse, NoLine};
}

PlainFrameRenderer::PlainFrameRenderer()
    : stamps_(TabledShapes()), direct_(std::make_unique<DirectPixelPass>()) {}
PlainFrameRenderer::~PlainFrameRenderer() = default;

bool PlainFrameRenderer::MayBeWhole(const GraphViewState& view) {
    // Wide lines and axis labels need the painter; so does the legend's text.
    const bool plainGrid = view.gridThickness == 0 || (view.gridThickness == 1 && !view.axisLabels);
    return !IsComposedView(view.viewType) && view.lineThickness <= 1 && plainGrid &&
           !view.colourLegend;
}

bool PlainFrameRenderer::Render(QRgb* pixels, int stride, int width, int height,
                                const FrameSources& sources) {
    // Composed views join two eye images, which StereoFrame does on QImages.
    if (IsComposedView(sources.view.viewType) && sources.eye == EyeImage::Both) return false;
    TabledTextCanvas canvas(pixels, stride, width, height, stamps_);
    FrameContext frame(canvas, width, height, sources, fadeNear, fadeFar);
    const DirectTarget direct{*direct_, pixels, stride, stamps_};
    DrawLayers(frame, &direct);
    return canvas.whole() && !stamps_.missed();
}

}  // namespace ocuvis
