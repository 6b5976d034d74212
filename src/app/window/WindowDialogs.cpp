#include "app/window/WindowDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include "input/dialogs/TFileFormat.h"

namespace ocuvis {

void QtWindowDialogs::MessageBeep(BeepKind) {
    QApplication::beep();
}

void QtWindowDialogs::ShowMessage(const std::string& text, const std::string& title,
                                  MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information
                    : icon == MessageIcon::Warning   ? QMessageBox::Warning
                                                     : QMessageBox::Critical,
                    QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

std::optional<Colour> QtWindowDialogs::ChooseColour(QWidget* parent) {
    const QColor chosen = QColorDialog::getColor(lastColour_, parent);
    if (!chosen.isValid()) return std::nullopt;
    lastColour_ = chosen;
    return ColourFromRgb(chosen.red(), chosen.green(), chosen.blue());
}

std::string QtWindowDialogs::ChooseDataFile(QWidget* parent) {
    QFileDialog dialog(parent, "Open *.3d Data File");
    // Every kind the loader reads is shown at first; each kind on its own and every file are
    // the other choices.
    dialog.setNameFilters({"All data files (*.3d *.txt *.ply *.csv *.xyz *.las)",
                           "Ocuvis files (*.3d)", "Text files (must have data) (*.txt)",
                           "PLY files (*.ply)", "CSV files (*.csv)", "XYZ files (*.xyz)",
                           "LAS files (*.las)", "All files (*)"});
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

std::string QtWindowDialogs::ChooseSetupDataFile(QWidget* parent) {
    return ocuvis::ChooseSetupDataFile(parent);
}

std::string QtWindowDialogs::ChooseGraphSavePath(QWidget* parent) {
    QFileDialog dialog(parent, "Save Graph");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({"Bitmap files (*.bmp)", "PNG images (*.png)", "All Files (*)"});
    dialog.setDefaultSuffix("bmp");
    // A name typed without an extension takes the chosen filter's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) {
                         dialog.setDefaultSuffix(filter.startsWith("PNG") ? "png" : "bmp");
                     });
    dialog.selectFile("Ocuvis.bmp");
    dialog.setSizeGripEnabled(true);
    // Asking before an existing file is overwritten is the dialog's default.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

bool QtWindowDialogs::SetUpPrinter(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle("Printer Setup");
    // One page of one picture: no ranges, copies or selection; paper, orientation and printing
    // to a PDF file, which is the only choice on a machine without a printer.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

int QtWindowDialogs::RunModal(QDialog& dialog) {
    return dialog.exec();
}

}  // namespace ocuvis
