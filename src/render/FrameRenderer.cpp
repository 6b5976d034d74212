#include "render/FrameRenderer.h"

#include <algorithm>

#include "render/DirectPixelPass.h"
#include "render/DotsLayer.h"
#include "render/FrameContext.h"
#include "render/FrameFonts.h"
#include "render/GridLayer.h"
#include "render/ImageCanvas.h"
#include "render/LegendLayer.h"
#include "render/LinesLayer.h"
#include "render/ModeIndicatorLayer.h"
#include "render/RecordColours.h"
#include "render/StereoFrame.h"
#include "render/TextLabelsLayer.h"
#include "render/TitlesLayer.h"

namespace ocuvis {

namespace {

constexpr TextFont kIndicatorFont{FontFace::Sans, 14, false};
constexpr TextFont kGridFont{FontFace::Sans, 10, false};
constexpr Colour kFadeBackground = 0xDCDCDC;

struct DirectTarget {
    DirectPixelPass& pass;
    QRgb* pixels;
    int stride;  // in pixels
    StampCache& stamps;
};

// The layers in their order, each covering the ones before. With a direct target, one-pixel
// lines and dots go straight into its pixels (the canvas draws on the same image).
void DrawLayers(FrameContext& frame, const DirectTarget* direct) {
    Canvas& canvas = frame.canvas;
    const GraphViewState& view = frame.view;
    canvas.SetBrush(true, view.fadeLines ? kFadeBackground : view.backgroundColor);
    canvas.FillRect({0, 0, frame.width, frame.height});

    canvas.SetFont(kIndicatorFont);
    canvas.SetTextColour(view.textColor);
    canvas.SetBrush(false, view.backgroundColor);
    ModeIndicatorLayer(frame).Draw();

    if (view.gridThickness != 0) {
        canvas.SetFont(kGridFont);
        canvas.SetPenColour(view.gridColor);
        canvas.SetPenWidth(view.gridThickness);
        GridLayer(frame).Draw();
        if (view.axisLabels) TitlesLayer(frame).Draw();
        canvas.SetTextColour(view.textColor);
    }

    // Wide lines may need the painter, which only the canvas has.
    if (direct != nullptr && view.lineThickness <= 1) {
        direct->pass.Draw(frame, direct->pixels, direct->stride, direct->stamps);
    } else {
        if (view.lineThickness != 0) LinesLayer(frame).Draw();
        canvas.SetPenColour(view.dotColor);
        canvas.SetBrush(true, view.dotColor);
        DotsLayer(frame).Draw();
    }

    if (view.textLabels) TextLabelsLayer(frame).Draw();

    if (view.colourLegend) {
        canvas.SetFont(kGridFont);
        canvas.SetTextColour(view.textColor);
        LegendLayer(frame).Draw(RecordColours(frame));
    }
}

}  // namespace

FrameRenderer::FrameRenderer() : direct_(std::make_unique<DirectPixelPass>()) {}
FrameRenderer::~FrameRenderer() = default;

void FrameRenderer::Render(Canvas& canvas, int width, int height, const FrameSources& sources) {
    FrameContext frame(canvas, width, height, sources, fadeNear, fadeFar);
    DrawLayers(frame, nullptr);
}

QImage FrameRenderer::NewFrameImage(int width, int height) {
    QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    image.setDotsPerMeterX(FrameFonts::kDotsPerMetre);
    image.setDotsPerMeterY(FrameFonts::kDotsPerMetre);
    return image;
}

QImage FrameRenderer::RenderImage(int width, int height, const FrameSources& sources) {
    if (IsComposedView(sources.view.viewType) && sources.eye == EyeImage::Both)
        return RenderComposed(width, height, sources);
    QImage image = NewFrameImage(width, height);
    if (image.isNull()) return image;  // no memory for a frame this size
    RenderInto(image, sources);
    return image;
}

void FrameRenderer::RenderInto(QImage& image, const FrameSources& sources) {
    direct_->threads = dataThreads;
    direct_->bandRows = bandRows;
    direct_->subsetStep = subsetStep;
    const DirectTarget direct{*direct_, reinterpret_cast<QRgb*>(image.bits()),
                              static_cast<int>(image.bytesPerLine() / 4), stamps_};
    ImageCanvas canvas(image, stamps_);
    FrameContext frame(canvas, image.width(), image.height(), sources, fadeNear, fadeFar);
    DrawLayers(frame, &direct);
}

}  // namespace ocuvis
