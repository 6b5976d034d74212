#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "core/UserFeedback.h"
#include "core/WindowBounds.h"
#include "input/FileInputSetup.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ocuvis {

// "Setup File Input": the controls of the file input set-up. Every rule lives in
// FileInputSetup; the dialog copies the user's changes into its controls record, calls the
// handler and shows the record again.
class TFileFormat final : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kDesignWidth = 465;
    static constexpr int kDesignHeight = 390;
    static constexpr int kMinimumHeight = 250;
    static constexpr int kMaximumHeight = 415;

    // sizeStore: where this dialog's size is kept between runs.
    TFileFormat(FileInputSetup& setup, WindowBoundsStore& sizeStore, UserFeedback& feedback,
                QWidget* parent);
    ~TFileFormat() override;

    // The dialog's own open dialog: a chosen file's path, empty when cancelled.
    std::function<std::string(QWidget*)> chooseDataFile;

    void OpenNewDataFileBtnClick();
    // The controls record into the widgets.
    void ShowControls();

    void setVisible(bool visible) override;

    QGroupBox* SelectFieldGrpBx = nullptr;
    QComboBox* XComboBox = nullptr;
    QComboBox* YComboBox = nullptr;
    QComboBox* ZComboBox = nullptr;
    QComboBox* DotComboBox = nullptr;
    QComboBox* RedComboBox = nullptr;
    QComboBox* GreenComboBox = nullptr;
    QComboBox* BlueComboBox = nullptr;
    QComboBox* ValueComboBox = nullptr;
    QPushButton* OpenNewDataFileBtn = nullptr;
    QLabel* FileNameLabel = nullptr;
    QCheckBox* AxesByNameChkBx = nullptr;
    QLabel* RecordTitleLabel = nullptr;
    QLabel* ExampleRecordLabel = nullptr;
    QGroupBox* SetRandomGrpBx = nullptr;
    QCheckBox* SubSampleEnabledChkBx = nullptr;
    QLineEdit* PercentEditBx = nullptr;
    QGroupBox* SeedRadioGrp = nullptr;
    QButtonGroup* seedTypeButtons = nullptr;
    QLineEdit* SeedEdit = nullptr;
    QLineEdit* RecordLimitEdit = nullptr;
    QPushButton* RetryBitBtn = nullptr;
    QPushButton* OkBitBtn = nullptr;
    QPushButton* CancelBitBtn = nullptr;

  private:
    void BuildControls();
    void BuildFieldGroup();
    void BuildSamplingGroup();
    QHBoxLayout* BuildRecordLimitRow();
    QHBoxLayout* BuildButtonRow();
    void ConnectControls();
    void FillSelector(QComboBox* selector, bool noneEntry);

    FileInputSetup& setup_;
    WindowBoundsStore& size_;
    UserFeedback& feedback_;
    std::vector<std::string> shownEntries_;
};

// The open dialog of the set-up: "Open *.3d Data File", the data files the loader reads,
// existing only.
std::string ChooseSetupDataFile(QWidget* parent);

}  // namespace ocuvis
