#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/BuildInfo.h"
#include "app/commands/GraphCommands.h"
#include "app/commands/PanDrag.h"
#include "app/commands/RotationControl.h"
#include "core/GraphRecord.h"
#include "core/GraphViewState.h"
#include "core/RedrawGate.h"
#include "core/UserFeedback.h"
#include "input/DataFileLoader.h"
#include "input/PointStore.h"
#include "render/FrameRenderer.h"
#include "render/GraphScaling.h"
#include "settings/GraphTitles.h"
#include "settings/LastFilesMenu.h"
#include "settings/OrlenRegistry.h"
#include "settings/RegistryFloatStore.h"
#include "settings/RegistryHive.h"
#include "settings/SettingsSchema.h"

namespace ocuvis {

inline const std::string versionString =
    std::string("v").append(kProjectVersion).append(" ").append(kReleaseDate);
inline const std::string programTitle = "Ocuvis " + versionString;
inline const std::string kApplicationTitle = "Ocuvis Stereo Viewer";

// Everything the main window holds beyond one command, free of widgets: the view state, the
// graph record, the point store, the settings and the services the loader reaches, in the order
// they are made. The window binds its controls to it.
class ViewerDocument {
  public:
    ViewerDocument(LoadDisplay& display, UserFeedback& feedback, RedrawGate& gate,
                   RegistryHive& hive, LoadProgressFactory& progress, LoaderInput& fileInput);
    ~ViewerDocument();

    // Defaults, auto scale with the angles reset, default colours and the stored settings, as
    // the window's construction has them before the first load.
    void Initialise(WindowBounds& bounds);

    // The file to open at start-up, by ChooseStartupFile.
    std::string StartupFile(const std::string& argumentText) const;

    // The one way a file is opened after start-up. A request that arrives while a load lets the
    // interface run is kept and carried out when that load has finished; the latest one wins.
    void OpenDataFile(const std::string& path);
    // Reloads the file on show and keeps its scale.
    void ReOpen();
    // Loads without saving the scale first (start-up).
    void LoadStartupFile(const std::string& path);

    bool loading() const { return loader.loading(); }

    // Scale values, then the settings and bounds; the caller then releases the document, which
    // writes the recent files list.
    void SaveAtClose(const WindowBounds& bounds);

    TitleTexts CurrentTitles() const;

    GraphViewState view;
    GraphRecord graph;
    std::unique_ptr<PointStore> store = std::make_unique<PointStore>();
    RedrawGate& gate;
    RepeatFilter messages;
    RegistryHive& hive;
    OrlenRegistry settingsStore{hive, messages};
    RegistryFloatStore scaleStore{settingsStore};
    GraphScaling scaling{view, graph, gate, scaleStore};
    GraphCommands commands;
    RotationControl rotation;
    PanDrag pan{view, graph, scaling, gate};
    GraphTitles titles{settingsStore, kAppKeyName, messages};
    LastFilesMenu recentFiles;
    SettingsSchema schema{settingsStore};
    DataFileLoader loader;
    FrameRenderer renderer;

  private:
    struct OpenRequest {
        std::string path;
        bool reopen;
    };
    void Open(OpenRequest request);
    void Load(const std::string& path);

    std::optional<OpenRequest> pending_;
};

}  // namespace ocuvis
