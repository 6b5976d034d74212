#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "RecordingCanvas.h"
#include "core/GraphRecord.h"
#include "core/GraphViewState.h"
#include "input/LoaderServices.h"
#include "input/PointStore.h"
#include "render/FrameRenderer.h"

namespace ocuvis::test {

// One frame's inputs, at the viewer's first-run defaults with the neutral scale.
struct Scene {
    Scene();

    GraphViewState view;
    GraphRecord graph;
    std::unique_ptr<PointStore> store = std::make_unique<PointStore>();
    TitleTexts titles;
    FrameRenderer renderer;

    FrameSources Sources() const { return {view, graph, *store, titles}; }
    void SetAngles(int azimuth, int elevation);
    // Records in cube units, as after normalisation; no dot sizes.
    void SetCubePoints(std::initializer_list<DataPoint> points);
    // Records in data units, normalised as a load does.
    void LoadDataPoints(std::initializer_list<DataPoint> points);
    void LoadDataPoints(const std::vector<DataPoint>& points);
    void AddLabel(float x, float y, float z, const std::string& text);
    // Only the layer under test: no grid, no mode indicator, no dots.
    void Bare();

    RecordingCanvas Record(int width = 780, int height = 239);
};

// Loads a data file through the loader with the plain services, scaled as after a load.
void LoadFile(Scene& scene, const std::string& path, const FileInputFields& fields = {});

}  // namespace ocuvis::test
