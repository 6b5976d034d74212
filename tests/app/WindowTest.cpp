#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <climits>
#include <filesystem>
#include <fstream>

#include "TFileFormat.h"
#include "TGraphTitles.h"

#include "WindowTestSupport.h"

namespace ocuvis::test {
namespace {

const std::string kSample = OCUVIS_SAMPLE_FILE;

// The middle of one part of a scroll bar (an arrow, the track, the handle) as its style lays
// it out.
QPoint PartOf(const QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.state |= QStyle::State_Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

void Drop(QWidget& target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
}

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

TEST_F(Window, TheAngleBarsAnswerArrowTrackAndHandle) {
    Open();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    w().RotateTimer->stop();  // no tick may move an angle under the test
    struct Axis {
        QScrollBar* bar;
        const int& angle;
        QAction* rotate;
        const bool& rotating;
        QLabel* label;
    };
    const Axis axes[] = {{w().ElevationScrollBar, view().elevation, m().ElevationItem,
                          view().rotateElevation, w().ElevationLabel},
                         {w().AzimuthScrollBar, view().azimuth, m().AzimuthItem,
                          view().rotateAzimuth, w().AzimuthLabel}};
    for (const Axis& axis : axes) {
        const int start = axis.angle;
        QTest::mouseClick(axis.bar, Qt::LeftButton, {},
                          PartOf(axis.bar, QStyle::SC_ScrollBarAddLine));
        EXPECT_EQ(axis.angle, start + 1);

        axis.rotate->trigger();
        ASSERT_TRUE(axis.rotating);
        QTest::mouseClick(axis.bar, Qt::LeftButton, {},
                          PartOf(axis.bar, QStyle::SC_ScrollBarAddPage));
        EXPECT_FALSE(axis.rotating);
        EXPECT_EQ(axis.angle, start + 4);

        const QPoint handle = PartOf(axis.bar, QStyle::SC_ScrollBarSlider);
        QTest::mousePress(axis.bar, Qt::LeftButton, {}, handle);
        QTest::mouseMove(axis.bar, handle - QPoint(20, 0));
        QTest::mouseRelease(axis.bar, Qt::LeftButton, {}, handle - QPoint(20, 0));
        EXPECT_LT(axis.angle, start);
        EXPECT_EQ(axis.bar->value(), axis.angle);
        EXPECT_EQ(axis.label->text(),
                  AngleText(axis.label == w().AzimuthLabel ? "Azim " : "Elev ", axis.angle));
    }
}

TEST_F(Window, AngleLabelsShowEveryAngleWhole) {
    Open();
    for (int angle = -180; angle <= 180; ++angle) {
        w().ElevationScrollBar->setValue(angle);
        w().AzimuthScrollBar->setValue(angle);
        for (const QLabel* label : {w().ElevationLabel, w().AzimuthLabel})
            ASSERT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                      label->contentsRect().width())
                << label->text().toStdString();
    }
}

TEST_F(Window, NoStatusTextSetsTheWindowsWidth) {
    Open();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    const int width = w().width();
    QTest::mouseMove(m().AspectRatioSpdBtn);  // the button with the longest hint
    ASSERT_EQ(w().StatusBar->text(), m().AspectRatioSpdBtn->statusTip());
    QTest::qWait(20);  // the layout passes its new minimum up one level per event round
    EXPECT_EQ(w().width(), width);

    QTest::mouseClick(m().AspectRatioSpdBtn, Qt::LeftButton);
    ASSERT_TRUE(view().fixedAspect);
    const float client = static_cast<float>(w().height() - w().menuBar()->height());
    EXPECT_EQ(w().width(), static_cast<int>(client * 1.96f)) << "cross-eyed: twice as wide";

    // A text the panel cannot hold is cut visibly, and its tool tip gives all of it.
    const QString sampled = "Sampled 27682 of 1000000 = 2.8%";
    w().MsgLabel->setText(sampled);
    EXPECT_TRUE(w().MsgLabel->shownText().endsWith(QChar(0x2026)))
        << w().MsgLabel->shownText().toStdString();
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), w().MsgLabel->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w().MsgLabel, &help);
    EXPECT_EQ(QToolTip::text(), sampled);
    QToolTip::hideText();
}

TEST_F(Window, CaptionsAreTheProgramsOwnTexts) {
    NameApplication();
    // A display name, once set, would be appended to every caption on X11; without one the
    // display name follows the application name.
    const QString name = QGuiApplication::applicationName();
    QGuiApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
    QGuiApplication::setApplicationName(name);

    Open();
    EXPECT_EQ(w().windowTitle().toStdString(), programTitle + "  " + kSample);
    EXPECT_EQ(w().fileInputDialog().windowTitle(), "Setup File Input");
    EXPECT_EQ(w().titlesDialog().windowTitle(), "GraphTitles");
}

