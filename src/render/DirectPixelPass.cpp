#include "render/DirectPixelPass.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>

#include "render/DotsLayer.h"
#include "render/FrameWorker.h"
#include "render/LinesLayer.h"

namespace ocuvis {

namespace {

// Below this many records a second thread costs more to wake than it saves.
constexpr int kRecordsForTwoThreads = 20000;
// Small enough that a thread held up for a moment leaves little undone behind it.
constexpr int kChunks = 16;
constexpr int kBands = 16;

// Kept from frame to frame, but not far beyond what the store needs.
ProjectedRecord* SizedFor(std::vector<ProjectedRecord>& projected, int count) {
    if (projected.capacity() > 2 * static_cast<std::size_t>(count) + 4096)
        std::vector<ProjectedRecord>().swap(projected);
    projected.resize(static_cast<std::size_t>(count));
    return projected.data();
}

}  // namespace

// Per chunk of records and band of rows, the segments (by their first record) and the dots
// that may reach into the band, in record order.
class DirectPixelPass::BandLists {
  public:
    void Reset(int chunks, int bands, int height, int rowsPerBand, int records) {
        // A frame of far fewer records than the largest one gives back what that one took.
        if (records < peakRecords_ / 4) {
            segments_.clear();
            dots_.clear();
            peakRecords_ = 0;
        }
        peakRecords_ = std::max(peakRecords_, records);
        chunks_ = chunks, bands_ = bands, height_ = height, rows_ = rowsPerBand;
        const auto lists = static_cast<std::size_t>(chunks) * static_cast<std::size_t>(bands);
        segments_.resize(std::max(segments_.size(), lists));
        dots_.resize(std::max(dots_.size(), lists));
        for (std::size_t i = 0; i < lists; ++i) {
            segments_[i].clear();
            dots_[i].clear();
        }
    }

    // The segments from records begin..end-2 to the next, when lines are drawn, and the dots of
    // records begin..end-1, into the lists of the chunk.
    void Note(int chunk, int begin, int end, const ProjectedRecord* records, bool lines,
              const DotsLayer::Sizes& dotSizes) {
        if (lines)
            for (int i = begin; i + 1 < end; ++i)
                NoteSegment(chunk, i, records);
        if (!dotSizes.Any()) return;
        for (int i = begin; i < end; ++i) {
            const int s = dotSizes.Of(i);
            if (s > 0 && HasImage(records[i]))
                Add(dots_, chunk, i, DotsLayer::ReachOf(records[i], s));
        }
    }

    void NoteSegment(int chunk, int i, const ProjectedRecord* records) {
        if (HasImage(records[i]) && HasImage(records[i + 1]))
            Add(segments_, chunk, i, LinesLayer::ReachOf(records[i], records[i + 1]));
    }

    BandRecords Segments(int band) const { return {&segments_[band], chunks_, bands_}; }
    BandRecords Dots(int band) const { return {&dots_[band], chunks_, bands_}; }

  private:
    // Into the lists of every band that does not miss the reach.
    void Add(std::vector<std::vector<int>>& lists, int chunk, int i, const RowReach& reach) {
        const float height = static_cast<float>(height_);
        if (!(reach.high >= 0.0f) || !(reach.low <= height)) return;
        const float rows = static_cast<float>(rows_);
        // A band's bottom edge is the next one's top: both take a reach that ends on it.
        const int first =
            std::max(0, static_cast<int>(std::ceil(std::max(reach.low, 0.0f) / rows)) - 1);
        const int last =
            std::min(bands_ - 1, static_cast<int>(std::min(reach.high, height) / rows));
        std::vector<int>* const chunkLists = &lists[static_cast<std::size_t>(chunk) * bands_];
        for (int band = first; band <= last; ++band)
            chunkLists[band].push_back(i);
    }

    std::vector<std::vector<int>> segments_, dots_;
    int chunks_ = 0, bands_ = 0, height_ = 0, rows_ = 1;
    int peakRecords_ = 0;
};

// How one frame's work is cut: the records in chunks, the rows in bands, both taken by
// whichever thread comes for them first.
struct DirectPixelPass::Plan {
    int count, height;
    bool shared;
    int chunks, rows, bands;
    bool lines, fading;

