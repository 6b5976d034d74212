#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/DataFileReader.h"
#include "input/DelimitedText.h"

namespace ocuvis {

// Delimited text (.csv, .xyz): '#' comments, an optional header row of names, rows of fields
// split by ',', ';', tabs or blanks, quoted fields, empty fields in their place. A row whose x,
// y or z is empty or no number is skipped and counted; dot sizes come only from a chosen field.
class DelimitedTextReader final : public DataFileReader {
  public:
    // Rows are read whole up to this length; the rest of a longer row is passed over.
    static constexpr std::size_t kRowLength = 1 << 20;
    static constexpr std::size_t kMaxFieldsUsed = 20;

    explicit DelimitedTextReader(RecordSink& sink) : sink_(sink) {}

    std::string Read(ByteStream& stream) override;
    std::string NoPointsReason() const override;

  private:
    void TakeHeader(std::string_view line);
    void ProcessRow(std::string_view line);
    bool Labels(std::string_view line);
    // The value of field number n (from 1) of the row, when it is a number; converted only when
    // the row is stored.
    bool FieldValue(std::int32_t n, double& value, bool convert) const;

    RecordSink& sink_;
    DelimitedRow row_;
    std::array<std::int32_t, 3> axes_{};
    std::array<std::int32_t, 3> rgb_{};  // the colour fields, zeros for none
    std::string line_;
    std::int64_t sampledOut_ = 0;  // rows the sampling left out, read or not
};

}  // namespace ocuvis
