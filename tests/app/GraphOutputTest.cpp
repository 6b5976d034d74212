// Save, copy and print of the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrinter>
#include <QRegularExpression>
#include <QTimer>
#include <cmath>
#include <filesystem>

#include "WindowTestSupport.h"
#include "app/window/GraphOutput.h"

namespace ocuvis::test {
namespace {

QImage Pixels(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// The size in points at which a one-page PDF draws its picture: the scales of the page's
// transforms up to the picture, multiplied.
QSizeF PictureSizeInPoints(const QByteArray& pdf) {
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at + 1)) {
        const qsizetype begin = at + 7;
        const qsizetype end = pdf.indexOf("endstream", begin);
        if (end < 0) break;
        // A zlib stream, with the length prefix qUncompress wants.
        const QByteArray content =
            qUncompress(QByteArray::fromHex("00100000") + pdf.mid(begin, end - begin));
        if (!content.contains(" Do")) continue;
        QSizeF scale(1.0, 1.0);
        static const QRegularExpression transform(R"(([-\d.]+) 0 0 ([-\d.]+) [-\d.]+ [-\d.]+ cm)");
        auto match =
            transform.globalMatch(QString::fromLatin1(content.left(content.indexOf(" Do"))));
        while (match.hasNext()) {
            const QRegularExpressionMatch m = match.next();
            scale = {scale.width() * m.captured(1).toDouble(),
                     scale.height() * m.captured(2).toDouble()};
        }
        return {std::abs(scale.width()), std::abs(scale.height())};
    }
    return {};
}

using Output = WindowTest;

// Saving and copying are output only: no new frame. A failed save names the file; a cancelled
// one says nothing.
TEST_F(Output, SavedAndCopiedPicturesAreTheFrameAtTheWindowsSize) {
    Show();
    m().viewItems[2]->trigger();  // the red and blue overlay, as shown
    w().resize(640, 420);
    QApplication::processEvents();
    const QImage frame = w().frameBitmap();
    EXPECT_EQ(frame.size(), w().GraphBoxWidget->size());
    const int rendersBefore = w().framesRendered();
    d().savePaths = {dir_.Path("graph.bmp"), dir_.Path("graph.png"),
                     dir_.Path("no-such-folder/graph.bmp"), ""};
    m().SaveItem->trigger();
    m().SaveGraph->trigger();
    for (const char* name : {"graph.bmp", "graph.png"})
        EXPECT_EQ(Pixels(QImage(QString::fromStdString(dir_.Path(name)))), Pixels(frame)) << name;
    for (QAction* copy : {m().CopyGraphItem, m().CopyToClipboard}) {
        QGuiApplication::clipboard()->clear();
        copy->trigger();
        EXPECT_EQ(Pixels(QGuiApplication::clipboard()->image()), Pixels(frame));
    }
    EXPECT_EQ(w().framesRendered(), rendersBefore);
    EXPECT_TRUE(d().messages.empty());

    m().SaveItem->trigger();
    m().SaveItem->trigger();  // cancelled
    ASSERT_EQ(d().messages.size(), 1u);
    EXPECT_EQ(d().messages[0].title, "Ocuvis Error Message");
    EXPECT_EQ(d().messages[0].icon, MessageIcon::Stop);
    EXPECT_NE(d().messages[0].text.find(dir_.Path("no-such-folder/graph.bmp")), std::string::npos)
        << d().messages[0].text;
}

TEST_F(Output, TheSaveDialogOffersBitmapsThenPngAndTheFilterNamesTheExtension) {
    Show();
    QtWindowDialogs dialogs;
    QStringList filters;
    QString proposed;
    // Answers the real dialog by keys: the filter moved down by steps, then a name without an
    // extension.
    const auto answer = [&](int steps) {
        QTimer::singleShot(0, [&, steps] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* types = dialog ? dialog->findChild<QComboBox*>("fileTypeCombo") : nullptr;
            auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            if (types == nullptr || name == nullptr) {
                ADD_FAILURE() << "no file name or type in the save dialog";
                if (dialog != nullptr) dialog->reject();
                return;
            }
            filters = dialog->nameFilters();
            proposed = name->text();
            for (int i = 0; i < steps; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            // Set rather than typed: typing a path opens the completer's list.
            name->setText(QString::fromStdString(dir_.Path("graph")));
            QTest::keyClick(name, Qt::Key_Return);
        });
    };
    answer(0);
    EXPECT_EQ(dialogs.ChooseGraphSavePath(&w()), dir_.Path("graph.bmp"));
    EXPECT_EQ(proposed, "Ocuvis.bmp");
    EXPECT_EQ(filters.mid(0, 2), QStringList({"Bitmap files (*.bmp)", "PNG images (*.png)"}));
    answer(1);
    EXPECT_EQ(dialogs.ChooseGraphSavePath(&w()), dir_.Path("graph.png"));
}

TEST_F(Output, WithoutAPrinterThePrintGoesToAPdfFileAtTheWindowsSize) {
    Show();
    const QPixmap client = GraphOutput::ClientAreaPicture(w());
    const int menuHeight = w().menuBar()->height();
    ASSERT_GT(menuHeight, 0);
    EXPECT_EQ(client.size(), QSize(w().width(), w().height() - menuHeight));
    // The tool bar is in the picture: its top rows are the tool bar's, not the menu bar's.
    const QImage toolBar = m().ToolBar->grab().toImage();
    const QImage top = client.toImage().copy(m().ToolBar->geometry().translated(0, -menuHeight));
    EXPECT_EQ(Pixels(top), Pixels(toolBar));

    // As on a machine without printers: the print opens the real set-up dialog, whose "Print to
    // File (PDF)" choice is worked by keys.
    QPrinter& printer = w().output().printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName({});
    const std::string pdf = dir_.Path("graph.pdf");
    d().printerSetup = [&](QPrinter& chosen) {
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* printers = dialog ? dialog->findChild<QComboBox*>("printers") : nullptr;
            auto* fileName = dialog ? dialog->findChild<QLineEdit*>("filename") : nullptr;
            if (printers == nullptr || fileName == nullptr) {
                ADD_FAILURE() << "no printer choice in the set-up dialog";
                if (dialog != nullptr) dialog->close();
                return;
            }
            QTest::keyClick(printers, Qt::Key_End);
            EXPECT_EQ(printers->currentText(), "Print to File (PDF)");
            fileName->setText(QString::fromStdString(pdf));
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        return QtWindowDialogs().SetUpPrinter(chosen, &w());
    };
    m().PrintItem->trigger();
    EXPECT_TRUE(d().messages.empty());
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(QString::fromLatin1(bytes).count(QRegularExpression("/Type /Page\\b")), 1);
    // The picture goes in at its window pixels and comes out at their size on a 96 dpi screen,
    // to within one printer dot.
    EXPECT_TRUE(bytes.contains("/Width " + QByteArray::number(client.width())));
    EXPECT_TRUE(bytes.contains("/Height " + QByteArray::number(client.height())));
    const QSizeF onPaper = PictureSizeInPoints(bytes);
    EXPECT_NEAR(onPaper.width(), client.width() * 72.0 / 96.0, 0.1);
    EXPECT_NEAR(onPaper.height(), client.height() * 72.0 / 96.0, 0.1);
}

// 96 window pixels make an inch at any printer resolution, rounded down.
TEST(PrintTarget, KeepsTheWindowsSizeOnPaper) {
    EXPECT_EQ(GraphOutput::PrintTargetRect({790, 300}, 1200, 600), QRect(0, 0, 9875, 1875));
    EXPECT_EQ(GraphOutput::PrintTargetRect({100, 1}, 300, 300), QRect(0, 0, 312, 3));
}

TEST_F(Output, PrintFailuresAreShownAndThePrinterSetupIsKept) {
    Show();
    QPrinter& printer = w().output().printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir_.Path("no-such-folder/graph.pdf")));
    m().PrintGraph->trigger();
    ASSERT_EQ(d().messages.size(), 1u);
    EXPECT_NE(d().messages[0].text.find("no-such-folder/graph.pdf"), std::string::npos)
        << d().messages[0].text;

    // The set-up is kept for the next print.
    d().printerSetup = [&](QPrinter& chosen) {
        chosen.setPageOrientation(QPageLayout::Landscape);
        chosen.setOutputFileName(QString::fromStdString(dir_.Path("landscape.pdf")));
        return true;
    };
    m().PrintSetupItem->trigger();
    m().PrinterSetup->trigger();
    EXPECT_EQ(d().printerSetups, 2);
    m().PrintItem->trigger();
    EXPECT_EQ(d().messages.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(dir_.Path("landscape.pdf")));
}

}  // namespace
}  // namespace ocuvis::test
