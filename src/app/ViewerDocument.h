#pragma once

#include <memory>
#include <string>

#include "DataFileLoader.h"
#include "FloatValueStore.h"
#include "GraphRecord.h"
#include "GraphScaling.h"
#include "GraphViewState.h"
#include "LastFilesMenu.h"
#include "OrlenRegistry.h"
#include "PointStore.h"
#include "RedrawGate.h"
#include "RegistryFloatStore.h"
#include "SettingsMessages.h"
#include "SqliteHive.h"

namespace ocuvis {

inline const std::string kVersionString = "v2.1.3 2018-06-09";
inline const std::string kProgramTitle = "Ocuvis " + kVersionString;
inline const std::string kApplicationTitle = "Ocuvis Stereo Viewer";
inline const std::string kDefaultDataFile = "Ocuvis.3d";

// Everything the viewer holds beyond one command, free of widgets: the view state, the graph
// record, the point store and the services the loader reaches. The window owns one.
class ViewerDocument {
  public:
    explicit ViewerDocument(LoadDisplay& display);

    // Loads a file into the store and keeps its record count.
    void OpenDataFile(const std::string& path);

    // The file to open at start-up: the argument text taken whole, else the last file of the
    // previous run, else the shipped sample.
    std::string StartupFile(const std::string& argumentText) const;

    GraphViewState view;
    GraphRecord graph;
    std::unique_ptr<PointStore> store = std::make_unique<PointStore>();
    RedrawGate gate;
    // The settings live in the per-user hive (OCUVIS_REGISTRY names another file); until the
    // window routes them to message boxes, the store's messages go to standard error.
    StderrSettingsMessages settingsMessages;
    SqliteHive hive{SqliteHive::DefaultPath()};
    OrlenRegistry settingsStore{hive, settingsMessages};
    RegistryFloatStore scaleStore{settingsStore};
    GraphScaling scaling{view, graph, gate, scaleStore};
    SilentProgressFactory progress;
    FixedFileInputSetup fileInput;
    // Read when made, written when the document goes.
    LastFilesMenu recentFiles{[this](const std::string& path) { OpenDataFile(path); }, hive,
                              settingsMessages, kAppKeyName, 10};
    DataFileLoader loader;
};

}  // namespace ocuvis
