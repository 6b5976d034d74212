#include "input/RecordSink.h"

namespace ocuvis {

void RecordSink::Label(double x, double y, double z, std::string_view text) {
    XYZTEXT& label = store_.labels[static_cast<std::size_t>(store_.labelCount++)];
    label.x = Narrowed(x);
    label.y = Narrowed(y);
    label.z = Narrowed(z);
    label.text.assign(text);
}

void RecordSink::Points(const double* const* columns, std::int64_t count) {
    if (count <= 0) return;
    const std::size_t first = store_.points.size();
    store_.points.resize(first + static_cast<std::size_t>(count));
    DataPoint* const out = store_.points.data() + first;
    const double* const x = columns[0];
    const double* const y = columns[1];
    const double* const z = columns[2];
    const double* const size = columns[3];
    for (std::int64_t i = 0; i < count; ++i)
        out[i] = {Narrowed(x[i]), Narrowed(y[i]), Narrowed(z[i]), Narrowed(size[i])};
    for (std::int64_t i = 0; i < count; ++i)
        extent.Take(out[i]);
    counts.pointsFound += count;
    counts.pointsPlotted += count;
    counts.recordsStored += static_cast<std::int32_t>(count);
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
