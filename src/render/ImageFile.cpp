#include "render/ImageFile.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QImageWriter>

namespace ocuvis {

std::optional<QString> EncodeImage(const QImage& image, ImageFileFormat format,
                                   std::string& bytes) {
    bytes.clear();
    // An opaque frame with nothing but its pixels and resolution, as every frame is, takes the
    // fast way; anything else is what Qt's writer makes of it.
    if (format == ImageFileFormat::Png && image.format() == QImage::Format_RGB32 &&
        image.textKeys().isEmpty() && !image.colorSpace().isValid()) {
        if (auto failure = EncodeOpaquePng(reinterpret_cast<const QRgb*>(image.constBits()),
                                           static_cast<int>(image.bytesPerLine() / 4),
                                           image.width(), image.height(), image.dotsPerMeterX(),
                                           image.dotsPerMeterY(), bytes))
            return QString::fromStdString(*failure);
        return std::nullopt;
    }
    QByteArray written;
    QBuffer buffer(&written);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format == ImageFileFormat::Png ? "png" : "bmp");
    if (!writer.write(image)) return writer.errorString();
    bytes.assign(written.constData(), static_cast<std::size_t>(written.size()));
    return std::nullopt;
}

std::optional<QString> WriteImageFile(const QImage& image, const QString& path) {
    // Encoded first, so that a failure to write is the file's, told in the system's words, and
    // not the encoder's "Unknown error".
    std::string bytes;
    const ImageFileFormat format =
        ImageFormatOfName(path.toStdString()).value_or(ImageFileFormat::Bmp);
    if (auto failure = EncodeImage(image, format, bytes)) return failure;
    if (auto failure = WriteFileBytes(bytes, QFile::encodeName(path).toStdString()))
        return QString::fromStdString(*failure);
    return std::nullopt;
}

}  // namespace ocuvis
