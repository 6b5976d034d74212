#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "TGraphWindow.h"

namespace {

// Without any display Qt aborts with a terse message; say what is missing instead.
bool DisplayAvailable() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// The start-up file is the whole argument text: the arguments joined by single blanks, so a path
// with blanks needs no quotes.
std::string ArgumentText(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (!DisplayAvailable()) {
        std::fprintf(stderr,
                     "ocuvis: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Start it from a desktop session, or use QT_QPA_PLATFORM=offscreen.\n");
        return 1;
    }
    QApplication app(argc, argv);  // takes its own options out of argv
    const std::string argumentText = ArgumentText(argc, argv);
    ocuvis::NameApplication();
    try {
        ocuvis::TGraphWindow window(argumentText);
        window.show();
        return app.exec();
    } catch (const std::exception& error) {
        // Nothing is meant to escape the message loop; if something does, say what it was.
        QMessageBox::critical(nullptr, QStringLiteral("Ocuvis Error Message"),
                              QString::fromLocal8Bit(error.what()));
        return 1;
    }
}
