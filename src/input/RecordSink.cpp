#include "input/RecordSink.h"

namespace ocuvis {

void RecordSink::Label(double x, double y, double z, std::string_view text) {
    XYZTEXT& label = store_.labels[static_cast<std::size_t>(store_.labelCount++)];
    label.x = Narrowed(x);
    label.y = Narrowed(y);
    label.z = Narrowed(z);
    label.text.assign(text);
}

bool RecordSink::Line(std::int32_t from, std::int32_t to) {
    const bool goesOn = from == lastLineEnd_;
    if (counts.recordsStored + (goesOn ? 1 : 3) > limit_) return false;
    if (!goesOn) {
        const DataPoint start = store_.points[static_cast<std::size_t>(from)];
        store_.points.push_back(DataPoint::Break());
        store_.points.push_back(start);
        counts.recordsStored += 2;
    }
    const DataPoint end = store_.points[static_cast<std::size_t>(to)];
    store_.points.push_back(end);
    ++counts.recordsStored;
    lastLineEnd_ = to;
    return true;
}

}  // namespace ocuvis
