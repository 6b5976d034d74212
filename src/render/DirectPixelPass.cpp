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

    void AddSegment(int chunk, int i, const RowReach& reach) { Add(segments_, chunk, i, reach); }
    void AddDot(int chunk, int i, const RowReach& reach) { Add(dots_, chunk, i, reach); }

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

DirectPixelPass::DirectPixelPass() : lists_(std::make_unique<BandLists>()) {}
DirectPixelPass::~DirectPixelPass() = default;

int DirectPixelPass::ThreadsFor(int records) const {
    if (threads > 0) return std::min(threads, 2);
    static const bool twoCores = FrameWorker::TwoCoresAvailable();
    return twoCores && records >= kRecordsForTwoThreads ? 2 : 1;
}

void DirectPixelPass::Draw(FrameContext& frame, QRgb* pixels, int stride, StampCache& stamps) {
    const int count = frame.pointCount;
    const int height = frame.height;
    ProjectedRecord* const records = SizedFor(projected_, count);
    const LinesLayer linesLayer(frame);
    const DotsLayer dotsLayer(frame);
    const bool lines = frame.view.lineThickness != 0;
    const bool fading = lines && frame.view.fadeLines;
    const DotsLayer::Sizes dotSizes = dotsLayer.DotSizes();

    const bool shared = ThreadsFor(count) == 2;
    if (shared && !worker_) worker_ = std::make_unique<FrameWorker>();
    const auto share = [&](const std::function<void(int)>& job) {
        if (shared)
            worker_->Share(job);
        else
            job(0);
    };
    const int chunks = shared ? std::clamp(count, 1, kChunks) : 1;
    const auto chunkBegin = [&](int chunk) {
        return static_cast<int>(static_cast<std::int64_t>(count) * chunk / chunks);
    };
    const int rows = shared ? (bandRows > 0 ? bandRows : (height + kBands - 1) / kBands) : height;
    const int bands = shared ? (height + rows - 1) / rows : 1;
    BandLists& lists = *lists_;
    if (shared) lists.Reset(chunks, bands, height, rows, count);
    // A segment from the last record of a chunk to the first of the next is noted with the
    // chunk before, after the others of that chunk, so the lists stay in record order.
    const auto noteSegment = [&](int chunk, int i) {
        if (HasImage(records[i]) && HasImage(records[i + 1]))
            lists.AddSegment(chunk, i, LinesLayer::ReachOf(records[i], records[i + 1]));
    };

    // The records are projected and the segments within each chunk measured and noted; each
    // thread keeps its own totals.
    std::array<std::uint64_t, 2> sizesInUse{};
    std::array<float, 2> nearest{1.0f, 1.0f}, farthest{-1.0f, -1.0f};
    std::atomic<int> nextChunk{0};
    share([&](int thread) {
        for (int chunk; (chunk = nextChunk.fetch_add(1)) < chunks;) {
            const int begin = chunkBegin(chunk), end = chunkBegin(chunk + 1);
            ProjectRecords(frame, begin, end, records, sizesInUse[thread]);
            if (fading)
                LinesLayer::MeasureDepths(records, begin, end - 1, nearest[thread],
                                          farthest[thread]);
            if (!shared) continue;
            if (lines)
                for (int i = begin; i + 1 < end; ++i)
                    noteSegment(chunk, i);
            if (dotSizes.Any())
                for (int i = begin; i < end; ++i) {
                    const int s = dotSizes.Of(i);
                    if (s > 0 && HasImage(records[i]))
                        lists.AddDot(chunk, i, DotsLayer::ReachOf(records[i], s));
                }
        }
    });
    for (int chunk = 1; chunk < chunks; ++chunk) {
        const int joint = chunkBegin(chunk);
        if (lines && shared) noteSegment(chunk - 1, joint - 1);
        if (fading) LinesLayer::MeasureDepths(records, joint - 1, joint, nearest[0], farthest[0]);
    }
    if (fading) {
        frame.fadeNear = std::min(nearest[0], nearest[1]);
        frame.fadeFar = std::max(farthest[0], farthest[1]);
    }

    // Stamps are made here, as the cache is not for two threads.
    const DotStamps dotStamps = dotsLayer.StampsInUse(stamps, sizesInUse[0] | sizesInUse[1]);
    const BandRecords allSegments(count - 1), allDots(count);
    std::atomic<int> nextBand{0};
    share([&](int) {
        for (int b; (b = nextBand.fetch_add(1)) < bands;) {
            const PixelBand band{pixels, stride,   frame.width,
                                 height, b * rows, std::min(height, (b + 1) * rows)};
            const BandRecords segments = shared ? lists.Segments(b) : allSegments;
            if (lines) {
                if (fading) linesLayer.DrawInBand(band, records, segments, 0);
                linesLayer.DrawInBand(band, records, segments, 1);
            }
            dotsLayer.DrawInBand(band, records, shared ? lists.Dots(b) : allDots, dotStamps);
        }
    });
}

}  // namespace ocuvis
