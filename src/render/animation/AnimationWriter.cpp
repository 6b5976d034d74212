#include "render/animation/AnimationWriter.h"

#include <QFile>
#include <QImage>
#include <algorithm>

#include "render/OutputFile.h"
#include "render/animation/GifEncoder.h"
#include "render/animation/WebPEncoder.h"

namespace ocuvis {

struct AnimationWriter::Parts {
    OutputFile output;
    std::unique_ptr<AnimationEncoder> encoder;
};

AnimationWriter::AnimationWriter() = default;
AnimationWriter::~AnimationWriter() = default;

std::optional<QString> AnimationWriter::Fail(const QString& text) {
    failure_ = text;
    // The encoder may still want to write; the file goes before it.
    if (parts_) parts_->output.Abandon();
    return failure_;
}

std::optional<QString> AnimationWriter::Open(const QString& path, QSize frameSize,
                                             int frameDelayMs) {
    parts_.reset();
    failure_.reset();
    frames_ = 0;
    size_ = frameSize;
    const bool webp = AnimationFormatOfName(path.toStdString()) == AnimationFormat::WebP;
    // The largest side each format can store.
    const int largest = webp ? 16383 : 65535;
    if (frameSize.isEmpty()) return Fail(QStringLiteral("The frames have no pixels"));
    if (std::max(frameSize.width(), frameSize.height()) > largest)
        return Fail(QStringLiteral("%1 frames are at most %2 pixels a side")
                        .arg(webp ? "WebP" : "GIF")
                        .arg(largest));
    parts_ = std::make_unique<Parts>();
    if (const auto failure = parts_->output.Open(QFile::encodeName(path).toStdString()))
        return Fail(QString::fromStdString(*failure));
    const int delay = std::clamp(frameDelayMs, 1, 655350);
    if (webp) {
        parts_->encoder = std::make_unique<WebPEncoder>(parts_->output, frameSize, delay);
    } else {
        parts_->encoder = std::make_unique<GifEncoder>(parts_->output, frameSize, delay);
    }
    return std::nullopt;
}

std::optional<QString> AnimationWriter::AddFrame(const QImage& frame) {
    if (failure_) return failure_;
    if (!parts_ || !parts_->encoder) return Fail(QStringLiteral("The animation is not open"));
    if (frame.size() != size_)
        return Fail(QStringLiteral("A frame of %1 x %2 pixels does not fit an animation of %3 x %4")
                        .arg(frame.width())
                        .arg(frame.height())
                        .arg(size_.width())
                        .arg(size_.height()));
    const bool direct =
        frame.format() == QImage::Format_RGB32 || frame.format() == QImage::Format_ARGB32;
    const auto failure =
        parts_->encoder->Add(direct ? frame : frame.convertToFormat(QImage::Format_RGB32));
    if (failure) return Fail(*failure);
    ++frames_;
    return std::nullopt;
}

std::optional<QString> AnimationWriter::Finish() {
    if (failure_) return failure_;
    if (!parts_ || !parts_->encoder) return Fail(QStringLiteral("The animation is not open"));
    if (const auto failure = parts_->encoder->Finish()) return Fail(*failure);
    if (const auto failure = parts_->output.Commit()) return Fail(QString::fromStdString(*failure));
    parts_.reset();
    return std::nullopt;
}

}  // namespace ocuvis
