// The main window's side windows: the input setup, the titles and the load progress.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "WindowTestSupport.h"
#include "input/dialogs/TFileFormat.h"
#include "input/dialogs/TFileProgressBarForm.h"
#include "settings/dialogs/TGraphTitles.h"

namespace ocuvis::test {
namespace {

class SideWindows : public WindowTest {
  protected:
    static TFileProgressBarForm* Progress() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<TFileProgressBarForm*>(window)) return progress;
        return nullptr;
    }
    // Loads end by dropping their progress window, which stores where it stood.
    long Loads() {
        return std::count(hive_->writes.begin(), hive_->writes.end(), "Window Position Top");
    }
};

TEST_F(SideWindows, InputSetupCancelKeepsTheFileAndOkLoadsTheOneChosenInIt) {
    Open();
    d().modal.push_back([](QDialog& dialog) {
        auto& setup = dynamic_cast<TFileFormat&>(dialog);
        setup.ZComboBox->setCurrentIndex(0);
        setup.CancelBitBtn->click();
        return setup.result();
    });
    const long loadsBefore = Loads();
    m().FileSetupSpdBtn->click();
    EXPECT_EQ(w().fileInputDialog().ZComboBox->currentIndex(), 3);
    EXPECT_EQ(Loads(), loadsBefore);

    const std::string other = dir_.Write("other.txt", "5 5 5\n6 6 6\n7 7 7\n8 8 8\n");
    d().setupFiles = {other};
    d().modal.push_back([](QDialog& dialog) {
        auto& setup = dynamic_cast<TFileFormat&>(dialog);
        setup.OpenNewDataFileBtn->click();
        setup.OkBitBtn->click();
        return setup.result();
    });
    m().SetFormatItem->trigger();
    EXPECT_EQ(d().beeps, (std::vector<BeepKind>{BeepKind::Hand, BeepKind::Asterisk}));
    EXPECT_EQ(view().dataFileName, other);
    EXPECT_EQ(w().MsgLabel->text(), "Plotted 4 points");
}

// A table file and a file that is gone are refused before the dialog shows.
TEST_F(SideWindows, InputSetupIsRefusedWithoutItsDialog) {
    const std::string table = dir_.Write("table.3d", "TABLE3D 0 10 20\n1 5 6 7\n2 4 5 6\n");
    const std::string gone = dir_.Write("gone.3d", "1 2 3\n4 5 6\n");
    for (const std::string& file : {table, gone}) {
        SCOPED_TRACE(file);
        Open(file);
        if (file == gone) std::filesystem::remove(gone);
        m().SetFormatItem->trigger();
        EXPECT_TRUE(d().shownDialogs.empty());
        ASSERT_EQ(d().messages.size(), 1u);
        EXPECT_EQ(d().messages[0].icon, MessageIcon::Stop);
    }
}

TEST_F(SideWindows, TitlesOkSwitchesTitlesOnAndCancelLeavesThemOff) {
    Open();
    for (const bool ok : {false, true}) {
        d().modal.push_back([ok](QDialog& dialog) {
            auto& titles = dynamic_cast<TGraphTitles&>(dialog);
            (ok ? titles.OkBtn : titles.CancelBtn)->click();
            return titles.result();
        });
        (ok ? m().TitlesEdit : m().TitlesEditItem)->trigger();
        EXPECT_EQ(view().titles, ok);
        EXPECT_EQ(m().TitlesSpdBtn->isChecked(), ok);
    }
    EXPECT_EQ(d().shownDialogs, (std::vector<std::string>{"TGraphTitles", "TGraphTitles"}));
}

// Every load shows its progress window; a paint meanwhile shows the last frame.
TEST_F(SideWindows, APaintDuringALoadShowsTheLastFrame) {
    Show();
    m().AxisLabels->trigger();  // a frame is asked for but not yet made
    const int before = w().framesRendered();
    bool duringLoad = false;
    int rendersDuringLoad = -1;
    QTimer::singleShot(0, [&] {
        duringLoad = w().document().loading();
        w().GraphBoxWidget->repaint();
        (void)w().frameBitmap();
        rendersDuringLoad = w().framesRendered();
    });
    const long loadsBefore = Loads();
    m().ReOpen->trigger();
    EXPECT_EQ(Loads(), loadsBefore + 1);
    EXPECT_EQ(Progress(), nullptr);
    EXPECT_TRUE(duringLoad);
    EXPECT_EQ(rendersDuringLoad, before);
    QApplication::processEvents();
    EXPECT_GT(w().framesRendered(), before);
}

TEST_F(SideWindows, ACloseDuringALoadWaitsForItAndAbortStillStopsIt) {
    std::string lines;
    for (int i = 0; i < 20000; ++i)
        lines += std::to_string(i) + " " + std::to_string(i % 7) + " 1\n";
    const std::string big = dir_.Write("big.3d", lines);
    Show();
    bool closedAtOnce = true;
    bool abortFound = false;
    QTimer::singleShot(0, [&] {
        w().close();
        closedAtOnce = !w().isVisible();
        if ((abortFound = Progress() != nullptr)) Progress()->AbortProgressBarBitBtn->click();
    });
    d().files = {big};
    m().OpenItem->trigger();
    EXPECT_FALSE(closedAtOnce);
    EXPECT_TRUE(abortFound);
    EXPECT_FALSE(w().document().loading());
    // Aborted before the first line: the built-in data set.
    EXPECT_EQ(w().document().store->pointCount, 4);
    hive_->writes.clear();
    QApplication::processEvents();
    EXPECT_FALSE(w().isVisible());
    EXPECT_NE(std::find(hive_->writes.begin(), hive_->writes.end(), "Grid Thickness"),
              hive_->writes.end());
}

TEST_F(SideWindows, ARecordLimitTypedInTheInputSetupIsStoredOnOkButNotOutOfRange) {
    Open();
    d().modal.push_back([](QDialog& dialog) {
        auto& setup = dynamic_cast<TFileFormat&>(dialog);
        for (const char* typed : {"0", "25x0000"}) {  // the letter is not taken
            setup.RecordLimitEdit->selectAll();
            QTest::keyClicks(setup.RecordLimitEdit, typed);
            setup.OkBitBtn->click();
        }
        return setup.result();
    });
    m().SetFormatItem->trigger();
    // The first OK was refused and the dialog stayed; the message is the set-up's tests'.
    EXPECT_EQ(d().messages.size(), 1u);
    RecordingFeedback quiet;
    OrlenRegistry stored(settings_, quiet);
    std::int32_t limit = 0;
    EXPECT_TRUE(stored.ReadInteger("Ocuvis\\File Format", "RecordLimit", limit));
    EXPECT_EQ(limit, 250000);
}

}  // namespace
}  // namespace ocuvis::test
