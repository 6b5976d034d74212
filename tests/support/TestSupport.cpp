#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace ocuvis::test {

TempFolder::TempFolder() {
    std::filesystem::path base = std::filesystem::temp_directory_path();
    if (base.string().find('.') != std::string::npos) base = "/tmp";
    std::string pattern = (base / "ocuvis-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& name, const std::string& content) const {
    const std::string file = Path(name);
    std::ofstream out(file, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    EXPECT_TRUE(out.good()) << file;
    return file;
}

}  // namespace ocuvis::test
