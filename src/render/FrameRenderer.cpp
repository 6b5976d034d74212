#include "render/FrameRenderer.h"

#include <algorithm>

#include "render/FrameDrawing.h"
#include "render/FrameFonts.h"
#include "render/FrameWorker.h"
#include "render/ImageCanvas.h"

namespace ocuvis {

namespace {
constexpr TextFont kIndicatorFont{FontFace::Sans, 14, false};
constexpr TextFont kGridFont{FontFace::Sans, 10, false};
constexpr Colour kFadeBackground = 0xDCDCDC;
// Below this many records a second thread costs more to wake than it saves.
constexpr int kRecordsForTwoThreads = 20000;
}  // namespace

FrameRenderer::FrameRenderer() = default;
FrameRenderer::~FrameRenderer() = default;

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
    int threads = dataThreads;
    if (threads <= 0) {
        static const bool twoCores = FrameWorker::TwoCoresAvailable();
        const int records = sources.store.HeldCount(sources.store.pointCount);
        threads = twoCores && records >= kRecordsForTwoThreads ? 2 : 1;
    }
    if (threads >= 2 && !worker_) worker_ = std::make_unique<FrameWorker>();
    DirectPixels direct{reinterpret_cast<QRgb*>(image.bits()),
                        static_cast<int>(image.bytesPerLine() / 4),
                        stamps_,
                        projected_,
                        threads >= 2 ? worker_.get() : nullptr,
                        bandSplit};
    {
        ImageCanvas canvas(image, stamps_);
        FrameDrawing drawing(canvas, image.width(), image.height(), sources, fadeNear, fadeFar,
                             &direct);
        drawing.RenderFrame();
    }
    return image;
}

FrameDrawing::FrameDrawing(Canvas& canvas, int width, int height, const FrameSources& sources,
                           float& fadeNear, float& fadeFar, DirectPixels* direct)
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
      labelCount_(std::clamp(sources.store.labelCount, 0, kLabelCapacity)),
      direct_(direct) {}

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

    // Wide lines may need the painter, which only the canvas has.
    if (direct_ != nullptr && view_.lineThickness <= 1) {
        DrawDataDirect();
    } else {
        if (view_.lineThickness != 0) DrawLines();
        canvas_.SetPenColour(view_.dotColor);
        canvas_.SetBrush(true, view_.dotColor);
        DrawDots();
    }

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
    LineEnds ends;
    if (PixelLineEnds(x1, y1, x2, y2, width_, height_, ends))
        canvas_.DrawLine(ends.x1, ends.y1, ends.x2, ends.y2);
}

bool ClipFarLineEnds(float x1, float y1, float x2, float y2, int width, int height,
                     LineEnds& ends) {
    // Liang-Barsky in doubles, against the frame and the margin PixelLineEnds allows.
    constexpr float kMargin = 4096.0f;
    const float left = -kMargin, top = -kMargin;
    const float right = static_cast<float>(width) + kMargin;
    const float bottom = static_cast<float>(height) + kMargin;
    const double dx = static_cast<double>(x2) - x1;
    const double dy = static_cast<double>(y2) - y1;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {static_cast<double>(x1) - left, right - static_cast<double>(x1),
                         static_cast<double>(y1) - top, bottom - static_cast<double>(y1)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const auto clampToBox = [](double v, double lo, double hi) { return std::clamp(v, lo, hi); };
    ends = {static_cast<int>(clampToBox(x1 + t0 * dx, left, right)),
            static_cast<int>(clampToBox(y1 + t0 * dy, top, bottom)),
            static_cast<int>(clampToBox(x1 + t1 * dx, left, right)),
            static_cast<int>(clampToBox(y1 + t1 * dy, top, bottom))};
    return true;
}

}  // namespace ocuvis
