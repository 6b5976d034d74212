#pragma once

#include <QString>
#include <optional>

class QImage;

namespace ocuvis {

// One file format's encoder, fed frames in order. Frames come in Format_RGB32 at the size
// the encoder was made for; the bytes go to the OutputFile it was given.
class AnimationEncoder {
  public:
    virtual ~AnimationEncoder() = default;
    // The failure's text, or nothing.
    virtual std::optional<QString> Add(const QImage& frame) = 0;
    // Writes what is left after the last frame; the caller commits the file.
    virtual std::optional<QString> Finish() = 0;
};

}  // namespace ocuvis
