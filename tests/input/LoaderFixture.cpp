#include "LoaderFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace ocuvis::fixture {

namespace {
class FakeProgress final : public LoadProgress {
  public:
    explicit FakeProgress(FakeProgressFactory& owner) : owner_(owner) {}
    void UpdateFileProgress(std::int64_t position) override {
        owner_.positions.push_back(position);
        if (owner_.abortAtUpdate > 0 &&
            owner_.positions.size() >= static_cast<std::size_t>(owner_.abortAtUpdate))
            aborted_ = true;
    }
    bool aborted() const override { return aborted_; }

  private:
    FakeProgressFactory& owner_;
    bool aborted_ = false;
};
}  // namespace

std::unique_ptr<LoadProgress> FakeProgressFactory::Create(const std::string& fileName) {
    created.push_back(fileName);
    return std::make_unique<FakeProgress>(*this);
}

LoaderHarness::LoaderHarness(std::string lastOpened)
    : recent(std::move(lastOpened)),
      loader(*store, graph, view, LoaderServices{progress, input, recent, scaling, display}) {}

std::int32_t LoaderHarness::Load(const std::string& path) {
    store->pointCount = loader.LoadDataFile(path);
    return store->pointCount;
}

std::vector<std::uint32_t> ReferenceDraws(std::uint32_t seed, std::size_t count) {
    constexpr unsigned __int128 kTwoTo64 = static_cast<unsigned __int128>(1) << 64;
    unsigned __int128 state =
        (static_cast<unsigned __int128>(seed) * 22695477u + 1u) % (1ull << 32);
    std::vector<std::uint32_t> draws;
    for (std::size_t i = 0; i < count; ++i) {
        state = (state * 22695477u + 1u) % kTwoTo64;
        draws.push_back(static_cast<std::uint32_t>((state >> 32) & 0x7FFFFFFFu));
    }
    return draws;
}

std::vector<bool> ReferenceKept(std::uint32_t seed, float percent, std::size_t lineCount) {
    std::vector<bool> kept;
    for (std::uint32_t draw : ReferenceDraws(seed, lineCount)) {
        kept.push_back(draw < 2147483648.0 * 0.01 * percent);
    }
    return kept;
}

}  // namespace ocuvis::fixture
