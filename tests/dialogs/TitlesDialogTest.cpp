#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "DialogTestSupport.h"
#include "settings/dialogs/TGraphTitles.h"

namespace ocuvis::test {
namespace {

class TitlesDialog : public ::testing::Test {
  protected:
    TestSettings settings;
    GraphTitles titles{settings.store, kAppKeyName, settings.feedback};
    TGraphTitles dialog{titles, nullptr};
};

// The renderer reads the titles themselves, so typing must reach them at once and Cancel must
// take back everything typed since the last OK, stored or not.
TEST_F(TitlesDialog, TypingIsLiveAndCancelOrEscTakesBackWhatCameAfterOk) {
    QTest::keyClicks(dialog.xTitle, "Time");
    EXPECT_EQ(titles.xTitle, "Time");
    dialog.CancelBtn->click();
    EXPECT_TRUE(dialog.xTitle->text().isEmpty());
    EXPECT_TRUE(titles.xTitle.empty());

    QTest::keyClicks(dialog.MainTitle, "Peaks");
    dialog.OkBtn->click();
    dialog.ClearAllBtn->click();
    EXPECT_TRUE(titles.MainTitle.empty());
    QTest::keyClick(dialog.yTitle, Qt::Key_Escape);
    EXPECT_EQ(dialog.MainTitle->text(), "Peaks");
    EXPECT_EQ(titles.MainTitle, "Peaks");

    // A later run's dialog starts from the stored titles.
    GraphTitles nextRun(settings.store, kAppKeyName, settings.feedback);
    TGraphTitles next(nextRun, nullptr);
    EXPECT_EQ(next.MainTitle->text(), "Peaks");
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
    dialog.hide();
}

}  // namespace
}  // namespace ocuvis::test
