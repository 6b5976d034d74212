#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

namespace ocuvis {

// The paint area: shows the stored frame, reports its size and the mouse, and opens the
// context menu. It never renders by itself.
class GraphBox final : public QWidget {
    Q_OBJECT
  public:
    explicit GraphBox(QWidget* parent);

    // The frame to show, brought up to date just before each paint.
    std::function<const QImage*()> currentFrame;
    std::function<void()> onResize;
    std::function<void(bool leftButton, int x, int y)> onMouseDown;
    std::function<void(bool leftButton, int x, int y)> onMouseMove;
    std::function<void(const QPoint& globalPosition)> onContextMenu;
    // A right-button drag, or a left one with Shift: the picture moves.
    std::function<void(int x, int y)> onPanStart;
    std::function<void(int x, int y)> onPanMove;
    // A left click without a drag.
    std::function<void(int x, int y)> onClick;
    // Whole wheel notches, away from the user positive.
    std::function<void(int notches)> onWheel;

    // Rings drawn over the frame around picked dots, until SetMarks is called again.
    void SetMarks(std::vector<QPoint> centres, int radius);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QPoint pressAt_;
    bool panning_ = false;
    bool dragged_ = false;
    int wheelAngle_ = 0;
    std::vector<QPoint> marks_;
    int markRadius_ = 0;
};

}  // namespace ocuvis
