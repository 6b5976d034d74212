#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/GraphRecord.h"
#include "core/GraphViewState.h"
#include "input/DataFileKind.h"
#include "input/LoaderServices.h"
#include "input/PointStore.h"
#include "input/RecordSink.h"
#include "input/SampleGenerator.h"

namespace ocuvis {

class ByteStream;

struct LoaderServices {
    LoadProgressFactory& progress;
    LoaderInput& fileInput;
    RecentFileList& recentFiles;
    ScaleReset& scaling;
    LoadDisplay& display;
};

// How the last load went, for the status text and for tools that must report a failure.
struct LoadOutcome {
    std::string path;       // the name tried, extension completed; empty when none was given
    bool opened = false;    // false: the built-in data set stands in for the file
    std::string failure;    // why the file could not be read, or why it gave no point
    bool noPoints = false;  // the file was read but gave no point at all
};

// Loads data files into the point store: chooses the reader of the file's kind once, and keeps
// what every kind shares: the record limit, sampling, progress, the built-in data set for files
// that yield too little, the status text, the normalisation and the scale reset or restore that
// ends every load.
class DataFileLoader {
  public:
    DataFileLoader(PointStore& store, GraphRecord& graph, GraphViewState& view,
                   LoaderServices services);

    // Loads the file and returns the number of records stored. Never fails to the caller: any
    // failure ends in the built-in data set.
    std::int32_t LoadDataFile(const std::string& fileName);

    // True when dataFileName equals previousName, or both are longer than five characters and
    // agree in their first six.
    bool IsSameDataFile(const std::string& previousName) const;

    // The names a load may open for fileName, in the order they are tried. A name without a '.',
    // or whose first '.' ends it, gets ".3D" and then ".3d" (a case-sensitive file system holds
    // either), then the name as given; any other name stands alone.
    static std::vector<std::string> CandidateNames(const std::string& fileName);
    // The first candidate that exists, else the first one.
    static std::string FileNameToOpen(const std::string& fileName);

    const LoadOutcome& outcome() const { return outcome_; }

    std::string programTitle = "Ocuvis";
    bool table3dFile = false;
    bool reopening = false;

    // True from the start to the end of LoadDataFile; the loader lets the user interface run
    // while it reads, so handlers can tell a load is under way.
    bool loading() const { return loading_; }

  private:
    // Reads the opened file by its kind into the store.
    LoadCounts ReadFile(const std::string& path, ByteStream& stream, LoadProgress& progress);
    std::string StatusText(const LoadCounts& counts) const;
    void ClearRecords();

    PointStore& store_;
    GraphRecord& graph_;
    GraphViewState& view_;
    LoaderServices services_;
    SampleGenerator sampler_;
    FileInputFields fields_;  // the set-up taken at the start of the load
    std::int32_t recordLimit_ = kRecordLimit;
    bool loading_ = false;
    LoadOutcome outcome_;
    PointExtent extent_;  // of the records the last read stored
};

}  // namespace ocuvis
