#include "app/ViewerDocument.h"

#include "app/StartupFile.h"

namespace ocuvis {

ViewerDocument::ViewerDocument(LoadDisplay& display, UserFeedback& feedback, RedrawGate& redrawGate,
                               RegistryHive& settingsHive, LoadProgressFactory& progress,
                               LoaderInput& fileInput)
    : gate(redrawGate),
      messages(feedback),
      hive(settingsHive),
      commands(view, scaling, gate, feedback),
      rotation(view, scaling, gate, feedback),
      recentFiles([this](const std::string& path) { OpenDataFile(path); }, hive, messages,
                  kAppKeyName, 10),
      loader(*store, graph, view,
             LoaderServices{progress, fileInput, recentFiles, scaling, display}) {
    loader.programTitle = programTitle;
}

ViewerDocument::~ViewerDocument() = default;

void ViewerDocument::Initialise(WindowBounds& bounds) {
    commands.SetGridThickness(1);
    commands.SetLineThickness(0);
    commands.SetPointSize(2);
    view.rotateAzimuth = view.rotateElevation = false;
    view.fullBoxGrid = view.axisLabels = view.titles = false;
    view.modeIndicator = true;
    view.textLabels = view.fadeLines = false;
    loader.reopening = false;
    scaling.AutoScale(true);
    commands.SetDefaultColors();
    schema.LoadSettings(view, graph, bounds);
    // The pixel sub-menus follow the loaded values (a value outside a sub-menu keeps its item).
    commands.SetGridThickness(view.gridThickness);
    commands.SetLineThickness(view.lineThickness);
    commands.SetPointSize(view.pointSize);
}

std::string ViewerDocument::StartupFile(const std::string& argumentText) const {
    return ChooseStartupFile(argumentText, recentFiles.lastOpenedFile(), InstalledDataFolder());
}

void ViewerDocument::Load(const std::string& path) {
    // While the loader reads, the store is half filled and not yet normalised: frames wait for
    // the end of the load instead of drawing raw data values.
    {
        RedrawGate::Hold hold(gate);
        gate.StoreChanging();
        store->pointCount = loader.LoadDataFile(path);
    }
}

void ViewerDocument::LoadStartupFile(const std::string& path) {
    Load(path);
}

void ViewerDocument::OpenDataFile(const std::string& path) {
    Open({path, false});
}

void ViewerDocument::ReOpen() {
    Open({view.dataFileName, true});
}

void ViewerDocument::Open(OpenRequest request) {
    if (loader.loading()) {
        pending_ = std::move(request);
        return;
    }
    for (;;) {
        scaling.SaveScaleSettings();
        loader.reopening = request.reopen;
        Load(request.path);
        loader.reopening = false;
        rotation.StopRotation();
        gate.RedrawGraph();
        if (!pending_) break;
        request = std::move(*pending_);
        pending_.reset();
    }
}

void ViewerDocument::SaveAtClose(const WindowBounds& bounds) {
    scaling.SaveScaleSettings();
    schema.SaveSettings(view, bounds);
}

TitleTexts ViewerDocument::CurrentTitles() const {
    return {titles.MainTitle, titles.xTitle, titles.yTitle, titles.zTitle};
}

}  // namespace ocuvis
