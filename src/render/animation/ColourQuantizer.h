#pragma once

#include <cstdint>
#include <vector>

namespace ocuvis {

struct ColourCount {
    std::uint32_t colour;  // 0xRRGGBB
    std::uint32_t count;   // pixels of that colour
};

// At most maxColours colours standing for the given ones, chosen to keep the squared error
// over all pixels small; the colours themselves when there are no more. Boxes of the colour
// cube are split where the error falls most, then a round of k-means settles the means.
std::vector<std::uint32_t> ChoosePalette(std::vector<ColourCount> colours, int maxColours);

// Finds a palette's colour nearest to a given one. The entries are kept in order of green, so
// a search walks out from the given green and stops once green alone is farther than the best.
class NearestColour {
  public:
    explicit NearestColour(const std::vector<std::uint32_t>& palette);
    // The palette index of the nearest colour (the lowest index among equals).
    int operator()(std::uint32_t colour) const;

  private:
    struct Entry {
        int r, g, b, index;
    };
    std::vector<Entry> entries_;
};

}  // namespace ocuvis
