// The main window's side windows: the input setup, the titles and the load progress.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "TFileFormat.h"
#include "TFileProgressBarForm.h"
#include "TGraphTitles.h"
#include "WindowTestSupport.h"

namespace ocuvis::test {
namespace {

const std::string kSample = OCUVIS_SAMPLE_FILE;

class SideWindows : public ::testing::Test {
  protected:
    ~SideWindows() override { under_.reset(); }
    WindowUnderTest& Open(const std::string& argument = kSample) {
        under_ = std::make_unique<WindowUnderTest>(argument, hive_);
        return *under_;
    }
    std::string File(const std::string& name, const std::string& text) {
        return dir_.Write(name, text);
    }
    TGraphWindow& w() { return *under_->window; }
    ScriptedDialogs& d() { return *under_->dialogs; }
    const GraphViewState& view() { return w().document().view; }
    const MainMenus& m() { return w().menus(); }
    // Loads end by dropping their progress window, which stores where it stood.
    long Loads() {
        return std::count(hive_.writes.begin(), hive_.writes.end(),
                          "Software\\Tolvane\\Ocuvis\\ProgressBar|Window Position Top");
    }
    std::optional<std::int32_t> StoredInteger(const std::string& key, const std::string& name) {
        std::int32_t value = 0;
        for (const auto& [where, stored] : hive_.values) {
            if (where.first == "software\\tolvane\\ocuvis\\" + key && where.second == name &&
                stored.data.size() == 4) {
                std::memcpy(&value, stored.data.data(), 4);
                return value;
            }
        }
        return std::nullopt;
    }

    HiveContents hive_;
    std::unique_ptr<WindowUnderTest> under_;
    TempFolder dir_;
};

TEST_F(SideWindows, InputSetupOkStoresTheFieldsAndReloadsWithThem) {
    const std::string file = File("four.3d", "1 2 3 10\n4 5 6 20\n7 8 9 30\n");
    Open(file);
    d().modal.push_back([](QDialog& dialog) {
        auto& setup = dynamic_cast<TFileFormat&>(dialog);
        EXPECT_EQ(setup.ExampleRecordLabel->text(), " X=1,  Y=2,  Z=3,  10");
        setup.DotComboBox->setCurrentIndex(4);
        setup.ZComboBox->setCurrentIndex(0);
        setup.OkBitBtn->click();
        return setup.result();
    });
    const long loadsBefore = Loads();
    m().SetFormatItem->trigger();

    EXPECT_EQ(d().shownDialogs, std::vector<std::string>{"TFileFormat"});
    EXPECT_EQ(d().beeps, std::vector<BeepKind>{BeepKind::Asterisk});
    EXPECT_EQ(w().fileInput().Fields().DotIndex, 4);
    EXPECT_EQ(StoredInteger("file format", "dotindex"), 4);
    EXPECT_EQ(StoredInteger("file format", "zindex"), 0);
    EXPECT_EQ(Loads(), loadsBefore + 1);
    const PointStore& store = *w().document().store;
    EXPECT_EQ(store.dotSizesPresent, 1);
    // No z field: every z is 0 and lands on one cube coordinate; the sizes span three classes.
    EXPECT_EQ(store.points[0].z, store.points[2].z);
    EXPECT_NE(store.points[0].size, store.points[2].size);
    EXPECT_TRUE(d().messages.empty());
}

TEST_F(SideWindows, InputSetupCancelBeepsAndPutsTheFieldsBackWithoutALoad) {
    Open();
    d().modal.push_back([](QDialog& dialog) {
        auto& setup = dynamic_cast<TFileFormat&>(dialog);
        setup.ZComboBox->setCurrentIndex(0);
        setup.CancelBitBtn->click();
        return setup.result();
    });
    const long loadsBefore = Loads();
    m().FileSetupSpdBtn->click();
    EXPECT_EQ(d().beeps, std::vector<BeepKind>{BeepKind::Hand});
    EXPECT_EQ(w().fileInput().Fields().ZIndex, 3);
    EXPECT_EQ(w().fileFormatDialog().ZComboBox->currentIndex(), 3);
    EXPECT_EQ(Loads(), loadsBefore);
    EXPECT_FALSE(StoredInteger("file format", "zindex"));
}

TEST_F(SideWindows, InputSetupOkLoadsTheFileChosenInIt) {
    Open();
    const std::string other = File("other.txt", "5 5 5\n6 6 6\n7 7 7\n8 8 8\n");
    d().setupFiles = {other};
    d().modal.push_back([](QDialog& dialog) {
        auto& setup = dynamic_cast<TFileFormat&>(dialog);
        setup.OpenNewDataFileBtn->click();
        setup.OkBitBtn->click();
        return setup.result();
    });
    m().SetFormatItem->trigger();
    EXPECT_EQ(view().dataFileName, other);
    EXPECT_EQ(w().MsgLabel->text(), "Plotted 4 points");
}

TEST_F(SideWindows, InputSetupOnAFileThatIsGoneSaysSoAndShowsNoDialog) {
    const std::string file = File("brief.3d", "1 2 3\n4 5 6\n");
    Open(file);
    std::filesystem::remove(file);
    m().SetFormatItem->trigger();
    EXPECT_TRUE(d().shownDialogs.empty());
    ASSERT_EQ(d().messages.size(), 1u);
    EXPECT_EQ(d().messages[0].title, "Ocuvis Error Message");
    EXPECT_EQ(d().messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(d().messages[0].text.rfind("Cannot open file \"" + file + "\".", 0), 0u)
        << d().messages[0].text;
    EXPECT_TRUE(d().beeps.empty());
}

TEST_F(SideWindows, TitlesOkSwitchesTitlesOnAndCancelLeavesThemAsTheyWere) {
    Open();
    d().modal.push_back([](QDialog& dialog) {
        auto& titles = dynamic_cast<TGraphTitles&>(dialog);
        titles.MainTitle->setText("Trefoil");
        titles.CancelBtn->click();
        return titles.result();
    });
    m().TitlesEditItem->trigger();
    EXPECT_FALSE(view().titles);
    EXPECT_FALSE(m().TitlesItem->isChecked());
    EXPECT_EQ(w().document().CurrentTitles().mainTitle, "");

    d().modal.push_back([](QDialog& dialog) {
        auto& titles = dynamic_cast<TGraphTitles&>(dialog);
        titles.MainTitle->setText("Trefoil");
        titles.OkBtn->click();
        return titles.result();
    });
    m().TitlesEdit->trigger();  // the context menu's twin
    EXPECT_TRUE(view().titles);
    EXPECT_TRUE(m().TitlesItem->isChecked());
    EXPECT_TRUE(m().TitlesSpdBtn->isChecked());
    EXPECT_EQ(w().document().CurrentTitles().mainTitle, "Trefoil");
    EXPECT_EQ(d().beeps, (std::vector<BeepKind>{BeepKind::Hand, BeepKind::Asterisk}));
    EXPECT_EQ(d().shownDialogs, (std::vector<std::string>{"TGraphTitles", "TGraphTitles"}));
}

TEST_F(SideWindows, EveryLoadShowsItsProgressWindow) {
    Open();
    QString caption;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<TFileProgressBarForm*>(window))
                caption = progress->windowTitle();
    });
    const long loadsBefore = Loads();
    m().ReOpenItem->trigger();
    EXPECT_EQ(caption.toStdString(), kSample);
    EXPECT_EQ(Loads(), loadsBefore + 1);
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TFileProgressBarForm*>(window), nullptr);
}

