// The mouse over the graph: the wheel zooms, a right or Shift+left drag moves the picture, a
// click names the dot under it.
#include <QWheelEvent>

#include "WindowTestSupport.h"

namespace ocuvis::test {
namespace {

// Where the frame shows dots: the bounds of its white pixels (text is switched off).
QRect DotBounds(const QImage& frame) {
    QRect bounds;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if ((frame.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int YellowPixels(QWidget* widget) {
    const QImage shown = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            count += (shown.pixel(x, y) & 0xFFFFFF) == 0xFFFF00;
    return count;
}

void Wheel(QWidget* widget, int angle) {
    const QPointF at = widget->rect().center();
    QWheelEvent event(at, widget->mapToGlobal(at), {}, {0, angle}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

class GraphMouse : public WindowTest {
  protected:
    // Three map points, dots only, in the single view.
    void ShowCloud() {
        Show();
        w().RotateTimer->stop();
        GraphViewState& v = w().document().view;
        v.viewType = ViewType::Single;
        v.modeIndicator = false;
        v.axisLabels = false;
        w().OpenDataFile(dir_.Write("map.3d",
                                    "; survey\n512345.67 4012345.89 300.5\n"
                                    "512346.17 4012346.89 300.5\n512346.67 4012346.39 301\n"));
        QApplication::processEvents();
    }
    QWidget* box() { return w().GraphBoxWidget; }
    QRect Dots() { return DotBounds(w().frameBitmap()); }
};

TEST_F(GraphMouse, TheWheelZoomsEveryAxisOverTheGraphAndOneBarOverABar) {
    ShowCloud();
    const QRect before = Dots();
    Wheel(box(), 120);
    for (const QScrollBar* bar : {w().XRangeScrollBar, w().YRangeScrollBar, w().ZRangeScrollBar})
        EXPECT_EQ(bar->value(), 22);
    const QRect after = Dots();
    EXPECT_GT(after.width(), before.width());
    EXPECT_GT(after.height(), before.height());
    // Half notches add up to one; a notch towards the user zooms out.
    Wheel(box(), -60);
    EXPECT_EQ(w().XRangeScrollBar->value(), 22);
    Wheel(box(), -60);
    Wheel(box(), -120);
    EXPECT_EQ(w().ZRangeScrollBar->value(), 20);
    // Over a bar the wheel moves that bar alone.
    Wheel(w().YRangeScrollBar, 120);
    EXPECT_NE(w().YRangeScrollBar->value(), 20);
    EXPECT_EQ(w().XRangeScrollBar->value(), 20);
    EXPECT_EQ(w().ZRangeScrollBar->value(), 20);
}

TEST_F(GraphMouse, RightAndShiftLeftDragsMoveThePictureWithTheMouse) {
    ShowCloud();
    const QRect before = Dots();
    QTest::mousePress(box(), Qt::RightButton, {}, QPoint(100, 100));
    QTest::mouseMove(box(), QPoint(130, 100));
    QTest::mouseMove(box(), QPoint(160, 100));
    QTest::mouseRelease(box(), Qt::RightButton, {}, QPoint(160, 100));
    EXPECT_GT(w().XOffsetScrollBar->value(), 0);
    EXPECT_EQ(w().YOffsetScrollBar->value(), 0);
    const QRect moved = Dots();
    // Within half an offset step of the mouse.
    EXPECT_NEAR(moved.left() - before.left(), 60, 12);
    EXPECT_EQ(moved.top(), before.top());

    QTest::mousePress(box(), Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 100));
    QTest::mouseMove(box(), QPoint(100, 60));
    QTest::mouseRelease(box(), Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 60));
    EXPECT_GT(w().YOffsetScrollBar->value(), 0);
    EXPECT_EQ(view().azimuth, 0);
    EXPECT_NEAR(Dots().top() - moved.top(), -40, 12);
}

TEST_F(GraphMouse, AClickNamesTheDotNearItInFullAndMarksItUntilTheViewChanges) {
    ShowCloud();
    const QRect dots = Dots();
    // The leftmost dot is the first record's; the click lands beside it.
    const QImage frame = w().frameBitmap();
    int row = dots.top();
    while ((frame.pixel(dots.left(), row) & 0xFFFFFF) != 0xFFFFFF)
        ++row;
    QTest::mouseClick(box(), Qt::LeftButton, {}, QPoint(dots.left() - 4, row));
    EXPECT_EQ(w().StatusBar->text(), "x 512345.67  y 4012345.89  z 300.5  line 2");
    EXPECT_GT(YellowPixels(box()), 0);
    EXPECT_EQ(view().azimuth, 0);

    // A change of view takes the mark away; a click on nothing leaves none.
    QTest::keyClick(box(), Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_EQ(YellowPixels(box()), 0);
    QTest::mouseClick(box(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(YellowPixels(box()), 0);
}

}  // namespace
}  // namespace ocuvis::test
