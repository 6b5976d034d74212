#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ocuvis {

// A file that is either written whole or not at all. A regular file (or a new one) is written
// to a temporary file beside it that replaces it only on Commit, so a failed or abandoned
// write leaves what was there; a symbolic link keeps pointing at the file it names. A target
// that is no regular file (a pipe, a device) is written directly, as it cannot be replaced.
// Failures are the system's own text and stick: later writes are dropped.
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::optional<QString> Open(const QString& path);
    void Write(const void* data, std::size_t size);
    // Puts the file in place. The failure's text (the first one met), or nothing.
    std::optional<QString> Commit();
    // Drops what was written; the target stays as it was.
    void Abandon();

    const std::optional<QString>& failure() const { return failure_; }

  private:
    void Fail(int error);
    void Flush();
    void CloseAndRemoveTemporary();

    int fd_ = -1;
    std::string target_;
    std::string temporary_;  // empty when the target is written directly
    std::vector<unsigned char> buffer_;
    std::optional<QString> failure_;
};

}  // namespace ocuvis
