#pragma once

#include <QFont>
#include <QString>
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
    // Loads the fonts the first time; needs a QGuiApplication.
    static const FrameFonts& Instance();

    QFont Font(const TextFont& font) const;
    const QString& Family(FontFace face) const;
    // False when a font file was missing and a system family stands in.
    bool LoadedFromFiles() const { return loadedFromFiles_; }

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

    // Point sizes become pixels at 96 DPI, rounded as the Windows font mapper does.
    static int PixelSize(int points);
    // 96 DPI in dots per metre, for the frame image.
    static constexpr int kDotsPerMetre = 3780;

  private:
    FrameFonts();

    QString sansFamily_;
    QString serifFamily_;
    bool loadedFromFiles_ = true;
};

}  // namespace ocuvis
