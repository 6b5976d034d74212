// Save, copy and print of the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenuBar>
#include <QPrinter>
#include <QTest>
#include <filesystem>

#include "GraphOutput.h"
#include "WindowTestSupport.h"

namespace ocuvis::test {
namespace {

const std::string kSample = OCUVIS_SAMPLE_FILE;

QImage Pixels(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray Head(const std::string& path, int bytes) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(bytes);
}

class Output : public ::testing::Test {
  protected:
    Output() {
        std::string pattern = "/tmp/ocuvis-output-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
        under_ = std::make_unique<WindowUnderTest>(kSample, hive_);
        w().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w()));
        QApplication::processEvents();
    }
    ~Output() override {
        under_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TGraphWindow& w() { return *under_->window; }
    ScriptedDialogs& d() { return *under_->dialogs; }
    const MainMenus& m() { return w().menus(); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    HiveContents hive_;
    std::unique_ptr<WindowUnderTest> under_;
    std::filesystem::path dir_;
};

TEST_F(Output, SavedPicturesReadBackAsTheFrame) {
    m().viewItems[2]->trigger();  // the red and blue overlay, as shown
    const QImage frame = w().frameBitmap();
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.size(), w().GraphBoxWidget->size());
    const int rendersBefore = w().framesRendered();

    d().savePaths = {Path("graph.bmp"), Path("graph.png"), Path("graph.JPG")};
    m().SaveItem->trigger();
    m().SaveGraph->trigger();
    m().SaveItem->trigger();
    EXPECT_TRUE(d().messages.empty());
    EXPECT_EQ(Head(Path("graph.bmp"), 2), "BM");
    EXPECT_EQ(Head(Path("graph.png"), 4), "\x89PNG");
    EXPECT_EQ(Head(Path("graph.JPG"), 2), "BM");  // only ".png" changes the format
    for (const char* name : {"graph.bmp", "graph.png"}) {
        const QImage saved(QString::fromStdString(Path(name)));
        EXPECT_EQ(saved.size(), frame.size()) << name;
        EXPECT_EQ(Pixels(saved), Pixels(frame)) << name;
    }
    // Saving is output only: no new frame, no change to the view.
    EXPECT_EQ(w().framesRendered(), rendersBefore);
}

TEST_F(Output, SavingAfterAResizeWritesTheNewSize) {
    w().resize(640, 420);
    QApplication::processEvents();
    d().savePaths = {Path("resized.bmp")};
    m().SaveItem->trigger();
    const QImage saved(QString::fromStdString(Path("resized.bmp")));
    EXPECT_EQ(saved.size(), w().GraphBoxWidget->size());
    EXPECT_EQ(Pixels(saved), Pixels(w().frameBitmap()));
}

TEST_F(Output, AFailedOrCancelledSaveLeavesEverythingAsItWas) {
    const std::string kept = Path("kept.bmp");
    std::filesystem::create_directory(Path("locked"));
    d().savePaths = {Path("no-such-folder/graph.bmp"), ""};
    m().SaveItem->trigger();
    ASSERT_EQ(d().messages.size(), 1u);
    EXPECT_EQ(d().messages[0].title, "Ocuvis Error Message");
    EXPECT_EQ(d().messages[0].icon, MessageIcon::Stop);
    EXPECT_NE(d().messages[0].text.find(Path("no-such-folder/graph.bmp")), std::string::npos)
        << d().messages[0].text;
    m().SaveItem->trigger();  // cancelled
    EXPECT_EQ(d().messages.size(), 1u);

    // A folder in the way: the message names the failure and the program goes on.
    d().savePaths = {Path("locked")};
    m().SaveItem->trigger();
    EXPECT_EQ(d().messages.size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(Path("locked")));
    EXPECT_FALSE(GraphOutput::WriteGraphFile(w().frameBitmap(), QString::fromStdString(kept)));
    EXPECT_TRUE(GraphOutput::WriteGraphFile(QImage(), QString::fromStdString(kept)));
}

TEST_F(Output, CopyPutsTheFrameOnTheClipboard) {
    QGuiApplication::clipboard()->clear();
    m().CopyGraphItem->trigger();
    EXPECT_TRUE(d().messages.empty());
    EXPECT_EQ(Pixels(QGuiApplication::clipboard()->image()), Pixels(w().frameBitmap()));
    m().viewItems[4]->trigger();
    m().CopyToClipboard->trigger();
    EXPECT_EQ(Pixels(QGuiApplication::clipboard()->image()), Pixels(w().frameBitmap()));
}

TEST_F(Output, APrintIsOnePageOfTheClientAreaAtItsSize) {
    const QPixmap client = GraphOutput::ClientAreaPicture(w());
    const int menuHeight = w().menuBar()->height();
    ASSERT_GT(menuHeight, 0);
    EXPECT_EQ(client.size(), QSize(w().width(), w().height() - menuHeight));
    // The tool bar is in the picture: its top rows are the tool bar's, not the menu bar's.
    const QImage toolBar = m().ToolBar->grab().toImage();
    const QImage top = client.toImage().copy(m().ToolBar->geometry().translated(0, -menuHeight));
    EXPECT_EQ(Pixels(top), Pixels(toolBar));

    QPrinter& printer = w().output().printer();
    const std::string pdf = Path("graph.pdf");
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    m().PrintItem->trigger();
    EXPECT_TRUE(d().messages.empty());
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_GT(std::filesystem::file_size(pdf), 2000u);
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(
        bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "),
        1);
    // The picture goes in at its window pixels.
    EXPECT_TRUE(bytes.contains("/Width " + QByteArray::number(client.width())));
    EXPECT_TRUE(bytes.contains("/Height " + QByteArray::number(client.height())));
}

TEST_F(Output, APrintKeepsTheWindowsSizeOnPaper) {
    // 96 window pixels make an inch at any printer resolution.
    EXPECT_EQ(GraphOutput::PrintTargetRect({790, 300}, 1200, 600), QRect(0, 0, 9875, 1875));
    EXPECT_EQ(GraphOutput::PrintTargetRect({96, 48}, 96, 96), QRect(0, 0, 96, 48));
    EXPECT_EQ(GraphOutput::PrintTargetRect({100, 1}, 300, 300), QRect(0, 0, 312, 3));
}

TEST_F(Output, PrintFailuresAreShownAndThePrinterSetupIsKept) {
    QPrinter& printer = w().output().printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(Path("no-such-folder/graph.pdf")));
    m().PrintGraph->trigger();
    ASSERT_EQ(d().messages.size(), 1u);
    EXPECT_EQ(d().messages[0].title, "Ocuvis Error Message");
    EXPECT_NE(d().messages[0].text.find("no-such-folder/graph.pdf"), std::string::npos)
        << d().messages[0].text;

    QPrinter* seen = nullptr;
    d().printerSetup = [&](QPrinter& chosen) {
        seen = &chosen;
        chosen.setPageOrientation(QPageLayout::Landscape);
        chosen.setOutputFileName(QString::fromStdString(Path("landscape.pdf")));
        return true;
    };
    m().PrintSetupItem->trigger();
    m().PrinterSetup->trigger();
    EXPECT_EQ(d().printerSetups, 2);
    EXPECT_EQ(seen, &printer);
    m().PrintItem->trigger();
    EXPECT_EQ(d().messages.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(Path("landscape.pdf")));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
}

}  // namespace
}  // namespace ocuvis::test
