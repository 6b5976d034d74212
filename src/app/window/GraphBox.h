#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

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

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace ocuvis
