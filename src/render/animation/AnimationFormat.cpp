// Apart from the writer, which needs Qt Gui: ocuvis-render reads its options without it.
#include <QFileInfo>

#include "render/animation/AnimationWriter.h"

namespace ocuvis {

std::optional<AnimationFormat> AnimationFormatOfName(const QString& path) {
    const QString extension = QFileInfo(path).suffix();
    if (extension.compare("gif", Qt::CaseInsensitive) == 0) return AnimationFormat::Gif;
    if (extension.compare("webp", Qt::CaseInsensitive) == 0) return AnimationFormat::WebP;
    return std::nullopt;
}

}  // namespace ocuvis
