#include "render/animation/WebPEncoder.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <QImage>
#include <climits>

#include "render/OutputFile.h"

namespace ocuvis {

namespace {

// Lossless effort: the fastest method still finds the long runs of a point cloud's black.
constexpr int kMethod = 0;
constexpr float kEffort = 25;

}  // namespace

WebPEncoder::WebPEncoder(OutputFile& output, QSize size, int delayMs)
    : output_(output), size_(size), delayMs_(delayMs) {
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options)) return;
    options.anim_params.loop_count = 0;
    options.anim_params.bgcolor = 0xFF000000u;
    // Every frame after the first is a change on top of the one before: no key frames, whose
    // trial encodings would double the work of a long turntable.
    options.kmax = 0;
    options.allow_mixed = 0;
    encoder_ = WebPAnimEncoderNew(size.width(), size.height(), &options);
    argb_.resize(static_cast<std::size_t>(size.width()) * size.height());
}

WebPEncoder::~WebPEncoder() {
    if (encoder_) WebPAnimEncoderDelete(encoder_);
}

std::optional<QString> WebPEncoder::Failure() const {
    if (!encoder_) return QStringLiteral("The WebP encoder could not be set up");
    return QString::fromUtf8(WebPAnimEncoderGetError(encoder_));
}

std::optional<QString> WebPEncoder::Add(const QImage& frame) {
    if (!encoder_) return Failure();
    // Timestamps are ints in milliseconds; the end of the next frame must fit as well.
    if (static_cast<long long>(frames_ + 2) * delayMs_ > INT_MAX)
        return QStringLiteral("The animation is too long for WebP");
    // RGB32 leaves the top byte undefined in principle; opaque pixels keep alpha out of the file.
    for (int y = 0; y < size_.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(frame.constScanLine(y));
        std::uint32_t* to = argb_.data() + static_cast<std::size_t>(y) * size_.width();
        for (int x = 0; x < size_.width(); ++x)
            to[x] = row[x] | 0xFF000000u;
    }
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return Failure();
    picture.use_argb = 1;
    picture.width = size_.width();
    picture.height = size_.height();
    picture.argb = argb_.data();
    picture.argb_stride = size_.width();
    WebPConfig config;
    if (!WebPConfigInit(&config)) return Failure();
    config.lossless = 1;
    config.method = kMethod;
    config.quality = kEffort;
    if (!WebPAnimEncoderAdd(encoder_, &picture, frames_ * delayMs_, &config)) return Failure();
    ++frames_;
    return std::nullopt;
}

std::optional<QString> WebPEncoder::Finish() {
    if (!encoder_) return Failure();
    if (frames_ == 0) return QStringLiteral("The animation has no frames");
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(encoder_, nullptr, frames_ * delayMs_, nullptr) ||
        !WebPAnimEncoderAssemble(encoder_, &data))
        return Failure();
    output_.Write(data.bytes, data.size);
    WebPDataClear(&data);
    return OutputFailure(output_);
}

}  // namespace ocuvis
