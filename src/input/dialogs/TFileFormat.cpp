#include "input/dialogs/TFileFormat.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <QValidator>

#include "core/ScreenCentre.h"

namespace ocuvis {

namespace {

constexpr int kPercentTypedLength = 5;
constexpr int kVisibleEntries = 12;
constexpr int kSelectorCharacters = 8;

// Limits what the user types to a number of characters without cutting a longer text that the
// program puts in: the percentage shows as "12.3000001907349" and can still be edited down.
class TypedLengthLimit final : public QValidator {
  public:
    TypedLengthLimit(QLineEdit* edit, int limit) : QValidator(edit), limit_(limit) {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { shown_ = text; });
    }
    State validate(QString& input, int&) const override {
        return input.size() > limit_ && input.size() > shown_.size() ? Invalid : Acceptable;
    }
    // Called before the program puts a text in: the edit must take it as valid, or it stops
    // undoing the typing that goes past the limit afterwards.
    void Allow(const QString& text) const { shown_ = text; }

  private:
    int limit_;
    mutable QString shown_;  // the text before the edit being checked
};

QString Local(const std::string& text) {
    return QString::fromLocal8Bit(text.c_str());
}

void Select(QComboBox* selector, int entry) {
    const QSignalBlocker block(selector);
    selector->setCurrentIndex(entry < selector->count() ? entry : -1);
}

}  // namespace

