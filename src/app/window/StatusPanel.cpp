#include "app/window/StatusPanel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace ocuvis {

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QString StatusPanel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width() - 2 * margin());
}

// Only the height counts: a long text must not make the strip, and so the window, wider.
QSize StatusPanel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

QSize StatusPanel::sizeHint() const {
    return {0, QLabel::sizeHint().height()};
}

bool StatusPanel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (shownText() != text())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void StatusPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    painter.drawText(area, static_cast<int>(alignment()), shownText());
}

}  // namespace ocuvis
