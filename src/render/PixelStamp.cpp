#include "render/PixelStamp.h"

#include <algorithm>

namespace ocuvis {

PixelStamp StampOfSpans(std::vector<PixelStamp::Span> spans) {
    PixelStamp stamp;
    stamp.spans = std::move(spans);
    for (const PixelStamp::Span& span : stamp.spans) {
        PixelStamp::Span* last = stamp.solidSpans.empty() ? nullptr : &stamp.solidSpans.back();
        if (last != nullptr && last->row == span.row && last->end == span.begin)
            last->end = span.end;
        else
            stamp.solidSpans.push_back(span);
    }
    if (!stamp.spans.empty()) {
        stamp.top = stamp.bottom = stamp.spans.front().row;
        stamp.left = stamp.spans.front().begin;
        stamp.right = stamp.spans.front().end;
        for (const PixelStamp::Span& span : stamp.spans) {
            stamp.top = std::min<int>(stamp.top, span.row);
            stamp.bottom = std::max<int>(stamp.bottom, span.row);
            stamp.left = std::min<int>(stamp.left, span.begin);
            stamp.right = std::max<int>(stamp.right, span.end);
        }
    }
    return stamp;
}

const PixelStamp& StampCache::FindEllipse(const EllipseKey& key) {
    auto it = ellipses_.find(key);
    if (it == ellipses_.end()) {
        const auto [width, height, penWidth, filled] = key;
        it = ellipses_.emplace(key, Made(shapes_.ellipse(width, height, penWidth, filled))).first;
    }
    lastEllipseKey_ = key;
    lastEllipse_ = &it->second;
    return it->second;
}

}  // namespace ocuvis