    int ChunkBegin(int chunk) const {
        return static_cast<int>(static_cast<std::int64_t>(count) * chunk / chunks);
    }
};

DirectPixelPass::DirectPixelPass() : lists_(std::make_unique<BandLists>()) {}
DirectPixelPass::~DirectPixelPass() = default;

int DirectPixelPass::ThreadsFor(int records) const {
    if (threads > 0) return std::min(threads, 2);
    static const bool twoCores = FrameWorker::TwoCoresAvailable();
    return twoCores && records >= kRecordsForTwoThreads ? 2 : 1;
}

DirectPixelPass::Plan DirectPixelPass::PlanFor(const FrameContext& frame) const {
    Plan plan{};
    plan.count = frame.pointCount;
    plan.height = frame.height;
    plan.shared = ThreadsFor(plan.count) == 2;
    plan.chunks = plan.shared ? std::clamp(plan.count, 1, kChunks) : 1;
    plan.rows = plan.height;
    if (plan.shared) plan.rows = bandRows > 0 ? bandRows : (plan.height + kBands - 1) / kBands;
    plan.bands = (plan.height + plan.rows - 1) / plan.rows;
    plan.lines = frame.view.lineThickness != 0;
    plan.fading = plan.lines && frame.view.fadeLines;
    return plan;
}

void DirectPixelPass::Share(const Plan& plan, const std::function<void(int)>& job) {
    if (plan.shared)
        worker_->Share(job);
    else
        job(0);
}

void DirectPixelPass::Draw(FrameContext& frame, QRgb* pixels, int stride, StampCache& stamps) {
    const Plan plan = PlanFor(frame);
    if (plan.shared && !worker_) worker_ = std::make_unique<FrameWorker>();
    if (plan.shared) lists_->Reset(plan.chunks, plan.bands, plan.height, plan.rows, plan.count);
    ProjectedRecord* const records = SizedFor(projected_, plan.count);
    const std::uint64_t sizesInUse = Project(frame, plan, records);
    // Stamps are made here, as the cache is not for two threads.
    const DotStamps dotStamps = DotsLayer(frame).StampsInUse(stamps, sizesInUse);
    DrawBands(frame, plan, records, pixels, stride, dotStamps);
}

std::uint64_t DirectPixelPass::Project(FrameContext& frame, const Plan& plan,
                                       ProjectedRecord* records) {
    // The records are projected and the segments within each chunk measured and noted; each
    // thread keeps its own totals.
    const DotsLayer::Sizes dotSizes = DotsLayer(frame).DotSizes();
    std::array<std::uint64_t, 2> sizesInUse{};
    std::array<float, 2> nearest{1.0f, 1.0f}, farthest{-1.0f, -1.0f};
    std::atomic<int> nextChunk{0};
    Share(plan, [&](int thread) {
        for (int chunk; (chunk = nextChunk.fetch_add(1)) < plan.chunks;) {
            const int begin = plan.ChunkBegin(chunk), end = plan.ChunkBegin(chunk + 1);
            ProjectRecords(frame, begin, end, records, sizesInUse[thread]);
            if (plan.fading)
                LinesLayer::MeasureDepths(records, begin, end - 1, nearest[thread],
                                          farthest[thread]);
            if (plan.shared) lists_->Note(chunk, begin, end, records, plan.lines, dotSizes);
        }
    });
    // A segment from the last record of a chunk to the first of the next is noted with the
    // chunk before, after the others of that chunk, so the lists stay in record order.
    for (int chunk = 1; chunk < plan.chunks; ++chunk) {
        const int joint = plan.ChunkBegin(chunk);
        if (plan.lines) lists_->NoteSegment(chunk - 1, joint - 1, records);
        if (plan.fading)
            LinesLayer::MeasureDepths(records, joint - 1, joint, nearest[0], farthest[0]);
    }
    if (plan.fading) {
        frame.fadeNear = std::min(nearest[0], nearest[1]);
        frame.fadeFar = std::max(farthest[0], farthest[1]);
    }
    return sizesInUse[0] | sizesInUse[1];
}

void DirectPixelPass::DrawBands(FrameContext& frame, const Plan& plan,
                                const ProjectedRecord* records, QRgb* pixels, int stride,
                                const DotStamps& dotStamps) {
    const LinesLayer linesLayer(frame);
    const DotsLayer dotsLayer(frame);
    const BandRecords allSegments(plan.count - 1), allDots(plan.count);
    std::atomic<int> nextBand{0};
    Share(plan, [&](int) {
        for (int b; (b = nextBand.fetch_add(1)) < plan.bands;) {
            const PixelBand band{pixels,        stride,
                                 frame.width,   plan.height,
                                 b * plan.rows, std::min(plan.height, (b + 1) * plan.rows)};
            const BandRecords segments = plan.shared ? lists_->Segments(b) : allSegments;
            if (plan.lines) {
                if (plan.fading) linesLayer.DrawInBand(band, records, segments, 0);
                linesLayer.DrawInBand(band, records, segments, 1);
            }
            dotsLayer.DrawInBand(band, records, plan.shared ? lists_->Dots(b) : allDots, dotStamps);
        }
    });
}

}  // namespace ocuvis
