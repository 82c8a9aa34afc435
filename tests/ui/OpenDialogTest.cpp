// The open dialog as the user sees it, and the settings Qt would keep about it: the
// program's state lives in its own settings file only.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QFileDialog>
#include <QListView>
#include <QProcess>
#include <QTest>
#include <algorithm>

#include "Messages.h"
#include "QtPaths.h"
#include "TempDir.h"

namespace morvat::test {
namespace {

// The names the dialog's list shows once it has settled.
QStringList ShownNames(QFileDialog& dialog) {
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    if (view == nullptr) return {QStringLiteral("no list")};
    QStringList names;
    const auto read = [&] {
        names.clear();
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row) {
            names.append(view->model()->index(row, 0, root).data().toString());
        }
        names.sort();
    };
    // The file system model fills the list from another thread.
    QStringList before;
    for (int settled = 0; settled < 3;) {
        QTest::qWait(100);
        read();
        settled = names == before && !names.isEmpty() ? settled + 1 : 0;
        before = names;
    }
    return names;
}

TEST(OpenDialog, CwsFilterListsExactlyTheNamesLoadReadsAsCws) {
    TempDir dir;
    for (const char* name : {"a.cws", "B.CWS", "c.Cws", "SkillA.wid", "skillb.wid", "notes.txt"}) {
        dir.write(name, "x");
    }
    const QList<FileFilter> filters{{"both", "*.cws Skill*.wid"}, {"cws", "*.cws"}, {"all", "*"}};
    const std::unique_ptr<QFileDialog> dialog = MakeOpenDialog(FromPath(dir.path()), filters);
    dialog->show();
    EXPECT_EQ(ShownNames(*dialog), (QStringList{"SkillA.wid", "a.cws"}));
    dialog->selectNameFilter(dialog->nameFilters().at(1));
    EXPECT_EQ(ShownNames(*dialog), (QStringList{"a.cws"}));
    dialog->selectNameFilter(dialog->nameFilters().at(2));
    EXPECT_EQ(ShownNames(*dialog).size(), 6);
    dialog->hide();
}

// Qt's file dialog would note its folder and history in ~/.config/QtProject.conf. The
// check runs in a fresh process whose home is an empty folder, so that nothing Qt read
// earlier in this one hides the file.
TEST(OpenDialog, QtKeepsNoSettingsFileOfItsOwn) {
    TempDir home;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), FromPath(home.path()));
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--open-dialog"), FromPath(home.path())});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path())) {
        if (!entry.is_directory()) left.push_back(entry.path().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{});
}

}  // namespace
}  // namespace morvat::test
