#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/FileInputFields.h"
#include "core/RecentFileList.h"
#include "input/SampleGenerator.h"

namespace ocuvis {

// What the loader needs from the rest of the program. Each service is a small interface so the
// loader runs and is tested without widgets; the window hands in the real ones.

// The progress display of one load: made when the load starts, dropped when reading ends.
class LoadProgress {
  public:
    virtual ~LoadProgress() = default;
    // Called after every line with the bytes read so far; may let the user interface run.
    virtual void UpdateFileProgress(std::int64_t position) = 0;
    virtual bool aborted() const = 0;
};

class LoadProgressFactory {
  public:
    virtual ~LoadProgressFactory() = default;
    virtual std::unique_ptr<LoadProgress> Create(const std::string& fileName) = 0;
};

// What a load reads of the file input set-up: its fields, and the seeding of its sampling.
class LoaderInput {
  public:
    virtual ~LoaderInput() = default;
    virtual const FileInputFields& Fields() const = 0;
    // Seeds the generator before every load, whether or not the file opens.
    virtual void PrepareSampling(SampleGenerator& generator) = 0;
};

// The end of every load: a fresh scale, or the one saved for the file shown before.
class ScaleReset {
  public:
    virtual ~ScaleReset() = default;
    virtual void AutoScale(bool resetAngles) = 0;
    virtual void RestoreScaleSettings() = 0;
};

// The window caption and the status panel.
class LoadDisplay {
  public:
    virtual ~LoadDisplay() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
};

// Plain implementations, for the time before the real ones exist and for tools without a window.

class SilentProgressFactory final : public LoadProgressFactory {
  public:
    std::unique_ptr<LoadProgress> Create(const std::string& fileName) override;
};

// Fields and a seed as they are set, for tools and tests.
class FixedLoaderInput final : public LoaderInput {
  public:
    FileInputFields fields;
    std::uint32_t seed = 0;

    const FileInputFields& Fields() const override { return fields; }
    void PrepareSampling(SampleGenerator& generator) override { generator.Seed(seed); }
};

class MemoryRecentFiles final : public RecentFileList {
  public:
    explicit MemoryRecentFiles(std::string lastOpened = {}) : lastOpened_(std::move(lastOpened)) {}
    std::string lastOpenedFile() const override { return lastOpened_; }
    void AddRecentFile(const std::string& path) override { latest = path; }

    std::string latest;  // the file added most recently

  private:
    std::string lastOpened_;
};

class TextLoadDisplay final : public LoadDisplay {
  public:
    void SetCaption(const std::string& text) override { caption = text; }
    void SetStatusText(const std::string& text) override { statusText = text; }

    std::string caption;
    std::string statusText;
};

}  // namespace ocuvis
