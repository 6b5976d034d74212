#include "core/ScrollBarModel.h"

namespace ocuvis {

int ScrollRange::StepUp(int position) const {
    const int next = position + 1;
    return next <= maximum ? next : next - (maximum - minimum);
}

int ScrollRange::StepDown(int position) const {
    const int next = position - 1;
    return next >= minimum ? next : next + (maximum - minimum);
}

}  // namespace ocuvis
