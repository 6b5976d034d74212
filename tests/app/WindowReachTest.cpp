// What a user can see and reach of the main window at any width: the status strip's two panels,
// the tool bar, the menus and the scroll bars.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QMimeData>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>
#include <filesystem>

#include "WindowTestSupport.h"

namespace ocuvis::test {
namespace {

using WindowReach = WindowTest;

QRect InWindow(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

// The strip takes the window's new width once the layout has passed it down.
bool StripFollows(TGraphWindow& w) {
    return QTest::qWaitFor([&] { return w.ScrollBarPanel->width() == w.width(); });
}

// The result panel and the hints panel lie side by side inside the strip, never over each other.
void ExpectStripApart(TGraphWindow& w) {
    const QRect strip = w.ScrollBarPanel->rect();
    const QRect result = w.MsgLabel->geometry();
    EXPECT_TRUE(strip.contains(result));
    EXPECT_GT(result.width(), 0);
    if (w.StatusBar->isVisible()) {
        EXPECT_TRUE(strip.contains(w.StatusBar->geometry()));
        EXPECT_FALSE(result.intersects(w.StatusBar->geometry()));
        EXPECT_GT(w.StatusBar->width(), 0);
    }
}

// Every load result can be read whole without hovering wherever the strip can hold it, and a
// hint never lies over it: a result too long for half the strip holds all of it until another
// control's hint comes. After that the result keeps its own part of the strip, and a hover over
// that part shows it whole.
TEST_F(WindowReach, TheLoadResultAndTheHintsNeverLieOverEachOther) {
    Show();
    ExpectStripApart(w());  // the first start: "Plotted 49 points" and the paint area's hint
    const std::string folder = dir_.Path("folder");
    std::filesystem::create_directories(folder);
    const QString longPath = "Cannot read " +
                             QString::fromStdString(dir_.Path(std::string(60, 'n'))) +
                             ".3d: No such file or directory";
    const QString results[] = {"Plotted 49 points", "Plotted 49999 of 60000 points (limit)",
                               "Cannot read /tmp/x/nofile.3d: No such file or directory", longPath};
    for (const int width : {w().minimumWidth(), 345, 560, 790, 1100}) {
        w().resize(width, 364);
        ASSERT_TRUE(StripFollows(w()));
        w().OpenDataFile(folder);  // the real route, once per width
        SCOPED_TRACE(width);
        EXPECT_EQ(w().MsgLabel->text().toStdString(), "Cannot read " + folder + ": Is a directory");
        ExpectStripApart(w());
        for (const QString& result : results) {
            SCOPED_TRACE(result.toStdString());
            w().MsgLabel->setText(result);
            // The pointer coming back to the graph, as after a dialog, brings no new hint.
            QTest::mouseMove(w().GraphBoxWidget);
            ExpectStripApart(w());
            if (w().MsgLabel->wholeTextWidth() <= w().ScrollBarPanel->width()) {
                EXPECT_EQ(w().MsgLabel->shownText(), result);
            }
            QTest::mouseMove(m().FileOpenSpdBtn);
            EXPECT_EQ(w().StatusBar->text(), "Open File");
            EXPECT_TRUE(w().StatusBar->isVisible());
            ExpectStripApart(w());
        }
    }

    // The narrowest strip cuts the long result once a hint has come; a real hover over the
    // panel finds the panel, not the status bar, and shows the whole text.
    w().resize(w().minimumWidth(), 364);
    ASSERT_TRUE(StripFollows(w()));
    ASSERT_NE(w().MsgLabel->shownText(), longPath);
    w().activateWindow();  // tool tips show over the active window only
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    QTest::mouseMove(&w(), w().MsgLabel->mapTo(&w(), w().MsgLabel->rect().center()));
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), longPath);
    QToolTip::hideText();
}

// Single view with 1:1 on and the window as low as it goes: the width follows the height down
// to its narrowest. Every tool button, menu, scroll bar and label can still be reached there.
TEST_F(WindowReach, EveryCommandIsWithinReachAtTheNarrowestFixedAspect) {
    Show();
    QTest::mouseClick(m().viewButtons[4], Qt::LeftButton);
    QTest::mouseClick(m().AspectRatioSpdBtn, Qt::LeftButton);
    ASSERT_TRUE(view().fixedAspect);
    w().resize(w().width(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w().width() <= 345; }));
    // The second row of bars raises the window's least height an event round later.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return w().rect().contains(InWindow(w().AzimuthScrollBar)); }));
    const QRect window = w().rect();

