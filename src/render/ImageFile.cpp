#include "render/ImageFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

#include "render/OutputFile.h"

namespace ocuvis {

std::optional<ImageFileFormat> ImageFormatOfName(const QString& path) {
    const QString extension = QFileInfo(path).suffix();
    if (extension.compare("bmp", Qt::CaseInsensitive) == 0) return ImageFileFormat::Bmp;
    if (extension.compare("png", Qt::CaseInsensitive) == 0) return ImageFileFormat::Png;
    return std::nullopt;
}

std::optional<QString> EncodeImage(const QImage& image, ImageFileFormat format, QByteArray& bytes) {
    bytes.clear();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format == ImageFileFormat::Png ? "png" : "bmp");
    if (!writer.write(image)) return writer.errorString();
    return std::nullopt;
}

std::optional<QString> WriteImageFile(const QImage& image, const QString& path) {
    // Encoded first, so that a failure to write is the file's, told in the system's words, and
    // not the encoder's "Unknown error".
    QByteArray bytes;
    const ImageFileFormat format = ImageFormatOfName(path).value_or(ImageFileFormat::Bmp);
    if (auto failure = EncodeImage(image, format, bytes)) return failure;
    OutputFile file;
    if (auto failure = file.Open(path)) return failure;
    file.Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return file.Commit();
}

}  // namespace ocuvis
