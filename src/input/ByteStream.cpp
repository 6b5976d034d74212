#include "input/ByteStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace ocuvis {

namespace {
constexpr std::size_t kReadChunk = 1 << 16;
}

std::unique_ptr<ByteStream> ByteStream::OpenFile(const std::string& path, std::string* failure) {
    const auto fail = [failure](const std::string& reason) {
        if (failure) *failure = reason;
        return nullptr;
    };
    if (path.empty()) return fail("No file name was given");
    // Without O_NONBLOCK the open of a FIFO waits for a writer, for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(std::generic_category().message(errno));
    struct stat info {};
    std::string reason;
    if (::fstat(fd, &info) != 0) {
        reason = std::generic_category().message(errno);
    } else if (S_ISDIR(info.st_mode)) {
        reason = std::generic_category().message(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        reason = "Not a regular file";
    }
    if (!reason.empty()) {
        ::close(fd);
        return fail(reason);
    }
    // A regular file reads the same either way; blocking reads keep EAGAIN out of the stream.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::unique_ptr<ByteStream> stream(new ByteStream());
    stream->fd_ = fd;
    stream->size_ = static_cast<std::int64_t>(info.st_size);
    stream->buffer_.reserve(kReadChunk);
    return stream;
}

std::unique_ptr<ByteStream> ByteStream::FromMemory(std::string bytes) {
    std::unique_ptr<ByteStream> stream(new ByteStream());
    stream->size_ = static_cast<std::int64_t>(bytes.size());
    stream->buffer_.assign(bytes.begin(), bytes.end());
    return stream;
}

ByteStream::~ByteStream() {
    if (fd_ >= 0) ::close(fd_);
}

bool ByteStream::Refill() {
    if (fd_ < 0) return false;
    bufferStart_ += static_cast<std::int64_t>(buffer_.size());
    buffer_.resize(kReadChunk);
    next_ = 0;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data(), kReadChunk);
        if (got < 0 && errno == EINTR) continue;
        // A read error ends the stream like the end of the file does.
        buffer_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return got > 0;
    }
}

void ByteStream::StepBack() {
    if (next_ > 0) {
        --next_;
        return;
    }
    if (fd_ < 0 || bufferStart_ == 0) return;
    // Only reached when the byte stepped over ended the previous buffer.
    const std::int64_t target = bufferStart_ - 1;
    if (::lseek(fd_, static_cast<off_t>(target), SEEK_SET) < 0) return;
    buffer_.clear();
    bufferStart_ = target;
    Refill();
    bufferStart_ = target;
}

std::size_t ByteStream::Read(char* destination, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        if (next_ == buffer_.size()) {
            if (fd_ >= 0 && count - done >= kReadChunk) {
                bufferStart_ += static_cast<std::int64_t>(buffer_.size());
                buffer_.clear();
                next_ = 0;
                const ssize_t got = ::read(fd_, destination + done, count - done);
                if (got < 0 && errno == EINTR) continue;
                if (got <= 0) break;
                bufferStart_ += got;
                done += static_cast<std::size_t>(got);
                continue;
            }
            if (!Refill()) break;
        }
        const std::size_t part = std::min(buffer_.size() - next_, count - done);
        std::memcpy(destination + done, buffer_.data() + next_, part);
        next_ += part;
        done += part;
    }
    return done;
}

std::int64_t ByteStream::Skip(std::int64_t count) {
    if (count <= 0) return 0;
    const std::int64_t start = Position();
    const std::int64_t buffered = static_cast<std::int64_t>(buffer_.size() - next_);
    if (count <= buffered) {
        next_ += static_cast<std::size_t>(count);
        return count;
    }
    if (fd_ < 0) {
        next_ = buffer_.size();
        return buffered;
    }
    const std::int64_t target = start + std::min(count, std::max<std::int64_t>(size_ - start, 0));
    if (::lseek(fd_, static_cast<off_t>(target), SEEK_SET) < 0) return 0;
    buffer_.clear();
    next_ = 0;
    bufferStart_ = target;
    return target - start;
}

bool ByteStream::ReadLineView(std::string_view& line, std::size_t maxLength) {
    if (next_ < buffer_.size()) {
        const char* start = buffer_.data() + next_;
        const std::size_t wanted = std::min(buffer_.size() - next_, maxLength);
        if (const void* found = std::memchr(start, '\n', wanted)) {
            std::size_t length = static_cast<std::size_t>(static_cast<const char*>(found) - start);
            next_ += length + 1;
            lineCut_ = false;
            if (length > 0 && start[length - 1] == '\r') --length;
            line = std::string_view(start, length);
            return true;
        }
    }
    const bool read = ReadLine(spill_, maxLength);
    line = spill_;
    return read;
}

void ByteStream::SkipLineRest() {
    while (!AtEnd()) {
        const char* start = buffer_.data() + next_;
        const std::size_t available = buffer_.size() - next_;
        if (const void* found = std::memchr(start, '\n', available)) {
            next_ += static_cast<std::size_t>(static_cast<const char*>(found) - start) + 1;
            return;
        }
        next_ = buffer_.size();
    }
}

bool ByteStream::ReadLine(std::string& line, std::size_t maxLength) {
    line.clear();
    lineCut_ = false;
    if (AtEnd()) return false;
    while (line.size() < maxLength) {
        if (next_ == buffer_.size() && !Refill()) return true;
        const char* start = buffer_.data() + next_;
        const std::size_t available = buffer_.size() - next_;
        const std::size_t wanted = std::min(available, maxLength - line.size());
        const void* found = std::memchr(start, '\n', wanted);
        if (found != nullptr) {
            const std::size_t length = static_cast<const char*>(found) - start;
            line.append(start, length);
            next_ += length + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        line.append(start, wanted);
        next_ += wanted;
    }
    // A full piece: a line end that follows at once belongs to it, and so does a carriage
    // return that filled the piece just before a line feed.
    if (AtEnd()) return true;
    if (buffer_[next_] == '\n') {
        ++next_;
        if (!line.empty() && line.back() == '\r') line.pop_back();
    } else if (buffer_[next_] == '\r') {
        ++next_;
        if (!AtEnd() && buffer_[next_] == '\n') {
            ++next_;
        } else {
            StepBack();
            lineCut_ = true;
        }
    } else {
        lineCut_ = true;
    }
    return true;
}

}  // namespace ocuvis
