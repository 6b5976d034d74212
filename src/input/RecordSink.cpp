#include "input/RecordSink.h"

namespace ocuvis {

void RecordSink::Label(double x, double y, double z, std::string_view text) {
    if (!originChosen_) ChooseOrigin(x, y, z);
    const std::array<double, 3>& o = store_.origin;
    XYZTEXT& label = store_.labels[static_cast<std::size_t>(store_.labelCount++)];
    label.x = Narrowed(Shifted(x, o[0]));
    label.y = Narrowed(Shifted(y, o[1]));
    label.z = Narrowed(Shifted(z, o[2]));
    label.text.assign(text);
}

bool RecordSink::Line(std::int32_t from, std::int32_t to) {
    const bool goesOn = from == lastLineEnd_;
    if (counts.recordsStored + (goesOn ? 1 : 3) > limit_) return false;
    if (!goesOn) {
        const DataPoint start = store_.points[static_cast<std::size_t>(from)];
        store_.points.push_back(DataPoint::Break());
        store_.points.push_back(start);
        store_.sources.push_back(-1);
        store_.sources.push_back(store_.sources[static_cast<std::size_t>(from)]);
        counts.recordsStored += 2;
    }
    const DataPoint end = store_.points[static_cast<std::size_t>(to)];
    store_.points.push_back(end);
    store_.sources.push_back(store_.sources[static_cast<std::size_t>(to)]);
    ++counts.recordsStored;
    lastLineEnd_ = to;
    return true;
}

}  // namespace ocuvis
