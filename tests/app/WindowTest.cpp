#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QMenuBar>
#include <QScreen>
#include <QStyleOptionSlider>
#include <QTimer>
#include <limits>

#include "input/dialogs/TFileFormat.h"
#include "settings/dialogs/TGraphTitles.h"

#include "WindowTestSupport.h"

namespace ocuvis::test {
namespace {

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
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

using Window = WindowTest;

// Each toggle's menu item and button reach one state, and both show it; so do the view types,
// the speeds and the colours.
TEST_F(Window, ControlsReachOneStateFromMenuAndButton) {
    Open();
    const struct {
        QAction* item;
        QAbstractButton* button;
        const bool& state;
    } toggles[] = {{m().ModeIndicatorItem, m().ModeIndicatorSpdBtn, view().modeIndicator},
                   {m().AxisLabels, m().AxisLabelsSpdBtn, view().axisLabels},
                   {m().TitlesItem, m().TitlesSpdBtn, view().titles},
                   {m().TextLabelsItem, m().TextLabelsSpdBtn, view().textLabels},
                   {m().FadeItem, m().FadeLinesSpdBtn, view().fadeLines},
                   {m().DepthShadeItem, m().DepthShadeSpdBtn, view().depthShade},
                   {m().FullGrid, m().FullGridSpdBtn, view().fullBoxGrid},
                   {m().ZInvertItem, m().ZInvertSpdBtn, view().zInvert},
                   {m().AzimuthItem, m().RotateAzimuthSpdBtn, view().rotateAzimuth},
                   {m().ElevationItem, m().RotateElevationSpdBtn, view().rotateElevation}};
    for (const auto& toggle : toggles) {
        SCOPED_TRACE(toggle.item->text().toStdString());
        const bool before = toggle.state;
        toggle.item->trigger();
        EXPECT_NE(toggle.state, before);
        EXPECT_EQ(toggle.button->isChecked(), toggle.state);
        toggle.button->click();
        EXPECT_EQ(toggle.state, before);
        EXPECT_EQ(toggle.item->isChecked(), toggle.state);
    }

    m().viewItems[1]->trigger();
    EXPECT_TRUE(m().viewButtons[1]->isChecked());
    m().viewButtons[4]->click();
    m().viewButtons[4]->click();  // a pressed radio button stays down
    EXPECT_EQ(view().viewType, ViewType::Single);
    EXPECT_TRUE(m().viewItems[4]->isChecked());
    EXPECT_FALSE(m().viewItems[1]->isChecked());

    m().Sec[10]->trigger();
    EXPECT_EQ(w().RotateTimer->interval(), 33);
    m().FasterSpdBtn->click();
    EXPECT_EQ(w().RotateTimer->interval(), 20);
    EXPECT_TRUE(m().Sec[11]->isChecked());
    d().colours = {0x00FF00};
    m().GridColorSetup->trigger();
    EXPECT_EQ(view().gridColor, 0x00FF00u);
}

// The colour button opens Plot > Colour; its choices and the fine dots show their checks, and
// a point size from the menu ends the fine dots.
TEST_F(Window, ColourAndFinePointChoicesShowTheirChecks) {
    Open();
    EXPECT_EQ(m().ColourSpdBtn->menu(), m().ColourMenu);
    EXPECT_TRUE(m().ColourByItems[0]->isChecked() && m().ColourMapItems[0]->isChecked());
    m().ColourByItems[4]->trigger();
    m().ColourMapItems[2]->trigger();
    m().ColourLegendItem->trigger();
    EXPECT_EQ(std::tuple(view().colourBy, view().colourMap, view().colourLegend),
              std::tuple(ColourBy::Z, ColourMapKind::Turbo, true));
    EXPECT_FALSE(m().ColourByItems[0]->isChecked());

    m().FinePointsItems[1]->trigger();
    EXPECT_EQ(view().finePoints, FinePoints::TwoByTwo);
    EXPECT_FALSE(m().PointsPixel[static_cast<std::size_t>(view().pointsPixelItem)]->isChecked());
    m().PointsPixel[3]->trigger();
    EXPECT_EQ(std::tuple(view().finePoints, view().pointSize), std::tuple(FinePoints::Off, 3));
    EXPECT_FALSE(m().FinePointsItems[1]->isChecked());
}

TEST_F(Window, KeysAfterTheMenuShortCutsAndDragsReachTheirCommands) {
    Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    const auto key = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(w().GraphBoxWidget, key, modifiers);
    };
    key(Qt::Key_G);
    EXPECT_EQ(w().StatusBar->text(), "Key Code = 71");
    key(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(w().XOffsetScrollBar->value(), 1);
    // A menu short-cut takes the key before the key table.
    d().colours = {std::nullopt};
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(d().colourDialogs, 1);
    EXPECT_NE(w().StatusBar->text(), "Key Code = 2068");
    key(Qt::Key_F9);
    EXPECT_TRUE(m().AxisLabelsSpdBtn->isChecked());

    w().AzimuthScrollBar->setValue(10);
    QTest::mousePress(w().GraphBoxWidget, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(w().GraphBoxWidget, QPoint(130, 80));
    QTest::mouseRelease(w().GraphBoxWidget, Qt::LeftButton, {}, QPoint(130, 80));
    EXPECT_EQ(w().AzimuthLabel->text(), QString("Azim -20") + QChar(0xB0));
    EXPECT_EQ(w().ElevationLabel->text(), QString("Elev 20") + QChar(0xB0));
}

TEST_F(Window, TheAngleBarsAnswerArrowTrackAndHandle) {
    Show();
    w().RotateTimer->stop();  // no tick may move an angle under the test
    struct Axis {
        QScrollBar* bar;
        const int& angle;
        QAction* rotate;
        const bool& rotating;
    };
    const Axis axes[] = {
        {w().ElevationScrollBar, view().elevation, m().ElevationItem, view().rotateElevation},
        {w().AzimuthScrollBar, view().azimuth, m().AzimuthItem, view().rotateAzimuth}};
    for (const Axis& axis : axes) {
        const int start = axis.angle;
        QTest::mouseClick(axis.bar, Qt::LeftButton, {},
                          PartOf(axis.bar, QStyle::SC_ScrollBarAddLine));
        EXPECT_EQ(axis.angle, start + 1);
        // A click on the track stops the axis' rotation.
        axis.rotate->trigger();
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

TEST_F(Window, StatusPanelsAndZBarsFollowTheWindowsWidthNeverSetIt) {
    Show();
    // Narrow windows put the Z bars in a second row.
    w().resize(700, 364);
    EXPECT_GT(w().ZRPanel->y(), 0);
    w().resize(800, 364);
    EXPECT_EQ(w().ZRPanel->y(), 0);
    const int width = w().width();
    QTest::mouseMove(m().AspectRatioSpdBtn);  // the button with the longest hint
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return w().StatusBar->text() == m().AspectRatioSpdBtn->statusTip(); }));
    // The width a layout asks for is known at once; the window would follow it a few event
    // rounds later.
    EXPECT_LE(w().minimumSizeHint().width(), width);
    EXPECT_EQ(w().width(), width);

    QTest::mouseClick(m().AspectRatioSpdBtn, Qt::LeftButton);
    ASSERT_TRUE(view().fixedAspect);
    const float client = static_cast<float>(w().height() - w().menuBar()->height());
    EXPECT_EQ(w().width(), static_cast<int>(client * 1.96f)) << "cross-eyed: twice as wide";
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
    Show();
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
    const StoredValue largest{kRegDword, {0xFF, 0xFF, 0xFF, 0x7F}};
    for (const char* key : {"Software\\Tolvane\\Ocuvis", "Software\\Tolvane\\Ocuvis\\File Format"})
        for (const char* name : {"Window Position Left", "Window Height", "Window Width"})
            settings_.WriteValue(key, name, largest);
    Open();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w().geometry()));
    EXPECT_TRUE(screen.contains(QRect(screen.topLeft(), w().fileInputDialog().size())));
}

