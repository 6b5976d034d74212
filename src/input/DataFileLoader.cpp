#include "input/DataFileLoader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "core/AsciiText.h"
#include "input/ByteStream.h"
#include "input/DelimitedText.h"
#include "input/NormaliseIntoCube.h"
#include "input/OrlenStrings.h"
#include "input/PlyReader.h"
#include "input/StatusText.h"

namespace ocuvis {

namespace {

// Upper-cases the line in place and returns it without the characters of code 32 or less at
// either end.
std::string_view UpperTrimmed(std::string& line) {
    for (char& c : line)
        c = AsciiUpper(c);
    return TrimmedBlanks(line);
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

// A value beyond the float range, or none at all, is the missing value, as in text files.
float PlotValue(double value) {
    float result = 0.0f;
    if (!std::isfinite(value) || !NarrowToFloat(value, result)) return MissingValue;
    return result;
}

// The first line of a delimited file may be a header of any length; it is read whole.
constexpr std::size_t kHeaderLineLength = 1 << 20;

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
            const DataFileKind kind = DataFileKindOf(completed);
            outcome_.opened = true;
            // A PLY file that does not hold what its header declares is not opened at all, so
            // it joins the recent files only once it has been read.
            if (kind != DataFileKind::Ply) {
                services_.display.SetCaption(programTitle + "  " + completed);
                services_.recentFiles.AddRecentFile(completed);
            }
            store_.dotSizesPresent = 0;
            store_.labelCount = 0;
            store_.points.clear();
            if (std::string failure = ReadFile(kind, *stream, *progress, counters);
                !failure.empty()) {
                outcome_.opened = false;
                outcome_.failure = std::move(failure);
                store_.points.clear();
                store_.dotSizesPresent = 0;
                counters = {};
            } else if (kind == DataFileKind::Ply) {
                services_.display.SetCaption(programTitle + "  " + completed);
                services_.recentFiles.AddRecentFile(completed);
            }
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

std::string DataFileLoader::ReadFile(DataFileKind kind, ByteStream& stream, LoadProgress& progress,
                                     Counters& counters) {
    delimited_ = kind == DataFileKind::Delimited;
    if (kind == DataFileKind::Classic) {
        ReadClassic(stream, progress, counters);
        return {};
    }
    table3dFile = false;
    if (kind == DataFileKind::Delimited) {
        ReadDelimited(stream, progress, counters);
        return {};
    }
    return ReadPly(stream, progress, counters);
}

void DataFileLoader::ReadClassic(ByteStream& stream, LoadProgress& progress, Counters& counters) {
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
        if (delimited_ && IsHashComment(lineBuffer_)) continue;
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
    const bool limited = counters.pointsFound > counters.pointsPlotted || counters.edgesCut;
    if (fields_.SubSampleEnabled) {
        const std::string text = SampledStatusText(counters.pointsPlotted, linesRead);
        return limited ? text + " (limit)" : text;
    }
    if (!limited) return PlottedStatusText(counters.pointsPlotted);
    // An abort while counting leaves the file's total unknown.
    return LimitedStatusText(counters.pointsPlotted, counters.aborted ? 0 : counters.pointsFound);
}

void DataFileLoader::ReadDelimited(ByteStream& stream, LoadProgress& progress, Counters& counters) {
    bool lookForHeader = true;
    std::string firstLine;
    for (;;) {
        std::string& line = lookForHeader ? firstLine : lineBuffer_;
        const bool lineRead =
            stream.ReadLine(line, lookForHeader ? kHeaderLineLength : kLinePieceLength);
        progress.UpdateFileProgress(stream.Position());
        if (progress.aborted()) {
            counters.aborted = true;
            return;
        }
        ++counters.passes;
        if (!lineRead) {
            counters.endReached = true;
            return;
        }
        if (IsHashComment(line)) continue;
        if (!lookForHeader) {
            ProcessFieldLine(UpperTrimmed(lineBuffer_), counters);
            if (counters.recordsStored >= recordLimit_) break;
            continue;
        }
        const std::string_view trimmed = TrimmedBlanks(line);
        // Blank lines and the field layout's own comments come before a header as well.
        if (!trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '!') {
            lookForHeader = false;
            if (DelimitedHeaderNames(trimmed)) continue;
        }
        if (!ProcessFieldText(line, counters)) break;
    }
    CountRest(stream, progress, counters);
}

bool DataFileLoader::ProcessFieldText(std::string_view text, Counters& counters) {
    // The pieces a line longer than a piece would have been read in.
    do {
        lineBuffer_.assign(text.substr(0, kLinePieceLength));
        text.remove_prefix(std::min(text.size(), kLinePieceLength));
        ProcessFieldLine(UpperTrimmed(lineBuffer_), counters);
        if (counters.recordsStored >= recordLimit_) return false;
    } while (!text.empty());
    return true;
}

std::string DataFileLoader::ReadPly(ByteStream& stream, LoadProgress& progress,
                                    Counters& counters) {
    std::string failure;
    const std::optional<PlyHeader> header = ReadPlyHeader(stream, failure);
    if (!header) return failure;
    const PlyElement& vertices = header->elements[static_cast<std::size_t>(header->vertexElement)];
    const int propertyCount = static_cast<int>(vertices.properties.size());
    const auto byNumber = [propertyCount](std::int32_t number) {
        return number >= 1 && number <= propertyCount ? number - 1 : -1;
    };
    // Columns x, y, z, dot size.
    std::vector<int> selection = {byNumber(fields_.XIndex), byNumber(fields_.YIndex),
                                  byNumber(fields_.ZIndex), byNumber(fields_.DotIndex)};
    if (fields_.XIndex == 1 && fields_.YIndex == 2 && fields_.ZIndex == 3) {
        const char* names[] = {"x", "y", "z"};
        for (int axis = 0; axis < 3; ++axis) {
            selection[axis] = FindPlyProperty(vertices, names[axis]);
            if (selection[axis] < 0)
                return std::string("the vertex element has no property named '") + names[axis] +
                       "'";
        }
    }
    store_.dotSizesPresent = selection[3] >= 0 ? 1 : 0;
    // The vertices are reserved ahead, as growing by doubling would hold two copies at once.
    // The count is held to the limit and to what the body can hold: a value takes at least a
    // byte, in ASCII a character and a separator.
    const int valueBytes = header->format == PlyFormat::Ascii ? 2 : 1;
    const std::int64_t bodyFits =
        (stream.Size() - stream.Position()) / (valueBytes * propertyCount);
    const std::int64_t reserved = std::min({vertices.count, bodyFits, std::int64_t{recordLimit_}});
    store_.points.reserve(static_cast<std::size_t>(reserved));

    // Takes the vertices as the field layout takes its lines, and keeps the edges for the end.
    class Sink final : public PlyBodySink {
      public:
        Sink(DataFileLoader& loader, LoadProgress& progress, Counters& counters, bool mapped)
            : loader_(loader), progress_(progress), counters_(counters), mapped_(mapped) {}

        bool Vertex(const double* values) override {
            const std::int64_t index = next_++;
            if (!full_) ++counters_.passes;
            if (loader_.fields_.SubSampleEnabled &&
                !loader_.sampler_.DrawKeeps(loader_.fields_.SamplePercent))
                return true;
            ++counters_.pointsFound;
            if (full_) return true;
            if (mapped_) storedAt.resize(static_cast<std::size_t>(index), -1);
            if (mapped_) storedAt.push_back(counters_.recordsStored);
            loader_.store_.points.push_back({PlotValue(values[0]), PlotValue(values[1]),
                                             PlotValue(values[2]), PlotValue(values[3])});
            ++counters_.recordsStored;
            ++counters_.pointsPlotted;
            full_ = counters_.recordsStored >= loader_.recordLimit_;
            return true;
        }
        void Edge(std::int64_t from, std::int64_t to) override { edges.emplace_back(from, to); }
        bool Continue(std::int64_t position) override {
            progress_.UpdateFileProgress(position);
            counters_.aborted = progress_.aborted();
            return !counters_.aborted;
        }
        // The record of a vertex of the file; -1 when it was not stored.
        std::int64_t StoredAt(std::int64_t index) const {
            if (!mapped_) return index < counters_.pointsPlotted ? index : -1;
            return index < static_cast<std::int64_t>(storedAt.size())
                       ? storedAt[static_cast<std::size_t>(index)]
                       : -1;
        }

        std::vector<std::pair<std::int64_t, std::int64_t>> edges;
        std::vector<std::int32_t> storedAt;  // by vertex number, when sampling leaves gaps

      private:
        DataFileLoader& loader_;
        LoadProgress& progress_;
        Counters& counters_;
        bool mapped_;
        bool full_ = false;
        std::int64_t next_ = 0;
    };

    Sink sink(*this, progress, counters, fields_.SubSampleEnabled && header->edgeElement >= 0);
    failure = ReadPlyBody(stream, *header, selection, sink);
    if (!failure.empty() || counters.aborted) return failure;

    // Each edge is a break and its two ends; an edge that goes on from where the last one
    // ended adds its far end only.
    std::int64_t lastEnd = -1;
    for (const auto& [from, to] : sink.edges) {
        const std::int64_t a = sink.StoredAt(from);
        const std::int64_t b = sink.StoredAt(to);
        if (a < 0 || b < 0) {
            // Sampling drops the edges of the vertices it leaves out; without it, the limit did.
            if (!fields_.SubSampleEnabled) counters.edgesCut = true;
            continue;
        }
        const bool goesOn = a == lastEnd;
        const std::int32_t needed = goesOn ? 1 : 3;
        if (counters.recordsStored + needed > recordLimit_) {
            counters.edgesCut = true;
            break;
        }
        if (!goesOn) {
            const DataPoint start = store_.points[static_cast<std::size_t>(a)];
            store_.points.push_back(DataPoint::Break());
            store_.points.push_back(start);
        }
        const DataPoint end = store_.points[static_cast<std::size_t>(b)];
        store_.points.push_back(end);
        counters.recordsStored += needed;
        lastEnd = b;
    }
    return {};
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
    // only the slot for the closing break is left, so a row never stores more than the limit
    // and one more record.
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
