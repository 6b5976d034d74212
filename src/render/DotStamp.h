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
};

// Stamps by ellipse size, pen width and brush style.
class DotStampCache {
  public:
    // Larger ellipses are not stamped; they are rare and cost little to draw directly.
    static constexpr int kMaxStampSize = 256;

    const DotStamp& Get(int width, int height, int penWidth, bool filled);

  private:
    std::map<std::tuple<int, int, int, bool>, DotStamp> stamps_;
};

}  // namespace ocuvis
