#include "input/dialogs/TProgressBarForm.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "core/ScreenCentre.h"
#include "core/WindowBounds.h"

namespace ocuvis {

TProgressBarForm::TProgressBarForm(WindowBoundsStore& position, int startPosition)
    : TProgressBarForm(position) {
    ResetProgress(startPosition);
}

TProgressBarForm::TProgressBarForm(WindowBoundsStore& position)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      position_(position) {
    setObjectName("TProgressBarForm");
    setWindowTitle("Progress Indicator");
    setFixedSize(kWidth, kHeight);

    FileLoadProgressBar = new QProgressBar(this);
    FileLoadProgressBar->setObjectName("FileLoadProgressBar");
    FileLoadProgressBar->setRange(0, 100);
    FileLoadProgressBar->setTextVisible(false);
    FileLoadProgressBar->setGeometry(10, 12, kWidth - 26, 20);

    ProgressBarLabel = new QLabel("Loading File...", this);
    ProgressBarLabel->setObjectName("ProgressBarLabel");
    ProgressBarLabel->setAlignment(Qt::AlignCenter);
    ProgressBarLabel->setGeometry(10, 42, 270, 18);

    PercentIndicatorLabel = new QLabel(this);
    PercentIndicatorLabel->setObjectName("PercentIndicatorLabel");
    PercentIndicatorLabel->setAlignment(Qt::AlignCenter);
    PercentIndicatorLabel->setGeometry(280, 42, kWidth - 26 - 270, 18);

    AbortProgressBarBitBtn = new QPushButton("Abort", this);
    AbortProgressBarBitBtn->setObjectName("AbortProgressBarBitBtn");
    AbortProgressBarBitBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    AbortProgressBarBitBtn->setGeometry((kWidth - 90) / 2, 72, 90, 28);
    connect(AbortProgressBarBitBtn, &QPushButton::clicked, this,
            [this] { AbortProgressBarBitBtnClick(); });

    // The screen centre unless a position was stored; placed before showing, so the window
    // does not jump.
    WindowBounds bounds;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        bounds.left = CentredStart(area.left(), area.width(), kWidth);
        bounds.top = CentredStart(area.top(), area.height(), kHeight);
    }
    position_.Restore(bounds);
    move(bounds.left, bounds.top);
}

TProgressBarForm::~TProgressBarForm() {
    const QRect frame = frameGeometry();
    WindowBounds bounds;
    bounds.top = frame.top();
    bounds.left = frame.left();
    position_.Save(bounds);
}

void TProgressBarForm::ResetProgress(int position) {
    // Forgotten before the window first lets events through, so that a click on Abort handled
    // then still counts.
    abortPressed_ = false;
    FileLoadProgressBar->setValue(position);
    show();
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

void TProgressBarForm::ShowProgress(int percent, const QString& message) {
    SetProgress(percent, message);
    ProcessPendingEvents();
}

void TProgressBarForm::SetProgress(int percent, const QString& message) {
    // A progress bar repaints itself at once when its value changes; held off, it is painted
    // with the next run of events like the labels, instead of up to a hundred times a load.
    FileLoadProgressBar->setUpdatesEnabled(false);
    FileLoadProgressBar->setValue(percent);
    FileLoadProgressBar->setUpdatesEnabled(true);
    PercentIndicatorLabel->setText(QString::number(percent) + '%');
    ProgressBarLabel->setText(message);
}

void TProgressBarForm::ProcessPendingEvents() {
    if (!EventsDue()) return;
    QCoreApplication::processEvents();
    // Counted from the end of the run, so slow handlers never make every line pay for events.
    sinceEvents_.restart();
}

}  // namespace ocuvis
