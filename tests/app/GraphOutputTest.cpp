// Save, copy and print of the main window.
#include <gtest/gtest.h>
#include <sys/stat.h>

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
#include <QTransform>
#include <cmath>
#include <filesystem>
#include <optional>
#include <tuple>
#include <vector>

#include "WindowTestSupport.h"
#include "app/window/GraphOutput.h"

namespace ocuvis::test {
namespace {

QImage Pixels(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// What a one-page PDF shows: the page, and where on it the picture is drawn, in points.
struct PrintedPage {
    QRectF page;
    QRectF picture;
    QByteArray pictureFilter;  // how the picture's pixels are compressed
};

// Follows the page's content stream, transform by transform, to the picture it draws.
std::optional<QRectF> PictureOnPage(const QByteArray& content) {
    std::vector<QTransform> saved;
    QTransform current;
    std::vector<double> numbers;
    for (const QByteArray& token : content.simplified().split(' ')) {
        bool isNumber = false;
        const double number = token.toDouble(&isNumber);
        if (isNumber) {
            numbers.push_back(number);
            continue;
        }
        if (token == "q") saved.push_back(current);
        if (token == "Q" && !saved.empty()) {
            current = saved.back();
            saved.pop_back();
        }
        if (token == "cm" && numbers.size() >= 6) {
            const double* m = numbers.data() + numbers.size() - 6;
            current = QTransform(m[0], m[1], m[2], m[3], m[4], m[5]) * current;
        }
        // The picture fills the unit square of the space it is drawn in.
        if (token == "Do") return current.mapRect(QRectF(0, 0, 1, 1));
        numbers.clear();
    }
    return std::nullopt;
}

std::optional<PrintedPage> ReadPrintedPage(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray pdf = file.readAll();
    PrintedPage printed;
    static const QRegularExpression box(R"(/MediaBox \[([-\d.]+) ([-\d.]+) ([-\d.]+) ([-\d.]+)\])");
    const QRegularExpressionMatch media = box.match(QString::fromLatin1(pdf));
    if (!media.hasMatch()) return std::nullopt;
    printed.page = QRectF(QPointF(media.captured(1).toDouble(), media.captured(2).toDouble()),
                          QPointF(media.captured(3).toDouble(), media.captured(4).toDouble()));
    static const QRegularExpression filter(R"(/Subtype /Image[^>]*/Filter /(\w+))");
    printed.pictureFilter = filter.match(QString::fromLatin1(pdf)).captured(1).toLatin1();
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at + 1)) {
        const qsizetype begin = at + 7;
        const qsizetype end = pdf.indexOf("endstream", begin);
        if (end < 0) break;
        // Pages are drawn by content streams, not by the pictures' own.
        const qsizetype dictionary = pdf.lastIndexOf("<<", at);
        if (pdf.mid(dictionary, at - dictionary).contains("/Subtype /Image")) continue;
        // A zlib stream, with the length prefix qUncompress wants.
        const QByteArray content =
            qUncompress(QByteArray::fromHex("00100000") + pdf.mid(begin, end - begin));
        if (!content.contains(" Do")) continue;
        if (const auto picture = PictureOnPage(content)) {
            printed.picture = *picture;
            return printed;
        }
    }
    return std::nullopt;
}

using Output = WindowTest;

// Saving and copying are output only: no new frame. A failed save names the file and the reason;
// a cancelled one says nothing.
TEST_F(Output, SavedAndCopiedPicturesAreTheFrameAtTheWindowsSize) {
    Show();
    m().viewItems[2]->trigger();  // the red and blue overlay, as shown
    w().resize(640, 420);
    QApplication::processEvents();
    const QImage frame = w().frameBitmap();
    EXPECT_EQ(frame.size(), w().GraphBoxWidget->size());
    const int rendersBefore = w().framesRendered();
    const std::string pipe = dir_.Path("pipe.bmp");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    d().savePaths = {dir_.Path("graph.bmp"), dir_.Path("graph.png"), pipe, ""};
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

    // Written through the image file's checks: what is no picture file stays as it is.
    m().SaveItem->trigger();
    m().SaveItem->trigger();  // cancelled
    EXPECT_EQ(d().messages,
              (std::vector<ShownMessage>{{"Cannot save the graph to \"" + pipe +
                                              "\": it is a named pipe, not a regular file.",
                                          "Ocuvis Error Message", MessageIcon::Stop}}));
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
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
    // The picture goes in at its window pixels and, as it fits the page, comes out at their size
    // on a 96 dpi screen, to within one printer dot.
    EXPECT_TRUE(bytes.contains("/Width " + QByteArray::number(client.width())));
    EXPECT_TRUE(bytes.contains("/Height " + QByteArray::number(client.height())));
    const auto printed = ReadPrintedPage(pdf);
    ASSERT_TRUE(printed);
    EXPECT_NEAR(printed->picture.width(), client.width() * 72.0 / 96.0, 0.1);
    EXPECT_NEAR(printed->picture.height(), client.height() * 72.0 / 96.0, 0.1);
}

// 96 window pixels make an inch at any printer resolution, rounded down, while that fits the
// printable area; beyond it the picture shrinks to the area, keeping its proportions.
TEST(PrintTarget, KeepsTheWindowsSizeOnPaperWhereItFits) {
    const std::tuple<QSize, int, int, QSize, QRect> cases[] = {
        {{790, 300}, 1200, 600, {9875, 1875}, {0, 0, 9875, 1875}},
        {{100, 1}, 300, 300, {2000, 3000}, {0, 0, 312, 3}},
        {{1500, 600}, 1200, 1200, {9000, 12000}, {0, 0, 9000, 3600}},
        {{600, 1500}, 1200, 1200, {12000, 9000}, {0, 0, 3600, 9000}},
        {{790, 300}, 1200, 600, {4937, 9000}, {0, 0, 4937, 937}}};
    for (const auto& [picture, dpiX, dpiY, printable, expected] : cases)
        EXPECT_EQ(GraphOutput::PrintTargetRect(picture, dpiX, dpiY, printable), expected)
            << picture.width() << "x" << picture.height();
}

// Whatever the window's shape, the whole picture lies within the page's margins, in its own
// proportions and without lossy compression; it goes across the page when it is wider than
// tall, unless the user chose the orientation in the set-up.
TEST_F(Output, ThePrintedPictureLiesInsideThePage) {
    Show();
    const struct {
        QSize window;
        bool portraitChosen;
        bool landscape;
    } cases[] = {{{1500, 600}, false, true},
                 {{790, 364}, false, true},
                 {{420, 800}, false, false},
                 {{1500, 600}, true, false}};
    QPrinter& printer = w().output().printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    for (const auto& c : cases) {
        const std::string pdf =
            dir_.Path(std::to_string(c.window.width()) + "x" + std::to_string(c.window.height()) +
                      (c.portraitChosen ? "-portrait.pdf" : ".pdf"));
        SCOPED_TRACE(pdf);
        printer.setOutputFileName(QString::fromStdString(pdf));
        w().resize(c.window);
        QApplication::processEvents();
        if (c.portraitChosen) {
            d().printerSetup = [](QPrinter& chosen) {
                chosen.setPageOrientation(QPageLayout::Portrait);
                return true;
            };
            m().PrintSetupItem->trigger();
        }
        const QSize client = GraphOutput::ClientAreaPicture(w()).size();
        m().PrintItem->trigger();
        EXPECT_TRUE(d().messages.empty());
        const auto printed = ReadPrintedPage(pdf);
        ASSERT_TRUE(printed);
        EXPECT_EQ(printed->page.width() > printed->page.height(), c.landscape);
        const QRectF margins = printed->page.adjusted(5, 5, -5, -5);
        EXPECT_TRUE(margins.contains(printed->picture));
        EXPECT_NEAR(printed->picture.width() / printed->picture.height(),
                    double(client.width()) / client.height(), 0.01);
        // At most the size on screen: a small window is not blown up.
        EXPECT_LE(printed->picture.width(), client.width() * 72.0 / 96.0 + 0.1);
        EXPECT_EQ(printed->pictureFilter, "FlateDecode");
    }
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
