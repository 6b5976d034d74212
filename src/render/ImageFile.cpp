#include "render/ImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

namespace ocuvis {

namespace {

// The 40 hops the system itself allows before it calls a chain of links a loop.
constexpr int kMostLinks = 40;

// The system's text for an error number; std::strerror may share its buffer between threads.
QString SystemText(int error) {
    return QString::fromStdString(std::generic_category().message(error));
}

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
std::optional<QString> FileToWrite(const QString& path, std::string& target) {
    const std::string name = QFile::encodeName(path).toStdString();
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
                return QString("it leads to %1, not a regular file")
                    .arg(QString::fromLatin1(KindOfFile(end.st_mode)));
            }
            // Missing: made by the write. Any other reason the write will meet and name.
            return std::nullopt;
        }
        if (S_ISREG(info.st_mode)) return std::nullopt;
        if (!S_ISLNK(info.st_mode)) {
            const QString kind = QString::fromLatin1(KindOfFile(info.st_mode));
            if (hop == 0) return QString("it is %1, not a regular file").arg(kind);
            return QString("it leads to \"%1\", %2, not a regular file")
                .arg(QFile::decodeName(target.c_str()), kind);
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

// Writes all the bytes; the system's error number, or 0.
int WriteAll(int fd, const QByteArray& bytes) {
    const char* at = bytes.constData();
    std::size_t left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, at, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        at += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

// A new, empty file beside target, made with the permissions a new file gets; -1 with errno.
int MakeTemporary(const std::string& target, std::string& temporary) {
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target.substr(0, nameStart) + "." + target.substr(nameStart) + "-" +
                    std::to_string(QRandomGenerator::global()->bounded(1u << 30));
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The regular file at target, emptied and written where it is: for a folder that takes no
// temporary file. A failure part-way leaves it incomplete.
std::optional<QString> WriteInPlace(const std::string& target, const QByteArray& bytes) {
    // Not blocking on a pipe, nor following a link, put there since the target was checked.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return SystemText(errno);
    struct stat info {};
    int error = ::fstat(fd, &info) != 0 ? errno : S_ISREG(info.st_mode) ? 0 : EINVAL;
    if (error == 0 && ::ftruncate(fd, 0) != 0) error = errno;
    if (error == 0) error = WriteAll(fd, bytes);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == EINVAL) return QString("it is no longer a regular file");
    return error != 0 ? std::optional(SystemText(error)) : std::nullopt;
}

// Writes the bytes to a temporary file beside target and renames it over target when they are
// all on the disk; a file that was there keeps its permissions and, where allowed, its owner.
std::optional<QString> ReplaceFile(const std::string& target, const QByteArray& bytes) {
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    std::string temporary;
    const int fd = MakeTemporary(target, temporary);
    if (fd < 0) {
        const int error = errno;
        if (exists) return WriteInPlace(target, bytes);
        return SystemText(error);
    }
    if (exists) {
        // Only the super-user may give a file away; anyone else keeps their own.
        [[maybe_unused]] const int owned = ::fchown(fd, existing.st_uid, existing.st_gid);
        ::fchmod(fd, existing.st_mode & 07777);
    }
    int error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error == 0) return std::nullopt;
    ::unlink(temporary.c_str());
    return SystemText(error);
}

}  // namespace

std::optional<ImageFileFormat> ImageFormatOfName(const QString& path) {
    const QString extension = QFileInfo(path).suffix();
    if (extension.compare("bmp", Qt::CaseInsensitive) == 0) return ImageFileFormat::Bmp;
    if (extension.compare("png", Qt::CaseInsensitive) == 0) return ImageFileFormat::Png;
    return std::nullopt;
}

std::optional<QString> EncodeImage(const QImage& image, ImageFileFormat format, QByteArray& bytes) {
    bytes.clear();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format == ImageFileFormat::Png ? "png" : "bmp");
    if (!writer.write(image)) return writer.errorString();
    return std::nullopt;
}

std::optional<QString> WriteImageFile(const QImage& image, const QString& path) {
    // Encoded first, so that a failure to write is the file's, told in the system's words, and
    // not the encoder's "Unknown error".
    QByteArray bytes;
    const ImageFileFormat format = ImageFormatOfName(path).value_or(ImageFileFormat::Bmp);
    if (auto failure = EncodeImage(image, format, bytes)) return failure;
    std::string target;
    if (auto refused = FileToWrite(path, target)) return refused;
    return ReplaceFile(target, bytes);
}

}  // namespace ocuvis
