#pragma once

#include <QString>
#include <optional>
#include <string>

#include "render/ImageEncoding.h"

class QImage;

namespace ocuvis {

// The image as the bytes of a file of that format, or the encoder's failure.
std::optional<QString> EncodeImage(const QImage& image, ImageFileFormat format, std::string& bytes);

// Writes the image in the format its name asks for, BMP for any other name. A symbolic link is
// followed to the file it ends at, which is written in its place (the link stays); a folder, a
// named pipe, a device or a socket there is refused, so a picture never replaces what is not a
// picture file. The picture goes to a temporary file beside the target, renamed over it only
// when complete, so a failed write leaves the file that was there; where no temporary file can
// be made (a folder the user may not write to), a writable target is written directly. The
// failure's text (the system's, for a file that cannot be written), or nothing.
std::optional<QString> WriteImageFile(const QImage& image, const QString& path);

}  // namespace ocuvis
