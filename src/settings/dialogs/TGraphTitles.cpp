#include "settings/dialogs/TGraphTitles.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "core/ScreenCentre.h"

namespace ocuvis {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TGraphTitles::TGraphTitles(GraphTitles& titles, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), titles_(titles) {
    setObjectName("TGraphTitles");
    setWindowTitle(Text(std::string(GraphTitles::kCaption)));
    setModal(true);
    setFixedSize(251, 218);
    QFont font;
    font.setFamilies({"MS Sans Serif", "Liberation Sans"});
    font.setPixelSize(10);
    setFont(font);

    const int labelTops[] = {8, 49, 89, 130};
    const QRect fieldBounds[] = {
        {9, 24, 233, 20}, {9, 65, 233, 20}, {9, 106, 233, 19}, {9, 146, 233, 20}};
    const char* fieldNames[] = {"MainTitle", "xTitle", "yTitle", "zTitle"};
    QLineEdit** fields[] = {&MainTitle, &xTitle, &yTitle, &zTitle};
    const std::array<std::string*, 4> texts = Texts();
    for (std::size_t i = 0; i < 4; ++i) {
        auto* label = new QLabel(Text(std::string(GraphTitles::kFieldLabels[i])), this);
        label->move(16, labelTops[i]);
        auto* field = new QLineEdit(this);
        field->setObjectName(fieldNames[i]);
        field->setGeometry(fieldBounds[i]);
        field->installEventFilter(this);
        // Live: the renderer draws what the fields hold.
        connect(field, &QLineEdit::textChanged, this,
                [text = texts[i]](const QString& typed) { *text = typed.toStdString(); });
        *fields[i] = field;
    }

    CancelBtn =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setGeometry(93, 183, 70, 24);
    OkBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", this);
    OkBtn->setObjectName("OkBtn");
    OkBtn->setGeometry(175, 183, 69, 24);
    ClearAllBtn =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogResetButton), "Clear All", this);
    ClearAllBtn->setObjectName("ClearAllBtn");
    ClearAllBtn->setGeometry(8, 183, 73, 24);
    for (QPushButton* button : {CancelBtn, OkBtn, ClearAllBtn}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->installEventFilter(this);
    }
    // Cancel and Clear All take the focus when clicked but are no tab stops.
    CancelBtn->setFocusPolicy(Qt::ClickFocus);
    ClearAllBtn->setFocusPolicy(Qt::ClickFocus);
    setTabOrder(MainTitle, xTitle);
    setTabOrder(xTitle, yTitle);
    setTabOrder(yTitle, zTitle);
    setTabOrder(zTitle, OkBtn);

    accepted_ = Current();
    connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { reject(); });
    connect(ClearAllBtn, &QPushButton::clicked, this, [this] { ClearAllBtnClick(); });
    ShowTitles();
}

std::array<std::string*, 4> TGraphTitles::Texts() {
    return {&titles_.MainTitle, &titles_.xTitle, &titles_.yTitle, &titles_.zTitle};
}

std::array<std::string, 4> TGraphTitles::Current() {
    return {titles_.MainTitle, titles_.xTitle, titles_.yTitle, titles_.zTitle};
}

void TGraphTitles::ShowTitles() {
    // Copied first: each field's change handler writes back into the titles.
    const std::array<std::string, 4> shown = Current();
    QLineEdit* const fields[] = {MainTitle, xTitle, yTitle, zTitle};
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QString text = Text(shown[i]);
        if (fields[i]->text() != text) fields[i]->setText(text);
    }
}

void TGraphTitles::OkBtnClick() {
    titles_.OkBtnClick();
    accepted_ = Current();
    accept();
}

void TGraphTitles::ClearAllBtnClick() {
    titles_.ClearAllBtnClick();
    ShowTitles();
}

void TGraphTitles::reject() {
    const std::array<std::string*, 4> texts = Texts();
    for (std::size_t i = 0; i < accepted_.size(); ++i)
        *texts[i] = accepted_[i];
    titles_.CancelBtnClick();
    ShowTitles();
    QDialog::reject();
}

void TGraphTitles::setVisible(bool visible) {
    if (visible && !isVisible()) {
        ShowTitles();
        // Centred on the screen rather than over the main window.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(CentredStart(area.left(), area.width(), width()),
                 CentredStart(area.top(), area.height(), height()));
        }
    }
    QDialog::setVisible(visible);
}

bool TGraphTitles::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace ocuvis
