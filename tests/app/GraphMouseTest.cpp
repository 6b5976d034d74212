// The mouse over the graph: the wheel zooms, a right or Shift+left drag moves the picture, a
// click names the dot under it.
#include <QWheelEvent>

#include "WindowTestSupport.h"

namespace ocuvis::test {
namespace {

// The bounds and the number of the pixels of one colour.
std::pair<QRect, int> Pixels(const QImage& image, QRgb colour) {
    std::pair<QRect, int> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == colour)
                found = {found.first | QRect(x, y, 1, 1), found.second + 1};
    return found;
}

void Wheel(QWidget* widget, int angle) {
    const QPointF at = widget->rect().center();
    QWheelEvent event(at, widget->mapToGlobal(at), {}, {0, angle}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

class GraphMouse : public WindowTest {
  protected:
    // Three map points, white dots and nothing else white, in the single view.
    void SetUp() override {
        Show();
        w().RotateTimer->stop();
        GraphViewState& v = w().document().view;
        v.viewType = ViewType::Single;
        v.modeIndicator = v.axisLabels = false;
        w().OpenDataFile(dir_.Write("map.3d",
                                    "; survey\n512345.67 4012345.89 300.5\n"
                                    "512346.17 4012346.89 300.5\n512346.67 4012346.39 301\n"));
    }
    QWidget* box() { return w().GraphBoxWidget; }
    QRect Dots() { return Pixels(w().frameBitmap(), 0xFFFFFF).first; }
    int Marks() { return Pixels(box()->grab().toImage(), 0xFFFF00).second; }
};

TEST_F(GraphMouse, TheWheelZoomsAndRightAndShiftLeftDragsMoveThePicture) {
    const QRect before = Dots();
    Wheel(box(), 120);
    for (const QScrollBar* bar : {w().XRangeScrollBar, w().YRangeScrollBar, w().ZRangeScrollBar})
        EXPECT_EQ(bar->value(), 22);
    EXPECT_TRUE(Dots().width() > before.width() && Dots().height() > before.height());
    // Half notches add up; towards the user zooms out. Over a bar the wheel is the bar's.
    for (const int angle : {-60, -60, -120})
        Wheel(box(), angle);
    Wheel(w().YRangeScrollBar, 120);
    EXPECT_EQ(std::tuple(w().XRangeScrollBar->value(), w().ZRangeScrollBar->value()),
              std::tuple(20, 20));
    EXPECT_NE(w().YRangeScrollBar->value(), 20);

    const QRect zoomed = Dots();
    QTest::mousePress(box(), Qt::RightButton, {}, QPoint(100, 100));
    QTest::mouseMove(box(), QPoint(130, 100));
    QTest::mouseMove(box(), QPoint(160, 100));
    QTest::mouseRelease(box(), Qt::RightButton, {}, QPoint(160, 100));
    const QRect moved = Dots();
    // Within half an offset step of the mouse.
    EXPECT_NEAR(moved.left() - zoomed.left(), 60, 12);
    EXPECT_EQ(moved.top(), zoomed.top());
    QTest::mousePress(box(), Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 100));
    QTest::mouseMove(box(), QPoint(100, 60));
    QTest::mouseRelease(box(), Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 60));
    EXPECT_NEAR(Dots().top() - moved.top(), -40, 12);
    EXPECT_EQ(view().azimuth, 0);
}

TEST_F(GraphMouse, AClickNamesTheDotNearItInFullAndMarksItUntilTheViewChanges) {
    // The leftmost dot is the first record's; the click lands beside it.
    const QRect dots = Dots();
    int row = dots.top();
    while ((w().frameBitmap().pixel(dots.left(), row) & 0xFFFFFF) != 0xFFFFFF)
        ++row;
    QTest::mouseClick(box(), Qt::LeftButton, {}, QPoint(dots.left() - 4, row));
    EXPECT_EQ(w().StatusBar->text(), "x 512345.67  y 4012345.89  z 300.5  line 2");
    EXPECT_GT(Marks(), 0);
    // A change of view takes the mark away; a click on nothing leaves none.
    QTest::keyClick(box(), Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_EQ(Marks(), 0);
    QTest::mouseClick(box(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(Marks(), 0);
}

}  // namespace
}  // namespace ocuvis::test
