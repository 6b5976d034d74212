#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "input/DataFileReader.h"

namespace ocuvis {

// PLY files: the vertices become dots, the edge element alone gives connecting lines.
class PlyReader final : public DataFileReader {
  public:
    explicit PlyReader(RecordSink& sink) : sink_(sink) {}
    std::string Read(ByteStream& stream) override;

  private:
    RecordSink& sink_;
};

}  // namespace ocuvis
