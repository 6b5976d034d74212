#include "render/animation/GifEncoder.h"

#include <gif_lib.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>

#include "render/OutputFile.h"
#include "render/animation/ColourQuantizer.h"

namespace ocuvis {

namespace {

constexpr std::uint32_t kRgb = 0xFFFFFF;
constexpr int kMaxPalette = 256;

const std::uint32_t* Row(const QImage& frame, int y) {
    return reinterpret_cast<const std::uint32_t*>(frame.constScanLine(y));
}

using Rect = GifEncoder::Rect;

// The bounding rectangle of the pixels that differ from the reference; all of them without one.
Rect ChangedRect(const QImage& frame, const std::vector<std::uint32_t>* reference) {
    const int width = frame.width();
    if (!reference) return {0, 0, width, frame.height()};
    Rect rect{width, frame.height(), 0, 0};
    for (int y = 0; y < frame.height(); ++y) {
        const std::uint32_t* row = Row(frame, y);
        const std::uint32_t* before = reference->data() + static_cast<std::size_t>(y) * width;
        int first = 0;
        while (first < width && (row[first] & kRgb) == before[first])
            ++first;
        if (first == width) continue;
        int last = width - 1;
        while ((row[last] & kRgb) == before[last])
            --last;
        rect.left = std::min(rect.left, first);
        rect.right = std::max(rect.right, last + 1);
        rect.top = std::min(rect.top, y);
        rect.bottom = y + 1;
    }
    return rect;
}

// Calls visit(colour, changed) for each pixel of the rectangle, row by row.
template <typename Visit>
void ForEachPixel(const QImage& frame, const Rect& rect,
                  const std::vector<std::uint32_t>* reference, Visit visit) {
    for (int y = rect.top; y < rect.bottom; ++y) {
        const std::uint32_t* row = Row(frame, y);
        const std::uint32_t* before =
            reference ? reference->data() + static_cast<std::size_t>(y) * frame.width() : nullptr;
        for (int x = rect.left; x < rect.right; ++x) {
            const std::uint32_t colour = row[x] & kRgb;
            visit(colour, !before || colour != before[x]);
        }
    }
}

// The colours of the rectangle's changed pixels (or all of them) into the map, with their
// counts, up to one more than the limit. Returns the number of pixels seen.
long long Collect(const QImage& frame, const Rect& rect,
                  const std::vector<std::uint32_t>* reference, bool all, ColourMap& colours,
                  int limit) {
    long long pixels = 0;
    colours.Reset(std::min(limit + 1, 4096));
    std::uint32_t last = ColourMap::kNone;
    std::uint32_t* count = nullptr;
    ForEachPixel(frame, rect, reference, [&](std::uint32_t colour, bool changed) {
        if (!changed && !all) return;
        ++pixels;
        if (colours.size() > limit) return;
        // Runs of one colour are common: the background, a dot, a line.
        if (colour != last) {
            count = &colours[colour];
            last = colour;
        }
        ++*count;
    });
    return pixels;
}

// One transparent pixel in the global palette: the frame and its delay stay, nothing is drawn.
GifEncoder::Piece NothingChanged() {
    GifEncoder::Piece piece;
    piece.rect = {0, 0, 1, 1};
    piece.transparent = 0;
    piece.indices = {0};
    return piece;
}

int TableSize(std::size_t colours) {
    int size = 2;
    while (size < static_cast<int>(colours))
        size *= 2;
    return size;
}

// giflib hands the bytes to the output file; a short count makes it fail.
int WriteToOutput(GifFileType* gif, const GifByteType* bytes, int size) {
    auto* output = static_cast<OutputFile*>(gif->UserData);
    output->Write(bytes, static_cast<std::size_t>(size));
    return output->failure() ? 0 : size;
}

ColorMapObject* MakeColourMap(const std::vector<std::uint32_t>& palette) {
    std::vector<GifColorType> colours(static_cast<std::size_t>(TableSize(palette.size())));
    for (std::size_t i = 0; i < palette.size(); ++i)
        colours[i] = {static_cast<GifByteType>(palette[i] >> 16),
                      static_cast<GifByteType>(palette[i] >> 8),
                      static_cast<GifByteType>(palette[i])};
    return GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
}

}  // namespace

int GifDelayHundredths(int delayMs) {
    const long long hundredths = (static_cast<long long>(std::max(delayMs, 0)) + 5) / 10;
    return static_cast<int>(std::clamp(hundredths, 2LL, 65535LL));
}

GifEncoder::GifEncoder(OutputFile& output, QSize size, int delayMs)
    : output_(output), size_(size), delayHundredths_(GifDelayHundredths(delayMs)) {}

GifEncoder::~GifEncoder() {
    if (gif_) EGifCloseFile(gif_, nullptr);
}

std::optional<QString> GifEncoder::Failure() {
    if (output_.failure()) return OutputFailure(output_);
    return QString::fromUtf8(GifErrorString(gif_ ? gif_->Error : E_GIF_ERR_NOT_WRITEABLE));
}

std::optional<QString> GifEncoder::Add(const QImage& frame) {
    Piece piece;
    if (PlanExact(frame, piece)) {
        // What is shown is the frame itself now.
        shownIsLast_ = true;
    } else {
        PlanReduced(frame, piece);
        previous_.resize(shown_.size());
        for (int y = 0; y < size_.height(); ++y) {
            const std::uint32_t* row = Row(frame, y);
            std::uint32_t* to = previous_.data() + static_cast<std::size_t>(y) * size_.width();
            for (int x = 0; x < size_.width(); ++x)
                to[x] = row[x] & kRgb;
        }
        shownIsLast_ = false;
    }
    if (frames_ == 0) {
        if (auto failure = Start(piece.palette)) return failure;
        piece.palette.clear();
    }
    ++frames_;
    return Write(piece);
}

// Plans the frame from the pixels that differ from what is shown, when their colours fit a
// palette. False when they do not.
bool GifEncoder::PlanExact(const QImage& frame, Piece& piece) {
    const std::vector<std::uint32_t>* reference = frames_ == 0 ? nullptr : &shown_;
    if (!reference) shown_.assign(static_cast<std::size_t>(size_.width()) * size_.height(), 0);
    piece.rect = ChangedRect(frame, reference);
    if (piece.rect.empty()) {
        piece = NothingChanged();
        return true;
    }
    const long long area = static_cast<long long>(piece.rect.width()) * piece.rect.height();
    bool opaque = Collect(frame, piece.rect, reference, false, colours_, kMaxPalette) == area;
    if (colours_.size() > kMaxPalette) return false;
    if (!opaque && colours_.size() == kMaxPalette) {
        // No index is left for transparency: draw the whole rectangle if its colours fit.
        Collect(frame, piece.rect, reference, true, colours_, kMaxPalette);
        if (colours_.size() > kMaxPalette) return false;
        opaque = true;
    }

    // The global palette serves when it has every colour and, if needed, an unused index.
    std::array<bool, kMaxPalette> used{};
    bool inGlobal = !global_.empty();
    colours_.ForEach([&](std::uint32_t colour, std::uint32_t) {
        const std::uint32_t index = inGlobal ? globalIndex_.Find(colour) : ColourMap::kNone;
        if (index == ColourMap::kNone) {
            inGlobal = false;
        } else {
            used[index] = true;
        }
    });
    if (inGlobal && !opaque) {
        const auto unused = std::find(used.begin(), used.begin() + global_.size(), false);
        inGlobal = unused != used.begin() + global_.size();
        piece.transparent = static_cast<int>(unused - used.begin());
    }
    if (inGlobal) {
        colours_.ForEach(
            [&](std::uint32_t colour, std::uint32_t& index) { index = globalIndex_.Find(colour); });
    } else {
        colours_.ForEach([&](std::uint32_t colour, std::uint32_t& index) {
            index = static_cast<std::uint32_t>(piece.palette.size());
            piece.palette.push_back(colour);
        });
        piece.transparent = opaque ? -1 : static_cast<int>(piece.palette.size());
        if (!opaque) piece.palette.push_back(0);
    }

    piece.indices.reserve(static_cast<std::size_t>(area));
    std::uint32_t* shown = shown_.data();
    const int width = size_.width();
    int x = piece.rect.left, y = piece.rect.top;
    ForEachPixel(frame, piece.rect, reference, [&](std::uint32_t colour, bool changed) {
        if (changed || opaque) {
            piece.indices.push_back(static_cast<std::uint8_t>(colours_.Find(colour)));
            shown[static_cast<std::size_t>(y) * width + x] = colour;
        } else {
            piece.indices.push_back(static_cast<std::uint8_t>(piece.transparent));
        }
        if (++x == piece.rect.right) {
            x = piece.rect.left;
            ++y;
        }
    });
    return true;
}

// Plans a frame with too many colours: only the pixels that changed from the last frame given
// are drawn, in the palette that fits them best. Pixels left alone keep their earlier colour,
// reduced no worse than in the frame that drew them.
void GifEncoder::PlanReduced(const QImage& frame, Piece& piece) {
    const std::vector<std::uint32_t>* reference =
        frames_ == 0 ? nullptr : (shownIsLast_ ? &shown_ : &previous_);
    piece = {};
    piece.rect = ChangedRect(frame, reference);
    if (piece.rect.empty()) {
        piece = NothingChanged();
        return;
    }
    const long long area = static_cast<long long>(piece.rect.width()) * piece.rect.height();
    const bool opaque = Collect(frame, piece.rect, reference, false, colours_, 1 << 24) == area;
    std::vector<ColourCount> counts;
    counts.reserve(static_cast<std::size_t>(colours_.size()));
    colours_.ForEach([&](std::uint32_t colour, std::uint32_t count) {
        counts.push_back({colour, count});
    });
    piece.palette = ChoosePalette(std::move(counts), opaque ? kMaxPalette : kMaxPalette - 1);
    const NearestColour nearest(piece.palette);
    colours_.ForEach([&](std::uint32_t colour, std::uint32_t& index) {
        index = static_cast<std::uint32_t>(nearest(colour));
    });
    if (!opaque) {
        piece.transparent = static_cast<int>(piece.palette.size());
        piece.palette.push_back(0);
    }

    piece.indices.reserve(static_cast<std::size_t>(area));
    const int width = size_.width();
    int x = piece.rect.left, y = piece.rect.top;
    ForEachPixel(frame, piece.rect, reference, [&](std::uint32_t colour, bool changed) {
        if (changed) {
            const std::uint32_t index = colours_.Find(colour);
            piece.indices.push_back(static_cast<std::uint8_t>(index));
            shown_[static_cast<std::size_t>(y) * width + x] = piece.palette[index];
        } else {
            piece.indices.push_back(static_cast<std::uint8_t>(piece.transparent));
        }
        if (++x == piece.rect.right) {
            x = piece.rect.left;
            ++y;
        }
    });
}

// The header: the screen with the first frame's palette as the global one, and the loop.
std::optional<QString> GifEncoder::Start(const std::vector<std::uint32_t>& palette) {
    int error = 0;
    gif_ = EGifOpen(&output_, WriteToOutput, &error);
    if (!gif_) return QString::fromUtf8(GifErrorString(error));
    EGifSetGifVersion(gif_, true);
    global_ = palette;
    global_.resize(static_cast<std::size_t>(TableSize(palette.size())), 0);
    globalIndex_.Reset(static_cast<int>(palette.size()));
    // The padding repeats a colour; lookups find the first index that has it.
    for (std::size_t i = palette.size(); i-- > 0;)
        globalIndex_[palette[i]] = static_cast<std::uint32_t>(i);
    ColorMapObject* map = MakeColourMap(global_);
    const int status = EGifPutScreenDesc(gif_, size_.width(), size_.height(), 8, 0, map);
    GifFreeMapObject(map);
    if (status == GIF_ERROR) return Failure();
    // The application extension that makes decoders loop; a count of 0 means for ever.
    static const GifByteType kLoopApplication[] = "NETSCAPE2.0";
    static const GifByteType kLoopForever[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, 11, kLoopApplication) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, 3, kLoopForever) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif_) == GIF_ERROR)
        return Failure();
    return std::nullopt;
}

