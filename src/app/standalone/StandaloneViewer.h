#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/FloatValueStore.h"
#include "core/GraphRecord.h"
#include "core/GraphViewState.h"
#include "core/RedrawGate.h"
#include "input/DataFileLoader.h"
#include "input/PointStore.h"
#include "render/GraphScaling.h"

namespace ocuvis {

// The viewer's data side without a window: view state, graph record, point store, scaling and
// the loader with plain services (no progress display, fixed field numbers and seed, an
// in-memory scale and recent-files memory). For tools, benchmarks and the fuzzer.
class StandaloneViewer {
  public:
    // Starts as the viewer does: the auto scale with the angles reset. Loads report to the given
    // progress display, or to none.
    StandaloneViewer();
    explicit StandaloneViewer(LoadProgressFactory& progress);

    // Loads a file as an open would (the load ends in the auto scale that keeps the angles) and
    // keeps its record count.
    std::int32_t Load(const std::string& fileName);

    GraphViewState view;
    GraphRecord graph;
    std::unique_ptr<PointStore> store = std::make_unique<PointStore>();
    RedrawGate gate;
    MemoryFloatStore scaleMemory;
    GraphScaling scaling{view, graph, gate, scaleMemory};
    SilentProgressFactory silentProgress;
    FixedLoaderInput fileInput;
    MemoryRecentFiles recentFiles;
    TextLoadDisplay display;
    DataFileLoader loader;
};

}  // namespace ocuvis
