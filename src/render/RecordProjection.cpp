#include "render/RecordProjection.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

#include "render/WideVectors.h"

namespace ocuvis {

namespace {

constexpr float kNoImage = std::numeric_limits<float>::quiet_NaN();

// One record through the chain, as every other position of the frame goes.
inline bool ProjectOne(const FrameContext& frame, const DataPoint& p, ProjectedRecord& o) {
    const Projection& projection = frame.projection;
    o.row = kNoImage;
    if (p.IsBreak()) return false;
    const PlotPosition q = frame.PlotOf(p.x, p.y, p.z);
    const RotatedPosition r = projection.Rotate(q.x, q.y, q.z);
    if (!projection.IsDrawable(r)) return false;
    const float column1 = projection.FirstImageColumn(r);
    const float column2 = projection.Paired() ? projection.SecondImageColumn(r) : column1;
    const float row = projection.ImageRow(r);
    // A finite rotated position can still project beyond the float range.
    if (!std::isfinite(column1) || !std::isfinite(column2) || !std::isfinite(row)) return false;
    o = {column1, column2, row, r.Z};
    return true;
}

inline void NoteSize(const DataPoint& p, std::uint64_t& sizes) {
    const int s = p.SizeClass();
    if (s > 0) sizes |= std::uint64_t{1} << (std::min(s, kMaxDotSize) - 1);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define OCUVIS_WIDE_PROJECTION 1

// Records side by side, four or eight. Each lane does the operations of ProjectOne in its
// order and widths, so the results are the same bits; only the divisions are shared out over
// the lanes.
template <int Lanes>
struct LaneTypes;
template <>
struct LaneTypes<4> {
    using Doubles = double __attribute__((vector_size(32)));
    using Floats = float __attribute__((vector_size(16)));
    using Mask = std::int32_t __attribute__((vector_size(16)));
};
template <>
struct LaneTypes<8> {
    using Doubles = double __attribute__((vector_size(64)));
    using Floats = float __attribute__((vector_size(32)));
    using Mask = std::int32_t __attribute__((vector_size(32)));
};

template <int Lanes>
struct Chain {
    using Doubles = typename LaneTypes<Lanes>::Doubles;
    using Floats = typename LaneTypes<Lanes>::Floats;
    using Mask = typename LaneTypes<Lanes>::Mask;

    Doubles xscale, xshift, yscale, yshift, zscale, zshift;
    Doubles cosAz, sinAz, cosEl, sinEl, sinElSinAz, sinElCosAz, cosElCosAz, cosElSinAz;
    Floats dFloat;
    Doubles d, firstEye, firstShift, secondEye, secondShift;
    Doubles width, frameLeft, frameSpan, height, frameBottom, frameRise;
    bool usable, paired;

    explicit Chain(const FrameContext& frame) {
#define all(v) (Doubles{} + static_cast<double>(v))
        const GraphRecord& g = frame.graph;
        const Projection& projection = frame.projection;
        const Projection::Terms t = projection.terms();
        xscale = all(g.xscale), xshift = all(g.xshift);
        yscale = all(g.yscale), yshift = all(g.yshift);
        zscale = all(g.zscale), zshift = all(g.zshift);
        cosAz = all(t.cosAz), sinAz = all(t.sinAz), cosEl = all(t.cosEl), sinEl = all(t.sinEl);
        sinElSinAz = all(t.sinElSinAz), sinElCosAz = all(t.sinElCosAz);
        cosElCosAz = all(t.cosElCosAz), cosElSinAz = all(t.cosElSinAz);
        dFloat = Floats{} + t.d;
        d = all(t.d);
        firstEye = all(t.firstEye), firstShift = all(t.firstShift);
        secondEye = all(t.secondEye), secondShift = all(t.secondShift);
        width = all(t.width), height = all(t.height);
        frameLeft = all(projection.frameLeft);
        frameSpan = all(static_cast<double>(projection.frameRight) - projection.frameLeft);
        frameBottom = all(projection.frameBottom);
        frameRise = all(static_cast<double>(projection.frameTop) - projection.frameBottom);
        usable = projection.FrameUsable();
        paired = projection.Paired();
#undef all
    }
};

// No vector crosses a call: built for the base and for the wider instruction set alike.
template <int Lanes>
[[gnu::always_inline]] inline void ProjectLanes(const Chain<Lanes>& c, const DataPoint* p,
                                                ProjectedRecord* o, bool ownSizes,
                                                std::uint64_t& sizes) {
    using Doubles = typename Chain<Lanes>::Doubles;
    using Floats = typename Chain<Lanes>::Floats;
    using Mask = typename Chain<Lanes>::Mask;
    // The records' cells, a vector each: four vectors of whole records, transposed.
    static_assert(sizeof(DataPoint) == 4 * sizeof(float) &&
                  sizeof(Floats) == Lanes * sizeof(float));
    // A vector at a time: copied whole, the compiler moves them through memory in other sizes,
    // and the loads then wait for the stores.
    std::array<Floats, 4> in;
    for (std::size_t k = 0; k < in.size(); ++k)
        std::memcpy(&in[k], reinterpret_cast<const float*>(p) + k * Lanes, sizeof(Floats));
    Floats x, y, z, size;
    if constexpr (Lanes == 8) {
        const Floats xy03 = __builtin_shufflevector(in[0], in[1], 0, 4, 8, 12, 1, 5, 9, 13);
        const Floats xy47 = __builtin_shufflevector(in[2], in[3], 0, 4, 8, 12, 1, 5, 9, 13);
        const Floats zs03 = __builtin_shufflevector(in[0], in[1], 2, 6, 10, 14, 3, 7, 11, 15);
        const Floats zs47 = __builtin_shufflevector(in[2], in[3], 2, 6, 10, 14, 3, 7, 11, 15);
        x = __builtin_shufflevector(xy03, xy47, 0, 1, 2, 3, 8, 9, 10, 11);
        y = __builtin_shufflevector(xy03, xy47, 4, 5, 6, 7, 12, 13, 14, 15);
        z = __builtin_shufflevector(zs03, zs47, 0, 1, 2, 3, 8, 9, 10, 11);
        size = __builtin_shufflevector(zs03, zs47, 4, 5, 6, 7, 12, 13, 14, 15);
    } else {
        const Floats xy01 = __builtin_shufflevector(in[0], in[1], 0, 4, 1, 5);
        const Floats xy23 = __builtin_shufflevector(in[2], in[3], 0, 4, 1, 5);
        const Floats zs01 = __builtin_shufflevector(in[0], in[1], 2, 6, 3, 7);
        const Floats zs23 = __builtin_shufflevector(in[2], in[3], 2, 6, 3, 7);
        x = __builtin_shufflevector(xy01, xy23, 0, 1, 4, 5);
        y = __builtin_shufflevector(xy01, xy23, 2, 3, 6, 7);
        z = __builtin_shufflevector(zs01, zs23, 0, 1, 4, 5);
        size = __builtin_shufflevector(zs01, zs23, 2, 3, 6, 7);
    }
    // FrameContext::PlotOf
    const Doubles qx = __builtin_convertvector(
        __builtin_convertvector(__builtin_convertvector(x, Doubles) * c.xscale + c.xshift, Floats),
        Doubles);
    const Doubles qy = __builtin_convertvector(
        __builtin_convertvector(__builtin_convertvector(y, Doubles) * c.yscale + c.yshift, Floats),
        Doubles);
    const Doubles qz = __builtin_convertvector(
        __builtin_convertvector(__builtin_convertvector(z, Doubles) * c.zscale + c.zshift, Floats),
        Doubles);
    // Projection::Rotate
    const Floats rx = __builtin_convertvector(c.cosAz * qx + c.sinAz * qz, Floats);
    const Floats ry =
        __builtin_convertvector(c.cosEl * qy + c.sinElSinAz * qx - c.sinElCosAz * qz, Floats);
    const Floats rz =
        __builtin_convertvector(c.sinEl * qy + c.cosElCosAz * qz - c.cosElSinAz * qx, Floats);
    // Projection::IsDrawable; x - x is 0 for finite x only.
    Mask ok = (rz + c.dFloat > 0.0f) & (rx - rx == 0.0f) & (ry - ry == 0.0f) & (rz - rz == 0.0f);
    // Projection::ImageU, ToPixelX, ImageRow, ToPixelY
    const Doubles wx = __builtin_convertvector(rx, Doubles);
    const Doubles wy = __builtin_convertvector(ry, Doubles);
    const Doubles depth = __builtin_convertvector(rz, Doubles) + c.d;
    const Floats u1 =
        __builtin_convertvector((wx - c.firstEye) * c.d / depth + c.firstShift, Floats);
    const Floats column1 = __builtin_convertvector(
        c.width * (__builtin_convertvector(u1, Doubles) - c.frameLeft) / c.frameSpan, Floats);
    Floats column2 = column1;
    if (c.paired) {
        const Floats u2 =
            __builtin_convertvector((wx - c.secondEye) * c.d / depth + c.secondShift, Floats);
        column2 = __builtin_convertvector(
            c.width * (__builtin_convertvector(u2, Doubles) - c.frameLeft) / c.frameSpan, Floats);
    }
    const Floats v = __builtin_convertvector(wy * c.d / depth, Floats);
    const Floats row = __builtin_convertvector(
        c.height * (1.0 - (__builtin_convertvector(v, Doubles) - c.frameBottom) / c.frameRise),
        Floats);
    ok &= (column1 - column1 == 0.0f) & (column2 - column2 == 0.0f) & (row - row == 0.0f);
    // DataPoint::IsBreak
    const float marker = BreakMarker;
    ok &= ~((x == marker) & (y == marker) & (z == marker) & (size == marker));
    if (!c.usable) ok = Mask{};
    // A record without an image has a NaN row; its other cells mean nothing.
    const Floats rowOrNone =
        __builtin_bit_cast(Floats, (__builtin_bit_cast(Mask, row) & ok) |
                                       (__builtin_bit_cast(Mask, Floats{} + kNoImage) & ~ok));
    // Back to whole records: four cells of each, transposed.
    std::array<Floats, 4> out;
    if constexpr (Lanes == 8) {
        const Floats c03 = __builtin_shufflevector(column1, column2, 0, 8, 1, 9, 2, 10, 3, 11);
        const Floats c47 = __builtin_shufflevector(column1, column2, 4, 12, 5, 13, 6, 14, 7, 15);
        const Floats r03 = __builtin_shufflevector(rowOrNone, rz, 0, 8, 1, 9, 2, 10, 3, 11);
        const Floats r47 = __builtin_shufflevector(rowOrNone, rz, 4, 12, 5, 13, 6, 14, 7, 15);
        out[0] = __builtin_shufflevector(c03, r03, 0, 1, 8, 9, 2, 3, 10, 11);
        out[1] = __builtin_shufflevector(c03, r03, 4, 5, 12, 13, 6, 7, 14, 15);
        out[2] = __builtin_shufflevector(c47, r47, 0, 1, 8, 9, 2, 3, 10, 11);
        out[3] = __builtin_shufflevector(c47, r47, 4, 5, 12, 13, 6, 7, 14, 15);
    } else {
        const Floats c01 = __builtin_shufflevector(column1, column2, 0, 4, 1, 5);
        const Floats c23 = __builtin_shufflevector(column1, column2, 2, 6, 3, 7);
        const Floats r01 = __builtin_shufflevector(rowOrNone, rz, 0, 4, 1, 5);
        const Floats r23 = __builtin_shufflevector(rowOrNone, rz, 2, 6, 3, 7);
        out[0] = __builtin_shufflevector(c01, r01, 0, 1, 4, 5);
        out[1] = __builtin_shufflevector(c01, r01, 2, 3, 6, 7);
        out[2] = __builtin_shufflevector(c23, r23, 0, 1, 4, 5);
        out[3] = __builtin_shufflevector(c23, r23, 2, 3, 6, 7);
    }
    static_assert(sizeof(ProjectedRecord) == 4 * sizeof(float));
    for (std::size_t k = 0; k < out.size(); ++k)
        std::memcpy(reinterpret_cast<float*>(o) + k * Lanes, &out[k], sizeof(Floats));
    if (ownSizes)
        for (int k = 0; k < Lanes; ++k)
            if (ok[k] != 0) NoteSize(p[k], sizes);
}

template <int Lanes>
[[gnu::always_inline]] inline int ProjectBlocks(const FrameContext& frame, int begin, int end,
                                                ProjectedRecord* out, std::uint64_t& sizes) {
    const Chain<Lanes> chain(frame);
    const bool ownSizes = frame.store.dotSizesPresent != 0;
    const DataPoint* points = frame.store.points.data();
    int i = begin;
    for (; i + Lanes <= end; i += Lanes)
        ProjectLanes(chain, points + i, out + i, ownSizes, sizes);
    return i;
}

// Eight lanes keep twice the divisions in flight, where each waits long on the last.
[[gnu::target("avx512f")]] int ProjectBlocksAvx512(const FrameContext& frame, int begin, int end,
                                                   ProjectedRecord* out, std::uint64_t& sizes) {
    return ProjectBlocks<8>(frame, begin, end, out, sizes);
}

[[gnu::target("avx2")]] int ProjectBlocksAvx2(const FrameContext& frame, int begin, int end,
                                              ProjectedRecord* out, std::uint64_t& sizes) {
    return ProjectBlocks<4>(frame, begin, end, out, sizes);
}

int ProjectBlocksBase(const FrameContext& frame, int begin, int end, ProjectedRecord* out,
                      std::uint64_t& sizes) {
    return ProjectBlocks<4>(frame, begin, end, out, sizes);
}
#endif

}  // namespace

void ProjectRecords(const FrameContext& frame, int begin, int end, ProjectedRecord* out,
                    std::uint64_t& dotSizes) {
    const DataPoint* points = frame.store.points.data();
    const bool ownSizes = frame.store.dotSizesPresent != 0;
    std::uint64_t sizes = 0;
    int i = begin;
#ifdef OCUVIS_WIDE_PROJECTION
    static const bool avx512 = __builtin_cpu_supports("avx512f");
    static const bool avx2 = __builtin_cpu_supports("avx2");
    i = avx512 ? ProjectBlocksAvx512(frame, begin, end, out, sizes)
        : avx2 ? ProjectBlocksAvx2(frame, begin, end, out, sizes)
               : ProjectBlocksBase(frame, begin, end, out, sizes);
#endif
    for (; i < end; ++i)
        if (ProjectOne(frame, points[i], out[i]) && ownSizes) NoteSize(points[i], sizes);
    dotSizes |= sizes;
}

namespace {

// The lines' own margin: within it a line's ends are its records' truncated positions.
constexpr float kRepeatMargin = 4096.0f;

#ifdef OCUVIS_WIDE_VECTORS
// Four records a vector from record i, as MarkRepeats does each; record i - 1 is near or not.
// Returns the first record left.
[[gnu::target("avx512f,bmi2")]] int MarkRepeatsAvx512(const ProjectedRecord* records, int i,
                                                      int end, bool nearBefore, float right,
                                                      float bottom, bool compact,
                                                      std::uint8_t* repeats, RecordPixels* pixels) {
    static_assert(sizeof(ProjectedRecord) == 4 * sizeof(float));
    const float any = std::numeric_limits<float>::infinity();
    const __m512 low = _mm512_setr4_ps(-kRepeatMargin, -kRepeatMargin, -kRepeatMargin, -any);
    const __m512 high = _mm512_setr4_ps(right, right, bottom, any);
    // The depth, the fourth float of each record, takes no part.
    constexpr unsigned kDepths = 0x8888;
    // A byte of 0 or 1 for each of four bits.
    static constexpr std::uint32_t kBytes[16] = {0x00000000, 0x00000001, 0x00000100, 0x00000101,
                                                 0x00010000, 0x00010001, 0x00010100, 0x00010101,
                                                 0x01000000, 0x01000001, 0x01000100, 0x01000101,
                                                 0x01010000, 0x01010001, 0x01010100, 0x01010101};
    // The four lanes of each of four bits.
    static constexpr std::uint16_t kLanes[16] = {0x0000, 0x000F, 0x00F0, 0x00FF, 0x0F00, 0x0F0F,
                                                 0x0FF0, 0x0FFF, 0xF000, 0xF00F, 0xF0F0, 0xF0FF,
                                                 0xFF00, 0xFF0F, 0xFFF0, 0xFFFF};
    const __m512i one = _mm512_set1_epi32(1);
    // Record i - 1 as the last four lanes.
    __m512i before = _mm512_inserti32x4(_mm512_setzero_si512(),
                                        _mm_cvttps_epi32(_mm_loadu_ps(&records[i - 1].column1)), 3);
    unsigned beforeNear = nearBefore ? 0xF000u : 0u;
    for (; i + 4 <= end; i += 4) {
        const __m512 v = _mm512_loadu_ps(&records[i].column1);
        // False for NaN, as the rows of records without an image are.
        const unsigned near =
            (_mm512_cmp_ps_mask(v, low, _CMP_GE_OQ) & _mm512_cmp_ps_mask(v, high, _CMP_LE_OQ)) |
            kDepths;
        const __m512i at = _mm512_cvttps_epi32(v);
        const __m512i previous = _mm512_alignr_epi32(at, before, 12);
        const unsigned previousNear = ((near << 4) | (beforeNear >> 12)) & 0xFFFFu;
        unsigned same = near & previousNear & (_mm512_cmpeq_epi32_mask(at, previous) | kDepths);
        same &= (same >> 1) & (same >> 2) & (same >> 3);
        const std::uint32_t bytes = kBytes[_pext_u32(same, 0x1111)];
        std::memcpy(repeats + i, &bytes, sizeof bytes);
        // Each record near, with 1 in its depth's lane, in 16 bits; the others all 0.
        const unsigned whole = near & (near >> 1) & (near >> 2) & (near >> 3);
        const __mmask16 kept = compact ? kLanes[_pext_u32(whole, 0x1111)] : 0;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i),
                            _mm512_cvtepi32_epi16(_mm512_maskz_mov_epi32(
                                kept, _mm512_mask_mov_epi32(at, kDepths, one))));
        before = at;
        beforeNear = near;
    }
    return i;
}
#endif

// Whether a record has an image near enough a frame of width x height that its lines' ends are
// its truncated positions; false without an image, as NaN compares.
struct NearFrame {
    float right, bottom;
    NearFrame(int width, int height)
        : right(static_cast<float>(width) + kRepeatMargin),
          bottom(static_cast<float>(height) + kRepeatMargin) {}
    bool operator()(const ProjectedRecord& r) const {
        return r.row >= -kRepeatMargin && r.row <= bottom && r.column1 >= -kRepeatMargin &&
               r.column1 <= right && r.column2 >= -kRepeatMargin && r.column2 <= right;
    }
};

bool SamePixels(const TruncatedRecord& a, const TruncatedRecord& b) {
    return a.row == b.row && a.column1 == b.column1 && a.column2 == b.column2;
}

RecordPixels Kept(bool near, const TruncatedRecord& t) {
    if (!near) return {};
    return {static_cast<std::int16_t>(t.column1), static_cast<std::int16_t>(t.column2),
            static_cast<std::int16_t>(t.row), 1};
}

}  // namespace

