#include "render/BandBits.h"

#include <algorithm>

#include "render/LinesLayer.h"
#include "render/WideVectors.h"

namespace ocuvis {

// Notes the records handed to it one by one, in order: the dot of each and the line to it from
// the record before, if that was handed to it too.
class BandBits::Noter {
  public:
    Noter(BandBits& bits, bool lines, const DotsLayer::Sizes& sizes)
        : bits_(bits),
          segments_(lines ? bits.segments_.data() : nullptr),
          dots_(sizes.Any() ? bits.dots_.data() : nullptr),
          segmentRows_(bits.segmentRows_.View()),
          dotRows_(bits.dotRows_.View()),
          sizes_(sizes),
          dotSize_(bits.dotSize_),
          lastIndex_(bits.height_ - 1 + 2 * bits.extension_),
          extension_(static_cast<float>(bits.extension_)),
          last_(static_cast<float>(lastIndex_)) {}

    void operator()(int i, const ProjectedRecord& r) {
        if (!HasImage(r)) {
            previous_ = -1;
            return;
        }
        // Truncated where it is not negative, so that the row lies at most one below its table
        // row.
        const int index = static_cast<int>(std::min(std::max(r.row + extension_, 0.0f), last_));
        if (segments_ != nullptr && previous_ >= 0 && !(previous_ == index && Outside(index)))
            segments_[i - 1] = segmentRows_.Join(previous_, index);
        previous_ = index;
        if (dots_ == nullptr) return;
        const int s = sizes_.own ? sizes_.Of(i) : sizes_.fixed;
        if (s > dotSize_)
            dots_[i] = bits_.BitsOf(DotsLayer::ReachOf(r, s));
        else if (s > 0 && !Outside(index))
            dots_[i] = dotRows_.Of(index);
    }

#ifdef OCUVIS_WIDE_VECTORS
    // Whether NoteBlocks can stand in for the calls from here on: dots, if any, all of the
    // view's size, which the table takes.
    bool Wide() const {
        static const bool avx512 = __builtin_cpu_supports("avx512f");
        return avx512 && (dots_ == nullptr || (!sizes_.own && sizes_.fixed <= dotSize_));
    }
    // Sixteen records at a time from i, each lane doing what operator() does for its record;
    // returns the first record left. Record i - 1 must have been handed over already.
    [[gnu::target("avx512f")]] int NoteBlocks(int i, int to, const ProjectedRecord* records);
#endif

  private:
    // No line or dot of the tables' margins reaches the frame from the first or the last
    // table row, which stand for every row beyond them.
    bool Outside(int index) const {
        return index == 0 || index == lastIndex_;
    }

