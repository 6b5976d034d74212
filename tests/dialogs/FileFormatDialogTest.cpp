#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "DialogTestSupport.h"
#include "input/dialogs/TFileFormat.h"
#include "settings/FileInputValues.h"

namespace ocuvis::test {
namespace {

// The controls that show less than their whole text, judged by their font's metrics: a button
// narrower than its text and icon need, a label or group box title wider or taller than its room.
QStringList CutTexts(const QWidget& dialog) {
    QStringList cut;
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->width() < button->sizeHint().width())
            cut << button->text();
    }
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty()) continue;
        const QRect room = label->contentsRect();
        const int wrap = label->wordWrap() ? Qt::TextWordWrap : 0;
        const QRect needed = label->fontMetrics().boundingRect(
            QRect(0, 0, room.width(), 100000), Qt::AlignLeft | Qt::AlignTop | wrap, label->text());
        if (needed.width() > room.width() || needed.height() > room.height()) cut << label->text();
    }
    for (const QGroupBox* box : dialog.findChildren<QGroupBox*>()) {
        if (box->isVisible() && box->fontMetrics().horizontalAdvance(box->title()) > box->width())
            cut << box->title();
    }
    return cut;
}

class FileFormatDialog : public ::testing::Test {
  protected:
    FileFormatDialog() {
        dialog.chooseDataFile = [this](QWidget*) { return chosenFile; };
    }

    TestSettings settings;
    TempFolder files;
    std::int32_t clockSeed = 5150;
    FileInputValues values{settings.store, kAppKeyName};
    FileInputSetup setup{values, settings.feedback, [this] { return clockSeed; }};
    TFileFormat dialog{setup, values, settings.feedback, nullptr};
    std::string chosenFile;
};

// The rules live in the set-up; these check that each control reaches it and shows its answer.
TEST_F(FileFormatDialog, EachControlReachesTheSetUpAndShowsWhatItMakesOfIt) {
    ASSERT_FALSE(setup.LoadExampleRecord(files.Write("a.3d", "1.0 2.0 3.0 0.5\n")));
    EXPECT_EQ(dialog.XComboBox->count(), 5);
    EXPECT_EQ(dialog.ZComboBox->currentIndex(), 3);
    EXPECT_FALSE(dialog.PercentEditBx->isEnabled());

    dialog.DotComboBox->setCurrentIndex(4);
    EXPECT_EQ(dialog.ExampleRecordLabel->text(), " X=1.0,  Y=2.0,  Z=3.0,  DotSize=0.5");
    dialog.XComboBox->setCurrentIndex(0);
    EXPECT_EQ(dialog.XComboBox->currentIndex(), 1);
    dialog.SubSampleEnabledChkBx->click();
    EXPECT_TRUE(dialog.SeedEdit->isEnabled());
    dialog.seedTypeButtons->button(FileInputSetup::kFixedSeed)->click();
    clockSeed = 86399999;
    dialog.seedTypeButtons->button(FileInputSetup::kRandomSeed)->click();
    EXPECT_EQ(dialog.SeedEdit->text(), "86399999");
    EXPECT_EQ(setup.fields.DotIndex, 0);  // nothing reaches the fields before OK

    dialog.RetryBitBtn->click();
    EXPECT_EQ(dialog.DotComboBox->currentIndex(), 0);

    // A load in "Random" mode shows its seed even while the dialog is hidden.
    clockSeed = 42;
    SampleGenerator generator;
    setup.PrepareSampling(generator);
    EXPECT_EQ(dialog.SeedEdit->text(), "42");
}

// The colour selectors reach the fields only when the accepted dialog's controls are taken, and
// the next run starts with them.
TEST_F(FileFormatDialog, ColourFieldsAreTakenOnOkAndKept) {
    ASSERT_FALSE(setup.LoadExampleRecord(files.Write("a.csv", "x,y,z,a,b,c,w\n1,2,3,4,5,6,7\n")));
    const std::pair<QComboBox*, int> choices[] = {{dialog.RedComboBox, 6},
                                                  {dialog.GreenComboBox, 5},
                                                  {dialog.BlueComboBox, 4},
                                                  {dialog.ValueComboBox, 7}};
    for (const auto& [selector, field] : choices) {
        EXPECT_EQ(selector->itemText(field),
                  QString("Field %1: %2").arg(field).arg("xyzabcw"[field - 1]));
        selector->setCurrentIndex(field);
    }
    EXPECT_EQ(setup.fields.RedIndex, 0);
    dialog.OkBitBtn->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    setup.ApplyControls();
    const auto colourFields = [](const FileInputFields& f) {
        return std::tuple(f.RedIndex, f.GreenIndex, f.BlueIndex, f.ValueIndex);
    };
    EXPECT_EQ(colourFields(setup.fields), std::tuple(6, 5, 4, 7));
    FileInputSetup next{values, settings.feedback};
    EXPECT_EQ(colourFields(next.fields), std::tuple(6, 5, 4, 7));
}

