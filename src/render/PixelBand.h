#pragma once

#include <QRgb>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/LineEnds.h"
#include "render/PixelStamp.h"
#include "render/ThinLine.h"

namespace ocuvis {

// A band of rows of an RGB32 frame image that one thread draws into: every primitive of the
// frame, in order, sets only the pixels of these rows, so bands drawn apart make the image one
// thread would draw.
struct PixelBand {
    QRgb* pixels;  // row 0 of the image
    int stride;    // in pixels
    int width;
    int height;
    int top;     // first row of the band
    int bottom;  // first row past it
    // Row 0 of the image the frame's second image goes to, when that is not this one: the
    // right eye's of a composed view, of the same size and stride.
    QRgb* apart = nullptr;

    // The same rows of the image the second image is drawn into.
    PixelBand Second() const {
        PixelBand second = *this;
        if (apart != nullptr) second.pixels = apart, second.apart = nullptr;
        return second;
    }

    // A one-pixel line: the pixels of the whole line that lie in the band.
    void Line(const LineEnds& e, QRgb rgb) const {
        const int dx = e.x2 - e.x1, dy = e.y2 - e.y1;
        if (static_cast<unsigned>(dx + 1) <= 2 && static_cast<unsigned>(dy + 1) <= 2) {
            // Most segments of dense data are at most a pixel long, and set one pixel: the end
            // the stepping starts from, which has the lower coordinate along the major axis (x
            // when the line is as steep as it is wide). Such an end, when in the frame, has
            // the other within the clipping margin, and when outside it the line sets nothing.
            const bool fromSecond = dx < 0 || (dx == 0 && dy < 0);
            const int x = fromSecond ? e.x2 : e.x1, y = fromSecond ? e.y2 : e.y1;
            if (x >= 0 && x < width && y >= top && y < bottom) pixels[y * stride + x] = rgb;
            return;
        }
        QRgb* const base = pixels;
        const int step = stride;
        const auto plot = [=](int x, int y) { base[y * step + x] = rgb; };
        if (!ShortThinLine(e.x1, e.y1, e.x2, e.y2, width, height, top, bottom, plot))
            RasteriseThinLine(e.x1, e.y1, e.x2, e.y2, width, height, top, bottom, plot);
    }

    // A stamp with its anchor at (x, y), in one colour: dots have pen and brush of one colour,
    // so the stamp's solid spans will do.
    void Stamp(const PixelStamp& stamp, int x, int y, QRgb rgb) const {
        if (x + stamp.left >= 0 && x + stamp.right <= width && y + stamp.top >= top &&
            y + stamp.bottom < bottom) {
            const std::array<QRgb, 4> quad{rgb, rgb, rgb, rgb};
            for (const PixelStamp::Span& span : stamp.solidSpans)
                FillRun(pixels + (y + span.row) * stride + x + span.begin, span.end - span.begin,
                        quad);
            return;
        }
        for (const PixelStamp::Span& span : stamp.solidSpans) {
            const int row = y + span.row;
            if (row < top || row >= bottom) continue;
            const int begin = std::max(0, x + span.begin);
            const int end = std::min(width, x + span.end);
            if (begin < end)
                std::fill(pixels + row * stride + begin, pixels + row * stride + end, rgb);
        }
    }

  private:
    // Sets n >= 1 pixels. Short runs, which small dots are made of, take two overlapping
    // stores of two or four pixels instead of a loop of varying length.
    static void FillRun(QRgb* p, int n, const std::array<QRgb, 4>& quad) {
        if (n >= 4 && n <= 8) {
            std::memcpy(p, quad.data(), 16);
            std::memcpy(p + n - 4, quad.data(), 16);
        } else if (n >= 2 && n < 4) {
            std::memcpy(p, quad.data(), 8);
            std::memcpy(p + n - 2, quad.data(), 8);
        } else {
            std::fill_n(p, n, quad[0]);
        }
    }
};

// Rows a line or dot may set pixels in, before truncation: a band whose rows, its bottom
// edge included, meet them must look at it; any other band may pass it over.
struct RowReach {
    float low, high;

