#include "render/FrameLayers.h"

#include "render/DirectPixelPass.h"
#include "render/DotsLayer.h"
#include "render/GridLayer.h"
#include "render/LegendLayer.h"
#include "render/LinesLayer.h"
#include "render/ModeIndicatorLayer.h"
#include "render/RecordColours.h"
#include "render/TextLabelsLayer.h"
#include "render/TitlesLayer.h"

namespace ocuvis {

namespace {

constexpr TextFont kGridFont{FontFace::Sans, 10, false};
constexpr Colour kFadeBackground = 0xDCDCDC;

}  // namespace

void DrawUnderData(FrameContext& frame) {
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
}

bool DirectDrawable(const GraphViewState& view) {
    return view.lineThickness <= 1;
}

void DrawDataOnCanvas(FrameContext& frame) {
    Canvas& canvas = frame.canvas;
    const GraphViewState& view = frame.view;
    if (view.lineThickness != 0) LinesLayer(frame).Draw();
    canvas.SetPenColour(view.dotColor);
    canvas.SetBrush(true, view.dotColor);
    DotsLayer(frame).Draw();
}

void DrawOverData(FrameContext& frame) {
    Canvas& canvas = frame.canvas;
    const GraphViewState& view = frame.view;
    if (view.textLabels) TextLabelsLayer(frame).Draw();

    if (view.colourLegend) {
        canvas.SetFont(kGridFont);
        canvas.SetTextColour(view.textColor);
        LegendLayer(frame).Draw(RecordColours(frame));
    }
}

void DrawLayers(FrameContext& frame, const DirectTarget* direct) {
    if (direct != nullptr && DirectDrawable(frame.view)) {
        direct->pass.Draw(frame, direct->pixels, direct->stride, direct->stamps, nullptr,
                          [&] { DrawUnderData(frame); });
    } else {
        DrawUnderData(frame);
        DrawDataOnCanvas(frame);
    }
    DrawOverData(frame);
}

}  // namespace ocuvis
