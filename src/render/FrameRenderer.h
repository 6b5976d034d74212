#pragma once

#include <QImage>
#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "core/GraphRecord.h"
#include "core/GraphViewState.h"
#include "input/PointStore.h"
#include "render/Canvas.h"
#include "render/DrawnSpans.h"
#include "render/PixelStamp.h"
#include "render/Projection.h"

namespace ocuvis {

class DirectPixelPass;

// The four texts of the titles dialog, read at every render.
struct TitleTexts {
    std::string mainTitle;
    std::string xTitle;
    std::string yTitle;
    std::string zTitle;
};

// Everything a frame is drawn from. The renderer only reads it.
struct FrameSources {
    const GraphViewState& view;
    const GraphRecord& graph;
    const PointStore& store;
    const TitleTexts& titles;
    // A composed view draws each eye on its own, then joins them.
    EyeImage eye = EyeImage::Both;
};

// Draws complete frames: background, mode indicator, grid or box with axis labels and titles,
// connecting lines, dots and text labels, in that order. Keeps the depth range of the last
// faded frame, which the text labels of later frames use.
class FrameRenderer {
  public:
    FrameRenderer();
    ~FrameRenderer();

    // One frame of width × height pixels on any canvas.
    void Render(Canvas& canvas, int width, int height, const FrameSources& sources);

    // A new frame image (RGB32, 96 DPI) drawn on the fast canvas: the frameBitmap. One-pixel
    // lines and dots go straight into its pixels, on two threads for a large store. A null
    // image when the memory for it cannot be had. A composed view (the anaglyph pairs and the
    // frame-packed formats) is drawn as two eye images joined into a frame of this size.
    QImage RenderImage(int width, int height, const FrameSources& sources);

    // Draws into an RGB32 image at its own size, as RenderImage draws into its new one.
    void RenderInto(QImage& image, const FrameSources& sources);

    // An empty frame image of the size, ready for any canvas.
    static QImage NewFrameImage(int width, int height);

    // How RenderImage shares out one-pixel lines and dots: 0 chooses by the cores this process
    // may use and the number of records, 1 keeps them on the calling thread, 2 shares bands of
    // rows with a second thread.
    int dataThreads = 0;
    // The rows of each of the (at most eight) bands when shared, the last taking the rest; 0
    // chooses by the frame's height.
    int bandRows = 0;
    // 1 draws every record; n > 1 only an even subset of them, the same one every frame: the
    // records at multiples of n and the one after each, with the line between them. For views
    // on the move; wide lines are always drawn whole.
    int subsetStep = 1;
    // Set from another thread, ends a frame's lines and dots early, between pieces of work: the
    // image is then not the frame, only fit to be thrown away.
    const std::atomic<bool>* stop = nullptr;

    // Smallest and largest rotated depth of the last measuring pass; 0 and 0 before any.
    float fadeNear = 0.0f;
    float fadeFar = 0.0f;

  private:
    // A composed view's frame from its two eye images (StereoFrame.cpp). The eye images are
    // kept for the next frame: a new pair per frame costs more than drawing them.
    QImage RenderComposed(int width, int height, const FrameSources& sources);
    // Both eye images of a composed view, each at its own size, into eyeImages_.
    void RenderEyeImages(const FrameSources& sources);
    void SetUpDirectPass();

    StampCache stamps_;
    std::array<QImage, 2> eyeImages_;
    // What each eye image has had drawn on it since its background.
    std::array<DrawnSpans, 2> eyeDrawn_;
    // Composed frames handed out before, with what they hold besides their background: one the
    // taker has let go of is written into again. Two, as a window holds the frame it shows
    // while the next is drawn; none past this size.
    struct KeptFrame {
        QImage image;
        DrawnSpans drawn;
    };
    static constexpr qint64 kMaxKeptFramePixels = qint64{1} << 23;
    std::array<KeptFrame, 2> keptFrames_;
    std::unique_ptr<DirectPixelPass> direct_;
};

}  // namespace ocuvis
