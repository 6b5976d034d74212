#include "input/LoaderServices.h"

namespace ocuvis {

namespace {
class SilentProgress final : public LoadProgress {
  public:
    void UpdateFileProgress(std::int64_t) override {}
    bool aborted() const override { return false; }
};
}  // namespace

std::unique_ptr<LoadProgress> SilentProgressFactory::Create(const std::string&) {
    return std::make_unique<SilentProgress>();
}

}  // namespace ocuvis
