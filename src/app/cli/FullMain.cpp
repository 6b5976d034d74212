// ocuvis-render-full: what ocuvis-render hands over to, which draws every frame through Qt Gui.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/ProcessExit.h"
#include "app/cli/RenderCommand.h"
#include "render/FrameFonts.h"

namespace {

using namespace ocuvis;
using namespace ocuvis::cli;

QtMessageHandler qtHandler = nullptr;

// The tool never uses a runtime directory; Qt's notes about a missing or odd one (no
// XDG_RUNTIME_DIR, say) are not its output. Every other message goes through.
void DropRuntimeDirectoryNotes(QtMsgType type, const QMessageLogContext& context,
                               const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: "))) return;
    if (qtHandler) qtHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    qtHandler = qInstallMessageHandler(DropRuntimeDirectoryNotes);
    // Never needs a display, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FrameFonts::AllowSkippingSystemFonts();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const std::optional<RenderOptions> options = ParseRenderArguments(arguments, error);
    // Help, the version and a usage error need no Qt application.
    if (!options || options->help || options->version)
        return Leave(RenderMain(arguments, std::cout, std::cerr));
    // Qt would take options such as -reverse out of the arguments; it gets none of them.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    return Leave(RunRender(*options, std::cout, std::cerr));
}
