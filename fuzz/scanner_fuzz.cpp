// Feeds arbitrary bytes through every scanning operation and checks what each promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "input/ByteStream.h"
#include "input/OrlenStrings.h"

using namespace ocuvis;

namespace {
void Check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const OrlenStrings scanner;

    std::string_view fields = bytes;
    while (!fields.empty()) {
        const std::size_t before = fields.size();
        const std::string_view field = scanner.NextField(fields, FieldDelimiters);
        Check(field.find_first_of(FieldDelimiters) == std::string_view::npos);
        Check(fields.size() < before);
        scanner.FieldToFloat(field, -1.0f);
        scanner.FieldToDouble(field, -1.0);
    }

    for (const std::int32_t maxLength : {5000, 7, 1}) {
        std::string_view numbers = bytes;
        for (int guard = 0; guard <= static_cast<int>(size) + 1; ++guard) {
            double value = 0.0;
            const std::size_t before = numbers.size();
            const bool found = scanner.NextNumber(numbers, value, maxLength);
            if (found) Check(value == value);  // never NaN
            if (numbers.size() == before) break;
        }
    }

    auto stream = ByteStream::FromMemory(bytes);
    std::int64_t lastPosition = 0;
    while (!stream->AtEnd()) {
        const std::string line = scanner.ReadStreamLine(stream.get(), 64);
        Check(line.size() <= 64);
        Check(stream->Position() > lastPosition);
        lastPosition = stream->Position();
    }

    auto lines = ByteStream::FromMemory(bytes);
    std::string line;
    std::size_t total = 0;
    while (lines->ReadLine(line, 100)) {
        Check(line.size() <= 100);
        total += line.size();
    }
    Check(total <= size);
    return 0;
}
