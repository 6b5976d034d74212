#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "WindowTestSupport.h"

namespace ocuvis::test {
namespace {

const std::string kSample = OCUVIS_SAMPLE_FILE;

class Window : public ::testing::Test {
  protected:
    WindowUnderTest& Open(const std::string& argument = kSample) {
        under_ = std::make_unique<WindowUnderTest>(argument, hive_);
        return *under_;
    }
    TGraphWindow& w() { return *under_->window; }
    const GraphViewState& view() { return w().document().view; }
    const MainMenus& m() { return w().menus(); }

    // Every toggle's menu item and button agree, and both show the state.
    void ExpectTogglesInStep() {
        const std::pair<QAction*, QAbstractButton*> pairs[] = {
            {m().ModeIndicatorItem, m().ModeIndicatorSpdBtn},
            {m().AxisLabels, m().AxisLabelsSpdBtn},
            {m().TitlesItem, m().TitlesSpdBtn},
            {m().TextLabelsItem, m().TextLabelsSpdBtn},
            {m().FadeItem, m().FadeLinesSpdBtn},
            {m().FullGrid, m().FullGridSpdBtn},
            {m().ZInvertItem, m().ZInvertSpdBtn},
            {m().AzimuthItem, m().RotateAzimuthSpdBtn},
            {m().ElevationItem, m().RotateElevationSpdBtn}};
        const bool states[] = {view().modeIndicator, view().axisLabels,    view().titles,
                               view().textLabels,    view().fadeLines,     view().fullBoxGrid,
                               view().zInvert,       view().rotateAzimuth, view().rotateElevation};
        for (std::size_t i = 0; i < std::size(pairs); ++i) {
            EXPECT_EQ(pairs[i].first->isChecked(), states[i])
                << pairs[i].first->text().toStdString();
            EXPECT_EQ(pairs[i].second->isChecked(), states[i])
                << pairs[i].first->text().toStdString();
        }
        int checkedViews = 0;
        for (std::size_t i = 0; i < 5; ++i) {
            const bool selected = static_cast<std::size_t>(view().viewType) == i;
            EXPECT_EQ(m().viewItems[i]->isChecked(), selected);
            EXPECT_EQ(m().viewButtons[i]->isChecked(), selected);
            checkedViews += m().viewItems[i]->isChecked() ? 1 : 0;
        }
        EXPECT_EQ(checkedViews, 1);
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(w().GraphBoxWidget, static_cast<Qt::Key>(key), modifiers);
    }

