#include "render/DirectPixelPass.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>
#include <thread>

#include "render/BandBits.h"
#include "render/DotsLayer.h"
#include "render/FrameWorker.h"
#include "render/LinesLayer.h"
#include "render/RecordColours.h"

namespace ocuvis {

namespace {

// Below this many records a second thread costs more to wake than it saves.
constexpr int kRecordsForTwoThreads = 20000;
// Records go in at least this many chunks, of at most kChunkRecords: few enough that a
// thread held up for a moment leaves little undone behind it, small enough that what a chunk
// measures and notes after projecting it is still in the cache.
constexpr int kChunks = 16;
constexpr int kChunkRecords = 4096;
// Frames drawn alone after a shared one was held up, the first time and at most.
constexpr int kLoneFramesFirst = 4;
constexpr int kLoneFramesMost = 64;

// Kept from frame to frame, but not far beyond what the store needs.
ProjectedRecord* SizedFor(std::vector<ProjectedRecord>& projected, int count) {
    if (projected.capacity() > 2 * static_cast<std::size_t>(count) + 4096)
        std::vector<ProjectedRecord>().swap(projected);
    projected.resize(static_cast<std::size_t>(count));
    return projected.data();
}

// How far from its row a dot of size s, stamped s rows above its truncated row, may set
// pixels: the stamp's rows and one for the truncation. A band whose rows the noted reach
// misses needs no look at the dot; the nearer the reach, the fewer bands look in vain.
int StampReach(const DotStamps& stamps, int s) {
    const PixelStamp* stamp = s > 0 ? stamps[static_cast<std::size_t>(s)] : nullptr;
    if (stamp == nullptr) return DotsLayer::ReachOf(std::max(s, 0));
    return std::min(DotsLayer::ReachOf(s), std::max(s - stamp->top, stamp->bottom - s) + 1);
}

}  // namespace

// How one frame's work is cut: the records in chunks, the rows in bands, both taken by
// whichever thread comes for them first.
struct DirectPixelPass::Plan {
    int count, height;
    bool shared;
    int chunks, rows, bands;
    bool lines, fading;
    int step;  // of the subset drawn, 1 for every record

