#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ocuvis {

// How a data file is read, chosen once, by its name's extension in any case: ".ply" files are
// PLY, ".csv" and ".xyz" files are delimited text with '#' comments and an optional header row,
// ".las" files are LAS point files and ".laz" their compressed form; every other name (".3d",
// ".txt", none) keeps the classic rules.
enum class DataFileKind { Classic, Delimited, Ply, Las, Laz };

DataFileKind DataFileKindOf(const std::string& path);

// The first record of a data file as the input setup shows it.
struct ExampleRecord {
    std::string text;                // the record's fields, as the example line shows them
    std::vector<std::string> names;  // the fields' names where the file gives them, else empty
    // The fields as the file's reader splits them; empty for the classic layout, whose fields
    // the set-up finds in the text itself.
    std::vector<std::string> fields;
};

// Reads the example record of the file at path; nullopt with failure set when it cannot be read.
std::optional<ExampleRecord> ReadExampleRecord(const std::string& path, std::string& failure,
                                               std::size_t maxLength);

}  // namespace ocuvis
