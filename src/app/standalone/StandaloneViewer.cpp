#include "app/standalone/StandaloneViewer.h"

namespace ocuvis {

StandaloneViewer::StandaloneViewer() : StandaloneViewer(silentProgress) {}

StandaloneViewer::StandaloneViewer(LoadProgressFactory& progress)
    : loader(*store, graph, view,
             LoaderServices{progress, fileInput, recentFiles, scaling, display}) {
    scaling.AutoScale(true);
}

std::int32_t StandaloneViewer::Load(const std::string& fileName) {
    store->pointCount = loader.LoadDataFile(fileName);
    return store->pointCount;
}

}  // namespace ocuvis