    bool Misses(const PixelBand& band) const {
        return high < static_cast<float>(band.top) || low > static_cast<float>(band.bottom);
    }
};

// The records a band goes through, in record order: every one below a count, or those whose
// byte of band bits has the band's bit.
class BandRecords {
  public:
    explicit BandRecords(int count) : count_(count) {}
    // The first run records of every step records.
    BandRecords(int count, int step, int run) : count_(count), step_(step), run_(run) {}
    // bits holds count bytes and eight more of zeros.
    BandRecords(const std::uint8_t* bits, int count, int band)
        : bits_(bits), count_(count), band_(band) {}

    // The same records but those from record from on whose byte of skip is not zero, and
    // with withNext, the next record's byte too (skip holds a byte past count).
    BandRecords Without(const std::uint8_t* skip, int from = 0, bool withNext = false) const {
        BandRecords records = *this;
        records.skip_ = skip;
        records.skipFrom_ = from;
        records.skipWithNext_ = withNext;
        return records;
    }

    template <class Visit>
    void ForEach(Visit&& visit) const {
        if (skip_ != nullptr) {
            // Apart from the scan below, which leaves them out sixteen at a time.
            const auto visitKept = [&](int i) __attribute__((always_inline)) {
                if (i < skipFrom_ || (skip_[i] & (skipWithNext_ ? skip_[i + 1] : 1)) == 0) visit(i);
            };
            if (bits_ == nullptr) {
                ForEachListed(visitKept);
                return;
            }
            ForEachListed(visit, visitKept);
            return;
        }
        ForEachListed(visit);
    }

  private:
    template <class Visit>
    void ForEachListed(Visit&& visit) const {
        ForEachListed(visit, visit);
    }
    // Visits each listed record: visitScanned those the vector scan of band bits finds (and
    // leaves out when skipped), visit the others.
    template <class Visit, class VisitRest>
    void ForEachListed(Visit&& visitScanned, VisitRest&& visit) const {
        if (bits_ == nullptr && step_ == 1) {
            for (int i = 0; i < count_; ++i)
                visit(i);
            return;
        }
        if (bits_ == nullptr) {
            for (int first = 0; first < count_; first += step_)
                for (int i = first; i < std::min(first + run_, count_); ++i)
                    visit(i);
            return;
        }
        int first = 0;
#if defined(__SSE2__)
        // Sixteen bytes a compare, sixty-four records a test: every band scans every record's
        // byte, and most hold none of its records.
        const __m128i bit = _mm_set1_epi8(static_cast<char>(1u << band_));
        for (; first + 64 <= count_; first += 64) {
            std::uint64_t in = 0;
            for (int k = 0; k < 4; ++k) {
                const __m128i bytes =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(bits_ + first + 16 * k));
                auto marked = static_cast<std::uint32_t>(
                    _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(bytes, bit), bit)));
                if (skip_ != nullptr && first >= skipFrom_) {
                    const std::uint8_t* at = skip_ + first + 16 * k;
                    __m128i skipped = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
                    if (skipWithNext_)
                        skipped = _mm_and_si128(
                            skipped, _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1)));
                    marked &= static_cast<std::uint32_t>(
                        _mm_movemask_epi8(_mm_cmpeq_epi8(skipped, _mm_setzero_si128())));
                }
                in |= std::uint64_t{marked} << (16 * k);
            }
            // Blocks the skip does not wholly apply to go the long way.
            if (skip_ != nullptr && first < skipFrom_)
                for (; in != 0; in &= in - 1)
                    visit(first + std::countr_zero(in));
            for (; in != 0; in &= in - 1)
                visitScanned(first + std::countr_zero(in));
        }
#endif
        // Eight records at a time.
        static_assert(std::endian::native == std::endian::little, "record i in byte i % 8");
        const std::uint64_t bandBits = 0x0101010101010101u << band_;
        for (int i = first; i < count_; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, bits_ + i, sizeof word);
            for (word &= bandBits; word != 0; word &= word - 1)
                visit(i + std::countr_zero(word) / 8);
        }
    }

    const std::uint8_t* bits_ = nullptr;
    const std::uint8_t* skip_ = nullptr;
    int skipFrom_ = 0;
    bool skipWithNext_ = false;
    int count_;
    int band_ = 0;
    int step_ = 1, run_ = 1;
};

}  // namespace ocuvis
