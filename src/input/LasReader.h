#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "input/DataFileReader.h"

namespace ocuvis {

class ByteStream;

// What a LAS reader needs of the public header block.
struct LasHeader {
    int versionMinor = 0;
    int pointFormat = 0;  // 0..10
    std::int64_t pointOffset = 0;
    std::int64_t recordLength = 0;
    std::int64_t pointCount = 0;
    std::array<double, 3> scale{};
    std::array<double, 3> offset{};
};

// Reads and checks the header at the start of the stream and leaves the stream at the first
// point record. Nothing, with the reason in failure, when the file is no LAS file this reader
// takes or its header and body disagree.
std::optional<LasHeader> ReadLasHeader(ByteStream& stream, std::string& failure);

// The fields of a point format, by the names the input set-up lists: X, Y, Z, intensity,
// return_number, classification, then gps_time, red, green, blue and nir where the format
// has them.
std::vector<std::string> LasFieldNames(int pointFormat);

// One point record's fields, in the order of LasFieldNames; X, Y and Z scaled, in double.
std::vector<double> LasFieldValues(const LasHeader& header, const char* record);

// ASPRS LAS 1.0 to 1.4, uncompressed, point formats 0 to 10.
class LasReader final : public DataFileReader {
  public:
    explicit LasReader(RecordSink& sink) : sink_(sink) {}
    std::string Read(ByteStream& stream) override;

  private:
    RecordSink& sink_;
};

// Compressed LAZ files are refused by their name alone.
class LazRefusal final : public DataFileReader {
  public:
    std::string Read(ByteStream&) override;
};

extern const char* const kLazRefusal;

}  // namespace ocuvis
