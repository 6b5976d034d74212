#include "render/ImageFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QColorSpace>
#include <QFileInfo>
#include <QImage>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "TestSupport.h"

namespace ocuvis {
namespace {

namespace fs = std::filesystem;

// Any letter case is in the write test below.
TEST(ImageFormatOfName, TheLastExtensionOfTheFileNameDecides) {
    const std::pair<const char*, std::optional<ImageFileFormat>> cases[] = {
        {"graph.png.bmp", ImageFileFormat::Bmp},
        {"graph.jpg", std::nullopt},
        {"graph", std::nullopt},
        {"shots.png/graph", std::nullopt}};
    for (const auto& [name, format] : cases)
        EXPECT_EQ(ImageFormatOfName(name), format) << name;
}

// The extension as Qt's file information gives it, which the viewer's dialogs show.
TEST(FileExtension, AsQtFindsTheSuffix) {
    for (const char* path :
         {"a.png", "a.PnG", ".png", "..png", "...png", ".a.png", "a.", "a..b", "dir.d/.png",
          "/x/.hidden.PNG", "", ".", "..", "a/b.c/d", "a/.b.", "x/..c.tar.Gz", "trailing/"})
        EXPECT_EQ(FileExtension(path),
                  QFileInfo(QString::fromUtf8(path)).suffix().toLower().toStdString())
            << path;
}

class ImageFileWrite : public testing::Test {
  protected:
    ImageFileWrite() {
        image_.fill(Qt::black);
        for (int y = 0; y < image_.height(); ++y)
            image_.setPixel(y % image_.width(), y, 0xFF20C040);
    }
    QString Path(const char* name) const { return QString::fromStdString(dir_.Path(name)); }
    static std::string Bytes(const QString& path) {
        std::ifstream file(path.toStdString(), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    test::TempFolder dir_;
    QImage image_{300, 200, QImage::Format_RGB32};
};

TEST_F(ImageFileWrite, TheNameChoosesTheFormatAndThePixelsReadBack) {
    const std::pair<const char*, std::string> cases[] = {
        {"a.bMp", "BM"}, {"b.PNG", "\x89PNG"}, {"c.jpg", "BM"}};
    image_.setDotsPerMeterX(3780);
    image_.setDotsPerMeterY(3780);
    for (const auto& [name, magic] : cases) {
        EXPECT_EQ(WriteImageFile(image_, Path(name)), std::nullopt) << name;
        EXPECT_EQ(Bytes(Path(name)).substr(0, magic.size()), magic) << name;
        const QImage back(Path(name));
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image_) << name;
        EXPECT_EQ(back.dotsPerMeterX(), 3780) << name;
    }
    // Images other than opaque frames keep what they hold: alpha, and a colour space.
    QImage alpha = image_.convertToFormat(QImage::Format_ARGB32);
    alpha.setPixel(1, 2, 0x80402010);
    QImage described = image_;
    described.setColorSpace(QColorSpace::AdobeRgb);
    for (const QImage& image : {alpha, described}) {
        ASSERT_EQ(WriteImageFile(image, Path("d.png")), std::nullopt);
        const QImage back(Path("d.png"));
        EXPECT_EQ(back.convertToFormat(image.format()), image);
        EXPECT_EQ(back.colorSpace(), image.colorSpace());
    }
}

// A file size limit fails the write part-way, as a full disk does: the system's words name the
// cause, and the file that was there stays.
TEST_F(ImageFileWrite, AFailedWriteNamesTheCauseAndLeavesTheFileThatWasThere) {
    const QString target = Path("graph.bmp");
    ASSERT_EQ(WriteImageFile(QImage(8, 8, QImage::Format_RGB32), target), std::nullopt);
    const std::string before = Bytes(target);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{4096, limit.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::optional<QString> failure = WriteImageFile(image_, target);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(failure, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(Bytes(target), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);
}

// What lies at the name decides: a link is followed and its file replaced, the link kept; what
// is no regular file, at the name or at the end of its links, is refused and left as it was.
TEST_F(ImageFileWrite, LinksAreFollowedAndOnlyRegularFilesReplaced) {
    ASSERT_EQ(::mkfifo(dir_.Path("pipe").c_str(), 0600), 0);
    // A device of our own, the system's full disk: a fault here must not replace a real one.
    // Only the super-user may make it; others test the rest.
    const bool device = ::mknod(dir_.Path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
    fs::create_directory(dir_.Path("folder"));
    dir_.Write("old.png", "old");
    const std::pair<const char*, const char*> links[] = {
        {"to-pipe.png", "pipe"},       {"to-full.png", "full"},
        {"to-folder.png", "folder"},   {"to-old.png", "old.png"},
        {"to-link.png", "to-old.png"}, {"to-new.png", "sub/../new.png"},
        {"loop-a.png", "loop-b.png"},  {"loop-b.png", "loop-a.png"}};
    fs::create_directory(dir_.Path("sub"));
    for (const auto& [name, target] : links)
        fs::create_symlink(target, dir_.Path(name));
    // As /dev/stdout leads to the pipe of a shell: a link through one that names no path.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    fs::create_symlink("/proc/self/fd/" + std::to_string(pipeEnds[1]), dir_.Path("to-stdout.png"));

    const std::pair<const char*, QString> refused[] = {
        {"pipe", "it is a named pipe, not a regular file"},
        {"to-pipe.png", "it leads to \"" + Path("pipe") + "\", a named pipe, not a regular file"},
        {device ? "to-full.png" : "to-pipe.png",
         device ? "it leads to \"" + Path("full") + "\", a character device, not a regular file"
                : "it leads to \"" + Path("pipe") + "\", a named pipe, not a regular file"},
        {"folder", "it is a folder, not a regular file"},
        {"to-folder.png", "it leads to \"" + Path("folder") + "\", a folder, not a regular file"},
        {"loop-a.png", QString::fromLocal8Bit(std::strerror(ELOOP))},
        {"to-stdout.png", "it leads to a named pipe, not a regular file"}};
    for (const auto& [name, reason] : refused)
        EXPECT_EQ(WriteImageFile(image_, Path(name)), reason) << name;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    EXPECT_TRUE(fs::is_fifo(dir_.Path("pipe")));
    EXPECT_EQ(fs::is_character_file(dir_.Path("full")), device);
    EXPECT_TRUE(fs::is_empty(dir_.Path("folder")));

    for (const char* name : {"to-link.png", "to-new.png"}) {
        EXPECT_EQ(WriteImageFile(image_, Path(name)), std::nullopt) << name;
        EXPECT_TRUE(fs::is_symlink(dir_.Path(name))) << name;
        EXPECT_EQ(QImage(Path(name)).convertToFormat(QImage::Format_RGB32), image_) << name;
    }
    EXPECT_TRUE(fs::is_symlink(dir_.Path("to-old.png")));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir_.Path("old.png"))));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir_.Path("new.png"))));
}