TEST_F(FileFormatDialog, TypingStopsAtFiveCharactersButALongerShownTextStaysWhole) {
    setup.fields.SubSampleEnabled = true;
    setup.ShowFields();
    dialog.PercentEditBx->clear();
    QTest::keyClicks(dialog.PercentEditBx, "123456");
    EXPECT_EQ(dialog.PercentEditBx->text(), "12345");
    setup.fields.SamplePercent = 12.3f;
    setup.ShowFields();
    QTest::keyClick(dialog.PercentEditBx, Qt::Key_End);
    QTest::keyClick(dialog.PercentEditBx, Qt::Key_9);
    EXPECT_EQ(dialog.PercentEditBx->text(), "12.3000001907349");
    QTest::keyClick(dialog.PercentEditBx, Qt::Key_Backspace);
    EXPECT_EQ(dialog.PercentEditBx->text(), "12.300000190734");
}

TEST_F(FileFormatDialog, ANewFileGivesANewExampleAndOneThatCannotBeReadAMessage) {
    chosenFile = files.Write("wide.txt", "a;b 7 8 9 10 11\n");
    dialog.OpenNewDataFileBtn->click();
    EXPECT_EQ(dialog.XComboBox->count(), 7);

    chosenFile = files.Path("gone.3d");
    dialog.OpenNewDataFileBtn->click();
    chosenFile.clear();  // cancelled
    dialog.OpenNewDataFileBtn->click();
    ASSERT_EQ(settings.feedback.shown.size(), 1u);
    EXPECT_EQ(settings.feedback.shown[0].title, "Ocuvis Error Message");
    EXPECT_EQ(settings.feedback.shown[0].icon, MessageIcon::Stop);
    EXPECT_NE(settings.feedback.shown[0].text.find(files.Path("gone.3d")), std::string::npos);
    EXPECT_EQ(dialog.FileNameLabel->text().toStdString(), files.Path("wide.txt"));
}

TEST_F(FileFormatDialog, TheSizeIsStoredOnceWhenTheDialogCloses) {
    const auto stored = [&](const char* name) {
        std::int32_t value = -1;
        settings.store.ReadInteger("Ocuvis\\File Format", name, value);
        return value;
    };
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.resize(520, 300);
    QApplication::processEvents();
    EXPECT_EQ(stored("Window Width"), -1);  // nothing written while the user drags
    QTest::keyClick(&dialog, Qt::Key_Escape);
    ASSERT_FALSE(dialog.isVisible());
    EXPECT_EQ(stored("XIndex"), -1);  // closing stores the size alone

    FileInputValues nextValues(settings.store, kAppKeyName);
    FileInputSetup nextSetup(nextValues, settings.feedback, [] { return 1; });
    TFileFormat next(nextSetup, nextValues, settings.feedback, nullptr);
    EXPECT_EQ(next.size(), QSize(520, 300));
}

// Long field names widen the selectors' entries and a long first row the example; every
// control's text stays whole, the button beside the file name included, in a wide dialog and in
// the narrowest.
TEST_F(FileFormatDialog, LongFieldNamesAndALongExampleCutNoControlsText) {
    std::string record;
    for (int field = 1; field <= 20; ++field)
        record += "-1234.567" + std::to_string(field % 10) + ",";
    chosenFile = files.Write("n.csv",
                             "vertex_confidence_estimate,vertex_quality_measurement,"
                             "scanner_return_intensity,surface_normal_component\n" +
                                 record + "\n");
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.OpenNewDataFileBtn, Qt::LeftButton);
    ASSERT_EQ(dialog.XComboBox->itemText(1), "Field 1: vertex_confidence_estimate");
    EXPECT_LE(dialog.height(), TFileFormat::kMaximumHeight);
    for (const int width : {TFileFormat::kDesignWidth + 200, dialog.minimumWidth()}) {
        const QSize size(width, TFileFormat::kDesignHeight);
        dialog.resize(size);
        QTRY_COMPARE(dialog.size(), size.expandedTo(dialog.minimumSize()));
        EXPECT_EQ(CutTexts(dialog).join(" | ").toStdString(), "") << width;
        EXPECT_LE(dialog.width(), dialog.screen()->availableGeometry().width());
    }
}

TEST_F(FileFormatDialog, TheSelectorsShowTheFieldNamesOfEachNewFile) {
    chosenFile = files.Write("a.csv", "east,north,depth\n1,2,3\n");
    dialog.OpenNewDataFileBtn->click();
    // The same number of fields under other names, from another kind of file.
    chosenFile = files.Write("b.ply",
                             "ply\nformat ascii 1.0\nelement vertex 1\nproperty float u\n"
                             "property float v\nproperty float x\nend_header\n1 2 3\n");
    dialog.OpenNewDataFileBtn->click();
    EXPECT_EQ(dialog.XComboBox->itemText(2), "Field 2: v");
    EXPECT_EQ(dialog.DotComboBox->itemText(3), "Field 3: x");

    // Axes by name show where x, y and z are; unchecked, the field numbers.
    chosenFile = files.Write("c.ply",
                             "ply\nformat ascii 1.0\nelement vertex 1\nproperty float nx\n"
                             "property float ny\nproperty float nz\nproperty float X\n"
                             "property float Y\nproperty float Z\nend_header\n0 0 1 4 5 6\n");
    dialog.OpenNewDataFileBtn->click();
    EXPECT_TRUE(dialog.AxesByNameChkBx->isChecked());
    EXPECT_EQ(dialog.ExampleRecordLabel->text(), " 0,  0,  1,  X=4,  Y=5,  Z=6");
    dialog.AxesByNameChkBx->click();
    EXPECT_EQ(dialog.ExampleRecordLabel->text(), " X=0,  Y=0,  Z=1,  4,  5,  6");
}

}  // namespace
}  // namespace ocuvis::test
