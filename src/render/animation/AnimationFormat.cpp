// Apart from the writer, which needs Qt Gui: ocuvis-render reads its options without it.
#include "render/ImageEncoding.h"
#include "render/animation/AnimationWriter.h"

namespace ocuvis {

std::optional<AnimationFormat> AnimationFormatOfName(std::string_view path) {
    const std::string extension = FileExtension(path);
    if (extension == "gif") return AnimationFormat::Gif;
    if (extension == "webp") return AnimationFormat::WebP;
    return std::nullopt;
}

}  // namespace ocuvis
