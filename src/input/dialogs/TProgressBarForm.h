#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <string>

#include "core/WindowBounds.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace ocuvis {

// A small stay-on-top window with a bar, a message, a percentage and an Abort button, which
// comes back where the user last left it.
class TProgressBarForm : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 410;
    static constexpr int kHeight = 120;
    // Pending events run at most this often while progress is shown: often enough that Abort and
    // repaints answer within a frame or two, rarely enough that a fast load is not slowed.
    static constexpr int kEventIntervalMs = 20;

    // position: where the window was last left. The window shows itself at once.
    TProgressBarForm(WindowBoundsStore& position, int startPosition);
    ~TProgressBarForm() override;

    // Bar to position, the window shown and painted at once, Abort forgotten.
    void ResetProgress(int position);
    // Bar, percentage and message, then the user interface's pending events when it is time.
    void ShowProgress(int percent, const QString& message);
    // Bar, percentage and message only.
    void SetProgress(int percent, const QString& message);
    // True when the last run of pending events is kEventIntervalMs or more ago.
    bool EventsDue() const { return sinceEvents_.elapsed() >= kEventIntervalMs; }
    // Lets the user interface run when it is due.
    void ProcessPendingEvents();

    void AbortProgressBarBitBtnClick() { abortPressed_ = true; }
    bool abortPressed() const { return abortPressed_; }

    QProgressBar* FileLoadProgressBar = nullptr;
    QLabel* ProgressBarLabel = nullptr;
    QLabel* PercentIndicatorLabel = nullptr;
    QPushButton* AbortProgressBarBitBtn = nullptr;

  protected:
    // For windows that add to the form: they show it with ResetProgress once they are made, so
    // that no event handled then meets a window half built.
    explicit TProgressBarForm(WindowBoundsStore& position);

  private:
    WindowBoundsStore& position_;
    QElapsedTimer sinceEvents_;
    bool abortPressed_ = false;
};

}  // namespace ocuvis