std::string ChooseSetupDataFile(QWidget* parent) {
    QFileDialog dialog(parent, "Open *.3d Data File");
    dialog.setNameFilters({"Ocuvis files (*.3d *.txt)", "PLY files (*.ply)", "CSV files (*.csv)",
                           "XYZ files (*.xyz)", "LAS files (*.las)",
                           "All data files (*.3d *.txt *.ply *.csv *.xyz *.las)"});
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

TFileFormat::TFileFormat(FileInputSetup& setup, WindowBoundsStore& sizeStore,
                         UserFeedback& feedback, QWidget* parent)
    : QDialog(parent),
      chooseDataFile(ChooseSetupDataFile),
      setup_(setup),
      size_(sizeStore),
      feedback_(feedback) {
    setObjectName("TFileFormat");
    setWindowTitle("Setup File Input");
    setModal(true);
    setMinimumSize(kDesignWidth, kMinimumHeight);
    setMaximumHeight(kMaximumHeight);
    BuildControls();
    ConnectControls();
    // Never narrower than the controls need, so that no caption or button is cut.
    setMinimumWidth(std::max(kDesignWidth, minimumSizeHint().width()));

    WindowBounds size;
    size_.Restore(size);
    resize(std::max(kDesignWidth, static_cast<int>(size.width)),
           std::clamp(static_cast<int>(size.height), kMinimumHeight, kMaximumHeight));
    setup_.controlsChanged = [this] { ShowControls(); };
    ShowControls();
}

TFileFormat::~TFileFormat() {
    setup_.controlsChanged = nullptr;
}

void TFileFormat::BuildControls() {
    auto* column = new QVBoxLayout(this);
    BuildFieldGroup();
    column->addWidget(SelectFieldGrpBx);
    BuildSamplingGroup();
    column->addWidget(SetRandomGrpBx);
    column->addLayout(BuildRecordLimitRow());
    column->addStretch();
    column->addLayout(BuildButtonRow());
}

void TFileFormat::BuildFieldGroup() {
    SelectFieldGrpBx =
        new QGroupBox("Select File Record Field Numbers for X, Y, Z, and Dot Size", this);
    SelectFieldGrpBx->setObjectName("SelectFieldGrpBx");
    auto* fieldGrid = new QGridLayout(SelectFieldGrpBx);
    const char* axisCaptions[] = {"X-Axis", "Y-Axis", "Z-Axis", "Dot-Size"};
    const char* selectorNames[] = {"XComboBox", "YComboBox", "ZComboBox", "DotComboBox"};
    QComboBox** selectors[] = {&XComboBox, &YComboBox, &ZComboBox, &DotComboBox};
    for (int i = 0; i < 4; ++i) {
        fieldGrid->addWidget(new QLabel(axisCaptions[i], SelectFieldGrpBx), 0, i);
        auto* selector = new QComboBox(SelectFieldGrpBx);
        selector->setObjectName(selectorNames[i]);
        selector->setMaxVisibleItems(kVisibleEntries);
        // Field names make long entries: the selector keeps its width and shows the start of
        // the chosen one, so the columns, and the captions and button in them, keep theirs.
        selector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        selector->setMinimumContentsLength(kSelectorCharacters);
        selector->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        fieldGrid->addWidget(selector, 1, i);
        *selectors[i] = selector;
    }
    OpenNewDataFileBtn = new QPushButton("Open New Data File", SelectFieldGrpBx);
    OpenNewDataFileBtn->setObjectName("OpenNewDataFileBtn");
    FileNameLabel = new QLabel(SelectFieldGrpBx);
    FileNameLabel->setObjectName("FileNameLabel");
    FileNameLabel->setTextFormat(Qt::PlainText);
    FileNameLabel->setWordWrap(true);
    // The button keeps the width of its text; the file name takes the rest of the row.
    OpenNewDataFileBtn->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(OpenNewDataFileBtn);
    fileRow->addWidget(FileNameLabel, 1);
    fieldGrid->addLayout(fileRow, 2, 0, 1, 4);
    AxesByNameChkBx = new QCheckBox("X, Y, Z by name", SelectFieldGrpBx);
    AxesByNameChkBx->setObjectName("AxesByNameChkBx");
    AxesByNameChkBx->setToolTip("Take x, y and z from the fields the file names so");
    RecordTitleLabel = new QLabel("Example Record from File:", SelectFieldGrpBx);
    RecordTitleLabel->setObjectName("RecordTitleLabel");
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(RecordTitleLabel, 1);
    titleRow->addWidget(AxesByNameChkBx);
    fieldGrid->addLayout(titleRow, 3, 0, 1, 4);
    // A record of up to 240 characters wraps inside a lowered panel of two lines that scrolls
    // down to the rest, so it neither widens the dialog past the screen, squeezing the other
    // controls, nor pushes them out of the dialog's height.
    auto* recordPanel = new QScrollArea(SelectFieldGrpBx);
    recordPanel->setObjectName("ExampleRecordPanel");
    recordPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    recordPanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    recordPanel->setWidgetResizable(true);
    recordPanel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    recordPanel->setFixedHeight(2 * recordPanel->fontMetrics().lineSpacing() +
                                2 * recordPanel->frameWidth() + 2);
    ExampleRecordLabel = new QLabel;
    ExampleRecordLabel->setObjectName("ExampleRecordLabel");
    ExampleRecordLabel->setTextFormat(Qt::PlainText);
    ExampleRecordLabel->setWordWrap(true);
    ExampleRecordLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    recordPanel->setWidget(ExampleRecordLabel);
    fieldGrid->addWidget(recordPanel, 4, 0, 1, 4);

    // Three fields that colour the dots; left at none, the file's fields named for colours do.
    // A fourth field's values colour them through the colour map instead. One row, captions
    // beside their selectors, so the group grows by as little as it can.
    const char* colourCaptions[] = {"R", "G", "B", "By value"};
    const char* colourNames[] = {"RedComboBox", "GreenComboBox", "BlueComboBox", "ValueComboBox"};
    QComboBox** colourSelectors[] = {&RedComboBox, &GreenComboBox, &BlueComboBox, &ValueComboBox};
    auto* colourRow = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        colourRow->addWidget(new QLabel(colourCaptions[i], SelectFieldGrpBx));
        auto* selector = new QComboBox(SelectFieldGrpBx);
        selector->setObjectName(colourNames[i]);
        selector->setMaxVisibleItems(kVisibleEntries);
        selector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        selector->setMinimumContentsLength(kSelectorCharacters / 2);
        selector->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        selector->setToolTip(i < 3 ? "Colour field; none takes the fields named for colours"
                                   : "Field whose values colour the dots through the colour map");
        colourRow->addWidget(selector, 1);
        *colourSelectors[i] = selector;
    }
    fieldGrid->addLayout(colourRow, 5, 0, 1, 4);
}

void TFileFormat::BuildSamplingGroup() {
    SetRandomGrpBx = new QGroupBox("Setup File Record Random Sub-Sampling", this);
    SetRandomGrpBx->setObjectName("SetRandomGrpBx");
    auto* sampling = new QHBoxLayout(SetRandomGrpBx);
    auto* enableColumn = new QVBoxLayout;
    SubSampleEnabledChkBx = new QCheckBox("Enable", SetRandomGrpBx);
    SubSampleEnabledChkBx->setObjectName("SubSampleEnabledChkBx");
    enableColumn->addWidget(SubSampleEnabledChkBx);
    auto* percentRow = new QHBoxLayout;
    PercentEditBx = new QLineEdit(SetRandomGrpBx);
    PercentEditBx->setObjectName("PercentEditBx");
    PercentEditBx->setValidator(new TypedLengthLimit(PercentEditBx, kPercentTypedLength));
    PercentEditBx->setFixedWidth(110);
    percentRow->addWidget(PercentEditBx);
    percentRow->addWidget(new QLabel("%", SetRandomGrpBx));
    percentRow->addStretch();
    enableColumn->addLayout(percentRow);
    sampling->addLayout(enableColumn);

    SeedRadioGrp = new QGroupBox("Select Seed Type", SetRandomGrpBx);
    SeedRadioGrp->setObjectName("SeedRadioGrp");
    auto* seedColumns = new QHBoxLayout(SeedRadioGrp);
    seedTypeButtons = new QButtonGroup(SeedRadioGrp);
    const char* seedTypes[] = {"Random", "Fixed"};
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(seedTypes[i], SeedRadioGrp);
        item->setObjectName(QString("SeedRadioGrp") + seedTypes[i]);
        seedTypeButtons->addButton(item, i);
        seedColumns->addWidget(item);
    }
    sampling->addWidget(SeedRadioGrp);

    auto* seedColumn = new QVBoxLayout;
    seedColumn->addWidget(new QLabel("Seed", SetRandomGrpBx));
    SeedEdit = new QLineEdit(SetRandomGrpBx);
    SeedEdit->setObjectName("SeedEdit");
    seedColumn->addWidget(SeedEdit);
    sampling->addLayout(seedColumn);
}

