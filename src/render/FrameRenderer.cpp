#include "render/FrameRenderer.h"

#include <algorithm>

#include "render/DirectPixelPass.h"
#include "render/FrameContext.h"
#include "render/FrameFonts.h"
#include "render/FrameLayers.h"
#include "render/ImageCanvas.h"
#include "render/MemoryPages.h"
#include "render/StereoFrame.h"

namespace ocuvis {

FrameRenderer::FrameRenderer()
    : stamps_(PaintedShapes()), direct_(std::make_unique<DirectPixelPass>()) {}
FrameRenderer::~FrameRenderer() = default;

void FrameRenderer::Render(Canvas& canvas, int width, int height, const FrameSources& sources) {
    FrameContext frame(canvas, width, height, sources, fadeNear, fadeFar);
    DrawLayers(frame, nullptr);
}

QImage FrameRenderer::NewFrameImage(int width, int height) {
    QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    // The background writes every pixel at once.
    if (!image.isNull())
        MapPagesForWriting(image.bits(), static_cast<std::size_t>(image.sizeInBytes()));
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
    SetUpDirectPass();
    const DirectTarget direct{*direct_, reinterpret_cast<QRgb*>(image.bits()),
                              static_cast<int>(image.bytesPerLine() / 4), stamps_};
    ImageCanvas canvas(image, stamps_);
    FrameContext frame(canvas, image.width(), image.height(), sources, fadeNear, fadeFar);
    DrawLayers(frame, &direct);
}

void FrameRenderer::SetUpDirectPass() {
    direct_->threads = dataThreads;
    direct_->bandRows = bandRows;
    direct_->subsetStep = subsetStep;
    direct_->stop = stop;
    direct_->drawn = {};
}

void FrameRenderer::RenderEyeImages(const FrameSources& sources) {
    QImage& left = eyeImages_[0];
    QImage& right = eyeImages_[1];
    FrameSources leftEye = sources, rightEye = sources;
    leftEye.eye = EyeImage::Left;
    rightEye.eye = EyeImage::Right;
    // Images of unequal rows (top-bottom of an odd height) have rows of their own.
    if (left.size() != right.size() || left.bytesPerLine() != right.bytesPerLine()) {
        RenderInto(left, leftEye);
        RenderInto(right, rightEye);
        for (DrawnSpans& drawn : eyeDrawn_)
            drawn.Forget();
        return;
    }
    // Each eye's image gets its own layers, but the records are projected once for both and
    // their lines and dots drawn in one pass, each image's into its own pixels.
    ImageCanvas leftCanvas(left, stamps_), rightCanvas(right, stamps_);
    leftCanvas.TrackDrawing(&eyeDrawn_[0]);
    rightCanvas.TrackDrawing(&eyeDrawn_[1]);
    FrameContext leftFrame(leftCanvas, left.width(), left.height(), leftEye, fadeNear, fadeFar);
    FrameContext rightFrame(rightCanvas, right.width(), right.height(), rightEye, fadeNear,
                            fadeFar);
    const auto underData = [&] {
        DrawUnderData(leftFrame);
        DrawUnderData(rightFrame);
    };
    if (DirectDrawable(sources.view)) {
        FrameSources bothEyes = sources;
        bothEyes.eye = EyeImage::Apart;
        FrameContext both(leftCanvas, left.width(), left.height(), bothEyes, fadeNear, fadeFar);
        SetUpDirectPass();
        direct_->drawn = {&eyeDrawn_[0], &eyeDrawn_[1]};
        direct_->Draw(both, reinterpret_cast<QRgb*>(left.bits()),
                      static_cast<int>(left.bytesPerLine() / 4), stamps_,
                      reinterpret_cast<QRgb*>(right.bits()), underData);
        direct_->drawn = {};
    } else {
        underData();
        DrawDataOnCanvas(leftFrame);
        DrawDataOnCanvas(rightFrame);
    }
    DrawOverData(leftFrame);
    DrawOverData(rightFrame);
}

}  // namespace ocuvis
