#include "render/OutputFile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

namespace ocuvis {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

std::string SystemText(int error) {
    // std::strerror may share its buffer between threads.
    return std::generic_category().message(error);
}

// The 40 hops the system itself allows before it calls a chain of links a loop.
constexpr int kMostLinks = 40;

const char* KindOfFile(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "a special file";
}

// The file a write to path ends at: path itself, or the end of its chain of symbolic links
// (which need not exist yet). The reason when that is there and is no regular file.
std::optional<std::string> FileToWrite(const std::string& name, std::string& target) {
    target = name;
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0) {
            // A link that names no path, as /dev/stdout's to a pipe, still leads somewhere.
            struct stat end {};
            if (hop > 0 && ::stat(name.c_str(), &end) == 0) {
                if (S_ISREG(end.st_mode)) {
                    target = name;
                    return std::nullopt;
                }
                return "it leads to " + std::string(KindOfFile(end.st_mode)) +
                       ", not a regular file";
            }
            // Missing: made by the write. Any other reason the write will meet and name.
            return std::nullopt;
        }
        if (S_ISREG(info.st_mode)) return std::nullopt;
        if (!S_ISLNK(info.st_mode)) {
            const std::string kind = KindOfFile(info.st_mode);
            if (hop == 0) return "it is " + kind + ", not a regular file";
            std::string reason = "it leads to \"";
            reason.append(target).append("\", ").append(kind).append(", not a regular file");
            return reason;
        }
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096), '\0');
        const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
        if (length < 0) return SystemText(errno);
        link.resize(static_cast<std::size_t>(length));
        if (!link.starts_with('/')) {
            const std::size_t slash = target.rfind('/');
            if (slash != std::string::npos) link.insert(0, target, 0, slash + 1);
        }
        target = link;
    }
    return SystemText(ELOOP);
}

// A new, empty file beside target, made with the permissions a new file gets; -1 with errno.
int MakeTemporary(const std::string& target, std::string& temporary) {
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned int number = 0;
        if (getrandom(&number, sizeof number, 0) != static_cast<ssize_t>(sizeof number))
            number =
                static_cast<unsigned int>(getpid()) * 7919u + static_cast<unsigned int>(attempt);
        temporary = target.substr(0, nameStart) + "." + target.substr(nameStart) + "-" +
                    std::to_string(number % (1u << 30));
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The regular file at target, opened to be emptied and written where it is; -1 with errno.
int OpenInPlace(const std::string& target) {
    // Not blocking on a pipe, nor following a link, put there since the target was checked.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info {};
    int error = ::fstat(fd, &info) != 0 ? errno : S_ISREG(info.st_mode) ? 0 : EINVAL;
    if (error == 0 && ::ftruncate(fd, 0) != 0) error = errno;
    if (error == 0) return fd;
    ::close(fd);
    errno = error;
    return -1;
}

}  // namespace

OutputFile::~OutputFile() {
    Abandon();
}

std::optional<std::string> OutputFile::Open(const std::string& path) {
    Abandon();
    failure_.reset();
    buffer_.reserve(kBufferSize);
    if (auto refused = FileToWrite(path, target_)) {
        failure_ = std::move(refused);
        return failure_;
    }
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    fd_ = MakeTemporary(target_, temporary_);
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();
        fd_ = exists ? OpenInPlace(target_) : -1;
        if (fd_ < 0) {
            if (errno == EINVAL) {
                failure_ = "it is no longer a regular file";
            } else {
                Fail(exists ? errno : error);
            }
        }
        return failure_;
    }
    if (exists) {
        // Only the super-user may give a file away; anyone else keeps their own.
        [[maybe_unused]] const int owned = ::fchown(fd_, existing.st_uid, existing.st_gid);
        if (::fchmod(fd_, existing.st_mode & 07777) != 0) Fail(errno);
    }
    return failure_;
}

void OutputFile::Write(const void* data, std::size_t size) {
    if (failure_ || fd_ < 0) return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (buffer_.size() + size > kBufferSize) Flush();
    if (size >= kBufferSize) {
        buffer_.assign(bytes, bytes + size);
        Flush();
    } else {
        buffer_.insert(buffer_.end(), bytes, bytes + size);
    }
}

void OutputFile::Flush() {
    std::size_t done = 0;
    while (!failure_ && done < buffer_.size()) {
        const ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            Fail(wrote < 0 ? errno : ENOSPC);
        } else {
            done += static_cast<std::size_t>(wrote);
        }
    }
    buffer_.clear();
}

std::optional<std::string> OutputFile::Commit() {
    if (fd_ < 0 && !failure_) Fail(EBADF);
    if (!failure_) Flush();
    // The rename comes only after the last byte has reached the disk.
    if (!failure_ && !temporary_.empty() && ::fsync(fd_) != 0) Fail(errno);
    if (fd_ >= 0) {
        if (::close(fd_) != 0 && !failure_) Fail(errno);
        fd_ = -1;
    }
    if (!failure_ && !temporary_.empty()) {
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
            Fail(errno);
        } else {
            temporary_.clear();
        }
    }
    CloseAndRemoveTemporary();
    return failure_;
}

void OutputFile::Abandon() {
    buffer_.clear();
    CloseAndRemoveTemporary();
}

void OutputFile::CloseAndRemoveTemporary() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

void OutputFile::Fail(int error) {
    if (!failure_) failure_ = SystemText(error);
}

}  // namespace ocuvis
