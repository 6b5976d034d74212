#pragma once

#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <string_view>

class QImage;

namespace ocuvis {

enum class AnimationFormat { Gif, WebP };

// The format a file name asks for by its extension, in any letter case; nothing when the name
// ends in neither ".gif" nor ".webp".
std::optional<AnimationFormat> AnimationFormatOfName(std::string_view path);

// Writes an animation that loops forever, one frame at a time, so that no more than a frame or
// two is ever held: lossless WebP when the name ends in ".webp" (any letter case), else GIF.
// The file goes to a temporary file beside the target, renamed over it by Finish, so a failed
// or abandoned animation leaves what was there. Every failure is the system's (or the
// encoder's) text; after one, later calls return it again and write nothing.
//
// GIF frames decode to exactly the given pixels while the pixels that changed have at most 256
// colours; frames with more are reduced to a palette of 256 fitted to them, without dithering.
// GIF delays are whole hundredths of a second, at least two (see GifDelayHundredths). WebP
// keeps the compressed frames until Finish, and folds a frame equal to the one before into that
// one's duration. The target is taken as every file the program writes is (see OutputFile):
// links followed, what is no regular file refused with the reason.
class AnimationWriter {
  public:
    AnimationWriter();
    ~AnimationWriter();  // abandons an unfinished file
    AnimationWriter(const AnimationWriter&) = delete;
    AnimationWriter& operator=(const AnimationWriter&) = delete;

    // Starts the file for frames of the given size shown for frameDelayMs each (1..655350).
    std::optional<QString> Open(const QString& path, QSize frameSize, int frameDelayMs);
    // The next frame, of the size given to Open; any QImage format is taken, Format_RGB32 and
    // Format_ARGB32 without a copy (alpha is ignored).
    std::optional<QString> AddFrame(const QImage& frame);
    // Ends the file and puts it in place.
    std::optional<QString> Finish();

    int frameCount() const { return frames_; }

  private:
    std::optional<QString> Fail(const QString& text);

    struct Parts;
    std::unique_ptr<Parts> parts_;
    QSize size_;
    int frames_ = 0;
    std::optional<QString> failure_;
};

}  // namespace ocuvis
