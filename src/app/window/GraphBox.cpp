#include "app/window/GraphBox.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/window/MainMenus.h"

namespace ocuvis {

GraphBox::GraphBox(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    SetHint(this, "|Click & drag to rotate.  You may drag & drop a new data file onto the window.");
    setToolTip({});
    setMouseTracking(false);
}

void GraphBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage* frame = currentFrame ? currentFrame() : nullptr;
    if (frame == nullptr || frame->isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.drawImage(0, 0, *frame);
    // Between a resize and the frame of the new size, the uncovered part stays black.
    if (frame->width() < width()) painter.fillRect(frame->width(), 0, width(), height(), Qt::black);
    if (frame->height() < height())
        painter.fillRect(0, frame->height(), width(), height(), Qt::black);
}

void GraphBox::resizeEvent(QResizeEvent*) {
    if (onResize) onResize();
}

void GraphBox::mousePressEvent(QMouseEvent* event) {
    if (onMouseDown) {
        const QPoint at = event->position().toPoint();
        onMouseDown(event->button() == Qt::LeftButton, at.x(), at.y());
    }
}

void GraphBox::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) {
        const QPoint at = event->position().toPoint();
        onMouseMove(event->buttons().testFlag(Qt::LeftButton), at.x(), at.y());
    }
}

void GraphBox::contextMenuEvent(QContextMenuEvent* event) {
    if (onContextMenu) onContextMenu(event->globalPos());
}

}  // namespace ocuvis