TEST_F(SideWindows, APaintDuringALoadShowsTheLastFrame) {
    Open();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    QApplication::processEvents();
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
    m().ReOpen->trigger();
    EXPECT_TRUE(duringLoad);
    EXPECT_EQ(rendersDuringLoad, before);
    QApplication::processEvents();
    EXPECT_GT(w().framesRendered(), before);
}

TEST_F(SideWindows, ACloseDuringALoadWaitsForItAndAbortStillStopsIt) {
    std::string lines;
    for (int i = 0; i < 20000; ++i)
        lines += std::to_string(i) + " " + std::to_string(i % 7) + " 1\n";
    const std::string big = File("big.3d", lines);
    Open();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    bool closedAtOnce = true;
    bool abortFound = false;
    QTimer::singleShot(0, [&] {
        w().close();
        closedAtOnce = !w().isVisible();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<TFileProgressBarForm*>(window)) {
                progress->AbortProgressBarBitBtn->click();
                abortFound = true;
            }
        }
    });
    d().files = {big};
    m().OpenItem->trigger();
    EXPECT_FALSE(closedAtOnce);
    EXPECT_TRUE(abortFound);
    EXPECT_FALSE(w().document().loading());
    // Aborted before the first line: the built-in data set.
    EXPECT_EQ(w().document().store->pointCount, 4);
    hive_.writes.clear();
    QApplication::processEvents();
    EXPECT_FALSE(w().isVisible());
    EXPECT_NE(std::find(hive_.writes.begin(), hive_.writes.end(),
                        "Software\\Tolvane\\Ocuvis|Grid Thickness"),
              hive_.writes.end());
}

}  // namespace
}  // namespace ocuvis::test