bool IsRepeat(const ProjectedRecord& before, const ProjectedRecord& r, int width, int height) {
    const NearFrame near(width, height);
    return near(before) && near(r) && SamePixels(TruncatePixels(before), TruncatePixels(r));
}

void MarkRepeats(const ProjectedRecord* records, int begin, int end, int width, int height,
                 std::uint8_t* repeats, RecordPixels* pixels) {
    if (begin >= end) return;
    const NearFrame near(width, height);
    const float right = near.right, bottom = near.bottom;
    // Positions within the margin of the frame fit in 16 bits.
    constexpr int kCompactSide = std::numeric_limits<std::int16_t>::max() - 4096;
    static_assert(kRepeatMargin == 4096.0f);
    const bool compact = width <= kCompactSide && height <= kCompactSide;
    repeats[begin] = 0;
    pixels[begin] = Kept(compact && near(records[begin]), TruncatePixels(records[begin]));
    int i = begin + 1;
#ifdef OCUVIS_WIDE_VECTORS
    static const bool wide = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("bmi2");
    if (wide)
        i = MarkRepeatsAvx512(records, i, end, near(records[begin]), right, bottom, compact,
                              repeats, pixels);
#endif
    bool wasNear = near(records[i - 1]);  // false without an image, as NaN compares
    TruncatedRecord was = TruncatePixels(records[i - 1]);
    for (; i < end; ++i) {
        const bool isNear = near(records[i]);
        const TruncatedRecord is = TruncatePixels(records[i]);
        repeats[i] = static_cast<std::uint8_t>(isNear && wasNear && SamePixels(is, was));
        pixels[i] = Kept(compact && isNear, is);
        wasNear = isNear;
        was = is;
    }
}

