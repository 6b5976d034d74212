#pragma once

#include <filesystem>
#include <string>

namespace ocuvis {

// The file to open at start-up: the argument text taken whole, else the last file of the
// previous run, else "Ocuvis.3d" in the current folder, else the sample in `installedData`.
// When none of them exists the plain name is returned, so the loader reports it.
std::string ChooseStartupFile(const std::string& argumentText, const std::string& lastOpened,
                              const std::filesystem::path& installedData);

// Where the installed sample lies, found from this program's own path; empty when unknown.
std::filesystem::path InstalledDataFolder();

}  // namespace ocuvis
