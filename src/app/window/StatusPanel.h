#pragma once

#include <QLabel>
#include <functional>

namespace ocuvis {

// A one-line text panel of the status strip. Its text never sets the window's width: what does
// not fit is elided, and the whole text shows as the panel's tool tip.
class StatusPanel final : public QLabel {
    Q_OBJECT
  public:
    explicit StatusPanel(QWidget* parent);

    // Hides QLabel's, so that the strip hears of every new text.
    void setText(const QString& text);
    // The text as it is drawn at the panel's present width.
    QString shownText() const;
    // The width that shows the whole text.
    int wholeTextWidth() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

    std::function<void()> onTextChanged;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// The strip under the graph: the load result (MsgLabel) at the left, the hints (StatusBar) at
// the right, side by side and never over each other. The result panel takes the width its text
// needs, from 163 pixels up to half the strip. A new result that needs more takes the whole
// strip until the next hint, so that it can be read without hovering; after that it is elided
// in its half like any text.
class StatusStrip final : public QWidget {
    Q_OBJECT
  public:
    explicit StatusStrip(QWidget* parent);

    StatusPanel* result() const { return result_; }
    StatusPanel* hints() const { return hints_; }

    // A hint for the status bar; it ends a result's hold on the whole strip.
    void ShowHint(const QString& text);
    // True while a result holds the whole strip.
    bool resultSpansStrip() const { return hints_->isHidden(); }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Arrange();

    StatusPanel* result_;
    StatusPanel* hints_;
    bool resultHeld_ = false;
};

}  // namespace ocuvis
