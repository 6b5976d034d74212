#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ocuvis {

// A readable, seekable byte stream over a file or a block of memory, buffered so that reading a
// line costs a scan of the buffer rather than a call per byte.
class ByteStream {
  public:
    // Opens a regular file (or a link to one) for reading; nothing when it is missing,
    // unreadable or anything else, with the reason in failure. Never blocks: a FIFO or a device
    // is refused instead of waited on.
    static std::unique_ptr<ByteStream> OpenFile(const std::string& path,
                                                std::string* failure = nullptr);
    static std::unique_ptr<ByteStream> FromMemory(std::string bytes);

    ~ByteStream();
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;

    bool AtEnd() { return next_ == buffer_.size() && !Refill(); }
    // The next byte, 0..255; only valid when not AtEnd().
    unsigned char ReadByte() { return static_cast<unsigned char>(buffer_[next_++]); }
    // Steps back over the byte just read.
    void StepBack();
    std::int64_t Position() const { return bufferStart_ + static_cast<std::int64_t>(next_); }
    std::int64_t Size() const { return size_; }

    // Reads one text line into line (the line end excluded): the bytes up to a line feed, with a
    // carriage return before it dropped. A line longer than maxLength comes back in pieces of
    // maxLength bytes; a line end right after a full piece belongs to that piece. False at the
    // end of the stream.
    bool ReadLine(std::string& line, std::size_t maxLength);
    // The same line as ReadLine, as a view into the buffer where it lies there whole, so that
    // lines that are only counted are not copied. Valid until the next read.
    bool ReadLineView(std::string_view& line, std::size_t maxLength);
    // The bytes read ahead and not yet consumed, for scans that walk many lines at once; empty
    // only at the end of the stream.
    std::string_view Buffered() {
        if (next_ == buffer_.size()) Refill();
        return std::string_view(buffer_.data() + next_, buffer_.size() - next_);
    }
    void Consume(std::size_t count) { next_ += count; }

    // True when the last ReadLine returned a full piece whose line goes on.
    bool LineCut() const { return lineCut_; }
    // Skips the rest of the line the last read ended in, line end included.
    void SkipLineRest();

    // Block reads for binary bodies: large requests go straight from the file into destination.
    // Both return the bytes read or skipped, less than count only at the end of the stream.
    std::size_t Read(char* destination, std::size_t count);
    std::int64_t Skip(std::int64_t count);

  private:
    ByteStream() = default;
    bool Refill();

    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t next_ = 0;          // index of the next byte in buffer_
    std::int64_t bufferStart_ = 0;  // file offset of buffer_[0]
    std::int64_t size_ = 0;
    std::string spill_;
    bool lineCut_ = false;  // a viewed line that crosses the buffer's end
};

}  // namespace ocuvis
