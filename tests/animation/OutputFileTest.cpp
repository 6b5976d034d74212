#include "render/OutputFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestSupport.h"

namespace ocuvis {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public testing::Test {
  protected:
    std::string Path(const char* name) const { return dir_.Path(name); }
    static std::string Bytes(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
    // The folder's entries: a temporary file left behind shows here.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::optional<std::string> WriteAll(const std::string& path, const std::string& bytes) {
        OutputFile file;
        if (auto failure = file.Open(path)) return failure;
        file.Write(bytes.data(), bytes.size());
        return file.Commit();
    }

    test::TempFolder dir_;
};

TEST_F(OutputFileTest, ReplacesTheTargetWholeInSmallAndLargeWrites) {
    const std::string target = dir_.Write("anim.gif", "old");
    // Larger than the buffer in one write, and many small ones that fill it.
    const std::string large(200000, 'x');
    OutputFile file;
    ASSERT_EQ(file.Open(Path("anim.gif")), std::nullopt);
    file.Write(large.data(), large.size());
    std::string expected = large;
    for (int i = 0; i < 30000; ++i) {
        const std::string piece = std::to_string(i);
        file.Write(piece.data(), piece.size());
        expected += piece;
    }
    EXPECT_EQ(Bytes(target), "old");
    EXPECT_EQ(file.Commit(), std::nullopt);
    EXPECT_EQ(Bytes(target), expected);
    EXPECT_EQ(Entries(), std::vector<std::string>{"anim.gif"});
}

// What cannot be written is refused at Open, with the system's reason or what lies there, and
// the refusal stays to the end; the rules for links and special files, and that a link stays a
// link to the file replaced, are the picture files' (ImageFileTest).
TEST_F(OutputFileTest, APlaceThatCannotBeWrittenGivesTheReason) {
    ::mkdir(dir_.Path("folder").c_str(), 0755);
    const std::pair<const char*, std::string> cases[] = {
        {"missing/anim.gif", std::strerror(ENOENT)},
        {"folder/", "it is a folder, not a regular file"}};
    for (const auto& [name, reason] : cases) {
        OutputFile file;
        EXPECT_EQ(file.Open(Path(name)), reason) << name;
        file.Write("x", 1);
        EXPECT_EQ(file.Commit(), reason) << name;
    }
    EXPECT_EQ(Entries(), std::vector<std::string>{"folder"});
    EXPECT_TRUE(fs::is_empty(dir_.Path("folder")));
}

// A write that fails part-way, as on a full disk, is ImageFileTest's: picture files are written
// through this file.
TEST_F(OutputFileTest, AnAbandonedWriteLeavesTheFileThatWasThere) {
    const std::string target = dir_.Write("anim.gif", "old");
    {
        OutputFile abandoned;
        ASSERT_EQ(abandoned.Open(Path("anim.gif")), std::nullopt);
        abandoned.Write("new", 3);
    }
    EXPECT_EQ(Bytes(target), "old");
    EXPECT_EQ(Entries(), std::vector<std::string>{"anim.gif"});
}

TEST_F(OutputFileTest, ANewFileGetsThePlainModeAndAReplacedOneKeepsItsOwn) {
    const mode_t oldMask = ::umask(022);
    const std::optional<std::string> created = WriteAll(Path("new.gif"), "new");
    ::umask(oldMask);
    ASSERT_EQ(created, std::nullopt);
    struct stat info {};
    ASSERT_EQ(::stat(dir_.Path("new.gif").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);

    const std::string kept = dir_.Write("kept.gif", "old");
    ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
    ASSERT_EQ(WriteAll(Path("kept.gif"), "new"), std::nullopt);
    ASSERT_EQ(::stat(kept.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace ocuvis
