#include "render/StereoFrame.h"

#include <QRect>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/WideVectors.h"

namespace ocuvis {

namespace {

// Rows give output red, green, blue; columns multiply the eye's red, green, blue.
using Matrix = std::array<std::array<float, 3>, 3>;
struct PairMatrices {
    Matrix left;
    Matrix right;
};

// The least-squares projections for each pair's usual glasses, as published.
constexpr PairMatrices kRedCyan{
    {{{0.437f, 0.449f, 0.164f}, {-0.062f, -0.062f, -0.024f}, {-0.048f, -0.050f, -0.017f}}},
    {{{-0.011f, -0.032f, -0.007f}, {0.377f, 0.761f, 0.009f}, {-0.026f, -0.093f, 1.234f}}}};
constexpr PairMatrices kGreenMagenta{
    {{{-0.062f, -0.158f, -0.039f}, {0.284f, 0.668f, 0.143f}, {-0.015f, -0.027f, 0.021f}}},
    {{{0.529f, 0.705f, 0.024f}, {-0.016f, -0.015f, -0.065f}, {0.009f, 0.075f, 0.937f}}}};
constexpr PairMatrices kAmberBlue{
    {{{1.062f, -0.205f, 0.299f}, {-0.026f, 0.908f, 0.068f}, {-0.038f, -0.173f, 0.022f}}},
    {{{-0.016f, -0.123f, -0.017f}, {0.006f, 0.062f, -0.017f}, {0.094f, 0.185f, 0.911f}}}};

// Which output channels (red, green, blue) each eye's filter passes.
struct ChannelMask {
    std::array<bool, 3> left;
    std::array<bool, 3> right;
};

const PairMatrices& MatricesOf(ViewType pair) {
    if (pair == ViewType::GreenMagenta) return kGreenMagenta;
    if (pair == ViewType::AmberBlue) return kAmberBlue;
    return kRedCyan;
}

ChannelMask MaskOf(ViewType pair) {
    if (pair == ViewType::GreenMagenta) return {{false, true, false}, {true, false, true}};
    if (pair == ViewType::AmberBlue) return {{true, true, false}, {false, false, true}};
    return {{true, false, false}, {false, true, true}};
}

int Luminance(QRgb p) {
    return (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p) + 500) / 1000;
}

int ClampedChannel(float value) {
    return static_cast<int>(std::lround(std::clamp(value, 0.0f, 255.0f)));
}

QRgb Optimised(const PairMatrices& m, QRgb l, QRgb r) {
    const std::array<float, 3> a{float(qRed(l)), float(qGreen(l)), float(qBlue(l))};
    const std::array<float, 3> b{float(qRed(r)), float(qGreen(r)), float(qBlue(r))};
    std::array<int, 3> out{};
    for (std::size_t c = 0; c < 3; ++c) {
        float sum = 0.0f;
        for (std::size_t k = 0; k < 3; ++k)
            sum += m.left[c][k] * a[k] + m.right[c][k] * b[k];
        out[c] = ClampedChannel(sum);
    }
    return qRgb(out[0], out[1], out[2]);
}

QRgb Plain(const ChannelMask& mask, QRgb l, QRgb r) {
    const int yl = Luminance(l);
    const int yr = Luminance(r);
    std::array<int, 3> out{};
    for (std::size_t c = 0; c < 3; ++c)
        out[c] = mask.left[c] ? yl : (mask.right[c] ? yr : 0);
    return qRgb(out[0], out[1], out[2]);
}

// True when the eight pixels from a are all pa and the eight from b all pb.
inline bool SameEight(const QRgb* a, QRgb pa, const QRgb* b, QRgb pb) {
#if defined(__SSE2__)
    const __m128i wantA = _mm_set1_epi32(static_cast<int>(pa));
    const __m128i wantB = _mm_set1_epi32(static_cast<int>(pb));
    const auto load = [](const QRgb* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    };
    const __m128i same = _mm_and_si128(
        _mm_and_si128(_mm_cmpeq_epi32(load(a), wantA), _mm_cmpeq_epi32(load(a + 4), wantA)),
        _mm_and_si128(_mm_cmpeq_epi32(load(b), wantB), _mm_cmpeq_epi32(load(b + 4), wantB)));
    return _mm_movemask_epi8(same) == 0xFFFF;
#else
    bool same = true;
    for (int i = 0; i < 8; ++i)
        same &= a[i] == pa && b[i] == pb;
    return same;
#endif
}

#ifdef OCUVIS_WIDE_VECTORS
// The pixels of out from x on, sixteen at a time: those of the last pair of eye pixels in one
// masked store, the others one by one. Returns the first pixel left.
template <class LookUp>
[[gnu::target("avx512f")]] int CombineSixteens(const QRgb* a, const QRgb* b, QRgb* o, int x, int to,
                                               std::uint64_t& lastKeyOut, QRgb& lastOut,
                                               LookUp& lookUp) {
    std::uint64_t lastKey = lastKeyOut;
    QRgb last = lastOut;
    for (; x + 16 <= to; x += 16) {
        const __m512i va = _mm512_loadu_si512(a + x), vb = _mm512_loadu_si512(b + x);
        const auto lastA = static_cast<int>(lastKey >> 32), lastB = static_cast<int>(lastKey);
        const __mmask16 same = _mm512_cmpeq_epi32_mask(va, _mm512_set1_epi32(lastA)) &
                               _mm512_cmpeq_epi32_mask(vb, _mm512_set1_epi32(lastB));
        _mm512_mask_storeu_epi32(o + x, same, _mm512_set1_epi32(static_cast<int>(last)));
        for (unsigned rest = ~unsigned{same} & 0xFFFFu; rest != 0; rest &= rest - 1) {
            const int i = x + std::countr_zero(rest);
            const std::uint64_t key = std::uint64_t{a[i]} << 32 | b[i];
            if (key != lastKey) lastKey = key, last = lookUp(key);
            o[i] = last;
        }
    }
    lastKeyOut = lastKey;
    lastOut = last;
    return x;
}
#endif

// Area averaging: output pixel x of outCount covers [x*inCount, (x+1)*inCount) in units of
// 1/outCount input pixels; input i covers [i*outCount, (i+1)*outCount). Calls take(i, share)
// for each input pixel under it. Fixed point, so the same pixels give the same result anywhere.
template <class Take>
void ForEachShare(int x, int inCount, int outCount, Take take) {
    const std::int64_t begin = std::int64_t{x} * inCount;
    const std::int64_t end = begin + inCount;
    for (auto i = static_cast<int>(begin / outCount);
         i < inCount && std::int64_t{i} * outCount < end; ++i) {
        const std::int64_t from = std::max(begin, std::int64_t{i} * outCount);
        const std::int64_t to = std::min(end, std::int64_t{i + 1} * outCount);
        take(i, to - from);
    }
}

struct ChannelSums {
    std::int64_t red = 0, green = 0, blue = 0;
    void Add(QRgb p, std::int64_t share) {
        red += share * qRed(p);
        green += share * qGreen(p);
        blue += share * qBlue(p);
    }
    // Rounded once, half up.
    QRgb Mean(std::int64_t span) const {
        const auto channel = [span](std::int64_t sum) {
            return static_cast<int>((sum + span / 2) / span);
        };
        return qRgb(channel(red), channel(green), channel(blue));
    }
};

// The rounded-up mean of two pixels, per byte: (a + b + 1) / 2 in each channel, as the area
// mean of two equal shares gives it.
constexpr QRgb PairMean(QRgb a, QRgb b) {
    return (a | b) - (((a ^ b) & 0xFEFEFEFEu) >> 1);
}

// A frame image kept from an earlier frame: outside the spans it had then, it holds the
// background still, and only the rest needs writing again.
struct FrameReuse {
    const DrawnSpans* before = nullptr;  // known and of this frame's size and background
    DrawnSpans* after = nullptr;         // what this frame writes besides the background
};

// Row y of a part of the frame, whose columns keep are written apart: the background goes into
// the rest where the frame may not hold it already.
void Surround(QRgb* target, int width, int frameRow, int partLeft, DrawnSpans::Span keep,
              QRgb background, const FrameReuse& reuse) {
    DrawnSpans::Span stale{0, width};
    if (reuse.before != nullptr) {
        const DrawnSpans::Span was = reuse.before->Row(frameRow);
        stale = {std::clamp(was.begin - partLeft, 0, width),
                 std::clamp(was.end - partLeft, 0, width)};
    }
    if (stale.begin < keep.begin)
        std::fill(target + stale.begin, target + std::min(stale.end, keep.begin), background);
    if (keep.end < stale.end)
        std::fill(target + std::max(stale.begin, keep.end), target + stale.end, background);
    if (reuse.after != nullptr)
        reuse.after->Add(partLeft + keep.begin, frameRow, partLeft + keep.end, frameRow + 1);
}

// The image squeezed into part of the frame: along x when the part is narrower, along y when
// lower; copied as it is when the sizes agree. Rows are walked in order either way.
// What was drawn on the image, when known, lets the rest go unread: its background squeezes to
// itself.
void PutSqueezed(const QImage& image, QImage& frame, QRect part, const DrawnSpans* drawn,
                 const FrameReuse& reuse) {
    const QImage in = image.convertToFormat(QImage::Format_RGB32);
    const auto row = [&in](int y) { return reinterpret_cast<const QRgb*>(in.constScanLine(y)); };
    const int width = part.width();
    if (drawn != nullptr && !drawn->Fits(in.width(), in.height())) drawn = nullptr;
    // The columns of the part's row y that may not be background; the rest is filled with it.
    const auto drawnColumns = [&](int y, QRgb* target) {
        DrawnSpans::Span span{0, width};
        if (drawn == nullptr) {
            Surround(target, width, part.top() + y, part.left(), span, 0, reuse);
            return span;
        }
        if (in.size() == part.size()) {
            span = drawn->RowWithin(y, width);
        } else if (in.height() == part.height() && in.width() == 2 * width) {
            const DrawnSpans::Span wide = drawn->RowWithin(y, in.width());
            span = {wide.begin / 2, (wide.end + 1) / 2};
        } else if (in.width() == width && in.height() == 2 * part.height()) {
            span = DrawnSpans::Hull(drawn->RowWithin(2 * y, width),
                                    drawn->RowWithin(2 * y + 1, width));
        }
        Surround(target, width, part.top() + y, part.left(), span, drawn->Background(), reuse);
        return span;
    };
    std::vector<ChannelSums> sums(static_cast<std::size_t>(width));
    for (int y = 0; y < part.height(); ++y) {
        auto* target = reinterpret_cast<QRgb*>(frame.scanLine(part.top() + y)) + part.left();
        const auto [from, to] = drawnColumns(y, target);
        if (in.size() == part.size()) {
            std::copy(row(y) + from, row(y) + to, target + from);
        } else if (in.height() == part.height() && in.width() == 2 * width) {
            const QRgb* source = row(y);
            int x = from;
#if defined(__SSE2__)
            // Four at a time: the byte mean rounding up is PairMean's.
            for (; x + 4 <= to; x += 4) {
                const auto load = [](const QRgb* p) {
                    return _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
                };
                const __m128 low = load(source + 2 * x), high = load(source + 2 * x + 4);
                _mm_storeu_si128(
                    reinterpret_cast<__m128i*>(target + x),
                    _mm_avg_epu8(
                        _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0))),
                        _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)))));
            }
