#include "input/DataFileLoader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "input/ByteStream.h"
#include "input/DataFileReader.h"
#include "input/NormaliseIntoCube.h"
#include "input/StatusText.h"

namespace ocuvis {

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    // A name that cannot be looked at for another reason than its absence is tried all the
    // same, so that the open reports that reason.
    return ::stat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

// Kinds with a header that declares the body: a file whose body disagrees is not opened at
// all, so it joins the recent files only once it has been read.
bool Declared(DataFileKind kind) {
    return kind == DataFileKind::Ply || kind == DataFileKind::Las || kind == DataFileKind::Laz;
}

// Clears the loading flag however the load ends.
class LoadingFlag {
  public:
    explicit LoadingFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~LoadingFlag() { flag_ = false; }

  private:
    bool& flag_;
};

}  // namespace

DataFileLoader::DataFileLoader(PointStore& store, GraphRecord& graph, GraphViewState& view,
                               LoaderServices services)
    : store_(store), graph_(graph), view_(view), services_(services) {}

std::vector<std::string> DataFileLoader::CandidateNames(const std::string& fileName) {
    const std::size_t firstDot = fileName.find('.');
    if (firstDot == std::string::npos) return {fileName + ".3D", fileName + ".3d", fileName};
    if (firstDot + 1 == fileName.size()) return {fileName + "3D", fileName + "3d", fileName};
    return {fileName};
}

std::string DataFileLoader::FileNameToOpen(const std::string& fileName) {
    const std::vector<std::string> candidates = CandidateNames(fileName);
    for (const std::string& name : candidates) {
        if (Exists(name)) return name;
    }
    return candidates.front();
}

bool DataFileLoader::IsSameDataFile(const std::string& previousName) const {
    const std::string& current = view_.dataFileName;
    if (current == previousName) return true;
    return current.size() > 5 && previousName.size() > 5 &&
           current.compare(0, 6, previousName, 0, 6) == 0;
}

void DataFileLoader::ClearRecords() {
    store_.points.clear();
    store_.sources.clear();
    store_.origin = {};
    store_.dotSizesPresent = 0;
    store_.firstJoinedRecord = 0;
    store_.colourColumn = PointStore::ColourColumn::None;
    std::vector<std::uint32_t>().swap(store_.colours);
}

std::int32_t DataFileLoader::LoadDataFile(const std::string& fileName) {
    LoadingFlag flag(loading_);
    const std::string previousName = services_.recentFiles.lastOpenedFile();
    view_.dataFileName = fileName;
    services_.display.SetCaption(programTitle + "  " + fileName);

    outcome_ = {};
    outcome_.failure = "No file name was given";
    LoadCounts counts;
    if (!fileName.empty()) {
        outcome_.path = FileNameToOpen(fileName);
        std::unique_ptr<LoadProgress> progress = services_.progress.Create(outcome_.path);
        std::unique_ptr<ByteStream> stream = ByteStream::OpenFile(outcome_.path, &outcome_.failure);
        fields_ = services_.fileInput.Fields();
        recordLimit_ = std::clamp(fields_.RecordLimit, 1, kLargestRecordLimit);
        services_.fileInput.PrepareSampling(sampler_);
        if (stream) counts = ReadFile(outcome_.path, *stream, *progress);
    }
    if (!outcome_.opened) {
        // The labels still held belong to the previous file and are already in cube
        // coordinates; normalising them again would move them, so they go.
        store_.labelCount = 0;
    }

    const bool fileRecords = counts.recordsStored >= 2;
    if (!fileRecords) {
        store_.points.assign(DefaultDataPoints.begin(), DefaultDataPoints.end());
        store_.sources.clear();
        store_.origin = {};
        counts.recordsStored = static_cast<std::int32_t>(DefaultDataPoints.size());
        store_.dotSizesPresent = 1;
        store_.firstJoinedRecord = 0;
        store_.colourColumn = PointStore::ColourColumn::None;
        store_.colours.clear();
        store_.defaultDataLoaded = true;
        // The built-in data must not pass for the file's: the status says why it is shown.
        if (outcome_.noPoints) {
            services_.display.SetStatusText(NoPointsStatusText(outcome_.path, outcome_.failure));
        } else if (!outcome_.path.empty() && !outcome_.opened) {
            services_.display.SetStatusText(CannotReadStatusText(outcome_.path, outcome_.failure));
        }
    } else {
        store_.defaultDataLoaded = false;
        services_.display.SetStatusText(StatusText(counts));
    }

    NormaliseIntoCube(store_, counts.recordsStored, graph_, fileRecords ? &extent_ : nullptr);

    if (reopening || IsSameDataFile(previousName)) {
        services_.scaling.RestoreScaleSettings();
    } else {
        services_.scaling.AutoScale(false);
    }
    return counts.recordsStored;
}

LoadCounts DataFileLoader::ReadFile(const std::string& path, ByteStream& stream,
                                    LoadProgress& progress) {
    const DataFileKind kind = DataFileKindOf(path);
    outcome_.opened = true;
    const auto remember = [&] {
        services_.display.SetCaption(programTitle + "  " + path);
        services_.recentFiles.AddRecentFile(path);
    };
    if (!Declared(kind)) remember();
    ClearRecords();
    store_.labelCount = 0;

    RecordSink sink(store_, fields_, sampler_, recordLimit_, progress);
    // The passes are counted before a delimited row or a vertex is stored, after a classic line.
    const bool vertices = kind == DataFileKind::Ply || kind == DataFileKind::Las;
    sink.NumberSources(vertices ? -1 : kind == DataFileKind::Delimited ? 0 : 1, vertices);
    const std::unique_ptr<DataFileReader> reader = MakeDataFileReader(kind, sink);
    std::string failure = reader->Read(stream);
    table3dFile = reader->table3dFile();
    extent_ = sink.extent;
    if (failure.empty() && Declared(kind)) remember();
    if (failure.empty() && !sink.counts.aborted) {
        failure = reader->NoPointsReason();
        outcome_.noPoints = !failure.empty();
    }
    if (failure.empty()) return sink.counts;
    outcome_.opened = false;
    outcome_.failure = std::move(failure);
    ClearRecords();
    return {};
}

std::string DataFileLoader::StatusText(const LoadCounts& counts) const {
    // The last pass of a read to the end finds no line.
    const std::int64_t linesRead = counts.endReached ? counts.passes - 1 : counts.passes;
    const bool limited = counts.pointsFound > counts.pointsPlotted || counts.edgesCut;
    std::string text;
    if (fields_.SubSampleEnabled) {
        text = SampledStatusText(counts.pointsPlotted, linesRead);
        if (limited) text += " (limit)";
    } else if (!limited) {
        text = PlottedStatusText(counts.pointsPlotted);
    } else {
        // An abort while counting leaves the file's total unknown.
        text = LimitedStatusText(counts.pointsPlotted, counts.aborted ? 0 : counts.pointsFound);
    }
    return text + SkippedRowsText(counts.rowsSkipped);
}

}  // namespace ocuvis
