#include "app/window/GraphBox.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <utility>

#include "app/window/MainMenus.h"

namespace ocuvis {

GraphBox::GraphBox(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    SetHint(this,
            "|Click & drag to rotate, right-drag to move, wheel to zoom, click a dot to read it.  "
            "You may drag & drop a new data file onto the window.");
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
    if (marks_.empty()) return;
    // Two rings, dark in light, so that the mark shows on any background.
    painter.setBrush(Qt::NoBrush);
    for (const auto& [colour, grow] : {std::pair{QColor(Qt::black), 1}, {QColor(255, 255, 0), 0}}) {
        painter.setPen(QPen(colour, 1));
        for (const QPoint& c : marks_)
            painter.drawEllipse(c, markRadius_ + grow, markRadius_ + grow);
    }
}

void GraphBox::resizeEvent(QResizeEvent*) {
    if (onResize) onResize();
}

namespace {
// Movement up to this many pixels still makes a click.
constexpr int kClickSlack = 2;
}  // namespace

void GraphBox::SetMarks(std::vector<QPoint> centres, int radius) {
    if (centres.empty() && marks_.empty()) return;
    marks_ = std::move(centres);
    markRadius_ = radius;
    update();
}

void GraphBox::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    pressAt_ = at;
    dragged_ = false;
    panning_ =
        event->button() == Qt::RightButton ||
        (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ShiftModifier));
    if (panning_) {
        if (onPanStart) onPanStart(at.x(), at.y());
        return;
    }
    if (onMouseDown) onMouseDown(event->button() == Qt::LeftButton, at.x(), at.y());
}

void GraphBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if ((at - pressAt_).manhattanLength() > kClickSlack) dragged_ = true;
    if (panning_) {
        if (onPanMove) onPanMove(at.x(), at.y());
        return;
    }
    if (onMouseMove) onMouseMove(event->buttons().testFlag(Qt::LeftButton), at.x(), at.y());
}

void GraphBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool click = !dragged_ && (at - pressAt_).manhattanLength() <= kClickSlack;
    const bool wasPanning = panning_;
    panning_ = false;
    if (!click) return;
    // The menu comes with a right click, not with the press: a right drag moves the picture.
    if (event->button() == Qt::RightButton) {
        if (onContextMenu) onContextMenu(event->globalPosition().toPoint());
    } else if (event->button() == Qt::LeftButton && !wasPanning && onClick) {
        onClick(at.x(), at.y());
    }
}

void GraphBox::wheelEvent(QWheelEvent* event) {
    event->accept();
    wheelAngle_ += event->angleDelta().y();
    // Fine-grained wheels send parts of a notch: they count once they make a whole one.
    const int notches = wheelAngle_ / 120;
    wheelAngle_ -= notches * 120;
    if (notches != 0 && onWheel) onWheel(notches);
}

void GraphBox::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) return;
    if (onContextMenu) onContextMenu(event->globalPos());
}

}  // namespace ocuvis
