#pragma once

#include <QLabel>

namespace ocuvis {

// A one-line text panel of the status strip. Its text never sets the window's width: what does
// not fit is elided, and the whole text shows as the panel's tool tip.
class StatusPanel final : public QLabel {
    Q_OBJECT
  public:
    explicit StatusPanel(QWidget* parent);

    // The text as it is drawn at the panel's present width.
    QString shownText() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ocuvis