// Runs the write as a user other than the super-user, whom no folder's permissions stop.
bool WrittenAsAUser(const std::function<bool()>& write) {
    if (::geteuid() != 0) return write();
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(60);
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped && write() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// No temporary file can be made beside an image in a folder the user may not write to: the
// image, which the user may write, is written directly.
TEST_F(ImageFileWrite, AWritableImageInAFolderThatIsNotIsOverwritten) {
    const std::string folder = dir_.Path("shared");
    fs::create_directory(folder);
    fs::permissions(dir_.path(), fs::perms(0755));  // for the other user to reach it
    const QString target = QString::fromStdString(folder + "/graph.png");
    ASSERT_EQ(WriteImageFile(QImage(8, 8, QImage::Format_RGB32), target), std::nullopt);
    fs::permissions(target.toStdString(), fs::perms(0666));
    fs::permissions(folder, fs::perms(0555));
    EXPECT_TRUE(WrittenAsAUser([&] { return !WriteImageFile(image_, target); }));
    // And one that is not there cannot be made.
    EXPECT_TRUE(WrittenAsAUser([&] {
        return WriteImageFile(image_, QString::fromStdString(folder + "/new.png")) ==
               QString::fromLocal8Bit(std::strerror(EACCES));
    }));
    fs::permissions(folder, fs::perms(0755));
    EXPECT_EQ(QImage(target).convertToFormat(QImage::Format_RGB32), image_);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace ocuvis
