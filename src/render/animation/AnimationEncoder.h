#pragma once

#include <QString>
#include <optional>

class QImage;

#include "render/OutputFile.h"

namespace ocuvis {

// One file format's encoder, fed frames in order. Frames come in Format_RGB32 at the size
// the encoder was made for; the bytes go to the OutputFile it was given.
// An output file's failure as the encoders tell it.
inline std::optional<QString> OutputFailure(const OutputFile& output) {
    if (const auto& failure = output.failure()) return QString::fromStdString(*failure);
    return std::nullopt;
}

class AnimationEncoder {
  public:
    virtual ~AnimationEncoder() = default;
    // The failure's text, or nothing.
    virtual std::optional<QString> Add(const QImage& frame) = 0;
    // Writes what is left after the last frame; the caller commits the file.
    virtual std::optional<QString> Finish() = 0;
};

}  // namespace ocuvis
