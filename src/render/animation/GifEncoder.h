#pragma once

#include <QSize>
#include <cstdint>
#include <vector>

#include "render/animation/AnimationEncoder.h"
#include "render/animation/ColourMap.h"

struct GifFileType;

namespace ocuvis {

class OutputFile;

// The GIF delay for a frame delay in milliseconds: hundredths of a second, rounded, and at
// least two, since browsers play a delay of 0 or 1 hundredth as ten.
int GifDelayHundredths(int delayMs);

// An animated GIF that loops forever, written as frames arrive. Each frame after the first
// holds only the rectangle that changed from what a decoder shows after the previous one,
// drawn over it (no disposal) with unchanged pixels transparent. Frames whose changed pixels
// have at most 256 colours decode exactly; others are reduced to a palette of their own.
class GifEncoder final : public AnimationEncoder {
  public:
    GifEncoder(OutputFile& output, QSize size, int delayMs);
    ~GifEncoder() override;
    GifEncoder(const GifEncoder&) = delete;
    GifEncoder& operator=(const GifEncoder&) = delete;

    std::optional<QString> Add(const QImage& frame) override;
    std::optional<QString> Finish() override;

    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
        int width() const { return right - left; }
        int height() const { return bottom - top; }
        bool empty() const { return right <= left || bottom <= top; }
    };
    // A frame ready to write: its rectangle, palette (empty for the global one), transparent
    // index (-1 for none) and one palette index per pixel of the rectangle, row by row.
    struct Piece {
        Rect rect;
        std::vector<std::uint32_t> palette;
        int transparent = -1;
        std::vector<std::uint8_t> indices;
    };

  private:
    bool PlanExact(const QImage& frame, Piece& piece);
    void PlanReduced(const QImage& frame, Piece& piece);
    std::optional<QString> Start(const std::vector<std::uint32_t>& palette);
    std::optional<QString> Write(const Piece& piece);
    std::optional<QString> Failure();

    OutputFile& output_;
    QSize size_;
    int delayHundredths_;
    GifFileType* gif_ = nullptr;
    int frames_ = 0;
    // What a decoder shows after the frames so far, and the last frame given unless that is
    // what is shown (after every frame that decodes exactly).
    std::vector<std::uint32_t> shown_;
    std::vector<std::uint32_t> previous_;
    bool shownIsLast_ = false;
    std::vector<std::uint32_t> global_;  // padded to a power of two
    ColourMap globalIndex_;
    ColourMap colours_;
};

}  // namespace ocuvis
