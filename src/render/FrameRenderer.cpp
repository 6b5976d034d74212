#include "render/FrameRenderer.h"

#include <algorithm>

#include "render/FrameDrawing.h"
#include "render/FrameFonts.h"
#include "render/ImageCanvas.h"

namespace ocuvis {

namespace {
constexpr TextFont kIndicatorFont{FontFace::Sans, 14, false};
constexpr TextFont kGridFont{FontFace::Sans, 10, false};
constexpr Colour kFadeBackground = 0xDCDCDC;
}  // namespace

void FrameRenderer::Render(Canvas& canvas, int width, int height, const FrameSources& sources) {
    FrameDrawing drawing(canvas, width, height, sources, fadeNear, fadeFar);
    drawing.RenderFrame();
}

QImage FrameRenderer::NewFrameImage(int width, int height) {
    QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    image.setDotsPerMeterX(FrameFonts::kDotsPerMetre);
    image.setDotsPerMeterY(FrameFonts::kDotsPerMetre);
    return image;
}

QImage FrameRenderer::RenderImage(int width, int height, const FrameSources& sources) {
    QImage image = NewFrameImage(width, height);
    if (image.isNull()) return image;  // no memory for a frame this size
    {
        ImageCanvas canvas(image, stamps_);
        Render(canvas, image.width(), image.height(), sources);
    }
    return image;
}

FrameDrawing::FrameDrawing(Canvas& canvas, int width, int height, const FrameSources& sources,
                           float& fadeNear, float& fadeFar)
    : canvas_(canvas),
      width_(width),
      height_(height),
      view_(sources.view),
      graph_(sources.graph),
      store_(sources.store),
      titles_(sources.titles),
      projection_(sources.view, sources.graph, width, height),
      fadeNear_(fadeNear),
      fadeFar_(fadeFar),
      // A store being filled or a damaged count must not lead past the arrays.
      pointCount_(sources.store.HeldCount(sources.store.pointCount)),
      labelCount_(std::clamp(sources.store.labelCount, 0, kLabelCapacity)) {}

bool FrameDrawing::Anaglyph() const {
    return view_.viewType == ViewType::RightRed || view_.viewType == ViewType::RightBlue;
}

void FrameDrawing::RenderFrame() {
    canvas_.SetBrush(true, view_.fadeLines ? kFadeBackground : view_.backgroundColor);
    canvas_.FillRect({0, 0, width_, height_});

    canvas_.SetFont(kIndicatorFont);
    canvas_.SetTextColour(view_.textColor);
    canvas_.SetBrush(false, view_.backgroundColor);
    DrawModeIndicator();

    if (view_.gridThickness != 0) {
        canvas_.SetFont(kGridFont);
        canvas_.SetPenColour(view_.gridColor);
        canvas_.SetPenWidth(view_.gridThickness);
        DrawGrid();
        canvas_.SetTextColour(view_.textColor);
    }

    if (view_.lineThickness != 0) DrawLines();

    canvas_.SetPenColour(view_.dotColor);
    canvas_.SetBrush(true, view_.dotColor);
    DrawDots();

    if (view_.textLabels) {
        canvas_.SetFont({FontFace::Serif, 12, true});
        canvas_.SetTextColour(view_.fadeLines ? 0x000000 : view_.lineColor);
        canvas_.SetBrush(false, view_.dotColor);
        drawPass_ = 0;
        DrawTextLabels();
        drawPass_ = 1;
        DrawTextLabels();
        drawPass_ = 0;
    }
}

void FrameDrawing::DrawModeIndicator() {
    ImagePixels origin;
    if (!projection_.PixelsOf({0.0f, 0.0f, 0.0f}, origin)) return;
    const int c1 = origin.column1;
    const int r = origin.row;
    const int c2 = origin.column2;
    const CanvasRect r1{c1 - 100, r - 100, c1 + 100, r + 100};
    const CanvasRect r2{c2 - 100, r - 100, c2 + 100, r + 100};
    if (view_.viewType == ViewType::Single || !view_.modeIndicator) return;
    switch (view_.viewType) {
        case ViewType::RightRed:
            canvas_.DrawText(r1, TextAlign::Centre, "3D-Rred");
            break;
        case ViewType::RightBlue:
            canvas_.DrawText(r1, TextAlign::Centre, "3D-Lred");
            break;
        case ViewType::CrossEyes:
            canvas_.DrawText(r1, TextAlign::Centre, "3D-X");
            canvas_.DrawText(r2, TextAlign::Centre, "3D-X");
            break;
        case ViewType::WallEyes:
            canvas_.DrawText(r1, TextAlign::Centre, "3D-W");
            canvas_.DrawText(r2, TextAlign::Centre, "3D-W");
            break;
        case ViewType::Single:
            break;
    }
}

FrameDrawing::PlotPosition FrameDrawing::PlotOf(float x, float y, float z) const {
    // Each product and sum in double, rounded once to a float.
    return {static_cast<float>(static_cast<double>(x) * graph_.xscale + graph_.xshift),
            static_cast<float>(static_cast<double>(y) * graph_.yscale + graph_.yshift),
            static_cast<float>(static_cast<double>(z) * graph_.zscale + graph_.zshift)};
}

void FrameDrawing::DrawPixelLine(float x1, float y1, float x2, float y2) {
    // Ends this far outside the frame are pulled in along the line, so that no pixel position
    // overflows and no rasteriser walks millions of pixels; the visible part is unchanged.
    constexpr float kMargin = 4096.0f;
    const float left = -kMargin, top = -kMargin;
    const float right = static_cast<float>(width_) + kMargin;
    const float bottom = static_cast<float>(height_) + kMargin;
    const auto inside = [&](float x, float y) {
        return x >= left && x <= right && y >= top && y <= bottom;
    };
    if (inside(x1, y1) && inside(x2, y2)) {
        canvas_.DrawLine(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2),
                         static_cast<int>(y2));
        return;
    }
    // Liang-Barsky in doubles.
    const double dx = static_cast<double>(x2) - x1;
    const double dy = static_cast<double>(y2) - y1;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {static_cast<double>(x1) - left, right - static_cast<double>(x1),
                         static_cast<double>(y1) - top, bottom - static_cast<double>(y1)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return;
            t1 = std::min(t1, t);
        }
    }
    const auto clampToBox = [](double v, double lo, double hi) { return std::clamp(v, lo, hi); };
    const double cx1 = clampToBox(x1 + t0 * dx, left, right);
    const double cy1 = clampToBox(y1 + t0 * dy, top, bottom);
    const double cx2 = clampToBox(x1 + t1 * dx, left, right);
    const double cy2 = clampToBox(y1 + t1 * dy, top, bottom);
    canvas_.DrawLine(static_cast<int>(cx1), static_cast<int>(cy1), static_cast<int>(cx2),
                     static_cast<int>(cy2));
}

}  // namespace ocuvis
