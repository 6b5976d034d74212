#include "app/window/StatusPanel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace ocuvis {

namespace {
constexpr int kStripHeight = 16;
constexpr int kResultWidth = 163;
constexpr int kGap = 2;
}  // namespace

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void StatusPanel::setText(const QString& text) {
    QLabel::setText(text);
    if (onTextChanged) onTextChanged();
}

QString StatusPanel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width() - 2 * margin());
}

int StatusPanel::wholeTextWidth() const {
    // A pixel to spare: the advance is rounded, and eliding measures more finely.
    return fontMetrics().horizontalAdvance(text()) + 1 + 2 * (margin() + frameWidth());
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

StatusStrip::StatusStrip(QWidget* parent)
    : QWidget(parent), result_(new StatusPanel(this)), hints_(new StatusPanel(this)) {
    setFixedHeight(kStripHeight);
    result_->onTextChanged = [this] {
        resultHeld_ = true;
        Arrange();
    };
}

void StatusStrip::ShowHint(const QString& text) {
    hints_->setText(text);
    resultHeld_ = false;
    Arrange();
}

QSize StatusStrip::minimumSizeHint() const {
    return {0, kStripHeight};
}

QSize StatusStrip::sizeHint() const {
    return {kResultWidth, kStripHeight};
}

void StatusStrip::resizeEvent(QResizeEvent*) {
    Arrange();
}

void StatusStrip::Arrange() {
    const int half = std::max(0, (width() - kGap) / 2);
    const int needed = result_->wholeTextWidth();
    const bool span = resultHeld_ && needed > half;
    hints_->setHidden(span);
    if (span) {
        result_->setGeometry(0, 0, width(), height());
        return;
    }
    const int resultWidth = std::clamp(needed, std::min(kResultWidth, half), half);
    result_->setGeometry(0, 0, resultWidth, height());
    const int hintsLeft = resultWidth + kGap;
    hints_->setGeometry(hintsLeft, 0, std::max(0, width() - hintsLeft), height());
}

}  // namespace ocuvis
