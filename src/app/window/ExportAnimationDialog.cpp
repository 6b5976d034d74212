#include "app/window/ExportAnimationDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "render/animation/AnimationWriter.h"

namespace ocuvis {

ExportAnimationDialog::ExportAnimationDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("ExportAnimationDialog");
    setWindowTitle("Export Animation");
    auto* form = new QFormLayout(this);

    kindBox = new QComboBox(this);
    kindBox->addItem("Turntable (a whole turn)", static_cast<int>(AnimationKind::Turntable));
    kindBox->addItem("Wiggle (the eyes alternating)", static_cast<int>(AnimationKind::Wiggle));
    form->addRow("&Kind:", kindBox);

    stepBox = new QComboBox(this);
    for (int degrees = 1; degrees <= 180; ++degrees) {
        if (IsTurntableStep(degrees)) stepBox->addItem(QString("%1°").arg(degrees), degrees);
    }
    stepBox->setCurrentIndex(stepBox->findData(2));
    form->addRow("&Step:", stepBox);

    delayBox = new QSpinBox(this);
    delayBox->setRange(10, 655350);
    delayBox->setSuffix(" ms");
    delayBox->setValue(DefaultAnimationDelay(AnimationKind::Turntable));
    form->addRow("&Delay:", delayBox);

    fileEdit = new QLineEdit(this);
    fileEdit->setPlaceholderText("turntable.gif or .webp");
    browseButton = new QPushButton("&Browse...", this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileEdit);
    fileRow->addWidget(browseButton);
    form->addRow("&File:", fileRow);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);

    connect(kindBox, &QComboBox::currentIndexChanged, this, [this] { KindChanged(); });
    connect(delayBox, &QSpinBox::valueChanged, this, [this] { delayEdited_ = true; });
    connect(fileEdit, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
    connect(browseButton, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, "Export Animation", fileEdit->text(), "Animations (*.gif *.webp)");
        if (!path.isEmpty()) fileEdit->setText(path);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    UpdateOk();
}

void ExportAnimationDialog::KindChanged() {
    const auto kind = static_cast<AnimationKind>(kindBox->currentData().toInt());
    stepBox->setEnabled(kind == AnimationKind::Turntable);
    if (!delayEdited_) {
        const QSignalBlocker quiet(delayBox);
        delayBox->setValue(DefaultAnimationDelay(kind));
    }
}

void ExportAnimationDialog::UpdateOk() {
    buttons->button(QDialogButtonBox::Ok)
        ->setEnabled(AnimationFormatOfName(fileEdit->text().trimmed().toStdString()).has_value());
}

AnimationRequest ExportAnimationDialog::Request() const {
    AnimationRequest request;
    request.kind = static_cast<AnimationKind>(kindBox->currentData().toInt());
    request.stepDegrees = stepBox->currentData().toInt();
    request.delayMs = delayBox->value();
    request.path = fileEdit->text().trimmed();
    return request;
}

}  // namespace ocuvis