    const QList<QWidget*> controls = w().ButtonsPanel->findChildren<QWidget*>();
    for (const QWidget* control : controls) {
        if (qobject_cast<const QScrollBar*>(control) == nullptr &&
            qobject_cast<const QLabel*>(control) == nullptr)
            continue;
        SCOPED_TRACE(control->toolTip().toStdString());
        EXPECT_TRUE(control->isVisible());
        EXPECT_TRUE(window.contains(InWindow(control)));
        if (qobject_cast<const QScrollBar*>(control)) {
            EXPECT_GE(control->width(), 60);
        }
        for (const QWidget* other : controls) {
            if (other != control && other->parentWidget() == control->parentWidget()) {
                EXPECT_FALSE(control->geometry().intersects(other->geometry()));
            }
        }
    }
    ExpectStripApart(w());

    // The menus fit the bar or its overflow shows.
    QMenuBar* bar = w().menuBar();
    auto* menuOverflow = bar->findChild<QToolButton*>("qt_menubar_ext_button");
    for (QAction* menu : bar->actions())
        EXPECT_TRUE(bar->rect().contains(bar->actionGeometry(menu)) ||
                    (menuOverflow != nullptr && menuOverflow->isVisible()))
            << menu->text().toStdString();

    // Buttons the tool bar has no room for are behind its overflow, which opens.
    const QList<QToolButton*> buttons = m().ToolBar->findChildren<QToolButton*>();
    auto* overflow = m().ToolBar->findChild<QToolButton*>("qt_toolbar_ext_button");
    ASSERT_NE(overflow, nullptr);
    ASSERT_FALSE(m().AspectRatioSpdBtn->isVisible()) << "the bar was meant to overflow here";
    ASSERT_TRUE(overflow->isVisible());
    QTest::mouseClick(overflow, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m().AspectRatioSpdBtn->isVisible(); }));
    for (const QToolButton* button : buttons) {
        if (button == overflow) continue;
        SCOPED_TRACE(button->toolTip().toStdString());
        EXPECT_TRUE(button->isVisible());
        // Inside the bar, or the bar would cut it off, and the bar inside the window.
        EXPECT_TRUE(m().ToolBar->rect().contains(button->geometry()));
        EXPECT_TRUE(window.contains(InWindow(button)));
        for (const QToolButton* other : buttons) {
            if (other != button && other != overflow) {
                EXPECT_FALSE(button->geometry().intersects(other->geometry()));
            }
        }
    }
    QTest::mouseClick(m().AspectRatioSpdBtn, Qt::LeftButton);
    EXPECT_FALSE(view().fixedAspect);
}

// Only a local file is opened; a link to elsewhere is refused as it is dragged in, and changes
// nothing. Among several, the first local one counts, its whole path however deep.
TEST_F(WindowReach, OnlyADroppedLocalFileIsOpened) {
    // Deeper than the 259 characters a fixed path buffer once kept.
    const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e');
    std::filesystem::create_directories(dir_.Path(deep));
    const std::string local = dir_.Write(deep + "/local.3d", "1 2 3\n4 5 6\n");
    ASSERT_GT(local.size(), 259u);
    Show();
    QTest::mouseMove(&w(), QPoint(-40, -40));  // dragged in from outside the window
    const QString caption = w().windowTitle();
    const struct {
        QList<QUrl> urls;
        bool accepted;
        std::string opened;  // empty: nothing opens
    } cases[] = {
        {{QUrl("http://example.com/data.3d")}, false, ""},
        {{QUrl("ftp://example.com/data.3d"), QUrl("mailto:a@example.com")}, false, ""},
        {{QUrl("http://example.com/data.3d"), QUrl::fromLocalFile(QString::fromStdString(local)),
          QUrl::fromLocalFile(QString::fromStdString(kSample)), QUrl::fromLocalFile("/nowhere.3d")},
         true,
         local},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.urls.front().toString().toStdString());
        QMimeData data;
        data.setUrls(c.urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&w(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.accepted);
        // Sent regardless: a drop must check for itself what it carries.
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&w(), &drop);
        EXPECT_EQ(view().dataFileName, c.opened.empty() ? kSample : c.opened);
        if (c.opened.empty()) {
            EXPECT_EQ(w().windowTitle(), caption);
            EXPECT_FALSE(w().document().store->defaultDataLoaded);
        }
    }
    // The pointer is back over the paint area once the drop is over.
    QTest::mouseMove(w().GraphBoxWidget);
    EXPECT_EQ(w().StatusBar->text().toStdString(), "Filename is " + local);
    m().ReOpenItem->trigger();
    EXPECT_EQ(w().MsgLabel->text(), "Plotted 2 points");
}

}  // namespace
}  // namespace ocuvis::test
