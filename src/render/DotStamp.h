#pragma once

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

namespace ocuvis {

// The pixels of one filled, outlined ellipse, rasterised once by QPainter itself and then
// stamped wherever the same ellipse is drawn again: an aliased ellipse moved by whole pixels
// covers the same pixels moved by as much.
struct DotStamp {
    // One run of pixels on one row, relative to the bounding rectangle's top-left corner.
    struct Span {
        std::int16_t row;
        std::int16_t begin;
        std::int16_t end;  // exclusive
        bool outline;      // pen pixel (else brush pixel)
    };
    std::vector<Span> spans;
    // Extent of all spans, relative to the rectangle's corner.
    int top = 0, bottom = 0, left = 0, right = 0;
};

// Stamps by ellipse size, pen width and brush style.
class DotStampCache {
  public:
    // Larger ellipses are not stamped; they are rare and cost little to draw directly.
    static constexpr int kMaxStampSize = 256;

    const DotStamp& Get(int width, int height, int penWidth, bool filled) {
        const Key key{width, height, penWidth, filled};
        if (last_ != nullptr && key == lastKey_) return *last_;
        return Find(key);
    }

  private:
    using Key = std::tuple<int, int, int, bool>;
    const DotStamp& Find(const Key& key);

    std::map<Key, DotStamp> stamps_;
    // Dots come in long series of one size.
    Key lastKey_{};
    const DotStamp* last_ = nullptr;
};

}  // namespace ocuvis
