#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "settings/GraphTitles.h"

class QLineEdit;
class QPushButton;

namespace ocuvis {

// The titles dialog: four text fields bound to GraphTitles, which the renderer reads, so a
// frame drawn while the dialog is open shows the titles as typed so far.
class TGraphTitles final : public QDialog {
    Q_OBJECT
  public:
    TGraphTitles(GraphTitles& titles, QWidget* parent);

    // The four texts of GraphTitles into the fields.
    void ShowTitles();

    void OkBtnClick();
    void ClearAllBtnClick();
    // Cancel and Esc: the stored titles back, the hand beep, the cancel result.
    void reject() override;
    void setVisible(bool visible) override;

    QLineEdit* MainTitle = nullptr;
    QLineEdit* xTitle = nullptr;
    QLineEdit* yTitle = nullptr;
    QLineEdit* zTitle = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* ClearAllBtn = nullptr;

  protected:
    // Enter moves the focus on instead of reaching the field or a button.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::array<std::string*, 4> Texts();
    std::array<std::string, 4> Current();

    GraphTitles& titles_;
    // The titles as of construction or the last OK. Cancel reloads the stored titles, but a
    // title never stored would keep what was typed; these come back first.
    std::array<std::string, 4> accepted_;
};

}  // namespace ocuvis
