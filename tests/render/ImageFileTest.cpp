#include "render/ImageFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QImage>
#include <csignal>
#include <filesystem>
#include <fstream>
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
    for (const auto& [name, magic] : cases) {
        EXPECT_EQ(WriteImageFile(image_, Path(name)), std::nullopt) << name;
        EXPECT_EQ(Bytes(Path(name)).substr(0, magic.size()), magic) << name;
        EXPECT_EQ(QImage(Path(name)).convertToFormat(QImage::Format_RGB32), image_) << name;
    }
}

TEST_F(ImageFileWrite, AFailedWriteLeavesTheFileThatWasThere) {
    const QString target = Path("graph.bmp");
    ASSERT_EQ(WriteImageFile(QImage(8, 8, QImage::Format_RGB32), target), std::nullopt);
    const std::string before = Bytes(target);
    // A file size limit fails the write part-way, as a full disk does.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{4096, limit.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::optional<QString> failure = WriteImageFile(image_, target);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(failure, std::nullopt);
    EXPECT_EQ(Bytes(target), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace ocuvis