#endif
            for (; x < to; ++x)
                target[x] = PairMean(source[2 * x], source[2 * x + 1]);
        } else if (in.width() == width && in.height() == 2 * part.height()) {
            const QRgb* upper = row(2 * y);
            const QRgb* lower = row(2 * y + 1);
            int x = from;
#if defined(__SSE2__)
            const auto load = [](const QRgb* p) {
                return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            };
            for (; x + 4 <= to; x += 4)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x),
                                 _mm_avg_epu8(load(upper + x), load(lower + x)));
#endif
            for (; x < to; ++x)
                target[x] = PairMean(upper[x], lower[x]);
        } else if (in.height() == part.height()) {
            const QRgb* source = row(y);
            for (int x = 0; x < width; ++x) {
                ChannelSums sum;
                ForEachShare(x, in.width(), width,
                             [&](int i, std::int64_t share) { sum.Add(source[i], share); });
                target[x] = sum.Mean(in.width());
            }
        } else {
            std::fill(sums.begin(), sums.end(), ChannelSums{});
            ForEachShare(y, in.height(), part.height(), [&](int i, std::int64_t share) {
                const QRgb* source = row(i);
                for (int x = 0; x < width; ++x)
                    sums[static_cast<std::size_t>(x)].Add(source[x], share);
            });
            for (int x = 0; x < width; ++x)
                target[x] = sums[static_cast<std::size_t>(x)].Mean(in.height());
        }
    }
}

}  // namespace

