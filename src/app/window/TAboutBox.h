#pragma once

#include <QDialog>

namespace ocuvis {

// The About box: the program's name, its version and its maker.
class TAboutBox final : public QDialog {
    Q_OBJECT
  public:
    TAboutBox(const QString& programTitle, const QString& versionString, QWidget* parent);

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace ocuvis
