#include "AppServices.h"

namespace ocuvis {

ViewerDocument::ViewerDocument(LoadDisplay& display)
    : loader(*store, graph, view,
             LoaderServices{progress, fileInput, recentFiles, scaling, display}) {
    loader.programTitle = kProgramTitle;
    scaling.AutoScale(true);
}

void ViewerDocument::OpenDataFile(const std::string& path) {
    scaling.SaveScaleSettings();
    store->pointCount = loader.LoadDataFile(path);
    gate.RedrawGraph();
}

std::string ViewerDocument::StartupFile(const std::string& argumentText) const {
    if (!argumentText.empty()) return argumentText;
    const std::string last = recentFiles.lastOpenedFile();
    return last.empty() ? kDefaultDataFile : last;
}

}  // namespace ocuvis