QSize EyeImageSize(ViewType type, int width, int height, EyeImage eye) {
    if (type != ViewType::TopBottom) return {width, height};
    const int upper = (height + 1) / 2;
    return {width, std::max(1, eye == EyeImage::Right ? height - upper : upper)};
}

namespace {

// The anaglyph into out, of the eye images' size.
void CombineInto(const QImage& left, const QImage& right, ViewType pair, AnaglyphMethod method,
                 const DrawnSpans* leftDrawn, const DrawnSpans* rightDrawn, QImage& out,
                 FrameReuse reuse) {
    const QImage l = left.convertToFormat(QImage::Format_RGB32);
    const QImage r = right.convertToFormat(QImage::Format_RGB32);
    const PairMatrices& matrices = MatricesOf(pair);
    const ChannelMask mask = MaskOf(pair);
    const auto combined = [&](QRgb pa, QRgb pb) {
        return method == AnaglyphMethod::Plain ? Plain(mask, pa, pb) : Optimised(matrices, pa, pb);
    };
    // A frame has few distinct pairs of eye pixels (background, lines, dots, text): each is
    // worked out once and then looked up, by the pair as one 64-bit key.
    const auto keyOf = [](QRgb pa, QRgb pb) { return std::uint64_t{pa} << 32 | pb; };
    struct Known {
        std::uint64_t key;
        QRgb out;
    };
    std::array<Known, 64> known{};
    known.fill({0, combined(0, 0)});
    const auto lookUp = [&](std::uint64_t key) {
        Known& k = known[(key * 0x9E3779B97F4A7C15u) >> 58];
        if (k.key != key) k = {key, combined(static_cast<QRgb>(key >> 32), static_cast<QRgb>(key))};
        return k.out;
    };
    const int width = out.width();
    const int height = out.height();
    // Where neither image has had anything drawn, the pixels are the backgrounds' pair.
    const bool spans = leftDrawn != nullptr && rightDrawn != nullptr &&
                       leftDrawn->Fits(width, height) && rightDrawn->Fits(width, height);
    const QRgb backgrounds =
        spans ? lookUp(keyOf(leftDrawn->Background(), rightDrawn->Background())) : 0;
    if (!spans || (reuse.before != nullptr && reuse.before->Background() != backgrounds))
        reuse.before = nullptr;
    if (reuse.after != nullptr) reuse.after->Restart(width, height, backgrounds);
    for (int y = 0; y < height; ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(l.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(r.constScanLine(y));
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        int from = 0, to = width;
        if (spans) {
            const DrawnSpans::Span hull =
                DrawnSpans::Hull(leftDrawn->RowWithin(y, width), rightDrawn->RowWithin(y, width));
            from = hull.begin;
            to = std::max(hull.begin, hull.end);
        }
        Surround(o, width, y, 0, {from, to}, backgrounds, reuse);
        if (from == to) continue;
        // Most pixels lie in runs of one pair, background above all: eight at a time while a
        // run lasts.
        std::uint64_t lastKey = keyOf(a[from], b[from]);
        QRgb last = lookUp(lastKey);
        int x = from;
#ifdef OCUVIS_WIDE_VECTORS
        static const bool wide = __builtin_cpu_supports("avx512f");
        if (wide) x = CombineSixteens(a, b, o, x, to, lastKey, last, lookUp);
#endif
        for (; x + 8 <= to; x += 8) {
            if (SameEight(a + x, static_cast<QRgb>(lastKey >> 32), b + x,
                          static_cast<QRgb>(lastKey))) {
                std::fill_n(o + x, 8, last);
                continue;
            }
            for (int i = x; i < x + 8; ++i) {
                const std::uint64_t key = keyOf(a[i], b[i]);
                if (key != lastKey) lastKey = key, last = lookUp(key);
                o[i] = last;
            }
        }
        for (; x < to; ++x)
            o[x] = lookUp(keyOf(a[x], b[x]));
    }
}

bool IsPacking(ViewType format) {
    return format == ViewType::SideBySideHalf || format == ViewType::TopBottom ||
           format == ViewType::TopBottomHalf;
}

// The packed frame into out; a kept frame is of use only when both eyes have one background.
void PackInto(const QImage& left, const QImage& right, ViewType format, const DrawnSpans* leftDrawn,
              const DrawnSpans* rightDrawn, QImage& out, FrameReuse reuse) {
    const QSize whole(out.width(), out.height());
    QRect first, second;
    if (format == ViewType::SideBySideHalf) {
        const int half = whole.width() / 2;
        first = {0, 0, half, whole.height()};
        second = {half, 0, whole.width() - half, whole.height()};
    } else {
        const int upper = (whole.height() + 1) / 2;
        first = {0, 0, whole.width(), upper};
        second = {0, upper, whole.width(), whole.height() - upper};
    }
    const auto fits = [](const QImage& image, QRect part) {
        return !part.isEmpty() && image.width() >= part.width() &&
               image.height() >= part.height() &&
               (image.width() == part.width() || image.height() == part.height());
    };
    // The two parts cover the frame; one of no pixels (a frame one pixel wide or high) or an
    // image that does not fit leaves the frame's fill.
    const bool filled = !fits(left, first) || !fits(right, second);
    if (filled) out.fill(Qt::black);
    const bool oneBackground = leftDrawn != nullptr && rightDrawn != nullptr &&
                               leftDrawn->Known() && rightDrawn->Known() &&
                               leftDrawn->Background() == rightDrawn->Background();
    if (filled || !oneBackground || reuse.before == nullptr ||
        reuse.before->Background() != leftDrawn->Background())
        reuse.before = nullptr;
    if (reuse.after != nullptr) {
        if (filled || !oneBackground) {
            reuse.after->Forget();
            reuse.after = nullptr;
        } else {
            reuse.after->Restart(whole.width(), whole.height(), leftDrawn->Background());
        }
    }
    for (const auto& [image, part, drawn] :
         {std::tuple{&left, first, leftDrawn}, std::tuple{&right, second, rightDrawn}})
        if (fits(*image, part)) PutSqueezed(*image, out, part, drawn, reuse);
}

}  // namespace

QImage CombineAnaglyph(const QImage& left, const QImage& right, ViewType pair,
                       AnaglyphMethod method, const DrawnSpans* leftDrawn,
                       const DrawnSpans* rightDrawn) {
    if (!IsAnaglyphPair(pair) || left.size() != right.size()) return {};
    QImage out = FrameRenderer::NewFrameImage(left.width(), left.height());
    if (!out.isNull()) CombineInto(left, right, pair, method, leftDrawn, rightDrawn, out, {});
    return out;
}

QImage PackEyeImages(const QImage& left, const QImage& right, ViewType format, int width,
                     int height, const DrawnSpans* leftDrawn, const DrawnSpans* rightDrawn) {
    if (!IsPacking(format)) return {};
    QImage out = FrameRenderer::NewFrameImage(width, height);
    if (!out.isNull()) PackInto(left, right, format, leftDrawn, rightDrawn, out, {});
    return out;
}

QImage FrameRenderer::RenderComposed(int width, int height, const FrameSources& sources) {
    const ViewType type = sources.view.viewType;
    for (const EyeImage eye : {EyeImage::Left, EyeImage::Right}) {
        QImage& image = eyeImages_[eye == EyeImage::Left ? 0 : 1];
        const QSize size = EyeImageSize(type, width, height, eye);
        if (image.size() != size) {
            image = NewFrameImage(size.width(), size.height());
            eyeDrawn_[eye == EyeImage::Left ? 0 : 1].Forget();
        }
        if (image.isNull()) return {};
    }
    RenderEyeImages(sources);
    const bool anaglyph = IsAnaglyphPair(type);
    if (!IsPacking(type) && !(anaglyph && eyeImages_[0].size() == eyeImages_[1].size())) return {};
    const QSize size = anaglyph ? eyeImages_[0].size() : QSize(width, height).expandedTo({1, 1});
    // A frame of an earlier view that its taker has let go of is written again only where it
    // may differ; one still taken is left alone.
    KeptFrame* kept = nullptr;
    if (qint64{size.width()} * size.height() <= kMaxKeptFramePixels) {
        for (KeptFrame& candidate : keptFrames_) {
            if (candidate.image.isNull() || candidate.image.isDetached()) {
                kept = &candidate;
                break;
            }
        }
    }
    QImage fresh;
    QImage* target = &fresh;
    DrawnSpans before;
    FrameReuse reuse;
    if (kept != nullptr) {
        if (kept->image.size() != size) {
            kept->image = NewFrameImage(size.width(), size.height());
            kept->drawn.Forget();
        }
        before = kept->drawn;
        if (before.Fits(size.width(), size.height())) reuse.before = &before;
        reuse.after = &kept->drawn;
        target = &kept->image;
    } else {
        fresh = NewFrameImage(size.width(), size.height());
    }
    if (target->isNull()) return {};
    if (anaglyph)
        CombineInto(eyeImages_[0], eyeImages_[1], type, sources.view.anaglyphMethod, &eyeDrawn_[0],
                    &eyeDrawn_[1], *target, reuse);
    else
        PackInto(eyeImages_[0], eyeImages_[1], type, &eyeDrawn_[0], &eyeDrawn_[1], *target, reuse);
    return *target;
}

}  // namespace ocuvis