std::optional<QString> GifEncoder::Write(const Piece& piece) {
    const GraphicsControlBlock control{
        DISPOSE_DO_NOT, false, delayHundredths_,
        piece.transparent < 0 ? NO_TRANSPARENT_COLOR : piece.transparent};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_ERROR) return Failure();
    ColorMapObject* map = piece.palette.empty() ? nullptr : MakeColourMap(piece.palette);
    // giflib drops the last frame's own palette without freeing it when this frame has none.
    if (!map && gif_->Image.ColorMap) {
        GifFreeMapObject(gif_->Image.ColorMap);
        gif_->Image.ColorMap = nullptr;
    }
    const int status = EGifPutImageDesc(gif_, piece.rect.left, piece.rect.top, piece.rect.width(),
                                        piece.rect.height(), false, map);
    if (map) GifFreeMapObject(map);
    if (status == GIF_ERROR) return Failure();
    auto* indices = const_cast<GifByteType*>(piece.indices.data());
    for (int y = 0; y < piece.rect.height(); ++y) {
        if (EGifPutLine(gif_, indices + static_cast<std::size_t>(y) * piece.rect.width(),
                        piece.rect.width()) == GIF_ERROR)
            return Failure();
    }
    return OutputFailure(output_);
}

std::optional<QString> GifEncoder::Finish() {
    if (!gif_) return QStringLiteral("The animation has no frames");
    int error = 0;
    const int status = EGifCloseFile(gif_, &error);
    gif_ = nullptr;
    if (output_.failure()) return OutputFailure(output_);
    if (status == GIF_ERROR) return QString::fromUtf8(GifErrorString(error));
    return std::nullopt;
}

}  // namespace ocuvis
