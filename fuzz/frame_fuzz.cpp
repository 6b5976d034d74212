// Renders whole frames on the fast canvas from arbitrary data (normalised as a load does), view
// settings as a store or the keys may leave them, titles, labels and paint-area sizes, on one
// thread or shared in bands of any height with a second, and checks that the plain QPainter
// canvas draws exactly the same pixels.
#include <fuzzer/FuzzedDataProvider.h>

#include <QGuiApplication>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "FuzzCheck.h"
#include "input/NormaliseIntoCube.h"
#include "render/FrameRenderer.h"
#include "render/GraphScaling.h"
#include "render/StereoFrame.h"
#include "render/reference/QPainterCanvas.h"

using namespace ocuvis;

namespace {

using fuzz::Check;

float FiniteFloat(FuzzedDataProvider& input) {
    const float value = input.ConsumeFloatingPoint<float>();
    return std::isfinite(value) ? value : 0.0f;
}

}  // namespace

// Font configuration state that the system library keeps until exit; not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Text needs fonts, fonts need an application; no screen, fixed DPI.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_FONT_DPI", "96", 1);
    // Never destroyed: its destructor at exit would run after Qt's own statics have gone.
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto store = std::make_unique<PointStore>();
    FuzzedDataProvider input(data, size);

    const int width = input.ConsumeIntegralInRange(1, 900);
    const int height = input.ConsumeIntegralInRange(1, 300);

    GraphViewState view;
    GraphRecord graph;
    RedrawGate gate;
    MemoryFloatStore memory;
    GraphScaling scaling(view, graph, gate, memory);
    scaling.AutoScale(true);

    store->dotSizesPresent = input.ConsumeBool() ? 1 : 0;
    store->defaultDataLoaded = false;
    const int count = input.ConsumeIntegralInRange(0, 400);
    store->points.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        DataPoint& p = store->points[static_cast<std::size_t>(i)];
        if (input.ConsumeIntegralInRange(0, 15) == 0) {
            p = DataPoint::Break();
            continue;
        }
        p = {FiniteFloat(input), FiniteFloat(input), FiniteFloat(input), FiniteFloat(input)};
    }
    store->pointCount = count;
    store->labelCount = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < store->labelCount; ++i) {
        XYZTEXT& label = store->labels[static_cast<std::size_t>(i)];
        label = {FiniteFloat(input), FiniteFloat(input), FiniteFloat(input),
                 input.ConsumeRandomLengthString(40)};
    }
    if (count >= 2) {
        NormaliseIntoCube(*store, count, graph);
        scaling.AutoScale(false);
    }

    view.viewType =
        static_cast<ViewType>(input.ConsumeIntegralInRange(0, static_cast<int>(kLastViewType)));
    view.swapEyes = input.ConsumeBool();
    view.eyeSeparationTenths = input.ConsumeIntegralInRange(0, kMostEyeSeparationTenths);
    view.zInvert = input.ConsumeBool();
    scaling.ApplyZSign();
    scaling.SetAzimuth(input.ConsumeIntegral<int>());
    scaling.SetElevation(input.ConsumeIntegral<int>());
    scaling.SetXRangePosition(input.ConsumeIntegral<int>());
    scaling.SetYRangePosition(input.ConsumeIntegral<int>());
    scaling.SetZRangePosition(input.ConsumeIntegral<int>());
    scaling.SetXOffsetPosition(input.ConsumeIntegral<int>());
    scaling.SetYOffsetPosition(input.ConsumeIntegral<int>());
    scaling.SetZOffsetPosition(input.ConsumeIntegral<int>());
    // The keys take the viewing distance anywhere above 0; a stored one may be any finite float.
    view.z0 = FiniteFloat(input);
    // Thicknesses and the point size come from the store as they are, in range or not.
    view.pointSize = input.ConsumeIntegral<std::int32_t>();
    view.lineThickness = input.ConsumeIntegral<std::int32_t>();
    view.gridThickness = input.ConsumeIntegral<std::int32_t>();
    view.fullBoxGrid = input.ConsumeBool();
    view.axisLabels = input.ConsumeBool();
    view.titles = input.ConsumeBool();
    view.textLabels = input.ConsumeBool();
    view.fadeLines = input.ConsumeBool();
    view.modeIndicator = input.ConsumeBool();
    view.fixedAspect = input.ConsumeBool();
    view.backgroundColor = input.ConsumeIntegral<Colour>();
    view.dotColor = input.ConsumeIntegral<Colour>();
    view.lineColor = input.ConsumeIntegral<Colour>();
    view.gridColor = input.ConsumeIntegral<Colour>();
    view.textColor = input.ConsumeIntegral<Colour>();

    TitleTexts titles;
    titles.mainTitle = input.ConsumeRandomLengthString(60);
    titles.xTitle = input.ConsumeRandomLengthString(30);
    titles.yTitle = input.ConsumeRandomLengthString(30);
    titles.zTitle = input.ConsumeRandomLengthString(30);

    const FrameSources sources{view, graph, *store, titles};
    FrameRenderer fastRenderer;
    // Taken last, so that inputs made before these two existed mean what they meant.
    fastRenderer.dataThreads = input.ConsumeBool() ? 2 : 0;
    fastRenderer.bandRows = input.ConsumeIntegralInRange(0, 64);
    view.anaglyphMethod = input.ConsumeBool() ? AnaglyphMethod::Plain : AnaglyphMethod::Optimised;
    const QImage fast = fastRenderer.RenderImage(width, height, sources);
    Check(fast.width() == width && fast.height() == height);
    // The canvas draws one image at a time: a composed view's eyes are drawn, then joined.
    const auto drawn = [&](EyeImage eye) {
        const QSize size = IsComposedView(view.viewType)
                               ? EyeImageSize(view.viewType, width, height, eye)
                               : QSize(width, height);
        QImage image = FrameRenderer::NewFrameImage(size.width(), size.height());
        FrameSources one = sources;
        one.eye = eye;
        QPainterCanvas canvas(image);
        FrameRenderer().Render(canvas, size.width(), size.height(), one);
        return image;
    };
    QImage plain;
    if (!IsComposedView(view.viewType)) {
        plain = drawn(EyeImage::Both);
    } else {
        const QImage left = drawn(EyeImage::Left), right = drawn(EyeImage::Right);
        plain = IsAnaglyphPair(view.viewType)
                    ? CombineAnaglyph(left, right, view.viewType, view.anaglyphMethod)
                    : PackEyeImages(left, right, view.viewType, width, height);
    }
    Check(plain == fast);
    return 0;
}
