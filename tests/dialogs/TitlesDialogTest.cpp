#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "DialogTestSupport.h"
#include "TGraphTitles.h"

namespace ocuvis::test {
namespace {

const std::string kTitlesKey = "Software\\Tolvane\\Ocuvis\\GraphTitles";

class TitlesDialog : public ::testing::Test {
  protected:
    std::string Stored(const std::string& name) {
        std::string value = "<missing>";
        settings.store.ReadString("Ocuvis\\GraphTitles", name, value);
        return value;
    }

    TestSettings settings;
    GraphTitles titles{settings.store, kAppKeyName, settings.feedback};
    TGraphTitles dialog{titles, nullptr};
};

TEST_F(TitlesDialog, TypedTitlesAreLiveAndOnlyOkStoresThem) {
    EXPECT_TRUE(titles.MainTitle.empty() && dialog.MainTitle->text().isEmpty());
    QTest::keyClicks(dialog.MainTitle, "Peaks");
    QTest::keyClicks(dialog.zTitle, "Depth \xC2\xB5m");
    // The renderer reads the titles themselves: what is typed is drawn at the next frame.
    EXPECT_EQ(titles.MainTitle, "Peaks");
    EXPECT_EQ(titles.zTitle, "Depth \xC2\xB5m");
    EXPECT_TRUE(settings.hive.ValueNames(kTitlesKey).empty());

    dialog.OkBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.feedback.beeps, std::vector<BeepKind>{BeepKind::Asterisk});
    EXPECT_EQ(Stored("Main Title"), "Peaks");
    EXPECT_EQ(Stored("X-Axis Title"), "");
    EXPECT_EQ(Stored("Y-Axis Title"), "");
    EXPECT_EQ(Stored("Z-Axis Title"), "Depth \xC2\xB5m");

    // Changes after OK are undone by Cancel, in the fields and in what is drawn.
    dialog.zTitle->setText("Height");
    EXPECT_EQ(titles.zTitle, "Height");
    dialog.CancelBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.zTitle->text().toStdString(), "Depth \xC2\xB5m");
    EXPECT_EQ(titles.zTitle, "Depth \xC2\xB5m");
    EXPECT_EQ(settings.feedback.beeps.back(), BeepKind::Hand);

    // A later dialog of a later run starts from the stored titles.
    GraphTitles nextRun(settings.store, kAppKeyName, settings.feedback);
    TGraphTitles next(nextRun, nullptr);
    EXPECT_EQ(next.MainTitle->text(), "Peaks");
    EXPECT_TRUE(settings.feedback.shown.empty());
}

TEST_F(TitlesDialog, CancelUndoesTypingEvenBeforeAnythingWasStored) {
    QTest::keyClicks(dialog.xTitle, "Time");
    dialog.CancelBtn->click();
    EXPECT_TRUE(dialog.xTitle->text().isEmpty());
    EXPECT_TRUE(titles.xTitle.empty());
    EXPECT_TRUE(settings.hive.ValueNames(kTitlesKey).empty());
}

TEST_F(TitlesDialog, EscIsCancelAndClearAllStoresNothing) {
    dialog.xTitle->setText("Time");
    dialog.OkBtn->click();
    dialog.yTitle->setText("Speed");
    dialog.ClearAllBtn->click();
    for (QLineEdit* field : {dialog.MainTitle, dialog.xTitle, dialog.yTitle, dialog.zTitle})
        EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(titles.xTitle.empty());
    EXPECT_EQ(Stored("X-Axis Title"), "Time");

    QTest::keyClick(dialog.yTitle, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.xTitle->text(), "Time");
    EXPECT_EQ(dialog.yTitle->text(), "");
    EXPECT_EQ(settings.feedback.beeps, (std::vector<BeepKind>{BeepKind::Asterisk, BeepKind::Hand}));

    dialog.ClearAllBtn->click();
    dialog.OkBtn->click();
    for (const char* name : {"Main Title", "X-Axis Title", "Y-Axis Title", "Z-Axis Title"})
        EXPECT_EQ(Stored(name), "") << name;
}

TEST_F(TitlesDialog, EnterStepsThroughTheFieldsAndOkNeverClosing) {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.MainTitle->setFocus();
    QApplication::processEvents();
    QWidget* const expected[] = {dialog.xTitle, dialog.yTitle, dialog.zTitle, dialog.OkBtn,
                                 dialog.MainTitle};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
    QTest::keyClick(dialog.MainTitle, Qt::Key_Enter);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(settings.feedback.beeps.empty());
    EXPECT_FALSE(dialog.OkBtn->isDefault());
    EXPECT_FALSE(dialog.CancelBtn->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(dialog.ClearAllBtn->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dialog.size(), QSize(251, 218));
    dialog.hide();
}

}  // namespace
}  // namespace ocuvis::test
