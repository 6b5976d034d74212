#include "render/SubsetPacing.h"

#include <algorithm>
#include <cmath>

namespace ocuvis {

void SubsetPacing::NoteWholeFrame(int records, double seconds) {
    if (records <= 0 || seconds <= 0.0) return;
    secondsPerRecord_ = seconds / records;
    measuredRecords_ = records;
}

int SubsetPacing::StepFor(int records, double budgetSeconds) const {
    const double whole = secondsPerRecord_ * records;
    if (records < 3 || measuredRecords_ < records / 2 || budgetSeconds <= 0.0 ||
        whole <= budgetSeconds)
        return 1;
    // A subset frame draws two records of every step, on one thread where a whole frame may
    // have had two, and reads them scattered through the store, which costs about twice a
    // record read in order; in dense data a whole frame passes over the many records on the
    // pixels of the one before, which a subset's, far apart, seldom are. Measured at ten
    // million records, a subset's record costs about twelve a whole frame's. And more than two
    // per step, or the pairs would cover every record.
    const double step = std::ceil(24.0 * whole / budgetSeconds);
    return static_cast<int>(std::clamp(step, 3.0, static_cast<double>(records)));
}

}  // namespace ocuvis
