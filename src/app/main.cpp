#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/BuildInfo.h"
#include "app/window/TGraphWindow.h"

namespace {

constexpr const char* kUsage = R"(Usage: ocuvis [FILE]
Shows the 3-D points of a data file (.3d, .txt, .csv, .xyz, .ply or .las) in stereo. The whole
argument text is the file's path, blanks included, so it needs no quotes. Without it the viewer
opens the file shown at the end of the last run, else Ocuvis.3d in the current folder, else the
installed sample.

  -h, --help               show this text
  --version                show the version

Views: Cross Eyes and Wall Eyes are side-by-side pairs for cross-eyed and parallel free viewing
(or a stereo viewer); Right Red is for red/blue glasses with the red filter over the right eye,
Right Blue for the red filter over the left eye, as most red/cyan glasses have it.
Shapes: x and y are each scaled to the window; with the default ranges shapes are true when the
graph is 2.125 times as wide as high for the pairs and 1.0625 times for the other views, and the
1:1 button keeps the window close to that. X runs to the right, Y up and Z toward the viewer: a
scan whose Z is up shows upright with fields 1, 3, 2 as X, Y, Z in File > Input Setup and the Z
axis inverted (Ctrl+Z). The keys are listed in man ocuvis.

Exit status: 0 when the window was closed or after --help or --version, 1 when no display was
found or the program failed.
)";

// Help and version need no display. Only a sole argument counts as one: any other argument
// text is a path.
std::optional<int> AnswerInformationOption(int argc, char** argv) {
    if (argc != 2) return std::nullopt;
    const std::string_view option = argv[1];
    if (option == "--help" || option == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (option == "--version") {
        std::printf("ocuvis %.*s\n", static_cast<int>(ocuvis::kProjectVersion.size()),
                    ocuvis::kProjectVersion.data());
        return 0;
    }
    return std::nullopt;
}

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The installed theme's icon where there is one, else the same pictures built into the program.
QIcon ProgramIcon() {
    const QString name = FromView(ocuvis::kApplicationId);
    QIcon builtIn;
    for (const char* size : {"48", "256"})
        builtIn.addFile(QStringLiteral(":/icons/%1-%2.png").arg(name, QLatin1String(size)));
    return QIcon::fromTheme(name, builtIn);
}

// Qt reports a platform it cannot start, an unreachable display above all, as a fatal message
// from inside QApplication's constructor and then aborts. While the application is being made,
// the handler keeps Qt's own lines back and, on that fatal message, says in plain words what is
// missing and ends the program with status 1. The lines kept back are passed on if the start
// succeeds.
class DisplayCheck {
  public:
    DisplayCheck() { previous_ = qInstallMessageHandler(&DisplayCheck::Handle); }
    ~DisplayCheck() {
        qInstallMessageHandler(previous_);
        for (const Held& line : held_) {
            if (previous_ != nullptr)
                previous_(line.type, QMessageLogContext(), line.text);
            else
                std::fprintf(stderr, "%s\n", line.text.toLocal8Bit().constData());
        }
    }
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

  private:
    struct Held {
        QtMsgType type;
        QString text;
    };
    static void Handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtFatalMsg) {
            held_.push_back({type, text});
            return;
        }
        std::string named;
        // NOLINTNEXTLINE(concurrency-mt-unsafe): read once, on the way out; nothing sets it.
        if (const char* display = std::getenv("DISPLAY"); display != nullptr && *display != '\0')
            named = std::string(" (DISPLAY is \"") + display + "\")";
        std::fprintf(stderr,
                     "ocuvis: no display could be opened%s.\n"
                     "The viewer shows its window on a desktop. To draw a data file into a "
                     "picture without a screen, use ocuvis-render.\n",
                     named.c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    static inline std::vector<Held> held_;
    QtMessageHandler previous_ = nullptr;
};

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
    if (const std::optional<int> status = AnswerInformationOption(argc, argv)) return *status;
    // Made before the application: Qt opens the display inside QApplication's constructor.
    auto displayCheck = std::make_unique<DisplayCheck>();
    QApplication app(argc, argv);  // takes its own options out of argv
    displayCheck.reset();
    const std::string argumentText = ArgumentText(argc, argv);
    ocuvis::NameApplication();
    QApplication::setApplicationVersion(FromView(ocuvis::kProjectVersion));
    // Lets the desktop match the window to its entry (and its icon) on Wayland.
    QGuiApplication::setDesktopFileName(FromView(ocuvis::kApplicationId));
    QApplication::setWindowIcon(ProgramIcon());
    try {
        ocuvis::TGraphWindow window(argumentText);
        // The window draws its own small picture; the program's icon takes its place.
        window.setWindowIcon(QApplication::windowIcon());
        window.show();
        return app.exec();
    } catch (const std::exception& error) {
        // Nothing is meant to escape the message loop; if something does, say what it was.
        QMessageBox::critical(nullptr, QStringLiteral("Ocuvis Error Message"),
                              QString::fromLocal8Bit(error.what()));
        return 1;
    }
}
