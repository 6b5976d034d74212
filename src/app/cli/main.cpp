// ocuvis-render: renders a data file to an image without a window.
#include <QGuiApplication>
#include <iostream>
#include <string>
#include <vector>

#include "RenderCommand.h"

int main(int argc, char** argv) {
    // Never needs a display, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // Qt would take options such as -reverse out of the arguments; it gets none of them.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    return ocuvis::cli::RenderMain(arguments, std::cout, std::cerr);
}