    const BandBits& bits_;
    std::uint8_t* const segments_;
    std::uint8_t* const dots_;
    const MarginBands segmentRows_, dotRows_;
    const DotsLayer::Sizes sizes_;
    const int dotSize_, lastIndex_;
    const float extension_, last_;
    int previous_ = -1;  // the table row of the record before, -1 without an image
};

#ifdef OCUVIS_WIDE_VECTORS
namespace {

// The band of each lane's row, as the band table has it: the number of bands beyond the first
// whose top row the row is at or below. Rows outside the frame are in the first or last band.
[[gnu::target("avx512f")]] inline __m512i BandsOf(__m512i rows, const __m512i* tops, int count) {
    __m512i band = _mm512_setzero_si512();
    for (int k = 0; k < count; ++k)
        band = _mm512_mask_add_epi32(band, _mm512_cmpge_epi32_mask(rows, tops[k]), band,
                                     _mm512_set1_epi32(1));
    return band;
}

// A margin table's bits for a line or dot between two table rows of each lane: the lowest
// band the margin above the first reaches, as 1 << band, from 2 << the highest band the
// margin below the second reaches. The tables' entries, worked out.
[[gnu::target("avx512f")]] inline __m512i BitsBetween(__m512i first, __m512i last, int margin,
                                                      const __m512i* tops, int count) {
    const __m512i one = _mm512_set1_epi32(1);
    const __m512i reach = _mm512_set1_epi32(margin + 1);
    return _mm512_sub_epi32(
        _mm512_sllv_epi32(_mm512_set1_epi32(2),
                          BandsOf(_mm512_add_epi32(last, reach), tops, count)),
        _mm512_sllv_epi32(one, BandsOf(_mm512_sub_epi32(first, reach), tops, count)));
}

}  // namespace

int BandBits::Noter::NoteBlocks(int i, int to, const ProjectedRecord* records) {
    const __m512 extension = _mm512_set1_ps(extension_), last = _mm512_set1_ps(last_);
    const __m512i lastIndex = _mm512_set1_epi32(lastIndex_), zero = _mm512_setzero_si512();
    // Table rows are rows moved down by the extension; so are the bands' tops here.
    __m512i tops[kMaxBands];
    const int count = bits_.bands_ - 1;
    for (int k = 0; k < count; ++k)
        tops[k] = _mm512_set1_epi32((k + 1) * bits_.rowsPerBand_ + bits_.extension_);
    const int lineMargin = LinesLayer::kReach, dotMargin = bits_.dotReach_;
    // The rows of four records a vector, lanes 0..7 from two vectors.
    const __m512i rowsOfTwo =
        _mm512_setr_epi32(2, 6, 10, 14, 18, 22, 26, 30, 0, 0, 0, 0, 0, 0, 0, 0);
    // Record i - 1, as the lane before the first.
    __m512i before = _mm512_set1_epi32(previous_);
    auto beforeHas = static_cast<__mmask16>(previous_ >= 0 ? 1u : 0u);
    // Each byte from i - 1 on is this noter's alone and still zero (the bits were reset), so
    // sixteen are stored at once, zeros where the noter would store none.
    for (; i + 16 <= to; i += 16) {
        const float* f = &records[i].column1;
        const __m512 rows = _mm512_shuffle_f32x4(
            _mm512_permutex2var_ps(_mm512_loadu_ps(f), rowsOfTwo, _mm512_loadu_ps(f + 16)),
            _mm512_permutex2var_ps(_mm512_loadu_ps(f + 32), rowsOfTwo, _mm512_loadu_ps(f + 48)),
            _MM_SHUFFLE(1, 0, 1, 0));
        const __mmask16 has = _mm512_cmp_ps_mask(rows, rows, _CMP_EQ_OQ);
        // Lanes without an image are masked off below, whatever they hold here.
        const __m512i index = _mm512_cvttps_epi32(_mm512_min_ps(
            _mm512_max_ps(_mm512_add_ps(rows, extension), _mm512_setzero_ps()), last));
        const __mmask16 outside =
            _mm512_cmpeq_epi32_mask(index, zero) | _mm512_cmpeq_epi32_mask(index, lastIndex);
        if (segments_ != nullptr) {
            const __m512i previous = _mm512_alignr_epi32(index, before, 15);
            const auto previousHas = static_cast<__mmask16>((has << 1) | beforeHas);
            const __mmask16 joined =
                has & previousHas &
                static_cast<__mmask16>(~(_mm512_cmpeq_epi32_mask(previous, index) & outside));
            const __m512i bits =
                BitsBetween(_mm512_min_epi32(previous, index), _mm512_max_epi32(previous, index),
                            lineMargin, tops, count);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(segments_ + i - 1),
                             _mm512_cvtepi32_epi8(_mm512_maskz_mov_epi32(joined, bits)));
        }
        if (dots_ != nullptr && sizes_.fixed > 0) {
            const __m512i bits = BitsBetween(index, index, dotMargin, tops, count);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dots_ + i),
                             _mm512_cvtepi32_epi8(_mm512_maskz_mov_epi32(
                                 has & static_cast<__mmask16>(~outside), bits)));
        }
        before = index;
        beforeHas = static_cast<__mmask16>(has >> 15);
    }
    previous_ = beforeHas ? _mm_cvtsi128_si32(_mm512_extracti32x4_epi32(
                                _mm512_alignr_epi32(before, before, 15), 0))
                          : -1;
    return i;
}
#endif

