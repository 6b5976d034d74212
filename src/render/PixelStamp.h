#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "render/TextStamps.h"

namespace ocuvis {

// The pixels of one shape, rasterised once by QPainter itself and then stamped wherever the
// same shape is drawn again: an aliased shape moved by whole pixels covers the same pixels
// moved by as much.
struct PixelStamp {
    // One run of pixels on one row, relative to the shape's anchor (an ellipse's bounding
    // rectangle's top-left corner, a line's first end).
    struct Span {
        std::int16_t row;
        std::int16_t begin;
        std::int16_t end;  // exclusive
        bool outline;      // pen pixel (else brush pixel)

        friend bool operator==(const Span&, const Span&) = default;
    };
    std::vector<Span> spans;
    // The same pixels for pen and brush of one colour: the spans of a row merged where they
    // touch (their outline flags mean nothing).
    std::vector<Span> solidSpans;
    // Extent of all spans, relative to the anchor; right is exclusive, bottom inclusive.
    int top = 0, bottom = 0, left = 0, right = 0;
};

// The stamp made of a shape's spans in row order: the solid spans and the extent follow.
PixelStamp StampOfSpans(std::vector<PixelStamp::Span> spans);

// Where a cache's shapes come from: QPainter itself (PaintedShapes, ImageCanvas.h), or the dots
// rasterised by it when the program was built (TabledShapes, PlainFrame.h) for a renderer that
// must do without Qt Gui. Nothing when the source has no such shape.
struct StampShapes {
    std::optional<PixelStamp> (*ellipse)(int width, int height, int penWidth, bool filled);
    std::optional<PixelStamp> (*line)(int dx, int dy, int width);
};

// Stamps of ellipses by size, pen width and brush style, of wide lines by their run and rise,
// and of texts. Kept from frame to frame.
class StampCache {
  public:
    explicit StampCache(StampShapes shapes) : shapes_(shapes) {}

    // Larger ellipses are not stamped; they are rare and cost little to draw directly.
    static constexpr int kMaxEllipseSize = 256;
    // Wide lines are stamped when neither run nor rise exceeds this; in a connected run of
    // thousands of records nearly every segment is that short.
    static constexpr int kMaxLineReach = 32;
    static constexpr int kMaxLineWidth = 3;

    const PixelStamp& Ellipse(int width, int height, int penWidth, bool filled) {
        const EllipseKey key{width, height, penWidth, filled};
        if (lastEllipse_ != nullptr && key == lastEllipseKey_) return *lastEllipse_;
        return FindEllipse(key);
    }

    // A line of width 2..kMaxLineWidth from (0, 0) to (dx, dy), |dx|, |dy| <= kMaxLineReach.
    const PixelStamp& Line(int dx, int dy, int width) {
        const std::size_t index = (static_cast<std::size_t>(width - 2) * kLineSide +
                                   static_cast<std::size_t>(dy + kMaxLineReach)) *
                                      kLineSide +
                                  static_cast<std::size_t>(dx + kMaxLineReach);
        std::unique_ptr<PixelStamp>& slot = lines_[index];
        if (!slot) slot = std::make_unique<PixelStamp>(Made(shapes_.line(dx, dy, width)));
        return *slot;
    }

    TextStamps& Texts() { return texts_; }

    // Whether a shape was asked for that the source did not have: an empty stamp stood in.
    bool missed() const { return missed_; }

  private:
    using EllipseKey = std::tuple<int, int, int, bool>;
    static constexpr std::size_t kLineSide = 2 * kMaxLineReach + 1;

    const PixelStamp& FindEllipse(const EllipseKey& key);
    PixelStamp Made(std::optional<PixelStamp> stamp) {
        if (!stamp) missed_ = true;
        return stamp ? std::move(*stamp) : PixelStamp{};
    }

    StampShapes shapes_;
    bool missed_ = false;

    std::map<EllipseKey, PixelStamp> ellipses_;
    // Dots come in long series of one size.
    EllipseKey lastEllipseKey_{};
    const PixelStamp* lastEllipse_ = nullptr;
    std::vector<std::unique_ptr<PixelStamp>> lines_ =
        std::vector<std::unique_ptr<PixelStamp>>((kMaxLineWidth - 1) * kLineSide * kLineSide);
    TextStamps texts_;
};

}  // namespace ocuvis
