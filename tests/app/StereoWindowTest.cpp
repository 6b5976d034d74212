// The window's stereo items: keys and menu items, their check marks and storage, and the
// animation export through its dialog.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "WindowTestSupport.h"
#include "app/window/ExportAnimationDialog.h"
#include "input/dialogs/TProgressBarForm.h"

namespace ocuvis::test {
namespace {

class StereoWindow : public WindowTest {
  protected:
    const StereoMenus& s() { return w().stereoMenus(); }
};

TEST_F(StereoWindow, KeysAndItemsSetTheEyesAndViewShownInTheMenuAndKeptForTheNextRun) {
    Show();
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    for (const Qt::Key key : {Qt::Key_E, Qt::Key_BracketRight, Qt::Key_BracketRight,
                              Qt::Key_BracketRight, Qt::Key_BracketLeft})
        QTest::keyClick(&w(), key, Qt::ControlModifier);
    EXPECT_TRUE(s().swapEyesItem->isChecked());
    EXPECT_EQ(s().separationMenu->title(), "Eye &Separation (1.2)");
    // The tool bar's 3D button opens the same items, and is down while one is shown.
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(menu->actions().at(4)).center());
    });
    QTest::mouseClick(m().StereoSpdBtn, Qt::LeftButton);
    EXPECT_EQ(view().viewType, ViewType::TopBottom);
    EXPECT_TRUE(m().StereoSpdBtn->isChecked());
    m().viewItems[0]->trigger();
    EXPECT_FALSE(m().StereoSpdBtn->isChecked());
    s().viewItems[1]->trigger();  // green/magenta
    s().anaglyphItems[1]->trigger();
    EXPECT_FALSE(m().viewItems[0]->isChecked());
    w().close();

    Open("");
    EXPECT_EQ(std::tuple(view().viewType, view().swapEyes, view().eyeSeparationTenths,
                         view().anaglyphMethod),
              std::tuple(ViewType::GreenMagenta, true, 12, AnaglyphMethod::Plain));
    EXPECT_TRUE(s().viewItems[1]->isChecked() && s().anaglyphItems[1]->isChecked());
    s().usualItem->trigger();
    EXPECT_EQ(view().eyeSeparationTenths, 10);
}

// The dialog filled in as a user would; the file holds the current frame first, at the paint
// area's size. Abort during a long export leaves no file.
TEST_F(StereoWindow, ExportAnimationThroughItsDialogAndAbort) {
    Show();
    const auto fill = [](const std::string& path, int step) {
        return [path, step](QDialog& dialog) {
            auto& form = dynamic_cast<ExportAnimationDialog&>(dialog);
            QPushButton* ok = form.buttons->button(QDialogButtonBox::Ok);
            EXPECT_FALSE(ok->isEnabled());
            form.stepBox->setCurrentIndex(form.stepBox->findData(step));
            QTest::keyClicks(form.fileEdit, QString::fromStdString(path));
            ok->click();
            return form.result();
        };
    };
    const std::string path = dir_.Path("turn.gif");
    d().modal.push_back(fill(path, 90));
    s().exportAnimationItem->trigger();
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.imageCount(), 4);
    const QImage first = reader.read().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(reader.nextImageDelay(), 40);
    EXPECT_EQ(first.size(), w().GraphBoxWidget->size());
    EXPECT_EQ(first, w().frameBitmap());

    const std::string aborted = dir_.Path("aborted.webp");
    d().modal.push_back(fill(aborted, 1));
    // Abort is pressed as soon as the progress window takes events.
    QTimer aborter;
    QObject::connect(&aborter, &QTimer::timeout, [&aborter] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<TProgressBarForm*>(window)) {
                progress->AbortProgressBarBitBtn->click();
                aborter.stop();
            }
        }
    });
    aborter.start(0);
    s().exportAnimationItem->trigger();
    EXPECT_FALSE(std::filesystem::exists(aborted));
    EXPECT_TRUE(d().messages.empty());
}

}  // namespace
}  // namespace ocuvis::test
