#pragma once

// Animations read back: GIF by Qt's reader, WebP by libwebp's demuxer.
#include <webp/demux.h>

#include <QImage>
#include <QImageReader>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace ocuvis::test {

struct Decoded {
    std::vector<QImage> frames;
    std::vector<int> delaysMs;
    int loopCount = 0;  // -1: for ever, as Qt says it; 0 for WebP
};

inline Decoded ReadGif(const QString& path) {
    QImageReader reader(path, "gif");
    Decoded decoded;
    decoded.loopCount = reader.loopCount();
    for (int i = 0; i < reader.imageCount(); ++i) {
        const QImage frame = reader.read();
        if (frame.isNull()) break;
        decoded.frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
        decoded.delaysMs.push_back(reader.nextImageDelay());
    }
    return decoded;
}

inline Decoded ReadWebP(const QString& path) {
    std::ifstream file(path.toStdString(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    const WebPData data{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA;  // QImage's ARGB32 in memory
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    Decoded decoded;
    if (!decoder) return decoded;
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    decoded.loopCount = static_cast<int>(info.loop_count);
    int previous = 0;
    std::uint8_t* pixels = nullptr;
    int timestamp = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder) &&
           WebPAnimDecoderGetNext(decoder, &pixels, &timestamp)) {
        QImage frame(pixels, static_cast<int>(info.canvas_width),
                     static_cast<int>(info.canvas_height), QImage::Format_ARGB32);
        decoded.frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
        decoded.delaysMs.push_back(timestamp - previous);
        previous = timestamp;
    }
    WebPAnimDecoderDelete(decoder);
    return decoded;
}

}  // namespace ocuvis::test