void RecordExtent::Take(const ProjectedRecord* records, int begin, int end) {
    int i = begin;
#if defined(__SSE2__)
    // A record as one vector of its columns, row and depth; one without an image (a NaN row)
    // counts as no extent at all. Two records at a time, as each minimum waits on the last.
    static_assert(sizeof(ProjectedRecord) == 4 * sizeof(float));
    const __m128 none = _mm_set1_ps(kNone), noneBelow = _mm_set1_ps(-kNone);
    __m128 low[2] = {none, none}, high[2] = {noneBelow, noneBelow};
    const auto take = [&](int k, const ProjectedRecord& record) {
        const __m128 r = _mm_loadu_ps(&record.column1);
        const __m128 row = _mm_shuffle_ps(r, r, _MM_SHUFFLE(2, 2, 2, 2));
        const __m128 has = _mm_cmpord_ps(row, row);
        low[k] = _mm_min_ps(_mm_or_ps(_mm_and_ps(has, r), _mm_andnot_ps(has, none)), low[k]);
        high[k] = _mm_max_ps(_mm_or_ps(_mm_and_ps(has, r), _mm_andnot_ps(has, noneBelow)), high[k]);
    };
    for (; i + 2 <= end; i += 2) {
        take(0, records[i]);
        take(1, records[i + 1]);
    }
    alignas(16) float lows[4], highs[4];
    _mm_store_ps(lows, _mm_min_ps(low[0], low[1]));
    _mm_store_ps(highs, _mm_max_ps(high[0], high[1]));
    Take(RecordExtent{lows[0], highs[0], lows[1], highs[1], lows[2], highs[2]});
#endif
    for (; i < end; ++i) {
        const ProjectedRecord& r = records[i];
        if (HasImage(r))
            Take(RecordExtent{r.column1, r.column1, r.column2, r.column2, r.row, r.row});
    }
}

void RecordExtent::Take(const RecordExtent& other) {
    column1Low = std::min(column1Low, other.column1Low);
    column1High = std::max(column1High, other.column1High);
    column2Low = std::min(column2Low, other.column2Low);
    column2High = std::max(column2High, other.column2High);
    rowLow = std::min(rowLow, other.rowLow);
    rowHigh = std::max(rowHigh, other.rowHigh);
}

}  // namespace ocuvis
