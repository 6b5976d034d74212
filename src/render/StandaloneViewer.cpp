#include "StandaloneViewer.h"

namespace ocuvis {

StandaloneViewer::StandaloneViewer() {
    scaling.AutoScale(true);
}

std::int32_t StandaloneViewer::Load(const std::string& fileName) {
    store->pointCount = loader.LoadDataFile(fileName);
    return store->pointCount;
}

}  // namespace ocuvis
