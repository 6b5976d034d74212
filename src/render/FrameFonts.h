#pragma once

#include <QFont>
#include <QString>
#include <array>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "render/Canvas.h"

namespace ocuvis {

// The frame's two faces stand in for the small Windows sans and serif fonts the viewer was
// designed with: Liberation Sans and Liberation Serif (Debian's fonts-liberation), loaded from
// their files so that no font configuration of the machine can swap them. Text is drawn
// unsmoothed and fully hinted at 96 DPI, so a frame reads the same on every machine.
class FrameFonts {
  public:
    // Needs a QGuiApplication.
    static const FrameFonts& Instance();

    // Each file is read at the first font of its face and weight: a frame with nothing but
    // regular sans text reads one file instead of four.
    QFont Font(const TextFont& font) const;
    // False when a font file was missing and a system family stands in.
    bool LoadedFromFiles() const;

    // A tool drawing a few frames spends most of its run in the system's font configuration
    // (its rules and font folders), which the frame's own fonts do not need. Called before
    // the QGuiApplication of a process that draws nothing else, this allows the next call.
    static void AllowSkippingSystemFonts();
    // Before the first text, with every text the frames will draw: where all of it is printable
    // ASCII, which the frame's own fonts cover, and their files are there, an empty font
    // configuration takes the system's place; text is unsmoothed and fully hinted, which no
    // system rule changes, so glyphs come out the same. Other text may need a system font in
    // place of a missing glyph, so it keeps the system's configuration.
    static void SkipSystemFontsFor(const std::vector<std::string_view>& texts);
    // Whether every text is printable ASCII.
    static bool PrintableAscii(const std::vector<std::string_view>& texts) {
        for (std::string_view text : texts)
            for (const char c : text)
                if (c < ' ' || c > '~') return false;
        return true;
    }
    // The file the face is read from, when it is there.
    static std::string FilePath(FontFace face, bool bold);

    // Point sizes become pixels at 96 DPI, rounded as the Windows font mapper does.
    static int PixelSize(int points);
    // 96 DPI in dots per metre, for the frame image.
    static constexpr int kDotsPerMetre = 3780;

  private:
    FrameFonts();
    QString Family(FontFace face, bool bold) const;

    struct Face {
        QString family;                // from its files, or the system family standing in
        bool fromFiles = true;         // false once a file of the face is missing or unreadable
        std::array<bool, 2> loaded{};  // regular, bold
    };
    mutable std::mutex mutex_;
    mutable std::array<Face, 2> faces_;  // sans, serif
};

}  // namespace ocuvis
