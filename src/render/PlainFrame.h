#pragma once

#include <QRgb>
#include <memory>

#include "render/FrameRenderer.h"
#include "render/PixelStamp.h"

namespace ocuvis {

class DirectPixelPass;

// The dots' stamps, every size DotsLayer asks for, as QPainter rasterised them when the
// program was built; no other shape, and none once the files that rasterised them have changed.
StampShapes TabledShapes();

// A file as it was when the tables were made.
struct RecordedFile {
    const char* path;
    long long size;
    long long seconds, nanoseconds;  // modified
};

// Whether every file, up to the first without a path, is there with its recorded size and time.
bool FilesAsRecorded(const RecordedFile* files);

// Frames drawn without Qt Gui, for a tool that must start quickly: the pixel canvas and the
// direct pass into a buffer of RGB32 pixels, exactly as FrameRenderer draws them into its
// image. A frame with anything only a painter draws (text, wide lines, ellipses or views
// other than the tabled dots and the views drawn in one image) is not whole, and must be
// drawn by FrameRenderer instead.
class PlainFrameRenderer {
  public:
    PlainFrameRenderer();
    ~PlainFrameRenderer();

    // The frame into width × height pixels whose rows are stride pixels apart; false when it
    // is not whole, and the pixels are then not the frame.
    bool Render(QRgb* pixels, int stride, int width, int height, const FrameSources& sources);
    // False when the view alone shows that its frames cannot be whole, before any data.
    static bool MayBeWhole(const GraphViewState& view);

    // As FrameRenderer's.
    float fadeNear = 0.0f;
    float fadeFar = 0.0f;

  private:
    StampCache stamps_;
    std::unique_ptr<DirectPixelPass> direct_;
};

}  // namespace ocuvis
