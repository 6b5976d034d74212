#pragma once

#include <QRgb>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "render/Canvas.h"

namespace ocuvis {

// Texts as QPainter drew them on pixels of one colour, kept from frame to frame: the grid's
// values and the mode's name come back every frame, each at a new place. Text moved by whole
// pixels is drawn the same, so where the pixels its glyphs may reach are all of one colour
// again, the kept pixels are the text.
class TextStamps {
  public:
    // What decides the pixels, but for the place.
    struct Key {
        std::string text;
        TextFont font;
        QRgb colour;
        TextAlign align;
        int boxWidth, boxHeight;
        int dotsPerMeterX, dotsPerMeterY;  // the image's, which size the font

        friend bool operator<(const Key& a, const Key& b) {
            const auto tied = [](const Key& k) {
                return std::tie(k.text, k.font.face, k.font.pointSize, k.font.bold, k.colour,
                                k.align, k.boxWidth, k.boxHeight, k.dotsPerMeterX, k.dotsPerMeterY);
            };
            return tied(a) < tied(b);
        }
    };
    // The text on one background colour: the pixels of its reach, row by row.
    struct Stamp {
        QRgb background;
        std::vector<QRgb> pixels;
    };
    struct Entry {
        int seen = 0;
        bool measured = false;
        // Text with combining marks may reach any row; it is always drawn.
        bool stampable = false;
        // Where its glyphs may reach, from the box's top-left corner.
        CanvasRect reach;
        std::vector<Stamp> stamps;
    };

    // The text's entry, new if it was not seen before.
    Entry& Find(const Key& key);

  private:
    // Frames draw a few dozen texts; a view whose texts keep changing starts again.
    static constexpr std::size_t kMostTexts = 512;
    std::map<Key, Entry> entries_;
};

}  // namespace ocuvis
