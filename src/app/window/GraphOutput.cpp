#include "app/window/GraphOutput.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

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

namespace {

int ClientAreaTop(const QMainWindow& window) {
    const QWidget* menu = window.menuWidget();
    return menu != nullptr && menu->isVisibleTo(&window) ? menu->geometry().bottom() + 1 : 0;
}

}  // namespace

QPixmap GraphOutput::ClientAreaPicture(QMainWindow& window) {
    const int top = ClientAreaTop(window);
    return window.grab(QRect(0, top, window.width(), window.height() - top));
}

QRect GraphOutput::PrintTargetRect(QSize picture, int printerDpiX, int printerDpiY,
                                   QSize printable) {
    const double width = static_cast<double>(picture.width()) * printerDpiX / kWindowDpi;
    const double height = static_cast<double>(picture.height()) * printerDpiY / kWindowDpi;
    double scale = 1.0;
    if (width > printable.width() || height > printable.height())
        scale = std::min(printable.width() / width, printable.height() / height);
    return {0, 0, static_cast<int>(width * scale), static_cast<int>(height * scale)};
}

void GraphOutput::ProposeOrientation(QPrinter& target, QSize picture) const {
    if (orientationChosen_) return;
    target.setPageOrientation(picture.width() > picture.height() ? QPageLayout::Landscape
                                                                 : QPageLayout::Portrait);
}

bool GraphOutput::SetUpPrinter(QPrinter& target, QWidget* parent) {
    const QPageLayout::Orientation proposed = target.pageLayout().orientation();
    if (!dialogs_.SetUpPrinter(target, parent)) return false;
    if (target.pageLayout().orientation() != proposed) orientationChosen_ = true;
    return true;
}

void GraphOutput::PrintItemClick(QMainWindow& window) {
    const QPixmap picture = ClientAreaPicture(window);
    const QSize onScreen = picture.deviceIndependentSize().toSize();
    QPrinter& target = printer();
    ProposeOrientation(target, onScreen);
    // A machine without a printer still prints: the set-up offers printing to a PDF file.
    if (PrintTargetName(target).isEmpty() && !SetUpPrinter(target, &window)) return;
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
    // A PDF would otherwise hold a JPEG, which blurs the one-pixel lines.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawPixmap(PrintTargetRect(onScreen, target.logicalDpiX(), target.logicalDpiY(),
                                       {target.width(), target.height()}),
                       picture);
    if (!painter.end() || target.printerState() == QPrinter::Error)
        ShowFailure(QString("The graph could not be printed on \"%1\".").arg(name));
}

void GraphOutput::PrintSetupItemClick(QWidget* parent) {
    QPrinter& target = printer();
    if (const auto* window = qobject_cast<QMainWindow*>(parent))
        ProposeOrientation(target, {window->width(), window->height() - ClientAreaTop(*window)});
    SetUpPrinter(target, parent);
}

}  // namespace ocuvis
