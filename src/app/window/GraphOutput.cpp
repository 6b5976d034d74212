#include "app/window/GraphOutput.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>

#include "render/ImageFile.h"

namespace ocuvis {

GraphOutput::GraphOutput(WindowDialogs& dialogs) : dialogs_(dialogs) {}

GraphOutput::~GraphOutput() = default;

QPrinter& GraphOutput::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Also the name the print dialog proposes for a PDF file.
        printer_->setDocName("Ocuvis");
    }
    return *printer_;
}

namespace {

// The printer or PDF file a print goes to; empty when there is none.
QString PrintTargetName(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                         : printer.printerName();
}

}  // namespace

void GraphOutput::ShowFailure(const QString& text) {
    dialogs_.ShowMessage(text.toStdString(), "Ocuvis Error Message", MessageIcon::Stop);
}

std::optional<QString> GraphOutput::WriteGraphFile(const QImage& frame, const QString& path) {
    if (frame.isNull()) return QString("There is no graph picture to save.");
    if (const auto failure = WriteImageFile(frame, path))
        return QString("Cannot save the graph to \"%1\": %2.").arg(path, *failure);
    return std::nullopt;
}

void GraphOutput::SaveItemClick(QWidget* parent, const QImage& frame) {
    const std::string chosen = dialogs_.ChooseGraphSavePath(parent);
    if (chosen.empty()) return;
    if (const auto failure = WriteGraphFile(frame, QString::fromLocal8Bit(chosen.c_str())))
        ShowFailure(*failure);
}

void GraphOutput::CopyToClipboardClick(const QImage& frame) {
    if (frame.isNull()) {
        ShowFailure("There is no graph picture to copy.");
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        ShowFailure("The clipboard cannot be opened.");
        return;
    }
    clipboard->setImage(frame);
    // The platform takes the picture or refuses it without a word; ask it back to know.
    const QMimeData* held = clipboard->mimeData();
    if (held == nullptr || !held->hasImage())
        ShowFailure("The graph could not be put on the clipboard.");
}

QPixmap GraphOutput::ClientAreaPicture(QMainWindow& window) {
    int top = 0;
    if (const QWidget* menu = window.menuWidget(); menu != nullptr && menu->isVisibleTo(&window))
        top = menu->geometry().bottom() + 1;
    return window.grab(QRect(0, top, window.width(), window.height() - top));
}

QRect GraphOutput::PrintTargetRect(QSize picture, int printerDpiX, int printerDpiY) {
    const auto scaled = [](int pixels, int dpi) {
        return static_cast<int>(static_cast<long long>(pixels) * dpi / kWindowDpi);
    };
    return {0, 0, scaled(picture.width(), printerDpiX), scaled(picture.height(), printerDpiY)};
}

void GraphOutput::PrintItemClick(QMainWindow& window) {
    const QPixmap picture = ClientAreaPicture(window);
    QPrinter& target = printer();
    // A machine without a printer still prints: the set-up offers printing to a PDF file.
    if (PrintTargetName(target).isEmpty() && !dialogs_.SetUpPrinter(target, &window)) return;
    const QString name = PrintTargetName(target);
    if (name.isEmpty()) {
        ShowFailure("The graph cannot be printed: there is no printer to print on.");
        return;
    }
    QPainter painter;
    if (!painter.begin(&target)) {
        ShowFailure(QString("The graph cannot be printed: the print job on \"%1\" could not be "
                            "started.")
                        .arg(name));
        return;
    }
    const QSize onScreen = picture.deviceIndependentSize().toSize();
    painter.drawPixmap(PrintTargetRect(onScreen, target.logicalDpiX(), target.logicalDpiY()),
                       picture);
    if (!painter.end() || target.printerState() == QPrinter::Error)
        ShowFailure(QString("The graph could not be printed on \"%1\".").arg(name));
}

void GraphOutput::PrintSetupItemClick(QWidget* parent) {
    dialogs_.SetUpPrinter(printer(), parent);
}

}  // namespace ocuvis