    HiveContents hive_;
    std::unique_ptr<WindowUnderTest> under_;
};

TEST_F(Window, StartsOnTheGivenFileWithTheFirstRunDefaults) {
    Open();
    EXPECT_EQ(w().windowTitle().toStdString(), programTitle + "  " + kSample);
    EXPECT_EQ(w().MsgLabel->text(), "Plotted 49 points");
    EXPECT_EQ(w().ElevationLabel->text(), QString("Elev 0") + QChar(0xB0));
    EXPECT_EQ(w().AzimuthLabel->text(), QString("Azim 0") + QChar(0xB0));
    EXPECT_TRUE(m().GridPixel[1]->isChecked());
    EXPECT_TRUE(m().PointsPixel[2]->isChecked());
    EXPECT_TRUE(m().LinesPixel[0]->isChecked());
    EXPECT_FALSE(m().LinesItem->menuAction()->isChecked());
    EXPECT_TRUE(m().Sec[7]->isChecked());
    EXPECT_EQ(w().RotateTimer->interval(), 100);
    EXPECT_EQ(w().XRangeScrollBar->value(), 21);
    EXPECT_TRUE(under_->dialogs->messages.empty());
    ExpectTogglesInStep();
}

TEST_F(Window, TogglesAndTheirMirrorsAgreeWhicheverRouteIsTaken) {
    Open();
    m().AxisLabels->trigger();
    EXPECT_TRUE(view().axisLabels);
    ExpectTogglesInStep();
    m().AxisLabelsSpdBtn->click();
    EXPECT_FALSE(view().axisLabels);
    ExpectTogglesInStep();

    m().FadeLinesSpdBtn->click();
    m().TextLabelsItem->trigger();
    m().ModeIndicatorSpdBtn->click();
    m().ZInvertSpdBtn->click();
    EXPECT_TRUE(view().fadeLines && view().textLabels && view().zInvert);
    EXPECT_FALSE(view().modeIndicator);
    ExpectTogglesInStep();

    Key(Qt::Key_F);
    Key(Qt::Key_Y);
    Key(Qt::Key_X, Qt::ShiftModifier);
    EXPECT_TRUE(view().fullBoxGrid && view().rotateAzimuth && view().rotateElevation);
    ExpectTogglesInStep();
    m().ZInvertItem->trigger();
    EXPECT_FALSE(view().zInvert);
    EXPECT_FLOAT_EQ(w().document().graph.zscale, -1.0f);
    ExpectTogglesInStep();
}

TEST_F(Window, ViewTypesFormOneRadioGroupAcrossMenuAndButtons) {
    Open();
    m().viewItems[1]->trigger();
    EXPECT_EQ(view().viewType, ViewType::WallEyes);
    ExpectTogglesInStep();
    m().viewButtons[4]->click();
    EXPECT_EQ(view().viewType, ViewType::Single);
    ExpectTogglesInStep();
    m().viewButtons[4]->click();  // a pressed radio button stays down
    EXPECT_EQ(view().viewType, ViewType::Single);
    ExpectTogglesInStep();
}

TEST_F(Window, KeysReachTheKeyTableWithTheirCodes) {
    Open();
    Key(Qt::Key_G);
    EXPECT_EQ(w().StatusBar->text(), "Key Code = 71");
    EXPECT_EQ(view().gridThickness, 2);
    EXPECT_TRUE(m().GridPixel[2]->isChecked());
    Key(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(view().xOffsetPosition, 1);
    EXPECT_EQ(w().XOffsetScrollBar->value(), 1);
    Key(Qt::Key_Right);
    EXPECT_EQ(w().AzimuthLabel->text(), QString("Azim 1") + QChar(0xB0));

    m().AzimuthItem->trigger();
    QTest::keyPress(w().GraphBoxWidget, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(w().StatusBar->text(), "Key Code = 1016");
    EXPECT_TRUE(view().rotateAzimuth);
    Key(Qt::Key_Q);
    EXPECT_FALSE(view().rotateAzimuth);
    ExpectTogglesInStep();
}

TEST_F(Window, MenuShortCutsTakeTheirKeysFirst) {
    Open();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    under_->dialogs->colours = {std::nullopt};
    Key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(under_->dialogs->colourDialogs, 1);
    EXPECT_NE(w().StatusBar->text(), "Key Code = 2068");
    Key(Qt::Key_F9);
    EXPECT_TRUE(view().axisLabels);
    ExpectTogglesInStep();
}

TEST_F(Window, DraggingTurnsTheGraphOnePixelADegree) {
    Open();
    w().AzimuthScrollBar->setValue(10);
    auto* box = w().GraphBoxWidget;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 100),
                      box->mapToGlobal(QPointF(100, 100)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(box, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(130, 80), box->mapToGlobal(QPointF(130, 80)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &move);
    EXPECT_EQ(view().azimuth, -20);
    EXPECT_EQ(view().elevation, 20);
    EXPECT_EQ(w().AzimuthScrollBar->value(), -20);
    EXPECT_EQ(w().ElevationLabel->text(), QString("Elev 20") + QChar(0xB0));
}

TEST_F(Window, SpeedCommandsSetTheTimerAndBeepAtTheEnds) {
    Open();
    m().Sec[10]->trigger();
    EXPECT_EQ(w().RotateTimer->interval(), 33);
    m().FasterItem->trigger();
    EXPECT_EQ(w().RotateTimer->interval(), 20);
    EXPECT_TRUE(m().Sec[11]->isChecked());
    m().FasterSpdBtn->click();
    EXPECT_EQ(under_->dialogs->beeps.size(), 1u);
    m().SlowerSpdBtn->click();
    EXPECT_EQ(w().RotateTimer->interval(), 33);
}

TEST_F(Window, ColourCommandsGoThroughTheDialogAndKeepTheRules) {
    Open();
    under_->dialogs->colours = {0x000000};
    m().DotsColorSetupItem->trigger();
    ASSERT_EQ(under_->dialogs->messages.size(), 1u);
    EXPECT_EQ(under_->dialogs->messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(view().dotColor, 0xFFFFFFu);
    under_->dialogs->colours = {0x00FF00};
    m().GridColorSetup->trigger();  // the context menu's twin
    EXPECT_EQ(view().gridColor, 0x00FF00u);
    under_->dialogs->colours = {0x00FF00};
    m().BackgoundColorSetupItem->trigger();
    EXPECT_EQ(view().backgroundColor, 0x00FF00u);
    EXPECT_EQ(under_->dialogs->messages.back().title, "Ocuvis Warning Message");
}

TEST_F(Window, NarrowWindowsPutTheZBarsInASecondRow) {
    Open();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    w().resize(700, 364);
    EXPECT_EQ(w().ButtonsPanel->height(), 80);
    EXPECT_EQ(w().ZRPanel->pos(), QPoint(0, 40));
    w().resize(800, 364);
    EXPECT_EQ(w().ButtonsPanel->height(), 40);
    EXPECT_EQ(w().ZRPanel->pos(), QPoint(395, 0));
}

TEST_F(Window, TheArgumentWinsThenTheLastFileThenTheSample) {
    Open("");
    EXPECT_EQ(view().dataFileName, "Ocuvis.3d");
    under_->window->close();
    Open(kSample);
    under_->window->close();
    Open("");  // the recent list now remembers the sample
    EXPECT_EQ(view().dataFileName, kSample);
    EXPECT_EQ(w().MsgLabel->text(), "Plotted 49 points");
}

TEST_F(Window, ADropOpensTheFirstFileOnly) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string first = (folder / "ocuvis-drop-first.3d").string();
    std::ofstream(first) << "1 2 3\n4 5 6\n7 8 9\n";
    Open();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(first)),
                  QUrl::fromLocalFile(QString::fromStdString(kSample)),
                  QUrl::fromLocalFile("/nowhere.3d")});
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w(), &drop);
    EXPECT_EQ(w().StatusBar->text().toStdString(), "Filename is " + first);
    EXPECT_EQ(view().dataFileName, first);
    EXPECT_EQ(w().MsgLabel->text(), "Plotted 3 points");
    std::filesystem::remove(first);
}

TEST_F(Window, OpeningStopsTheRotations) {
    Open();
    m().AzimuthItem->trigger();
    m().ElevationItem->trigger();
    under_->dialogs->files = {kSample};
    m().OpenItem->trigger();
    EXPECT_FALSE(view().rotateAzimuth || view().rotateElevation);
    ExpectTogglesInStep();
}

TEST_F(Window, ClosingSavesScaleThenSettingsThenRecentFiles) {
    Open();
    w().XRangeScrollBar->setValue(28);
    hive_.writes.clear();
    w().close();
    const auto first = [&](const std::string& piece) {
        const auto it =
            std::find_if(hive_.writes.begin(), hive_.writes.end(),
                         [&](const std::string& w) { return w.find(piece) != std::string::npos; });
        return it - hive_.writes.begin();
    };
    const auto scale = first("graph.xmin");
    const auto settings = first("Grid Thickness");
    const auto recent = first("Last Opened Files");
    ASSERT_LT(recent, static_cast<long>(hive_.writes.size()));
    EXPECT_LT(scale, settings);
    EXPECT_LT(settings, recent);

    Open("");  // a second run shows what the first left
    EXPECT_EQ(view().xRangePosition, 28);
    EXPECT_FLOAT_EQ(w().document().graph.xscale, 10.0f);
}

TEST_F(Window, TheWindowComesBackWhereAndAsLargeAsItWasLeft) {
    Open();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    w().resize(900, 420);
    w().move(40, 30);
    const QPoint place = w().pos();
    w().close();
    for (int run = 0; run < 2; ++run) {
        Open();
        EXPECT_EQ(w().size(), QSize(900, 420)) << "run " << run;
        EXPECT_EQ(w().pos(), place) << "run " << run;
        w().close();
    }
}

TEST_F(Window, TheFirstFrameFillsThePaintArea) {
    Open();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    QApplication::processEvents();
    const QImage& frame = w().frameBitmap();
    EXPECT_EQ(frame.size(), w().GraphBoxWidget->size());
    EXPECT_GT(w().framesRendered(), 0);
}

TEST_F(Window, TableFilesRefuseTheInputSetup) {
    const std::string table = (std::filesystem::temp_directory_path() / "ocuvis-table.3d").string();
    std::ofstream(table) << "TABLE3D 0 10 20\n1 5 6 7\n2 4 5 6\n";
    Open(table);
    m().SetFormatItem->trigger();
    ASSERT_EQ(under_->dialogs->messages.size(), 1u);
    EXPECT_EQ(under_->dialogs->messages[0].title, "Ocuvis Error Message");
    EXPECT_EQ(under_->dialogs->messages[0].icon, MessageIcon::Stop);
    std::filesystem::remove(table);
}

}  // namespace
}  // namespace ocuvis::test
