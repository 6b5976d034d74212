#include "render/BandBits.h"

#include <algorithm>

#include "render/LinesLayer.h"

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

  private:
    // No line or dot of the tables' margins reaches the frame from the first or the last
    // table row, which stand for every row beyond them.
    bool Outside(int index) const { return index == 0 || index == lastIndex_; }

    const BandBits& bits_;
    std::uint8_t* const segments_;
    std::uint8_t* const dots_;
    const MarginBands segmentRows_, dotRows_;
    const DotsLayer::Sizes sizes_;
    const int dotSize_, lastIndex_;
    const float extension_, last_;
    int previous_ = -1;  // the table row of the record before, -1 without an image
};

void BandBits::Reset(int records, int height, int rowsPerBand, int bands, int dotSize) {
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
    bandOfRow_.resize(static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row)
        bandOfRow_[static_cast<std::size_t>(row)] =
            static_cast<std::uint8_t>(std::min(row / rowsPerBand, bands - 1));
    dotSize_ = dotSize;
    // Far enough out that a dot beyond it misses the frame.
    extension_ = std::max(LinesLayer::kReach, DotsLayer::ReachOf(dotSize)) + 2;
    segmentRows_.Build(bandOfRow_, LinesLayer::kReach, extension_);
    dotRows_.Build(bandOfRow_, DotsLayer::ReachOf(dotSize), extension_);
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
    for (int i = from; i < to; ++i)
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
