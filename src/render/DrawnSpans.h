#pragma once

#include <QRgb>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace ocuvis {

// What has been drawn on an image kept from frame to frame since it was filled with its
// background: for each row one span of columns, outside which every pixel is the background.
// A span may be wider than what was drawn, never narrower. The next background fill, and
// whatever reads the image, can then pass over the rest, which is most of a composed view's
// eye images.
class DrawnSpans {
  public:
    struct Span {
        int begin, end;  // empty when begin >= end
    };

    // Nothing is known: the image may hold anything.
    void Forget() { known_ = false; }
    bool Known() const { return known_; }
    // Known, and of an image of this size.
    bool Fits(int width, int height) const {
        return known_ && width_ == width && rows_.size() == static_cast<std::size_t>(height);
    }
    QRgb Background() const { return background_; }

    // Fills the image with the colour, only within the spans when it held that colour as its
    // background, and starts again with nothing drawn.
    void FillBackground(QRgb* pixels, int stride, int width, int height, QRgb colour);

    // Starts again with nothing drawn on an image of the background colour, which the caller
    // makes it.
    void Restart(int width, int height, QRgb colour);

    // The pixels of [left, right) × [top, bottom) may have been set; wide enough for any
    // int coordinate with a margin added.
    void Add(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);

    Span Row(int y) const { return rows_[static_cast<std::size_t>(y)]; }
    // Row y's span as [begin, end) within 0..width, begin <= end.
    Span RowWithin(int y, int width) const {
        const Span span = Row(y);
        const int begin = std::clamp(span.begin, 0, width);
        return {begin, std::clamp(span.end, begin, width)};
    }
    static Span Hull(Span a, Span b) {
        return {std::min(a.begin, b.begin), std::max(a.end, b.end)};
    }

  private:
    bool known_ = false;
    QRgb background_ = 0;
    int width_ = 0;
    std::vector<Span> rows_;
};

}  // namespace ocuvis
