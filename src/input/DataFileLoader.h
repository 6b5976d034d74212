#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/GraphRecord.h"
#include "core/GraphViewState.h"
#include "input/DataFileKind.h"
#include "input/LoaderServices.h"
#include "input/PointStore.h"
#include "input/SampleGenerator.h"

namespace ocuvis {

class ByteStream;

struct LoaderServices {
    LoadProgressFactory& progress;
    FileInputSetup& fileInput;
    RecentFileList& recentFiles;
    ScaleReset& scaling;
    LoadDisplay& display;
};

// How the last load went, for the status text and for tools that must report a failure.
struct LoadOutcome {
    std::string path;     // the name tried, extension completed; empty when none was given
    bool opened = false;  // false: the built-in data set stands in for the file
    std::string failure;  // why the file could not be read
};

// Reads data files into the point store: the field layout and the TABLE3D layout, labels,
// sub-sampling, the built-in data set for files that yield too little, the status text, the
// normalisation and the scale reset or restore that ends every load.
class DataFileLoader {
  public:
    static constexpr std::size_t kLinePieceLength = 4999;
    static constexpr int kMaxFieldsUsed = 20;
    static constexpr int kMaxColumnKeys = 500;
    static constexpr std::int32_t kNumberScanLength = 5000;

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
    struct Counters {
        std::int32_t recordsStored = 0;
        std::int64_t pointsPlotted = 0;
        std::int64_t pointsFound = 0;  // stored or not: more than plotted when the store filled
        std::int64_t passes = 0;
        bool endReached = false;
        bool aborted = false;
        bool edgesCut = false;  // the limit left out connecting lines, not points
    };

    // Reads the file by its kind; the reason when a file of a structured kind does not hold
    // what its header declares, else empty.
    std::string ReadFile(DataFileKind kind, ByteStream& stream, LoadProgress& progress,
                         Counters& counters);
    void ReadClassic(ByteStream& stream, LoadProgress& progress, Counters& counters);
    void ReadDelimited(ByteStream& stream, LoadProgress& progress, Counters& counters);
    std::string ReadPly(ByteStream& stream, LoadProgress& progress, Counters& counters);
    // One text line of the field layout, in pieces of kLinePieceLength; false once the store is
    // full.
    bool ProcessFieldText(std::string_view text, Counters& counters);
    // Reads the lines the full store left over, only to count their points.
    void CountRest(ByteStream& stream, LoadProgress& progress, Counters& counters);
    std::string StatusText(const Counters& counters) const;
    // With store false the line is only counted.
    void ProcessFieldLine(std::string_view line, Counters& counters, bool store = true);
    void ReadTableHeader(std::string_view line);
    void ProcessTableRow(std::string_view line, Counters& counters, bool store = true);

    PointStore& store_;
    GraphRecord& graph_;
    GraphViewState& view_;
    LoaderServices services_;
    SampleGenerator sampler_;
    FileInputFields fields_;  // the set-up taken at the start of the load
    std::int32_t recordLimit_ = kRecordLimit;
    float columnKeys_[kMaxColumnKeys] = {};
    int columnKeyCount_ = 0;
    std::string lineBuffer_;
    bool loading_ = false;
    bool delimited_ = false;
    LoadOutcome outcome_;
};

}  // namespace ocuvis