QHBoxLayout* TFileFormat::BuildRecordLimitRow() {
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel("Record limit", this);
    RecordLimitEdit = new QLineEdit(this);
    RecordLimitEdit->setObjectName("RecordLimitEdit");
    // Digits only; the range is checked on OK, where a refusal can say what is allowed.
    RecordLimitEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{0,9}"), RecordLimitEdit));
    RecordLimitEdit->setFixedWidth(110);
    caption->setBuddy(RecordLimitEdit);
    row->addWidget(caption);
    row->addWidget(RecordLimitEdit);
    row->addWidget(new QLabel("records, 1 to 50,000,000", this));
    row->addStretch();
    return row;
}

QHBoxLayout* TFileFormat::BuildButtonRow() {
    auto* buttons = new QHBoxLayout;
    RetryBitBtn = new QPushButton("&Restore Defaults", this);
    RetryBitBtn->setObjectName("RetryBitBtn");
    RetryBitBtn->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    OkBitBtn = new QPushButton("Ok", this);
    OkBitBtn->setObjectName("OkBitBtn");
    OkBitBtn->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    CancelBitBtn = new QPushButton("Cancel", this);
    CancelBitBtn->setObjectName("CancelBitBtn");
    CancelBitBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    for (QPushButton* button : {RetryBitBtn, OkBitBtn, CancelBitBtn})
        button->setAutoDefault(false);
    buttons->addWidget(RetryBitBtn);
    buttons->addStretch();
    buttons->addWidget(OkBitBtn);
    buttons->addWidget(CancelBitBtn);
    return buttons;
}

