#include "input/DataFileLoader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "core/AsciiText.h"
#include "input/ByteStream.h"
#include "input/NormaliseIntoCube.h"
#include "input/OrlenStrings.h"
#include "input/StatusText.h"

namespace ocuvis {

namespace {

// Upper-cases the line in place and returns it without the characters of code 32 or less at
// either end.
std::string_view UpperTrimmed(std::string& line) {
    for (char& c : line)
        c = AsciiUpper(c);
    std::string_view view(line);
    while (!view.empty() && IsBlankOrControl(view.front()))
        view.remove_prefix(1);
    while (!view.empty() && IsBlankOrControl(view.back()))
        view.remove_suffix(1);
    return view;
}

bool ReadTableNumber(std::string_view& text, float& value) {
    const OrlenStrings scanner;
    double number = 0.0;
    if (!scanner.NextNumber(text, number, DataFileLoader::kNumberScanLength)) return false;
    // A number beyond the float range cannot be plotted: it counts as no number.
    return NarrowToFloat(number, value);
}

bool Exists(const std::string& path) {
    struct stat info {};
    // A name that cannot be looked at for another reason than its absence is tried all the
    // same, so that the open reports that reason.
    return ::stat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
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
    : store_(store), graph_(graph), view_(view), services_(services) {
    lineBuffer_.reserve(kLinePieceLength + 1);
}

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

std::int32_t DataFileLoader::LoadDataFile(const std::string& fileName) {
    LoadingFlag flag(loading_);
    const std::string previousName = services_.recentFiles.lastOpenedFile();
    view_.dataFileName = fileName;
    services_.display.SetCaption(programTitle + "  " + fileName);

    outcome_ = {};
    outcome_.failure = "No file name was given";
    Counters counters;
    if (!fileName.empty()) {
        outcome_.path = FileNameToOpen(fileName);
        const std::string& completed = outcome_.path;
        std::unique_ptr<LoadProgress> progress = services_.progress.Create(completed);
        std::unique_ptr<ByteStream> stream = ByteStream::OpenFile(completed, &outcome_.failure);
        fields_ = services_.fileInput.Fields();
        recordLimit_ = std::clamp(fields_.RecordLimit, 1, kLargestRecordLimit);
        services_.fileInput.PrepareSampling(sampler_);
        if (stream) {
            outcome_.opened = true;
            services_.display.SetCaption(programTitle + "  " + completed);
            services_.recentFiles.AddRecentFile(completed);
            store_.dotSizesPresent = 0;
            store_.labelCount = 0;
            store_.points.clear();
            ReadFile(*stream, *progress, counters);
        }
    }
    if (!outcome_.opened) {
        // The labels still held belong to the previous file and are already in cube
        // coordinates; normalising them again would move them, so they go.
        store_.labelCount = 0;
    }

    if (counters.recordsStored < 2) {
        store_.points.assign(DefaultDataPoints.begin(), DefaultDataPoints.end());
        counters.recordsStored = static_cast<std::int32_t>(DefaultDataPoints.size());
        store_.dotSizesPresent = 1;
        store_.defaultDataLoaded = true;
        // The built-in data must not pass for the file's: the status says why it is shown.
        if (!outcome_.path.empty() && !outcome_.opened)
            services_.display.SetStatusText(CannotReadStatusText(outcome_.path, outcome_.failure));
    } else {
        store_.defaultDataLoaded = false;
        services_.display.SetStatusText(StatusText(counters));
    }

    NormaliseIntoCube(store_, counters.recordsStored, graph_);

    if (reopening || IsSameDataFile(previousName)) {
        services_.scaling.RestoreScaleSettings();
    } else {
        services_.scaling.AutoScale(false);
    }
    return counters.recordsStored;
}

void DataFileLoader::ReadFile(ByteStream& stream, LoadProgress& progress, Counters& counters) {
    for (;;) {
        const bool lineRead = stream.ReadLine(lineBuffer_, kLinePieceLength);
        progress.UpdateFileProgress(stream.Position());
        if (progress.aborted()) {
            counters.aborted = true;
            return;
        }
        const std::string_view line = UpperTrimmed(lineBuffer_);
        if (counters.passes == 0) {
            table3dFile = line.find("TABLE3D") != std::string_view::npos;
            if (table3dFile) ReadTableHeader(line);
        }
        if (lineRead) {
            if (!table3dFile) {
                ProcessFieldLine(line, counters);
            } else if (counters.passes > 0) {
                ProcessTableRow(line, counters);
            }
        }
        ++counters.passes;
        if (!lineRead) {
            counters.endReached = true;
            return;
        }
        if (counters.recordsStored >= recordLimit_) break;
    }
    CountRest(stream, progress, counters);
}

void DataFileLoader::CountRest(ByteStream& stream, LoadProgress& progress, Counters& counters) {
    while (stream.ReadLine(lineBuffer_, kLinePieceLength)) {
        progress.UpdateFileProgress(stream.Position());
        if (progress.aborted()) {
            counters.aborted = true;
            return;
        }
        const std::string_view line = UpperTrimmed(lineBuffer_);
        if (table3dFile) {
            ProcessTableRow(line, counters, false);
        } else {
            ProcessFieldLine(line, counters, false);
        }
    }
}

std::string DataFileLoader::StatusText(const Counters& counters) const {
    // The last pass of a read to the end finds no line.
    const std::int64_t linesRead = counters.endReached ? counters.passes - 1 : counters.passes;
    const bool limited = counters.pointsFound > counters.pointsPlotted;
    if (fields_.SubSampleEnabled) {
        const std::string text = SampledStatusText(counters.pointsPlotted, linesRead);
        return limited ? text + " (limit)" : text;
    }
    if (!limited) return PlottedStatusText(counters.pointsPlotted);
    // An abort while counting leaves the file's total unknown.
    return LimitedStatusText(counters.pointsPlotted, counters.aborted ? 0 : counters.pointsFound);
}

void DataFileLoader::ProcessFieldLine(std::string_view line, Counters& counters, bool store) {
    if (fields_.SubSampleEnabled) {
        // Drawn for every line, comments and blanks included, so a fixed seed always picks the
        // same lines of the same file.
        if (!sampler_.DrawKeeps(fields_.SamplePercent)) return;
    }
    if (!line.empty() && (line.front() == ';' || line.front() == '!')) return;

    const OrlenStrings scanner;
    float values[kMaxFieldsUsed + 1] = {};
    int k = 0;
    bool labelLine = false;
    while (k < kMaxFieldsUsed && !line.empty()) {
        const std::string_view rest = line;
        const std::string_view field = scanner.NextField(line, FieldDelimiters);
        if (field.empty()) break;
        if (k == 3 && store_.labelCount < kLabelCapacity && field.front() == '!') {
            labelLine = true;
            if (!store) continue;
            XYZTEXT& label = store_.labels[store_.labelCount++];
            label.x = values[1];
            label.y = values[2];
            label.z = values[3];
            label.text.assign(rest.substr(1));
            continue;
        }
        values[k + 1] = scanner.FieldToFloat(field, MissingValue);
        ++k;
    }
    if (labelLine) return;
    if (k >= 2) ++counters.pointsFound;
    if (!store) return;

    DataPoint record;
    auto take = [&](std::int32_t n) { return n > 0 && n <= k ? values[n] : 0.0f; };
    record.x = take(fields_.XIndex);
    record.y = take(fields_.YIndex);
    record.z = take(fields_.ZIndex);
    record.size = take(fields_.DotIndex);
    if (k < 2) {
        record = DataPoint::Break();
    } else if (k == 2) {
        record.z = 0.0f;
    }
    if (k == 4) store_.dotSizesPresent = 1;
    store_.points.push_back(record);
    ++counters.recordsStored;
    if (k >= 2) ++counters.pointsPlotted;
}

void DataFileLoader::ReadTableHeader(std::string_view line) {
    const std::size_t keyword = line.find("TABLE3D");
    // The character right after the keyword is a separator and is always dropped.
    line.remove_prefix(std::min(line.size(), keyword + 7 + 1));
    columnKeyCount_ = 0;
    float key = 0.0f;
    while (columnKeyCount_ < kMaxColumnKeys && ReadTableNumber(line, key)) {
        columnKeys_[columnKeyCount_++] = key;
    }
}

void DataFileLoader::ProcessTableRow(std::string_view line, Counters& counters, bool store) {
    float rowKey = 0.0f;
    if (!ReadTableNumber(line, rowKey)) return;
    // A row can hold up to 501 records while the limit is tested per line: points stop where
    // only the slot for the closing break is left, so a row never stores past the limit's slots
    // (the limit and one more, as the classic store had).
    const std::int32_t lastPointSlot = recordLimit_ - 1;
    for (int j = 0; j < columnKeyCount_; ++j) {
        float value = 0.0f;
        if (!ReadTableNumber(line, value)) continue;
        ++counters.pointsFound;
        if (!store || counters.recordsStored > lastPointSlot) continue;
        store_.points.push_back({rowKey, value, columnKeys_[j], 0.0f});
        ++counters.recordsStored;
        ++counters.pointsPlotted;
    }
    if (!store) return;
    store_.points.push_back(DataPoint::Break());
    ++counters.recordsStored;
}

}  // namespace ocuvis
