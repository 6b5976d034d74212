#include "app/StartupFile.h"

#include <system_error>

#include "app/BuildInfo.h"

namespace ocuvis {

namespace {
constexpr const char* kSampleName = "Ocuvis.3d";
}

std::string ChooseStartupFile(const std::string& argumentText, const std::string& lastOpened,
                              const std::filesystem::path& installedData) {
    if (!argumentText.empty()) return argumentText;
    if (!lastOpened.empty()) return lastOpened;
    std::error_code error;
    if (std::filesystem::exists(kSampleName, error) || installedData.empty()) return kSampleName;
    const std::filesystem::path installed = installedData / kSampleName;
    return std::filesystem::exists(installed, error) ? installed.string() : kSampleName;
}

std::filesystem::path InstalledDataFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return (program.parent_path() / kDataFolderFromPrograms).lexically_normal();
}

}  // namespace ocuvis