    int ChunkBegin(int chunk) const {
        return static_cast<int>(static_cast<std::int64_t>(count) * chunk / chunks);
    }
    // The first record of the subset's first pair at or after record i.
    int PairAtOrAfter(int i) const { return (i + step - 1) / step * step; }
};

DirectPixelPass::DirectPixelPass() : bits_(std::make_unique<BandBits>()) {}
DirectPixelPass::~DirectPixelPass() = default;

int DirectPixelPass::ThreadsFor(int records) const {
    if (threads > 0) return std::min(threads, 2);
    static const bool twoCores = FrameWorker::TwoCoresAvailable();
    return twoCores && records >= kRecordsForTwoThreads && loneFrames_ == 0 ? 2 : 1;
}

void DirectPixelPass::NoteShare() {
    framesTime_ += worker_->lastTime;
    framesHeld_ += worker_->lastHeld;
}

void DirectPixelPass::JudgeSharedFrame() {
    using namespace std::chrono_literals;
    // On an idle machine neither thread is held off its processor for more than moments.
    const bool heldUp = framesHeld_ > 200us && framesHeld_ * 4 > framesTime_;
    framesTime_ = framesHeld_ = {};
    if (threads > 0) return;
    if (!heldUp) {
        loneRun_ = 0;
        return;
    }
    loneRun_ = std::clamp(2 * loneRun_, kLoneFramesFirst, kLoneFramesMost);
    loneFrames_ = loneRun_;
}

DirectPixelPass::Plan DirectPixelPass::PlanFor(const FrameContext& frame) const {
    Plan plan{};
    plan.count = frame.pointCount;
    plan.height = frame.height;
    // A subset stays on this thread: the band bits of a shared frame are noted and visited by
    // every record of the store, which is what a subset frame is there to avoid.
    plan.shared = subsetStep <= 1 && ThreadsFor(plan.count) == 2;
    plan.chunks = 1;
    // A frame that may be stopped goes in chunks on one thread too.
    if (plan.shared || stop != nullptr)
        plan.chunks = std::max(
            {1, std::min(plan.count, kChunks), (plan.count + kChunkRecords - 1) / kChunkRecords});
    plan.rows = plan.height;
    // As many bands as there are bits in a byte; the last takes what rows are left.
    const int most = BandBits::kMaxBands;
    if (plan.shared) plan.rows = bandRows > 0 ? bandRows : (plan.height + most - 1) / most;
    plan.bands = std::min(most, (plan.height + plan.rows - 1) / plan.rows);
    plan.lines = frame.view.lineThickness != 0;
    plan.fading = plan.lines && frame.view.fadeLines;
    plan.step = std::max(1, subsetStep);
    return plan;
}

void DirectPixelPass::Share(const Plan& plan, const std::function<void(int)>& job) {
    if (plan.shared) {
        worker_->Share(job);
        NoteShare();
    } else {
        job(0);
    }
}

void DirectPixelPass::Draw(FrameContext& frame, QRgb* pixels, int stride, StampCache& stamps,
                           QRgb* apart, const std::function<void()>& underData) {
    const Plan plan = PlanFor(frame);
    if (plan.shared && !worker_) worker_ = std::make_unique<FrameWorker>();
    if (plan.shared) {
        // Dots of the view's size, or of the size classes a normalised store has (up to 6); a
        // record with a larger own size is noted the long way.
        const bool own = frame.store.dotSizesPresent != 0;
        const int dotSize = std::clamp(own ? 6 : DotsLayer(frame).FixedSize(), 0, kMaxDotSize);
        bits_->Reset(plan.count, plan.height, plan.rows, plan.bands, dotSize,
                     own ? DotsLayer::ReachOf(dotSize)
                         : StampReach(DotsLayer(frame).StampsInUse(stamps, 0), dotSize));
    }
    ProjectedRecord* const records = SizedFor(projected_, plan.count);
    RecordColours colours(frame);
    // A byte past the records, as segments are left out by their two records' bytes.
    repeats_.resize(static_cast<std::size_t>(plan.count) + 1);
    repeats_.back() = 0;
    pixels_.resize(static_cast<std::size_t>(plan.count));
    const std::uint64_t sizesInUse = Project(frame, plan, records, colours, underData);
    if (Stopped()) return;
    // Stamps are made here, as the cache is not for two threads.
    const DotStamps dotStamps = DotsLayer(frame).StampsInUse(stamps, sizesInUse);
    DrawBands(frame, plan, records, pixels, stride, apart, dotStamps, colours);
    NoteDrawn(dotStamps);
    if (plan.shared)
        JudgeSharedFrame();
    else if (loneFrames_ > 0)
        --loneFrames_;
}

std::uint64_t DirectPixelPass::Project(FrameContext& frame, const Plan& plan,
                                       ProjectedRecord* records, RecordColours& colours,
                                       const std::function<void()>& underData) {
    // The records are projected and the segments within each chunk measured and noted; each
    // thread keeps its own totals.
    const DotsLayer::Sizes dotSizes = DotsLayer(frame).DotSizes();
    std::array<std::uint64_t, 2> sizesInUse{};
    std::array<float, 2> nearest{1.0f, 1.0f}, farthest{-1.0f, -1.0f};
    std::array<float, 2> nearestDot{1e30f, 1e30f}, farthestDot{-1e30f, -1e30f};
    const bool shading = colours.Shading();
    const bool measuring = drawn[0] != nullptr || drawn[1] != nullptr;
    std::uint8_t* const repeats = repeats_.data();
    RecordPixels* const pixels = pixels_.data();
    std::array<RecordExtent, 2> extents{};
    // Records before the first joined one are dots only, and their depths no lines'.
    const int firstJoined = std::max(0, frame.store.firstJoinedRecord);
    std::atomic<int> nextChunk{0};
    Share(plan, [&](int thread) {
        const auto run = [&](int begin, int end) {
            ProjectRecords(frame, begin, end, records, sizesInUse[thread]);
            if (plan.fading)
                LinesLayer::MeasureDepths(records, std::max(begin, firstJoined), end - 1,
                                          nearest[thread], farthest[thread]);
            if (shading)
                RecordColours::MeasureDots(records, begin, end, nearestDot[thread],
                                           farthestDot[thread]);
            if (plan.shared) bits_->Note(begin, end, records, plan.lines, dotSizes);
            MarkRepeats(records, begin, end, frame.width, frame.height, repeats, pixels);
            // A subset's pair follows the last pair's second record, projected before it on
            // this thread.
            if (plan.step > 1 && begin >= plan.step)
                repeats[begin] = IsRepeat(records[begin - plan.step + 1], records[begin],
                                          frame.width, frame.height);
            if (measuring) extents[thread].Take(records, begin, end);
        };
        if (thread == 0 && underData) underData();
        for (int chunk; (chunk = nextChunk.fetch_add(1)) < plan.chunks && !Stopped();) {
            const int begin = plan.ChunkBegin(chunk), end = plan.ChunkBegin(chunk + 1);
            if (plan.step == 1) {
                run(begin, end);
                continue;
            }
            // A pair may end in the next chunk, whose first pair starts after it.
            for (int first = plan.PairAtOrAfter(begin); first < end; first += plan.step)
                run(first, std::min(first + 2, plan.count));
        }
    });
    extent_ = extents[0];
    extent_.Take(extents[1]);
    if (plan.step > 1) {
        // The closing line of the built-in figure needs the last record.
        if (plan.count > 0 && (plan.count - 1) % plan.step > 1) {
            std::uint64_t sizes = 0;
            ProjectRecords(frame, plan.count - 1, plan.count, records, sizes);
            if (measuring) extent_.Take(records, plan.count - 1, plan.count);
        }
        if (plan.fading) {
            frame.fadeNear = std::min(nearest[0], nearest[1]);
            frame.fadeFar = std::max(farthest[0], farthest[1]);
        }
        return sizesInUse[0] | sizesInUse[1];
    }
    // The segments from the last record of a chunk to the first of the next.
    for (int chunk = 1; chunk < plan.chunks; ++chunk) {
        const int joint = plan.ChunkBegin(chunk);
        if (plan.shared && plan.lines) bits_->NoteSegment(joint - 1, records);
        if (plan.fading && joint - 1 >= firstJoined)
            LinesLayer::MeasureDepths(records, joint - 1, joint, nearest[0], farthest[0]);
    }
    if (shading)
        colours.SetDepthRange(std::min(nearestDot[0], nearestDot[1]),
                              std::max(farthestDot[0], farthestDot[1]));
    if (plan.fading) {
        frame.fadeNear = std::min(nearest[0], nearest[1]);
        frame.fadeFar = std::max(farthest[0], farthest[1]);
    }
    return sizesInUse[0] | sizesInUse[1];
}

void DirectPixelPass::DrawBands(FrameContext& frame, const Plan& plan,
                                const ProjectedRecord* records, QRgb* pixels, int stride,
                                QRgb* apart, const DotStamps& dotStamps,
                                const RecordColours& colours) {
    const LinesLayer linesLayer(frame);
    const DotsLayer dotsLayer(frame);
    const int pairs = plan.step > 1 ? 2 : 1;
    const std::uint8_t* repeats = repeats_.data();
    const RecordPixels* kept = pixels_.data();
    const BandRecords allSegments(plan.count - 1, plan.step, 1),
        allDots(plan.count, plan.step, pairs);
    // A band's lines, then its dots, each a job: half a band at a time, the threads end
    // nearer together. Dots wait for their band's lines, begun before any dots.
    static_assert(std::tuple_size_v<decltype(layerTimes_)::value_type> == BandBits::kMaxBands);
    const int layers = plan.lines ? 2 : 1;
    std::array<std::array<int, BandBits::kMaxBands>, 2> order{};
    for (int layer = 0; layer < layers; ++layer) {
        auto& bands = order[static_cast<std::size_t>(layer)];
        const auto& times = layerTimes_[static_cast<std::size_t>(layer + 2 - layers)];
        for (int b = 0; b < plan.bands; ++b)
            bands[static_cast<std::size_t>(b)] = b;
        if (plan.shared && bandTimesRows_ == plan.rows)
            std::stable_sort(bands.begin(), bands.begin() + plan.bands, [&](int x, int y) {
                return times[static_cast<std::size_t>(x)] > times[static_cast<std::size_t>(y)];
            });
    }
    bandTimesRows_ = plan.shared ? plan.rows : 0;
    std::array<std::atomic<bool>, BandBits::kMaxBands> linesDrawn{};
    std::atomic<int> nextJob{0};
    Share(plan, [&](int) {
        for (int next; (next = nextJob.fetch_add(1)) < layers * plan.bands && !Stopped();) {
            const int layer = next / plan.bands + 2 - layers;  // 0 lines, 1 dots
            const int b = order[static_cast<std::size_t>(next / plan.bands)]
                               [static_cast<std::size_t>(next % plan.bands)];
            const int top = b * plan.rows;
            const int bottom = b == plan.bands - 1 ? plan.height : top + plan.rows;
            const PixelBand band{pixels, stride, frame.width, plan.height, top, bottom, apart};
            const auto slot = static_cast<std::size_t>(b);
            if (layer == 1 && plan.lines) {
                // Taken by the other thread a while ago; an abandoned frame may never draw them.
                while (!linesDrawn[slot].load(std::memory_order_acquire)) {
                    if (Stopped()) return;
                    std::this_thread::yield();
                }
            }
            const auto start = std::chrono::steady_clock::now();
            if (layer == 0) {
                const BandRecords segments = plan.shared ? bits_->Segments(b) : allSegments;
                if (plan.fading)
                    linesLayer.DrawInBand(band, records, segments, 0, &colours, nullptr, 1, kept);
                linesLayer.DrawInBand(band, records, segments, 1, &colours, repeats, plan.step,
                                      kept);
                linesDrawn[slot].store(true, std::memory_order_release);
            } else {
                dotsLayer.DrawInBand(band, records, plan.shared ? bits_->Dots(b) : allDots,
                                     dotStamps, &colours, repeats, kept);
            }
            // Each job's own slot; read once both threads are done.
            layerTimes_[static_cast<std::size_t>(layer)][slot] =
                std::chrono::steady_clock::now() - start;
        }
    });
}

void DirectPixelPass::NoteDrawn(const DotStamps& dotStamps) {
    const bool stopped = Stopped();
    for (DrawnSpans* spans : drawn)
        if (spans != nullptr && stopped) spans->Forget();
    if (stopped || extent_.Empty()) return;
    // A one-pixel line's pixels lie between its ends' truncated positions. A dot of size s is
    // stamped s pixels up and left of its truncated position; the stamps give how far it
    // reaches from there. One pixel more each way for truncation towards zero.
    int left = 0, right = 1, up = 0, down = 1;
    for (int s = 1; s < static_cast<int>(dotStamps.size()); ++s) {
        const PixelStamp* stamp = dotStamps[static_cast<std::size_t>(s)];
        if (stamp == nullptr) continue;
        left = std::max(left, s - stamp->left);
        right = std::max(right, stamp->right - s);
        up = std::max(up, s - stamp->top);
        down = std::max(down, stamp->bottom + 1 - s);
    }
    const auto pixel = [](float value, bool high) {
        const float limit = Projection::kPixelLimit;
        return static_cast<int>(
            std::clamp(high ? std::ceil(value) : std::floor(value), -limit, limit));
    };
    const int top = pixel(extent_.rowLow, false) - up - 1;
    const int bottom = pixel(extent_.rowHigh, true) + down + 1;
    if (drawn[0] != nullptr)
        drawn[0]->Add(pixel(extent_.column1Low, false) - left - 1, top,
                      pixel(extent_.column1High, true) + right + 1, bottom);
    if (drawn[1] != nullptr)
        drawn[1]->Add(pixel(extent_.column2Low, false) - left - 1, top,
                      pixel(extent_.column2High, true) + right + 1, bottom);
}

}  // namespace ocuvis