void TFileFormat::ConnectControls() {
    FileInputSetup::Controls& c = setup_.controls;
    const auto selectorChange = [this](QComboBox* selector, int FileInputSetup::Controls::*entry,
                                       void (FileInputSetup::*change)()) {
        connect(selector, &QComboBox::currentIndexChanged, this, [this, entry, change](int index) {
            setup_.controls.*entry = index;
            (setup_.*change)();
        });
    };
    selectorChange(XComboBox, &FileInputSetup::Controls::XComboBox,
                   &FileInputSetup::XComboBoxChange);
    selectorChange(YComboBox, &FileInputSetup::Controls::YComboBox,
                   &FileInputSetup::YComboBoxChange);
    selectorChange(ZComboBox, &FileInputSetup::Controls::ZComboBox,
                   &FileInputSetup::ZComboBoxChange);
    selectorChange(DotComboBox, &FileInputSetup::Controls::DotComboBox,
                   &FileInputSetup::DotComboBoxChange);
    selectorChange(RedComboBox, &FileInputSetup::Controls::RedComboBox,
                   &FileInputSetup::DotComboBoxChange);
    selectorChange(GreenComboBox, &FileInputSetup::Controls::GreenComboBox,
                   &FileInputSetup::DotComboBoxChange);
    selectorChange(BlueComboBox, &FileInputSetup::Controls::BlueComboBox,
                   &FileInputSetup::DotComboBoxChange);
    selectorChange(ValueComboBox, &FileInputSetup::Controls::ValueComboBox,
                   &FileInputSetup::DotComboBoxChange);

    connect(AxesByNameChkBx, &QCheckBox::toggled, this, [this, &c](bool checked) {
        c.AxesByNameChkBx = checked;
        setup_.AxesByNameChkBxClick();
    });
    connect(SubSampleEnabledChkBx, &QCheckBox::toggled, this, [this, &c](bool checked) {
        c.SubSampleEnabledChkBx = checked;
        setup_.SubSampleEnabledChkBxClick();
    });
    connect(PercentEditBx, &QLineEdit::textChanged, this,
            [&c](const QString& text) { c.PercentEditBx = text.toStdString(); });
    connect(SeedEdit, &QLineEdit::textChanged, this,
            [&c](const QString& text) { c.SeedEdit = text.toStdString(); });
    connect(RecordLimitEdit, &QLineEdit::textChanged, this,
            [&c](const QString& text) { c.RecordLimitEdit = text.toStdString(); });
    connect(seedTypeButtons, &QButtonGroup::idClicked, this, [this, &c](int id) {
        c.SeedRadioGrp = id;
        setup_.SeedRadioGrpClick();
    });
    connect(RetryBitBtn, &QPushButton::clicked, this, [this] { setup_.RetryBitBtnClick(); });
    connect(OpenNewDataFileBtn, &QPushButton::clicked, this, [this] { OpenNewDataFileBtnClick(); });
    connect(OkBitBtn, &QPushButton::clicked, this, [this] {
        if (setup_.OkBitBtnClick()) accept();
    });
    connect(CancelBitBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TFileFormat::OpenNewDataFileBtnClick() {
    const std::string path = chooseDataFile ? chooseDataFile(this) : std::string();
    if (path.empty()) return;
    if (const auto failure = setup_.LoadExampleRecord(path))
        feedback_.ShowMessage(*failure, "Ocuvis Error Message", MessageIcon::Stop);
}

void TFileFormat::FillSelector(QComboBox* selector, bool noneEntry) {
    const QSignalBlocker block(selector);
    selector->clear();
    for (const std::string& entry : setup_.SelectorEntryTexts(noneEntry))
        selector->addItem(QString::fromStdString(entry));
}

void TFileFormat::ShowControls() {
    const FileInputSetup::Controls& c = setup_.controls;
    // A new file may bring new field names with the same number of fields.
    if (std::vector<std::string> entries = setup_.SelectorEntryTexts(false);
        entries != shownEntries_) {
        FillSelector(XComboBox, false);
        FillSelector(YComboBox, false);
        FillSelector(ZComboBox, true);
        FillSelector(DotComboBox, true);
        for (QComboBox* colour : {RedComboBox, GreenComboBox, BlueComboBox, ValueComboBox})
            FillSelector(colour, true);
        shownEntries_ = std::move(entries);
    }
    Select(XComboBox, c.XComboBox);
    Select(YComboBox, c.YComboBox);
    Select(ZComboBox, c.ZComboBox);
    Select(DotComboBox, c.DotComboBox);
    Select(RedComboBox, c.RedComboBox);
    Select(GreenComboBox, c.GreenComboBox);
    Select(BlueComboBox, c.BlueComboBox);
    Select(ValueComboBox, c.ValueComboBox);
    FileNameLabel->setText(Local(c.FileNameLabel));
    ExampleRecordLabel->setText(Local(c.ExampleRecordLabel));
    for (const auto& [box, checked] : {std::pair{AxesByNameChkBx, c.AxesByNameChkBx},
                                       std::pair{SubSampleEnabledChkBx, c.SubSampleEnabledChkBx}}) {
        const QSignalBlocker block(box);
        box->setChecked(checked);
    }
    for (QWidget* control : {static_cast<QWidget*>(PercentEditBx),
                             static_cast<QWidget*>(SeedRadioGrp), static_cast<QWidget*>(SeedEdit)})
        control->setEnabled(c.samplingControlsEnabled);
    // Not blocked: the edits' own handlers copy the same text back.
    const auto setText = [](QLineEdit* edit, const std::string& text) {
        const QString shown = QString::fromStdString(text);
        if (edit->text() == shown) return;
        if (auto* limit = dynamic_cast<const TypedLengthLimit*>(edit->validator()))
            limit->Allow(shown);
        edit->setText(shown);
    };
    setText(PercentEditBx, c.PercentEditBx);
    setText(SeedEdit, c.SeedEdit);
    setText(RecordLimitEdit, c.RecordLimitEdit);
    {
        const QSignalBlocker block(seedTypeButtons);
        // An exclusive group cannot show no selection; uncheck through a non-exclusive moment.
        seedTypeButtons->setExclusive(false);
        for (QAbstractButton* item : seedTypeButtons->buttons())
            item->setChecked(seedTypeButtons->id(item) == c.SeedRadioGrp);
        seedTypeButtons->setExclusive(true);
    }
}

void TFileFormat::setVisible(bool visible) {
    // Centred on the screen rather than over the main window.
    if (visible && !isVisible()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(CentredStart(area.left(), area.width(), width()),
                 CentredStart(area.top(), area.height(), height()));
        }
    }
    // The size is stored once, at closing: a write per resize event stalls every drag on disk.
    if (!visible && isVisible()) {
        WindowBounds stored;
        size_.Restore(stored);
        if (stored.width != width() || stored.height != height()) {
            stored.width = width();
            stored.height = height();
            size_.Save(stored);
        }
    }
    QDialog::setVisible(visible);
}

}  // namespace ocuvis
