#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "app/window/WindowDialogs.h"

class QMainWindow;
class QPrinter;

namespace ocuvis {

// The ways the graph leaves the program: the frame saved as a picture file or put on the
// clipboard, the window's client area printed, and the printer set-up. Every failure is shown
// with its text and nothing else changes.
class GraphOutput {
  public:
    // Window pixels per inch: the window is drawn at this density, and a print keeps its size.
    static constexpr int kWindowDpi = 96;

    explicit GraphOutput(WindowDialogs& dialogs);
    ~GraphOutput();

    void SaveItemClick(QWidget* parent, const QImage& frame);
    void CopyToClipboardClick(const QImage& frame);
    void PrintItemClick(QMainWindow& window);
    void PrintSetupItemClick(QWidget* parent);

    // The printer of every print, made when first needed; the set-up changes it.
    QPrinter& printer();

    // Writes the frame in the format its name asks for, BMP by default; the failure's text,
    // naming the file, when it cannot.
    static std::optional<QString> WriteGraphFile(const QImage& frame, const QString& path);
    // The main window below its menu bar: tool bar, graph, scroll bars, labels and status.
    static QPixmap ClientAreaPicture(QMainWindow& window);
    // Where a picture of window pixels lands on a printer of that resolution: from the corner
    // of the printable area, at the picture's size on screen, or, where that does not fit,
    // as large as the printable area allows with the picture's proportions.
    static QRect PrintTargetRect(QSize picture, int printerDpiX, int printerDpiY, QSize printable);

  private:
    void ShowFailure(const QString& text);
    // A picture wider than tall goes across the page, unless the user chose otherwise.
    void ProposeOrientation(QPrinter& target, QSize picture) const;
    // The set-up dialog; an orientation changed there is the user's from then on.
    bool SetUpPrinter(QPrinter& target, QWidget* parent);

    WindowDialogs& dialogs_;
    std::unique_ptr<QPrinter> printer_;
    bool orientationChosen_ = false;
};

}  // namespace ocuvis
