#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ocuvis {

// A file that is either written whole or not at all, under the one set of rules every file the
// program writes follows (pictures and animations alike):
// - a symbolic link is followed to the file it ends at, which is written in its place (the
//   link stays); a folder, a named pipe, a device or a socket there is refused with the reason,
//   so a picture never replaces what is not a picture file;
// - the bytes go to a temporary file beside the target that replaces it only on Commit, once
//   on the disk, so a failed or abandoned write leaves what was there; a replaced file keeps
//   its permissions and, where allowed, its owner;
// - where no temporary file can be made (a folder the user may not write to), a target that is
//   there and writable is written directly (and is incomplete after a failure part-way).
// Failures are the system's own text unless refused, and stick: later writes are dropped.
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The path in the file system's encoding.
    std::optional<std::string> Open(const std::string& path);
    void Write(const void* data, std::size_t size);
    // Puts the file in place. The failure's text (the first one met), or nothing.
    std::optional<std::string> Commit();
    // Drops what was written; a replaced target stays as it was.
    void Abandon();

    const std::optional<std::string>& failure() const { return failure_; }

  private:
    void Fail(int error);
    void Flush();
    void CloseAndRemoveTemporary();

    int fd_ = -1;
    std::string target_;
    std::string temporary_;  // empty when the target is written directly
    std::vector<unsigned char> buffer_;
    std::optional<std::string> failure_;
};

}  // namespace ocuvis
