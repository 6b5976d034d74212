#include "render/FrameFonts.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QStringList>
#include <QtGlobal>
#include <cstdlib>
#include <mutex>

#include <fontconfig/fontconfig.h>

namespace ocuvis {

namespace {

constexpr const char* kFontDirectory = "/usr/share/fonts/truetype/liberation/";
// Sans regular and bold, then serif regular and bold.
constexpr const char* kFontFiles[] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                      "LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf"};

bool FontFileExists(const char* file) {
    return QFileInfo::exists(QString::fromLatin1(kFontDirectory) + QString::fromLatin1(file));
}

// The family name of a font file added to the application's fonts, or empty.
QString AddFontFile(const char* file) {
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontDirectory) +
                                                     QString::fromLatin1(file));
    if (id < 0) return {};
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.front();
}

void WarnOfSystemFonts() {
    static std::once_flag once;
    std::call_once(once, [] {
        qWarning(
            "Ocuvis: the Liberation fonts were not found in %s (Debian package "
            "fonts-liberation); text falls back to the system's sans serif and serif "
            "fonts and may look different.",
            kFontDirectory);
    });
}

QString SystemFamily(FontFace face) {
    return face == FontFace::Serif ? QStringLiteral("Serif") : QStringLiteral("Sans Serif");
}

// Set by a process that draws nothing but frames, before anything reads fonts.
bool skippingAllowed = false;

}  // namespace

void FrameFonts::AllowSkippingSystemFonts() {
    skippingAllowed = true;
}

void FrameFonts::SkipSystemFontsFor(const std::vector<std::string_view>& texts) {
    if (!skippingAllowed) return;
    // Once: Qt reads the configuration at its first font, and keeps it.
    skippingAllowed = false;
    if (!PrintableAscii(texts)) return;
    for (const char* file : kFontFiles)
        if (!FontFileExists(file)) return;
    // Current before Qt's first call into fontconfig, which then takes it instead of loading
    // the system's.
    if (FcConfig* empty = FcConfigCreate()) {
        FcConfigSetCurrent(empty);
        FcConfigDestroy(empty);
    }
}

const FrameFonts& FrameFonts::Instance() {
    static const FrameFonts fonts;
    return fonts;
}

FrameFonts::FrameFonts() {
    // A face with a missing file stands in with the system's family from the start.
    bool missing = false;
    for (const FontFace face : {FontFace::Sans, FontFace::Serif}) {
        const std::size_t first = face == FontFace::Serif ? 2 : 0;
        if (!FontFileExists(kFontFiles[first]) || !FontFileExists(kFontFiles[first + 1])) {
            Face& f = faces_[static_cast<std::size_t>(face)];
            f.fromFiles = false;
            f.family = SystemFamily(face);
            missing = true;
        }
    }
    if (missing) WarnOfSystemFonts();
}

bool FrameFonts::LoadedFromFiles() const {
    const std::lock_guard lock(mutex_);
    return faces_[0].fromFiles && faces_[1].fromFiles;
}

QString FrameFonts::Family(FontFace face, bool bold) const {
    const std::lock_guard lock(mutex_);
    Face& f = faces_[static_cast<std::size_t>(face)];
    const std::size_t weight = bold ? 1 : 0;
    if (f.fromFiles && !f.loaded[weight]) {
        f.loaded[weight] = true;
        const QString family = AddFontFile(kFontFiles[(face == FontFace::Serif ? 2 : 0) + weight]);
        if (family.isEmpty()) {
            f.fromFiles = false;
            f.family = SystemFamily(face);
            WarnOfSystemFonts();
        } else {
            f.family = family;
        }
    }
    return f.family;
}

std::string FrameFonts::FilePath(FontFace face, bool bold) {
    return std::string(kFontDirectory) + kFontFiles[(face == FontFace::Serif ? 2 : 0) + bold];
}

int FrameFonts::PixelSize(int points) {
    // MulDiv(points, 96, 72): rounded half away from zero.
    const int scaled = points * 96;
    return scaled >= 0 ? (scaled + 36) / 72 : -((-scaled + 36) / 72);
}

QFont FrameFonts::Font(const TextFont& wanted) const {
    QFont font(Family(wanted.face, wanted.bold));
    font.setStyleHint(wanted.face == FontFace::Serif ? QFont::Serif : QFont::SansSerif);
    font.setPixelSize(std::max(1, PixelSize(wanted.pointSize)));
    font.setBold(wanted.bold);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    return font;
}

}  // namespace ocuvis