TEST_F(Window, TheAboutBoxIsCentredOnTheScreenWithItsTextInsideItsFrame) {
    Open();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    w().move(0, 0);  // so that centred over the window is not centred on the screen
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle().toStdString(), "About " + programTitle);
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        EXPECT_LE((box->frameGeometry().center() - centre).manhattanLength(), 1);
        const QRect frame = box->findChild<QFrame*>("TextFrame")->geometry();
        for (const QLabel* label : box->findChildren<QLabel*>()) {
            EXPECT_TRUE(frame.contains(label->geometry())) << label->text().toStdString();
            if (!label->wordWrap() && label->pixmap().isNull()) {
                EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                          label->contentsRect().width())
                    << label->text().toStdString();
            }
        }
        box->close();
    });
    m().AboutItem->trigger();
    EXPECT_TRUE(seen);
}

TEST_F(Window, StoredBoundsThatDoNotFitAreBroughtOntoTheScreen) {
    MemoryHive store(hive_);
    const auto stored = [&](const char* key, const char* name, std::int32_t value) {
        StoredValue dword{kRegDword, std::vector<std::uint8_t>(4)};
        for (int i = 0; i < 4; ++i)
            dword.data[static_cast<std::size_t>(i)] =
                (static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF;
        store.WriteValue(key, name, dword);
    };
    stored("Software\\Tolvane\\Ocuvis", "Window Position Top", 30);
    stored("Software\\Tolvane\\Ocuvis", "Window Position Left", 2147483000);
    stored("Software\\Tolvane\\Ocuvis", "Window Height", INT_MAX);
    stored("Software\\Tolvane\\Ocuvis", "Window Width", INT_MAX);
    stored("Software\\Tolvane\\Ocuvis\\File Format", "Window Height", INT_MAX);
    stored("Software\\Tolvane\\Ocuvis\\File Format", "Window Width", INT_MAX);
    Open();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w().geometry()));
    EXPECT_LE(w().fileInputDialog().width(), screen.width());
    EXPECT_LE(w().fileInputDialog().height(), screen.height());
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

TEST_F(Window, ADropOpensTheWholePathOfTheFirstFileAndSaysSo) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string first = (folder / "ocuvis-drop-first.3d").string();
    std::ofstream(first) << "1 2 3\n4 5 6\n7 8 9\n";
    // Deeper than the 259 characters a fixed path buffer once kept.
    const std::filesystem::path deep =
        folder / ("ocuvis-drop-" + std::string(120, 'd')) / std::string(120, 'e');
    std::filesystem::create_directories(deep);
    const std::string longPath = (deep / "points.3d").string();
    ASSERT_GT(longPath.size(), 259u);
    std::ofstream(longPath) << "1 2 3\n4 5 6\n";
    Open();
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));

    QTest::mouseMove(&w(), QPoint(-40, -40));  // dragged in from outside the window
    Drop(w(), {QUrl::fromLocalFile(QString::fromStdString(first)),
               QUrl::fromLocalFile(QString::fromStdString(kSample)),
               QUrl::fromLocalFile("/nowhere.3d")});
    // The pointer is back over the paint area once the drop is over.
    QTest::mouseMove(w().GraphBoxWidget);
    EXPECT_EQ(w().StatusBar->text().toStdString(), "Filename is " + first);
    EXPECT_EQ(view().dataFileName, first);
    EXPECT_EQ(w().MsgLabel->text(), "Plotted 3 points");
    QTest::mouseMove(m().AspectRatioSpdBtn);  // another control's hint takes over
    EXPECT_EQ(w().StatusBar->text(), m().AspectRatioSpdBtn->statusTip());

    Drop(w(), {QUrl::fromLocalFile(QString::fromStdString(longPath))});
    EXPECT_EQ(view().dataFileName, longPath);
    EXPECT_EQ(w().MsgLabel->text(), "Plotted 2 points");
    std::filesystem::remove(first);
    std::filesystem::remove_all(deep.parent_path());
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
    w().resize(700, 420);
    w().move(40, 30);
    const QPoint place = w().pos();
    w().close();
    for (int run = 0; run < 2; ++run) {
        Open();
        EXPECT_EQ(w().size(), QSize(700, 420)) << "run " << run;
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
