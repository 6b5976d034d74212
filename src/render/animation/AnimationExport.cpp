#include "render/animation/AnimationExport.h"

#include "render/animation/AnimationWriter.h"

namespace ocuvis {

int AnimationFrameCount(const AnimationRequest& request) {
    if (request.kind == AnimationKind::Wiggle) return 2;
    return IsTurntableStep(request.stepDegrees) ? 360 / request.stepDegrees : 0;
}

QImage DrawAnimationFrame(FrameRenderer& renderer, const FrameSources& sources,
                          const AnimationRequest& request, int index) {
    GraphViewState view = sources.view;
    FrameSources frame{view, sources.graph, sources.store, sources.titles};
    if (request.kind == AnimationKind::Wiggle) {
        // Each eye as a single image; the pair's own layout or colours would not alternate.
        view.viewType = ViewType::Single;
        frame.eye = index % 2 == 0 ? EyeImage::Left : EyeImage::Right;
    } else {
        // The ring of the angle bar: -179..180.
        int azimuth = view.azimuth + (index % 360) * request.stepDegrees;
        while (azimuth > 180)
            azimuth -= 360;
        view.azimuth = azimuth;
        view.azimuthRadians = AngleRadians(azimuth);
    }
    return renderer.RenderImage(request.size.width(), request.size.height(), frame);
}

AnimationOutcome ExportAnimation(FrameRenderer& renderer, const FrameSources& sources,
                                 const AnimationRequest& request,
                                 const AnimationProgress& progress) {
    AnimationOutcome outcome;
    const int total = AnimationFrameCount(request);
    if (total == 0) {
        outcome.failure =
            QStringLiteral("A turn is no whole number of %1 degree steps").arg(request.stepDegrees);
        return outcome;
    }
    AnimationWriter writer;
    if ((outcome.failure = writer.Open(request.path, request.size, request.delayMs)))
        return outcome;
    for (int index = 0; index < total; ++index) {
        const QImage image = DrawAnimationFrame(renderer, sources, request, index);
        if (image.isNull()) {
            outcome.failure = QStringLiteral("No memory for a frame of %1 x %2 pixels")
                                  .arg(request.size.width())
                                  .arg(request.size.height());
            return outcome;
        }
        if ((outcome.failure = writer.AddFrame(image))) return outcome;
        if (progress && !progress(index + 1, total)) {
            outcome.aborted = true;
            return outcome;
        }
    }
    outcome.failure = writer.Finish();
    return outcome;
}

}  // namespace ocuvis
