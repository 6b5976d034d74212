#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QListView>
#include <QTest>
#include <QTimer>

#include "TestSupport.h"
#include "app/window/WindowDialogs.h"

namespace ocuvis::test {
namespace {

// The names the dialog's list shows as choosable, in the folder it shows.
QStringList Listed(const QFileDialog& dialog) {
    QStringList names;
    const auto* view = dialog.findChild<QListView*>("listView");
    if (view == nullptr) return names;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        const QModelIndex index = model->index(row, 0, view->rootIndex());
        if (index.flags() & Qt::ItemIsEnabled) names << index.data().toString();
    }
    names.sort();
    return names;
}

// The open dialog as the user meets it: every kind of data file at first, one kind or every
// file on request.
TEST(OpenDialog, ShowsEveryDataFileAtFirstAndAnyFileOnRequest) {
    TempFolder folder;
    for (const char* name : {"a.3d", "b.txt", "c.ply", "d.csv", "e.xyz", "f.las", "g.dat"})
        folder.Write(name, "1 2 3\n");
    const QStringList dataFiles = {"a.3d", "b.txt", "c.ply", "d.csv", "e.xyz", "f.las"};
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        dialog->setDirectory(QString::fromStdString(folder.path()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Listed(*dialog) == dataFiles; }))
            << Listed(*dialog).join(' ').toStdString();
        EXPECT_EQ(dialog->nameFilters().size(), 8);
        const struct {
            const char* filter;
            QStringList listed;
        } choices[] = {{"Ocuvis files (*.3d)", {"a.3d"}},
                       {"LAS files (*.las)", {"f.las"}},
                       {"All files (*)", dataFiles + QStringList{"g.dat"}}};
        for (const auto& choice : choices) {
            dialog->selectNameFilter(choice.filter);
            EXPECT_TRUE(QTest::qWaitFor([&] { return Listed(*dialog) == choice.listed; }))
                << choice.filter << ": " << Listed(*dialog).join(' ').toStdString();
        }
        dialog->reject();
    });
    QtWindowDialogs dialogs;
    EXPECT_EQ(dialogs.ChooseDataFile(nullptr), "");
    EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace ocuvis::test
