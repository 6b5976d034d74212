#pragma once

#include <QString>
#include <optional>

class QImage;

namespace ocuvis {

enum class ImageFileFormat { Bmp, Png };

// The format a file name asks for by its extension, in any letter case; nothing when the name
// ends in neither ".bmp" nor ".png".
std::optional<ImageFileFormat> ImageFormatOfName(const QString& path);

// Writes the image in the format its name asks for, BMP for any other name. The picture goes
// to a temporary file beside the target, renamed over it only when complete, so a failed
// write leaves the file that was there. The failure's text, or nothing.
std::optional<QString> WriteImageFile(const QImage& image, const QString& path);

}  // namespace ocuvis
