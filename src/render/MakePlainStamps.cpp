// Writes, as C++ arrays for PlainFrame.cpp, what a renderer without Qt Gui cannot rasterise
// itself: the dots' stamps as QPainter draws them, and the mode indicator's texts as the frame's
// font draws them, with the files that rasterised them (font, Qt, FreeType and the like), so
// that a run elsewhere can tell whether its own would draw the same.
#include <link.h>
#include <sys/stat.h>

#include <QGuiApplication>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "render/CanvasPens.h"
#include "render/FrameContext.h"
#include "render/FrameFonts.h"
#include "render/ImageCanvas.h"
#include "render/ModeIndicatorLayer.h"

namespace {

using namespace ocuvis;

void WriteSpans(std::ostream& out, const std::vector<PixelStamp::Span>& spans) {
    for (const PixelStamp::Span& span : spans)
        out << "{" << span.row << "," << span.begin << "," << span.end << ","
            << (span.outline ? "true" : "false") << "},\n";
}

// The pixels the text sets, relative to its box's top-left corner: nothing unless it sets
// them all to the text's colour and the same ones on any background, as unsmoothed text does.
std::optional<std::vector<PixelStamp::Span>> TextSpans(const char* text) {
    constexpr int kSide = 6 * kIndicatorReach;
    constexpr int kBox = kSide / 2 - kIndicatorReach;
    std::optional<std::vector<PixelStamp::Span>> found;
    for (const auto& [colour, background] :
         {std::pair{0xFFFFFFu, 0xFF000000u}, std::pair{0x000000u, 0xFFFFFFFFu},
          std::pair{0x0000FFu, 0xFF00FF00u}}) {
        QImage image = FrameRenderer::NewFrameImage(kSide, kSide);
        image.fill(background);
        StampCache stamps(PaintedShapes());
        {
            ImageCanvas canvas(image, stamps);
            canvas.SetFont(kIndicatorFont);
            canvas.SetTextColour(colour);
            canvas.DrawText({kBox, kBox, kBox + 2 * kIndicatorReach, kBox + 2 * kIndicatorReach},
                            TextAlign::Centre, text);
        }
        const QRgb ink = ToRgb(colour);
        std::vector<PixelStamp::Span> spans;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (pixel == background) continue;
                const bool edge = x == 0 || y == 0 || x == kSide - 1 || y == kSide - 1;
                if (pixel != ink || edge) return std::nullopt;
                const auto row = static_cast<std::int16_t>(y - kBox);
                const auto column = static_cast<std::int16_t>(x - kBox);
                if (!spans.empty() && spans.back().row == row && spans.back().end == column)
                    ++spans.back().end;
                else
                    spans.push_back({row, column, static_cast<std::int16_t>(column + 1), true});
            }
        if (found && *found != spans) return std::nullopt;
        found = spans;
    }
    return found;
}

// The files that decide how text is rasterised: the font's and the libraries'.
std::vector<std::string> RasteriserFiles() {
    std::vector<std::string> files{FrameFonts::FilePath(kIndicatorFont.face, kIndicatorFont.bold)};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";
            for (const char* part : {"Qt6", "freetype", "harfbuzz", "fontconfig", "qoffscreen"})
                if (name.find(part) != std::string::npos) {
                    static_cast<std::vector<std::string>*>(data)->push_back(name);
                    break;
                }
            return 0;
        },
        &files);
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: ocuvis_make_plain_stamps OUTPUT\n";
        return 2;
    }
    // As ocuvis-render-full sets up its fonts for frames of ASCII texts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FrameFonts::AllowSkippingSystemFonts();
    FrameFonts::SkipSystemFontsFor({});
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    std::ofstream out(argv[1]);
    out << "// Written by ocuvis_make_plain_stamps.\n"
           "// The spans of dot size s, kDotSpans[kDotSpanStart[s - 1]] on.\n"
           "constexpr PixelStamp::Span kDotSpans[] = {\n";
    const StampShapes shapes = PaintedShapes();
    std::vector<std::size_t> starts{0};
    for (int s = 1; s <= kMaxDotSize; ++s) {
        const PixelStamp stamp = *shapes.ellipse(2 * s, 2 * s, s, true);
        WriteSpans(out, stamp.spans);
        starts.push_back(starts.back() + stamp.spans.size());
    }
    out << "};\nconstexpr std::size_t kDotSpanStart[] = {";
    for (const std::size_t start : starts)
        out << start << ",";

    // Only with the frame's own font: a system family in its place varies from machine to
    // machine.
    std::vector<std::pair<const char*, std::vector<PixelStamp::Span>>> texts;
    for (int type = 0; type <= static_cast<int>(kLastViewType); ++type)
        if (const char* text = ModeIndicatorText(static_cast<ViewType>(type)))
            if (auto spans = TextSpans(text)) texts.emplace_back(text, std::move(*spans));
    if (!FrameFonts::Instance().LoadedFromFiles()) texts.clear();
    out << "};\n\n// The mode indicator's texts, each centred in its box, relative to the box's "
           "top-left\n"
           "// corner.\nconstexpr PixelStamp::Span kTextSpans[] = {\n{0,0,0,false},\n";
    std::size_t first = 1;
    std::string entries;
    for (const auto& [text, spans] : texts) {
        WriteSpans(out, spans);
        entries += "{\"" + std::string(text) + "\"," + std::to_string(first) + "," +
                   std::to_string(first + spans.size()) + "},\n";
        first += spans.size();
    }
    out << "};\nconstexpr TabledText kTabledTexts[] = {\n" << entries << "{nullptr,0,0}};\n\n";
    out << "// The files that rasterised the stamps and texts, as they were.\n"
           "constexpr RecordedFile kRasteriserFiles[] = {\n";
    for (const std::string& file : RasteriserFiles()) {
        struct stat info {};
        if (stat(file.c_str(), &info) != 0) continue;
        out << "{\"" << file << "\"," << info.st_size << "," << info.st_mtim.tv_sec << ","
            << info.st_mtim.tv_nsec << "},\n";
    }
    out << "{nullptr,0,0,0}};\n";
    out.close();
    if (!out) {
        std::cerr << "ocuvis_make_plain_stamps: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
