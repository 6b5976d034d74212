#include "core/GraphRecord.h"

namespace ocuvis {

float OffsetShift(int position, float zSign) {
    constexpr long double kOneFortyFifth = 1.0L / 45.0L;
    return static_cast<float>(static_cast<long double>(position) * zSign * 2.5f * kOneFortyFifth);
}

}  // namespace ocuvis
