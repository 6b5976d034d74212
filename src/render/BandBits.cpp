#include "render/BandBits.h"

#include <algorithm>

#include "render/LinesLayer.h"

namespace ocuvis {

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
    const auto size = static_cast<std::size_t>(height + 2 * extension);
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
    // Locals throughout: the stores of bytes could otherwise be taken to change the members.
    const DotsLayer::Sizes sizes = dotSizes;
    const bool dots = sizes.Any();
    const int dotSize = dotSize_;
    const MarginBands segmentRows = segmentRows_.View(), dotRows = dotRows_.View();
    std::uint8_t* const segments = segments_.data();
    std::uint8_t* const dotBits = dots_.data();
    const auto extension = static_cast<float>(extension_);
    // The first and last table rows stand for every row beyond them, where no line or dot of
    // the table's margins reaches the frame.
    const int lastIndex = height_ - 1 + 2 * extension_;
    const auto outside = [lastIndex](int index) { return index == 0 || index == lastIndex; };
    int previous = -1;  // the table row of the record before, -1 without an image
    for (int i = from; i < to; ++i) {
        const ProjectedRecord& r = records[i];
        if (!HasImage(r)) {
            previous = -1;
            continue;
        }
        // Truncated where it is not negative, so that the row lies at most one below.
        const int index =
            static_cast<int>(std::clamp(r.row + extension, 0.0f, static_cast<float>(lastIndex)));
        if (lines && previous >= 0 && !(previous == index && outside(index)))
            segments[i - 1] = segmentRows.Join(previous, index);
        previous = index;
        if (!dots) continue;
        const int s = sizes.own ? sizes.Of(i) : sizes.fixed;
        if (s > dotSize)
            dotBits[i] = BitsOf(DotsLayer::ReachOf(r, s));
        else if (s > 0 && !outside(index))
            dotBits[i] = dotRows.Of(index);
    }
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
