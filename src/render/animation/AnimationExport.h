#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

#include "render/FrameRenderer.h"

namespace ocuvis {

// A turntable turns the view once about the vertical axis; a wiggle alternates the two eyes.
enum class AnimationKind { Turntable, Wiggle };

struct AnimationRequest {
    AnimationKind kind = AnimationKind::Turntable;
    int stepDegrees = 2;  // turntable only; divides 360, so the loop closes without a jump
    int delayMs = 40;
    QSize size{780, 239};
    QString path;  // GIF or WebP by its extension
};

inline int DefaultAnimationDelay(AnimationKind kind) {
    return kind == AnimationKind::Wiggle ? 150 : 40;
}
// A whole number of steps makes one turn: 1..180 and a divisor of 360.
inline bool IsTurntableStep(int degrees) {
    return degrees >= 1 && degrees <= 180 && 360 % degrees == 0;
}
int AnimationFrameCount(const AnimationRequest& request);

// Frame index of the animation: the view turned by index steps (azimuth wrapping from 180 to
// -179, as the rotation does), or the left eye then the right as single images. A null image
// when the memory for it cannot be had.
QImage DrawAnimationFrame(FrameRenderer& renderer, const FrameSources& sources,
                          const AnimationRequest& request, int index);

// Told after each frame written how many are done of how many; false stops the export.
using AnimationProgress = std::function<bool(int done, int total)>;

struct AnimationOutcome {
    bool aborted = false;  // the target stays as it was
    std::optional<QString> failure;
};

// Draws and writes every frame; the file is put in place only when all are written.
AnimationOutcome ExportAnimation(FrameRenderer& renderer, const FrameSources& sources,
                                 const AnimationRequest& request,
                                 const AnimationProgress& progress = {});

}  // namespace ocuvis
