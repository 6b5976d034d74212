#include "app/window/TAboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "app/window/ToolbarIcons.h"
#include "core/ScreenCentre.h"

namespace ocuvis {

TAboutBox::TAboutBox(const QString& programTitle, const QString& versionString, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle("About " + programTitle);
    setFixedSize(286, 184);
    QFont font("Liberation Sans");
    font.setPixelSize(12);
    setFont(font);

    auto* outer = new QFrame(this);
    outer->setFrameStyle(QFrame::Panel | QFrame::Raised);
    outer->setGeometry(0, 0, 286, 184);
    auto* inner = new QFrame(this);
    inner->setFrameStyle(QFrame::Box | QFrame::Sunken);
    inner->setObjectName("TextFrame");
    inner->setGeometry(9, 9, 268, 133);

    auto* Label1 = new QLabel("Ocuvis", this);
    QFont bold = font;
    bold.setPixelSize(15);
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->move(19, 18);
    auto* Image1 = new QLabel(this);
    Image1->setPixmap(MakeToolbarIcon(ToolbarIcon::Program).pixmap(32, 32));
    Image1->setGeometry(230, 23, 32, 32);
    auto* VersionLabel = new QLabel("Version " + versionString, this);
    VersionLabel->setObjectName("VersionLabel");
    VersionLabel->move(19, 44);
    auto* maker = new QLabel("A stereo viewer for 3-D point data.", this);
    maker->setGeometry(19, 62, 255, 18);
    auto* details = new QLabel(
        "Shows data files as cross-eyed or wall-eyed pairs, red/blue anaglyphs or one "
        "perspective view.",
        this);
    details->setWordWrap(true);
    details->setGeometry(19, 88, 255, 45);

    auto* BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setGeometry(86, 150, 62, 23);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

// Centred on the screen, not over the main window: placed before it is first mapped, so it does
// not jump.
void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const QScreen* shown = parentWidget() != nullptr ? parentWidget()->screen() : screen();
    if (shown == nullptr) return;
    const QRect area = shown->availableGeometry();
    const QRect frame = frameGeometry();
    move(CentredStart(area.left(), area.width(), frame.width()),
         CentredStart(area.top(), area.height(), frame.height()));
}

}  // namespace ocuvis
