#pragma once

#include <QRgb>
#include <optional>
#include <string>
#include <string_view>

namespace ocuvis {

enum class ImageFileFormat { Bmp, Png };

// The last extension of a path's file name, in lower case: what follows its last dot.
std::string FileExtension(std::string_view path);

// The format a file name asks for by its extension, in any letter case; nothing when the name
// ends in neither ".bmp" nor ".png".
std::optional<ImageFileFormat> ImageFormatOfName(std::string_view path);

// Opaque pixels (rows stride pixels apart) as the bytes of a PNG file with the resolution
// given (none when both are 0), or the encoder's failure.
std::optional<std::string> EncodeOpaquePng(const QRgb* pixels, int stride, int width, int height,
                                           int dotsPerMetreX, int dotsPerMetreY,
                                           std::string& bytes);

// The bytes as the file at path (in the file system's encoding), written whole or not at all
// (see OutputFile). The failure's text, or nothing.
std::optional<std::string> WriteFileBytes(std::string_view bytes, const std::string& path);

}  // namespace ocuvis
