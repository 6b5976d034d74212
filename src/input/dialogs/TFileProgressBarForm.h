#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/UserFeedback.h"
#include "input/LoaderServices.h"
#include "input/dialogs/TProgressBarForm.h"

namespace ocuvis {

// The progress window of one load: knows the file being read and turns byte positions into
// "Loading File:  2 KB of 10 KB" and a percentage.
class TFileProgressBarForm final : public TProgressBarForm, public LoadProgress {
    Q_OBJECT
  public:
    static constexpr const char* kMissingFileCaption = "Progress Bar Error: File does not exist";

    // A file that cannot be opened for reading gets the error caption and the error beep.
    TFileProgressBarForm(const std::string& fileName, WindowBoundsStore& position,
                         UserFeedback& feedback);

    // LoadProgress; position: the bytes read so far.
    void UpdateFileProgress(std::int64_t position) override;
    bool aborted() const override { return abortPressed(); }

    // Kilobytes as the message shows them: rounded to whole kilobytes with at most five
    // significant digits, in exponent form ("1.2346E5") from 100,000 KB on.
    static std::string KilobyteText(std::int64_t bytes);
    // The percentage of the file read, within 0..100; an empty file counts as read.
    static float PercentDone(std::int64_t position, std::int64_t fileSize);

    std::int64_t fileSize = 0;
    float percentDone = 0.0f;

  private:
    // The report the window's texts show.
    int shownPercent_ = -1;
    std::int64_t shownPosition_ = -1;
};

// Makes the progress window of each load.
class FileProgressFactory final : public LoadProgressFactory {
  public:
    FileProgressFactory(WindowBoundsStore& position, UserFeedback& feedback)
        : position_(position), feedback_(feedback) {}
    std::unique_ptr<LoadProgress> Create(const std::string& fileName) override;

  private:
    WindowBoundsStore& position_;
    UserFeedback& feedback_;
};

}  // namespace ocuvis
