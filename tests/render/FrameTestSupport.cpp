#include "FrameTestSupport.h"

#include <algorithm>

#include "core/FloatValueStore.h"
#include "core/RedrawGate.h"
#include "input/DataFileLoader.h"
#include "input/NormaliseIntoCube.h"
#include "render/GraphScaling.h"

namespace ocuvis::test {

Scene::Scene() {
    RedrawGate gate;
    MemoryFloatStore memory;
    GraphScaling scaling(view, graph, gate, memory);
    scaling.AutoScale(true);
}

void Scene::SetAngles(int azimuth, int elevation) {
    view.azimuth = azimuth;
    view.elevation = elevation;
    view.azimuthRadians = AngleRadians(azimuth);
    view.elevationRadians = AngleRadians(elevation);
}

void Scene::SetCubePoints(std::initializer_list<DataPoint> points) {
    int i = 0;
    for (const DataPoint& p : points)
        store->points[static_cast<std::size_t>(i++)] = p;
    store->pointCount = i;
    store->dotSizesPresent = 0;
    store->defaultDataLoaded = false;
}

void Scene::LoadDataPoints(std::initializer_list<DataPoint> points) {
    SetCubePoints(points);
    NormaliseIntoCube(*store, store->pointCount, graph);
}

void Scene::LoadDataPoints(const std::vector<DataPoint>& points) {
    std::copy(points.begin(), points.end(), store->points.begin());
    store->pointCount = static_cast<std::int32_t>(points.size());
    store->dotSizesPresent = 0;
    store->defaultDataLoaded = false;
    NormaliseIntoCube(*store, store->pointCount, graph);
}

void Scene::AddLabel(float x, float y, float z, const std::string& text) {
    XYZTEXT& label = store->labels[static_cast<std::size_t>(store->labelCount++)];
    label.x = x;
    label.y = y;
    label.z = z;
    label.text = text;
}

void Scene::Bare() {
    view.gridThickness = 0;
    view.modeIndicator = false;
    view.pointSize = 0;
}

RecordingCanvas Scene::Record(int width, int height) {
    RecordingCanvas canvas;
    renderer.Render(canvas, width, height, Sources());
    return canvas;
}

void LoadFile(Scene& scene, const std::string& path, const FileInputFields& fields) {
    RedrawGate gate;
    MemoryFloatStore memory;
    GraphScaling scaling(scene.view, scene.graph, gate, memory);
    SilentProgressFactory progress;
    FixedFileInputSetup input;
    input.fields = fields;
    MemoryRecentFiles recent;
    TextLoadDisplay display;
    DataFileLoader loader(*scene.store, scene.graph, scene.view,
                          LoaderServices{progress, input, recent, scaling, display});
    scene.store->pointCount = loader.LoadDataFile(path);
}

}  // namespace ocuvis::test
