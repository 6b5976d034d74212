#include "render/TextLabelsLayer.h"

#include <string_view>

#include "render/DepthFade.h"

namespace ocuvis {

void TextLabelsLayer::Draw() {
    const GraphViewState& view = frame_.view;
    frame_.canvas.SetFont({FontFace::Serif, 12, true});
    frame_.canvas.SetTextColour(view.fadeLines ? 0x000000 : view.lineColor);
    frame_.canvas.SetBrush(false, view.dotColor);
    DrawPass(0);
    DrawPass(1);
}

void TextLabelsLayer::DrawPass(int pass) {
    const GraphViewState& view = frame_.view;
    const Projection& projection = frame_.projection;
    Canvas& canvas = frame_.canvas;
    const bool twoImages =
        view.viewType == ViewType::CrossEyes || view.viewType == ViewType::WallEyes;
    for (int i = 0; i < frame_.labelCount; ++i) {
        const XYZTEXT& label = frame_.store.labels[static_cast<std::size_t>(i)];
        const PlotPosition p = frame_.PlotOf(label.x, label.y, label.z);
        const RotatedPosition r = projection.Rotate(p.x, p.y, p.z);
        const Colour grey = FadeGreyOf(r.Z, frame_.fadeNear, frame_.fadeFar, pass);
        if (view.fadeLines) canvas.SetTextColour(grey);
        ImagePixels at;
        if (grey == kSkipGrey || !projection.PixelsOf(r, at)) continue;

        int characters = 0;
        const std::string text = LabelTextAsUtf8(label.text, characters);
        canvas.SetFont({FontFace::Serif, TextLabelPointSize(characters), true});
        const int c1 = at.column1;
        const int row = at.row;
        canvas.DrawText({c1 - 100, row - 100, c1 + 100, row + 100}, TextAlign::Centre, text);
        if (twoImages) {
            const int c2 = at.column2;
            canvas.DrawText({c2 - 100, row - 100, c2 + 100, row + 100}, TextAlign::Centre, text);
        }
    }
}

int TextLabelPointSize(int characters) {
    if (characters < 19) return 12;
    if (characters <= 21) return 11;
    return 9;
}

namespace {

// The number of characters of valid UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF, no sequence cut short), or -1.
int Utf8Characters(std::string_view text) {
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t code = 0, least = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1Fu, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0Fu, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07u, least = 0x10000;
        } else {
            return -1;
        }
        if (text.size() - i < length) return -1;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return -1;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
        i += length;
    }
    return characters;
}

}  // namespace

std::string LabelTextAsUtf8(const std::string& raw, int& characters) {
    // A byte order mark at the start is no character.
    std::string_view text = raw;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    characters = Utf8Characters(text);
    if (characters >= 0) return std::string(text);
    // Latin-1: every byte a character, each upper half byte two bytes of UTF-8.
    characters = static_cast<int>(raw.size());
    std::string utf8;
    utf8.reserve(raw.size() * 2);
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

}  // namespace ocuvis
