#include "render/FrameFonts.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QStringList>
#include <QtGlobal>
#include <cstdlib>

#include <fontconfig/fontconfig.h>

namespace ocuvis {

namespace {

constexpr const char* kFontDirectory = "/usr/share/fonts/truetype/liberation/";
// Sans regular and bold, then serif regular and bold.
constexpr const char* kFontFiles[] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                      "LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf"};

// Loads the regular and bold file of one family; the family name on success, else empty.
QString LoadFamily(const char* regularFile, const char* boldFile) {
    QString family;
    for (const char* file : {regularFile, boldFile}) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontDirectory) +
                                                         QString::fromLatin1(file));
        if (id < 0) return {};
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (families.isEmpty()) return {};
        family = families.front();
    }
    return family;
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
    for (std::string_view text : texts)
        for (const char c : text)
            if (c < ' ' || c > '~') return;
    for (const char* file : kFontFiles)
        if (!QFileInfo::exists(QString::fromLatin1(kFontDirectory) + QString::fromLatin1(file)))
            return;
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
    sansFamily_ = LoadFamily(kFontFiles[0], kFontFiles[1]);
    serifFamily_ = LoadFamily(kFontFiles[2], kFontFiles[3]);
    if (sansFamily_.isEmpty() || serifFamily_.isEmpty()) {
        loadedFromFiles_ = false;
        qWarning(
            "Ocuvis: the Liberation fonts were not found in %s (Debian package "
            "fonts-liberation); text falls back to the system's sans serif and serif "
            "fonts and may look different.",
            kFontDirectory);
        if (sansFamily_.isEmpty()) sansFamily_ = QStringLiteral("Sans Serif");
        if (serifFamily_.isEmpty()) serifFamily_ = QStringLiteral("Serif");
    }
}

const QString& FrameFonts::Family(FontFace face) const {
    return face == FontFace::Serif ? serifFamily_ : sansFamily_;
}

int FrameFonts::PixelSize(int points) {
    // MulDiv(points, 96, 72): rounded half away from zero.
    const int scaled = points * 96;
    return scaled >= 0 ? (scaled + 36) / 72 : -((-scaled + 36) / 72);
}

QFont FrameFonts::Font(const TextFont& wanted) const {
    QFont font(Family(wanted.face));
    font.setStyleHint(wanted.face == FontFace::Serif ? QFont::Serif : QFont::SansSerif);
    font.setPixelSize(std::max(1, PixelSize(wanted.pointSize)));
    font.setBold(wanted.bold);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    return font;
}

}  // namespace ocuvis
