#include "render/ImageFile.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace ocuvis {

std::optional<ImageFileFormat> ImageFormatOfName(const QString& path) {
    const QString extension = QFileInfo(path).suffix();
    if (extension.compare("bmp", Qt::CaseInsensitive) == 0) return ImageFileFormat::Bmp;
    if (extension.compare("png", Qt::CaseInsensitive) == 0) return ImageFileFormat::Png;
    return std::nullopt;
}

std::optional<QString> WriteImageFile(const QImage& image, const QString& path) {
    const bool png = ImageFormatOfName(path) == ImageFileFormat::Png;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    QImageWriter writer(&file, png ? "png" : "bmp");
    if (!writer.write(image)) {
        file.cancelWriting();
        return writer.errorString();
    }
    // The rename happens here, after the last byte has reached the disk.
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

}  // namespace ocuvis
