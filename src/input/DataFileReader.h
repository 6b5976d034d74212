#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/FileInputFields.h"
#include "input/DataFileKind.h"
#include "input/RecordSink.h"

namespace ocuvis {

class ByteStream;

// One kind of data file, read into a record sink.
class DataFileReader {
  public:
    virtual ~DataFileReader() = default;
    // Reads the stream to its end, to an abort, or as far as the limit needs it; empty when the
    // file holds what it declares, else the reason it cannot be read.
    virtual std::string Read(ByteStream& stream) = 0;
    // Why a file that was read gave no point at all, for kinds that say so; else empty.
    virtual std::string NoPointsReason() const { return {}; }
    // True for a classic file whose first line makes it a TABLE3D table.
    virtual bool table3dFile() const { return false; }
};

std::unique_ptr<DataFileReader> MakeDataFileReader(DataFileKind kind, RecordSink& sink);

// The field numbers (from 1) of x, y and z for a file whose fields carry these names (none for
// a file that does not name them). With the axes taken by name, a file that names its fields
// gives the fields named x, y and z in any case, or fields 1, 2 and 3 when it has no such
// three; every other file, and every file when the axes are not taken by name, gives the set-up's
// numbers.
std::array<std::int32_t, 3> AxisFieldNumbers(const FileInputFields& fields,
                                             const std::vector<std::string>& names);

}  // namespace ocuvis