void BandBits::Reset(int records, int height, int rowsPerBand, int bands, int dotSize,
                     int dotReach) {
    // Eight zeros past the last record, for the visits eight at a time.
    const auto size = static_cast<std::size_t>(records) + 8;
    // A frame of far fewer records than the largest one gives back what that one took.
    if (segments_.capacity() > 4 * size + 4096) {
        std::vector<std::uint8_t>().swap(segments_);
        std::vector<std::uint8_t>().swap(dots_);
    }
    segments_.assign(size, 0);
    dots_.assign(size, 0);
    records_ = records;
    height_ = height;
    rowsPerBand_ = rowsPerBand;
    bands_ = bands;
    bandOfRow_.resize(static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row)
        bandOfRow_[static_cast<std::size_t>(row)] =
            static_cast<std::uint8_t>(std::min(row / rowsPerBand, bands - 1));
    dotSize_ = dotSize;
    dotReach_ = dotReach;
    // Far enough out that a dot beyond it misses the frame.
    extension_ = std::max(LinesLayer::kReach, dotReach) + 2;
    segmentRows_.Build(bandOfRow_, LinesLayer::kReach, extension_);
    dotRows_.Build(bandOfRow_, dotReach, extension_);
}

void BandBits::MarginTable::Build(const std::vector<std::uint8_t>& bandOfRow, int margin,
                                  int extension) {
    const int height = static_cast<int>(bandOfRow.size());
    const auto size = static_cast<std::size_t>(height) + 2 * static_cast<std::size_t>(extension);
    low.resize(size);
    high.resize(size);
    const auto bitOf = [&](int row, unsigned first) {
        return static_cast<std::uint16_t>(
            first << bandOfRow[static_cast<std::size_t>(std::clamp(row, 0, height - 1))]);
    };
    // A record's table row is its row truncated: the row itself lies up to one below, hence
    // one row more each way.
    for (std::size_t i = 0; i < size; ++i) {
        const int row = static_cast<int>(i) - extension;
        low[i] = bitOf(row - margin - 1, 1u);
        high[i] = bitOf(row + margin + 1, 2u);
    }
}

void BandBits::Note(int from, int to, const ProjectedRecord* records, bool lines,
                    const DotsLayer::Sizes& dotSizes) {
    Noter noter(*this, lines, dotSizes);
    int i = from;
#ifdef OCUVIS_WIDE_VECTORS
    if (to - from > 16 && noter.Wide()) {
        noter(i, records[i]);
        i = noter.NoteBlocks(i + 1, to, records);
    }
#endif
    for (; i < to; ++i)
        noter(i, records[i]);
}

void BandBits::NoteSegment(int i, const ProjectedRecord* records) {
    if (HasImage(records[i]) && HasImage(records[i + 1]))
        segments_[static_cast<std::size_t>(i)] =
            BitsOf(LinesLayer::ReachOf(records[i], records[i + 1]));
}

std::uint8_t BandBits::BitsOf(const RowReach& reach) const {
    if (!(reach.high >= 0.0f) || !(reach.low <= static_cast<float>(height_))) return 0;
    // A band takes a reach that begins on its bottom edge, the next band's top row: hence the
    // row above the reach's first.
    const int top = static_cast<int>(std::max(reach.low, 0.0f)) - 1;
    const int bottom = static_cast<int>(std::min(reach.high, static_cast<float>(height_ - 1)));
    const unsigned first = bandOfRow_[static_cast<std::size_t>(std::max(top, 0))];
    const unsigned last = bandOfRow_[static_cast<std::size_t>(bottom)];
    return static_cast<std::uint8_t>((2u << last) - (1u << first));
}

}  // namespace ocuvis
