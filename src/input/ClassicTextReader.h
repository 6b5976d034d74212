#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "input/DataFileReader.h"

namespace ocuvis {

class ByteStream;

// The classic text layouts (.3d, .txt and anything not named otherwise): the field layout, one
// record per line with fields by number, labels and dot sizes of four-field lines, and the
// TABLE3D layout of y values over row and column keys.
class ClassicTextReader final : public DataFileReader {
  public:
    static constexpr std::size_t kLinePieceLength = 4999;
    static constexpr int kMaxFieldsUsed = 20;
    static constexpr int kMaxColumnKeys = 500;
    static constexpr std::int32_t kNumberScanLength = 5000;

    explicit ClassicTextReader(RecordSink& sink) : sink_(sink) {}

    // Reads to the end, to an abort, or to the record limit; the lines the limit leaves are
    // counted without turning their fields into numbers.
    std::string Read(ByteStream& stream) override;
    bool table3dFile() const override { return table3dFile_; }

  private:
    void ProcessFieldLine(std::string_view line);
    void ReadTableHeader(std::string_view line);
    void ProcessTableRow(std::string_view line, bool store);
    void ReadLines(ByteStream& stream);
    void CountRest(ByteStream& stream);
    // Whether a line of the field layout, as read, yields a point; noLabel when it holds no
    // '!'; readable bytes from its start may be read. No sampling draw.
    bool FieldLineIsPoint(std::string_view line, bool noLabel, std::size_t readable) const;

    RecordSink& sink_;
    bool table3dFile_ = false;
    float columnKeys_[kMaxColumnKeys] = {};
    int columnKeyCount_ = 0;
    std::string line_;
};

}  // namespace ocuvis
