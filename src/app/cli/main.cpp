// ocuvis-render: renders a data file to an image without a window. A single PNG frame that
// needs no painter is drawn here, without loading Qt; everything else is handed to
// ocuvis-render-full, which draws every frame.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/BuildInfo.h"
#include "app/cli/ProcessExit.h"
#include "app/cli/RenderCommand.h"

namespace {

using namespace ocuvis;
using namespace ocuvis::cli;

// The folder this program was started from, with its final slash.
std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    const std::string self(path, static_cast<std::size_t>(length));
    return self.substr(0, self.rfind('/') + 1);
}

// Runs ocuvis-render-full in this process's place, with the same arguments: beside this
// program in a build tree, in the helpers' folder once installed. Returns only when it cannot.
int HandOver(char** argv) {
    const std::string folder = ProgramFolder();
    const std::string installed =
        folder + std::string(kHelpersFolderFromPrograms) + "/ocuvis-render-full";
    for (const std::string& full : {folder + "ocuvis-render-full", installed})
        if (access(full.c_str(), X_OK) == 0) {
            execv(full.c_str(), argv);
            break;
        }
    std::cerr << "ocuvis-render: cannot start '" << installed
              << "': " << std::generic_category().message(errno) << '\n';
    return kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const std::optional<RenderOptions> options = ParseRenderArguments(arguments, error);
    if (const auto status = AnswerWithoutFrames(options, error, std::cout, std::cerr))
        return Leave(*status);
    if (const auto status = RunPlainRender(*options, std::cout, std::cerr)) return Leave(*status);
    return Leave(HandOver(argv));
}
