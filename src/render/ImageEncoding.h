#pragma once

#include <QByteArray>
#include <QRgb>
#include <QString>
#include <optional>

namespace ocuvis {

enum class ImageFileFormat { Bmp, Png };

// The format a file name asks for by its extension, in any letter case; nothing when the name
// ends in neither ".bmp" nor ".png".
std::optional<ImageFileFormat> ImageFormatOfName(const QString& path);

// Opaque pixels (rows stride pixels apart) as the bytes of a PNG file with the resolution
// given (none when both are 0), or the encoder's failure.
std::optional<QString> EncodeOpaquePng(const QRgb* pixels, int stride, int width, int height,
                                       int dotsPerMetreX, int dotsPerMetreY, QByteArray& bytes);

// The bytes as the file at path, written whole or not at all (see OutputFile). The failure's
// text, or nothing.
std::optional<QString> WriteFileBytes(const QByteArray& bytes, const QString& path);

}  // namespace ocuvis
