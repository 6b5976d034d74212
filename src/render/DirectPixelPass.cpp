#include "render/DirectPixelPass.h"

#include <algorithm>
#include <array>
#include <atomic>
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

// The row above which half of the records' image rows lie (both images counted); the middle
// row when there are none.
int HalfwayRow(const std::vector<int>& rowCounts, int height) {
    std::int64_t total = 0;
    for (int row = 0; row < height; ++row)
        total += rowCounts[row] + rowCounts[height + row];
    if (total == 0) return height / 2;
    std::int64_t above = 0;
    int split = 0;
    while (split < height && 2 * above < total) {
        above += rowCounts[split] + rowCounts[height + split];
        ++split;
    }
    return split;
}

// Kept from frame to frame, but not far beyond what the store needs.
ProjectedRecord* SizedFor(std::vector<ProjectedRecord>& projected, int count) {
    if (projected.capacity() > 2 * static_cast<std::size_t>(count) + 4096)
        std::vector<ProjectedRecord>().swap(projected);
    projected.resize(static_cast<std::size_t>(count));
    return projected.data();
}

}  // namespace

DirectPixelPass::DirectPixelPass() = default;
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

    // With two threads the records go in chunks and the rows in two bands, each taken by
    // whichever thread comes for it first: a thread the machine keeps waiting leaves its share
    // to the other.
    const int parts = ThreadsFor(count);
    if (parts == 2 && !worker_) worker_ = std::make_unique<FrameWorker>();
    const auto share = [&](const std::function<void(int)>& job) {
        if (parts == 2)
            worker_->Share(job);
        else
            job(0);
    };
    const int chunks = parts == 2 ? kChunks : 1;
    const auto chunkBegin = [&](int chunk) {
        return static_cast<int>(static_cast<std::int64_t>(count) * chunk / chunks);
    };
    const bool lines = frame.view.lineThickness != 0;
    const bool fading = lines && frame.view.fadeLines;

    // The records are projected and the segments within each chunk measured; each thread
    // counts into its own totals.
    std::vector<int> rowCounts(static_cast<std::size_t>(2 * height));
    std::array<std::uint64_t, 2> dotSizes{};
    std::array<float, 2> nearest{1.0f, 1.0f}, farthest{-1.0f, -1.0f};
    std::atomic<int> nextChunk{0};
    share([&](int thread) {
        for (int chunk; (chunk = nextChunk.fetch_add(1)) < chunks;) {
            const int begin = chunkBegin(chunk), end = chunkBegin(chunk + 1);
            ProjectRecords(frame, begin, end, records, rowCounts.data() + thread * height,
                           dotSizes[thread]);
            if (fading)
                LinesLayer::MeasureDepths(records, begin, end - 1, nearest[thread],
                                          farthest[thread]);
        }
    });
    if (fading) {
        float near = std::min(nearest[0], nearest[1]);
        float far = std::max(farthest[0], farthest[1]);
        for (int chunk = 1; chunk < chunks; ++chunk) {
            const int joint = chunkBegin(chunk);
            if (joint >= 1 && joint < count)
                LinesLayer::MeasureDepths(records, joint - 1, joint, near, far);
        }
        frame.fadeNear = near;
        frame.fadeFar = far;
    }

    LinesLayer linesLayer(frame);
    DotsLayer dotsLayer(frame);
    // Stamps are made here, as the cache is not for two threads.
    const DotStamps dotStamps = dotsLayer.StampsInUse(stamps, dotSizes[0] | dotSizes[1]);

    int split = height;
    if (parts == 2) {
        split = bandSplit >= 0 ? bandSplit : HalfwayRow(rowCounts, height);
        split = std::clamp(split, 0, height);
    }

    std::atomic<int> nextBand{0};
    share([&](int) {
        for (int part; (part = nextBand.fetch_add(1)) < parts;) {
            const PixelBand band{pixels,
                                 stride,
                                 frame.width,
                                 height,
                                 part == 0 ? 0 : split,
                                 part == 0 ? split : height};
            if (lines) {
                if (fading) linesLayer.DrawInBand(band, records, 0);
                linesLayer.DrawInBand(band, records, 1);
            }
            dotsLayer.DrawInBand(band, records, dotStamps);
        }
    });
}

}  // namespace ocuvis
