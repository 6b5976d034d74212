#include "render/animation/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <system_error>

namespace ocuvis {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

// The system's text for an error number; std::strerror may share its buffer between threads.
QString SystemText(int error) {
    return QString::fromStdString(std::generic_category().message(error));
}

// The file a link points at, so that the rename replaces it and not the link.
std::string ResolvedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// A new file beside the target, created with the mode a plain new file would get (the umask
// applies), or the old file's mode when it replaces one. Its descriptor, or -1 with errno set.
int CreateTemporary(const std::string& target, const struct stat* existing, std::string& name) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<int> letter(0, sizeof(kLetters) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".";
        for (int i = 0; i < 6; ++i)
            name += kLetters[letter(random)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd >= 0 && existing && ::fchmod(fd, existing->st_mode & 07777) != 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(name.c_str());
            errno = error;
            return -1;
        }
        return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

OutputFile::~OutputFile() {
    Abandon();
}

std::optional<QString> OutputFile::Open(const QString& path) {
    Abandon();
    failure_.reset();
    target_ = ResolvedTarget(QFile::encodeName(path).toStdString());
    struct stat info {};
    const bool exists = ::stat(target_.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        Fail(EISDIR);
    } else if (exists && !S_ISREG(info.st_mode)) {
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) Fail(errno);
    } else {
        fd_ = CreateTemporary(target_, exists ? &info : nullptr, temporary_);
        if (fd_ < 0) {
            temporary_.clear();
            Fail(errno);
        }
    }
    buffer_.reserve(kBufferSize);
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

std::optional<QString> OutputFile::Commit() {
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