// The next run starts on the last file at its scale, with the window where it was left; the
// scale is kept before the settings and those before the recent files.
TEST_F(Window, ClosingSavesEverythingTheNextRunStartsWith) {
    Show();
    w().resize(700, 420);
    w().move(40, 30);
    const QPoint place = w().pos();
    w().XRangeScrollBar->setValue(28);
    hive_->writes.clear();
    w().close();
    std::string log;
    for (const std::string& write : hive_->writes)
        log += write + "\n";
    const auto recent = log.find("LastFile0");
    ASSERT_NE(recent, std::string::npos);
    EXPECT_LT(log.find("graph.xmin"), log.find("Grid Thickness"));
    EXPECT_LT(log.find("Grid Thickness"), recent);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        Open("");
        EXPECT_EQ(view().dataFileName, kSample);
        EXPECT_EQ(w().XRangeScrollBar->value(), 28);
        EXPECT_EQ(w().size(), QSize(700, 420));
        EXPECT_EQ(w().pos(), place);
        w().close();
    }
}

// A cloud whose whole frame misses the timer turns as a subset, the same one every frame, and
// says so; once the view has rested, every record is drawn again.
TEST_F(Window, ALargeCloudMovesAsASubsetAndRestsWhole) {
    std::string text;
    for (int i = 0; i < 300000; ++i)
        text += std::to_string(i % 541) + " " + std::to_string(i % 317) + " " +
                std::to_string(i % 97) + "\n";
    const std::string path = dir_.Write("ocuvis-cloud.3d", text);
    Show();
    w().fileInput().fields.RecordLimit = 300000;
    w().OpenDataFile(path);
    ASSERT_EQ(w().document().store->pointCount, 300000);
    w().document().view.rotateDelay = 1;  // no whole frame of this cloud fits a millisecond
    // Whole frames at rest on the window's own thread, however slow the build, until said.
    w().backgroundFrameSeconds = std::numeric_limits<double>::infinity();
    QApplication::processEvents();
    const QImage whole = w().frameBitmap();
    ASSERT_FALSE(w().StatusBar->text().startsWith("Moving:"));
    const auto frameAfter = [&](Qt::Key key) {
        QTest::keyClick(w().GraphBoxWidget, key);
        return w().frameBitmap();
    };
    const QImage turned = frameAfter(Qt::Key_Right);
    EXPECT_TRUE(w().StatusBar->text().startsWith("Moving:")) << w().StatusBar->text().toStdString();
    EXPECT_NE(frameAfter(Qt::Key_Left), whole) << "a subset stands in for the whole cloud";
    EXPECT_EQ(frameAfter(Qt::Key_Right), turned) << "the same subset every frame";
    QTest::qWait(TGraphWindow::kRestMilliseconds + 100);
    w().frameBitmap();
    EXPECT_FALSE(w().StatusBar->text().startsWith("Moving:"));
    // A copy while moving holds every record, and the window shows them too.
    EXPECT_NE(frameAfter(Qt::Key_Left), whole);
    m().CopyGraphItem->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), whole);
    EXPECT_EQ(w().frameBitmap(), whole);
    EXPECT_FALSE(w().StatusBar->text().startsWith("Moving:"));

    // Drawn on a thread of its own, the whole frame at rest comes a moment later and is the
    // same; until then the subset stays, and says so.
    w().backgroundFrameSeconds = 0.0;
    frameAfter(Qt::Key_Right);
    EXPECT_NE(frameAfter(Qt::Key_Left), whole);
    QTRY_VERIFY(!w().StatusBar->text().startsWith("Moving:"));
    EXPECT_EQ(w().frameBitmap(), whole);

    // A file opened while a whole frame is drawn apart stops that frame before the store
    // changes; the frames after it are the new file's.
    const QImage leftBehind = frameAfter(Qt::Key_Right);
    QTest::qWait(TGraphWindow::kRestMilliseconds + 5);
    w().OpenDataFile(kSample);
    ASSERT_EQ(w().document().store->pointCount, 54);
    QTRY_VERIFY(!w().StatusBar->text().startsWith("Moving:"));
    EXPECT_NE(w().frameBitmap(), leftBehind);
}

}  // namespace
}  // namespace ocuvis::test
