#pragma once

#include <QRgb>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "render/DotsLayer.h"
#include "render/DrawnSpans.h"
#include "render/FrameContext.h"
#include "render/RecordProjection.h"

namespace ocuvis {

class BandBits;
class FrameWorker;
class RecordColours;

// One-pixel lines and dots drawn straight into the pixels of an RGB32 frame image, on the
// calling thread or shared with a second one. Every record is projected once; then each band
// of rows gets every line and dot in the frame's order but sets only its own pixels, so the
// image is the one a single thread draws through the canvas, fading and anaglyph overlaps
// included. Owns the second thread and what it keeps from frame to frame.
//
// Shared, the records go in chunks and the rows in eight bands, each taken by whichever
// thread comes for it first, so a thread the machine holds up leaves its share to the other:
// the caller waits at most for the one band the worker is drawing. While the records are
// projected, each line and dot notes the bands it reaches in a byte, so a band passes over
// eight records of others at a time.
class DirectPixelPass {
  public:
    DirectPixelPass();
    ~DirectPixelPass();
    DirectPixelPass(const DirectPixelPass&) = delete;
    DirectPixelPass& operator=(const DirectPixelPass&) = delete;

    // How the work is shared: 0 chooses by the cores this process may use and the number of
    // records, 1 keeps it on the calling thread, 2 shares it with the second thread.
    int threads = 0;
    // The rows of each band when shared, the last taking the rest; 0 chooses by the frame's
    // height.
    int bandRows = 0;
    // 1 draws every record. n > 1 draws an even subset, the same for every frame of a store:
    // the records at multiples of n and the one after each, with the line between them (and
    // the closing line of the built-in figure), always on the calling thread.
    int subsetStep = 1;
    // When set, ends the pass between chunks of records and between bands.
    const std::atomic<bool>* stop = nullptr;
    // When set, widened by what the pass draws in the first and the second image; forgotten
    // when the pass is stopped.
    std::array<DrawnSpans*, 2> drawn{};

    // Lines (when the view has any) and dots of the frame into pixels, whose rows are stride
    // pixels apart; the canvas of the frame must draw on the same image. Stamps are taken from
    // the cache, on the calling thread only. With the eyes' images apart, the second image
    // goes into its own pixels, of the same size and stride. The calling thread runs
    // underData first, while the other projects records: it must not touch what the pass
    // draws with (stamps aside).
    void Draw(FrameContext& frame, QRgb* pixels, int stride, StampCache& stamps,
              QRgb* apart = nullptr, const std::function<void()>& underData = {});

  private:
    struct Plan;
    int ThreadsFor(int records) const;
    bool Stopped() const { return stop != nullptr && stop->load(std::memory_order_relaxed); }
    Plan PlanFor(const FrameContext& frame) const;
    void Share(const Plan& plan, const std::function<void(int)>& job);
    // Projects every record, measures the depth range when fading and notes each band's lines
    // and dots; returns the own dot sizes in use.
    std::uint64_t Project(FrameContext& frame, const Plan& plan, ProjectedRecord* records,
                          RecordColours& colours, const std::function<void()>& underData);
    // Widens the drawn spans by the rectangle the records' lines and dots stay within.
    void NoteDrawn(const DotStamps& dotStamps);
    void DrawBands(FrameContext& frame, const Plan& plan, const ProjectedRecord* records,
                   QRgb* pixels, int stride, QRgb* apart, const DotStamps& dotStamps,
                   const RecordColours& colours);

    // When the machine is busy, a shared frame waits for a worker the system has held off
    // the processor more than it gains: after such a frame, frames whose threads are chosen
    // here stay on the calling thread for a while, longer each time it happens again. A
    // worker that is merely given more to do (records crowded into one band) is waited for.
    void NoteShare();
    void JudgeSharedFrame();
    std::chrono::steady_clock::duration framesTime_{}, framesHeld_{};
    int loneFrames_ = 0;
    int loneRun_ = 0;

    // The time each band's lines and its dots took in the last shared frame, and its bands'
    // height: a view turns little from frame to frame, so the longest are begun first, and the
    // thread that takes the last ones is not left drawing a long one alone.
    std::array<std::array<std::chrono::steady_clock::duration, 8>, 2> layerTimes_{};
    int bandTimesRows_ = 0;

    std::unique_ptr<FrameWorker> worker_;
    std::vector<ProjectedRecord> projected_;
    std::vector<std::uint8_t> repeats_;  // of the records projected, see MarkRepeats
    std::vector<RecordPixels> pixels_;   // of the same records
    std::unique_ptr<BandBits> bits_;
    RecordExtent extent_;  // of the records projected for the frame
};

}  // namespace ocuvis
