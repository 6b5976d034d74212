#pragma once

#include <QDialog>

#include "render/animation/AnimationExport.h"

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace ocuvis {

// File > Export Animation...: the kind, the turntable's step, the delay and the file. OK is
// offered only for a name ending in .gif or .webp. The delay follows the kind until the user
// sets one.
class ExportAnimationDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit ExportAnimationDialog(QWidget* parent = nullptr);

    // The request as filled in; the size is left to the caller.
    AnimationRequest Request() const;

    QComboBox* kindBox = nullptr;
    QComboBox* stepBox = nullptr;  // the divisors of 360
    QSpinBox* delayBox = nullptr;
    QLineEdit* fileEdit = nullptr;
    QPushButton* browseButton = nullptr;
    QDialogButtonBox* buttons = nullptr;

  private:
    void KindChanged();
    void UpdateOk();

    bool delayEdited_ = false;
};

}  // namespace ocuvis
