#pragma once

#include <QSize>
#include <cstdint>
#include <vector>

#include "render/animation/AnimationEncoder.h"

struct WebPAnimEncoder;

namespace ocuvis {

class OutputFile;

// A lossless animated WebP that loops forever. libwebp keeps the frames it has compressed
// (not the pictures) until Finish assembles the file. Like any WebP muxer it folds a frame
// equal to the one before into that frame's duration, so such frames are not counted twice.
class WebPEncoder final : public AnimationEncoder {
  public:
    WebPEncoder(OutputFile& output, QSize size, int delayMs);
    ~WebPEncoder() override;
    WebPEncoder(const WebPEncoder&) = delete;
    WebPEncoder& operator=(const WebPEncoder&) = delete;

    std::optional<QString> Add(const QImage& frame) override;
    std::optional<QString> Finish() override;

  private:
    std::optional<QString> Failure() const;

    OutputFile& output_;
    QSize size_;
    int delayMs_;
    int frames_ = 0;
    WebPAnimEncoder* encoder_ = nullptr;
    std::vector<std::uint32_t> argb_;
};

}  // namespace ocuvis
