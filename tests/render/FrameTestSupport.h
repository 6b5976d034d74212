#pragma once

#include <memory>
#include <string>
#include <vector>

#include "RecordingCanvas.h"
#include "core/FloatValueStore.h"
#include "core/GraphRecord.h"
#include "core/GraphViewState.h"
#include "core/RedrawGate.h"
#include "input/DataFileLoader.h"
#include "input/LoaderServices.h"
#include "input/NormaliseIntoCube.h"
#include "input/PointStore.h"
#include "render/FrameRenderer.h"
#include "render/GraphScaling.h"

namespace ocuvis::test {

// One frame's inputs, at the viewer's first-run defaults with the neutral scale.
struct Scene {
    Scene() {
        Scaled([](GraphScaling& scaling) { scaling.AutoScale(true); });
    }

    GraphViewState view;
    GraphRecord graph;
    std::unique_ptr<PointStore> store = std::make_unique<PointStore>();
    TitleTexts titles;
    FrameRenderer renderer;

    FrameSources Sources() const { return {view, graph, *store, titles}; }
    void SetAngles(int azimuth, int elevation) {
        view.azimuth = azimuth;
        view.elevation = elevation;
        view.azimuthRadians = AngleRadians(azimuth);
        view.elevationRadians = AngleRadians(elevation);
    }
    // Records in cube units, as after normalisation; no dot sizes.
    void SetCubePoints(const std::vector<DataPoint>& points) {
        store->points = points;
        store->pointCount = static_cast<std::int32_t>(points.size());
        store->dotSizesPresent = 0;
        store->defaultDataLoaded = false;
    }
    // Records in data units, normalised as a load does.
    void LoadDataPoints(const std::vector<DataPoint>& points) {
        SetCubePoints(points);
        NormaliseIntoCube(*store, store->pointCount, graph);
    }
    void AddLabel(float x, float y, float z, const std::string& text) {
        store->labels[static_cast<std::size_t>(store->labelCount++)] = {x, y, z, text};
    }
    // A data file through the loader with the plain services, scaled as after a load.
    void LoadFile(const std::string& path, const FileInputFields& fields = {}) {
        Scaled([&](GraphScaling& scaling) {
            SilentProgressFactory progress;
            FixedLoaderInput input;
            input.fields = fields;
            MemoryRecentFiles recent;
            TextLoadDisplay display;
            DataFileLoader loader(*store, graph, view,
                                  LoaderServices{progress, input, recent, scaling, display});
            store->pointCount = loader.LoadDataFile(path);
        });
    }

    RecordingCanvas Record() {
        RecordingCanvas canvas;
        renderer.Render(canvas, 780, 239, Sources());
        return canvas;
    }

  private:
    template <class Use>
    void Scaled(Use use) {
        RedrawGate gate;
        MemoryFloatStore memory;
        GraphScaling scaling(view, graph, gate, memory);
        use(scaling);
    }
};

}  // namespace ocuvis::test
