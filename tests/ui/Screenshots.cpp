// SPDX-License-Identifier: MIT
// Renders the editor's pages, the result window after a calculation and the loader
// dialog to PNG files, for a person to look at, headless; the user guide's pictures go
// to FOLDER/guide/.
// Usage: morvat_screenshots FOLDER
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "AboutBox.h"
#include "AppSetup.h"
#include "LoaderDialog.h"
#include "TempDir.h"
#include "Messages.h"
#include "QtPaths.h"
#include "TestPaths.h"
#include "UiTestSupport.h"
#ifdef MORVAT_WITH_ARCHIVES
#include "ArchiveWriter.h"
#endif

using morvat::test::Editor;

namespace {

// `zoom` enlarges small pictures (icons, tick marks) for a closer look.
bool Save(QWidget& widget, const QString& folder, const QString& name, int zoom = 1) {
    QTest::qWait(20);  // let pending layout and paint events run
    const QString path = QDir(folder).filePath(name);
    QPixmap picture = widget.grab();
    if (zoom > 1) picture = picture.scaled(picture.size() * zoom);
    const bool ok = picture.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// The palette page shown, its button pressed `count` times.
void Add(TForm1& form, int kind, int count = 1) {
    for (int i = 0; i < count; ++i) form.SpeedButtonClick(kind);
}

// The user guide's pictures, in their own folder: made from the bundled examples only,
// so that what a reader sees can be repeated with the files every copy of the tool has,
// and no folder of the machine that made them shows.
bool RenderGuidePictures(const QString& folder) {
    QDir().mkpath(folder);
    bool ok = true;
    const std::filesystem::path examples = morvat::test::ExamplesDir();

    Editor card;
    TForm1& form = *card.form1;
    form.show();
    form.OpenFile(QString::fromStdString((examples / "SkillFireBolt.wid").string()));
    form.PageControl1->setCurrentIndex(0);
    ok &= Save(form, folder, QStringLiteral("main-1-attributes.png"));
    form.PageControl1->setCurrentIndex(1);
    ok &= Save(form, folder, QStringLiteral("main-2-modifiers.png"));

    // The worked example: the bundled damage skill, loaded and rated, with the result
    // window tall enough for the whole report.
    Editor guide;
    guide.form1->show();
    guide.form1->OpenFile(QString::fromStdString((examples / "damage-single.cws").string()));
    guide.form1->PageControl1->setCurrentIndex(2);
    guide.form1->Obelist->setCurrentRow(0);
    ok &= Save(*guide.form1, folder, QStringLiteral("guide-editor.png"));
    guide.form1->Button1Click();
    guide.form2->resize(guide.form2->width(), 640);
    guide.form2->show();
    ok &= Save(*guide.form2, folder, QStringLiteral("guide-result.png"));

    // The chart of the worked example, then its result pinned against another bundled card.
    guide.form2->Pages->setCurrentIndex(1);
    guide.form2->resize(guide.form2->width(), 484);
    ok &= Save(*guide.form2, folder, QStringLiteral("result-chart.png"));
    guide.form2->PinButton->click();
    guide.form1->OpenFile(QString::fromStdString((examples / "SkillFireBolt.wid").string()));
    guide.form1->Button1Click();
    ok &= Save(*guide.form2, folder, QStringLiteral("result-pinned.png"));

    // The example cards in a folder named like the one they ship in, one of them chosen.
    const std::filesystem::path shown = "/tmp/morvat-ex-guide/examples";
    std::error_code ignored;
    std::filesystem::remove_all(shown.parent_path(), ignored);
    std::filesystem::create_directories(shown, ignored);
    for (const auto& entry : std::filesystem::directory_iterator(examples, ignored)) {
        std::filesystem::copy_file(entry.path(), shown / entry.path().filename(), ignored);
    }
    {
        TForm3 loader(&form);
        loader.setDirectoryPath(shown);
        loader.show();
        loader.findChild<QListWidget*>("ListBox1")->setCurrentRow(1);
        ok &= Save(loader, folder, QStringLiteral("loader.png"));
    }
    {
#ifdef MORVAT_WITH_ARCHIVES
        // Inside a downloaded scenario archive: its folder chain in the tree, a card chosen,
        // and a card too large to read saying why.
        namespace test = morvat::test;
        const std::filesystem::path downloads = shown.parent_path() / "downloads";
        std::filesystem::create_directories(downloads, ignored);
        std::vector<test::ArchiveEntry> entries = test::ExampleCardEntries("古城の謎/スキル");
        entries.push_back({"古城の謎/スキル/SkillHuge.wid", std::string((16 << 20) + 1, '\0')});
        entries.push_back({"古城の謎/Summary.wsm", "x"});
        test::WriteArchive(downloads / "古城の謎.zip", test::ArchiveKind::ZipCp932, entries);
        std::filesystem::create_directory(downloads / "images");
        TForm3 archiveLoader(&form);
        archiveLoader.setDirectoryPath(downloads);
        archiveLoader.enterArchive(downloads / "古城の謎.zip", "古城の謎/スキル");
        archiveLoader.show();
        archiveLoader.findChild<QListWidget*>("ListBox1")->setCurrentRow(1);
        ok &= Save(archiveLoader, folder, QStringLiteral("loader-archive.png"));
#endif
    }
    std::filesystem::remove_all(shown.parent_path(), ignored);
    return ok;
}

int RenderScreenshots(const QString& folder) {
    QDir().mkpath(folder);
    bool ok = true;
    Editor editor;
    TForm1& form = *editor.form1;
    form.show();

    form.ObTarget->item(1)->click();
    form.ObFaratack->click();
    form.ObAttribute->item(2)->click();
    form.ObDefence->item(1)->click();
    form.ObCardname->setText(QStringLiteral("炎の剣"));
    form.ObLevel->setText(QStringLiteral("5"));
    form.PageControl1->setCurrentIndex(0);
    ok &= Save(form, folder, QStringLiteral("main-1-attributes.png"));

    form.ObEscape->setValue(3);
    form.ObDefuse->setValue(-2);
    form.ObSuccess->setValue(1);
    form.PageControl1->setCurrentIndex(1);
    ok &= Save(form, folder, QStringLiteral("main-2-modifiers.png"));
    ok &= Save(*form.ObSuccess, folder, QStringLiteral("trackbar-zoom.png"), 4);

    form.PageControl1->setCurrentIndex(2);
    Add(form, 2);
    Add(form, 3);
    Add(form, 10);
    Add(form, 27);
    Add(form, 23);
    Add(form, 14);
    Add(form, 4);
    Add(form, 31);
    Add(form, 22);
    Add(form, 6);
    form.Obelist->setCurrentRow(0);
    form.Obepkind->item(1)->click();
    ok &= Save(form, folder, QStringLiteral("main-3-effects-value.png"));
    form.Obelist->setCurrentRow(3);
    form.Obevarias->setValue(-4);
    ok &= Save(form, folder, QStringLiteral("main-3-effects-change.png"));
    form.Obelist->setCurrentRow(2);
    ok &= Save(form, folder, QStringLiteral("main-3-effects-rounds.png"));
    for (int tab = 0; tab < form.PageControl2->count(); ++tab) {
        form.PageControl2->setCurrentIndex(tab);
        ok &= Save(*form.PageControl2, folder, QStringLiteral("palette-%1.png").arg(tab + 1), 3);
    }

    form.Button1Click();
    editor.form2->show();
    ok &= Save(*editor.form2, folder, QStringLiteral("result.png"));

    // The bundled damage skill rated, for the live level beside the tabs (its editor and
    // result pictures are the guide's, made by RenderGuidePictures).
    Editor guide;
    guide.form1->show();
    guide.form1->OpenFile(QString::fromStdString(
        (morvat::test::ExamplesDir() / "damage-single.cws").string()));
    guide.form1->PageControl1->setCurrentIndex(2);
    guide.form1->Obelist->setCurrentRow(0);
    guide.form1->Button1Click();
    guide.form2->resize(guide.form2->width(), 640);
    guide.form2->show();
    ok &= Save(*guide.form1, folder, QStringLiteral("main-live-level.png"));

    // The chart of the rich card above, then a pinned result against a changed card.
    editor.form2->Pages->setCurrentIndex(1);
    ok &= Save(*editor.form2, folder, QStringLiteral("result-chart.png"));
    guide.form2->Pages->setCurrentIndex(1);
    guide.form2->resize(guide.form2->width(), 484);
    guide.form2->PinButton->click();
    guide.form1->ObVoice->click();
    guide.form1->ObFaratack->click();
    guide.form1->ObAttribute->item(3)->click();
    guide.form1->Button1Click();
    ok &= Save(*guide.form2, folder, QStringLiteral("result-pinned.png"));

    // The shipped example cards, one of them chosen.
    TForm3 loader(&form);
    loader.setDirectoryPath(morvat::test::ExamplesDir());
    loader.show();
    loader.findChild<QListWidget*>("ListBox1")->setCurrentRow(1);
    ok &= Save(loader, folder, QStringLiteral("loader.png"));

    // Long file names scroll sideways; a folder that cannot be read says so.
    morvat::test::TempDir longNames;
    for (const char* name :
         {"SkillA.wid", "Skill_a_rather_long_file_name_of_a_downloaded_card.wid"}) {
        std::FILE* f = std::fopen((longNames.path() / name).c_str(), "wb");
        const char card[] = "\x05\0\0\0\0\x05\0\0\0Long\0";
        if (f != nullptr) {
            std::fwrite(card, 1, sizeof card - 1, f);
            std::fclose(f);
        }
    }
    loader.setDirectoryPath(longNames.path());
    loader.findChild<QListWidget*>("ListBox1")->setCurrentRow(1);
    ok &= Save(loader, folder, QStringLiteral("loader-long-names.png"));
    loader.setDirectoryPath(longNames.path() / "missing");
    ok &= Save(loader, folder, QStringLiteral("loader-cannot-open.png"));
    loader.hide();

    // A card name longer than its column, and the keyboard focus on a button.
    form.PageControl1->setCurrentIndex(0);
    form.ObCardname->setText(QStringLiteral("全体攻撃魔法炎の嵐と氷の槍と雷光の剣"));
    form.activateWindow();
    form.Button3->setFocus(Qt::TabFocusReason);
    ok &= Save(form, folder, QStringLiteral("main-1-long-name-focus.png"));
    // A save that failed, with its reason under the message; the open dialog's filters.
    const auto box = MakeWarningBox(QStringLiteral("ファイルが開けません"), QStringLiteral("Error"),
                                    QStringLiteral("書き込みの許可がありません (Permission denied)\n"
                                                   "/home/user/skills/炎の剣.cws"));
    box->show();
    ok &= Save(*box, folder, QStringLiteral("save-failed.png"));
    const auto dialog = MakeOpenDialog(FromPath(morvat::test::ExamplesDir()),
                                       {{"cws形式(*.cws);スキルファイル(Skill*.wid)", "*.cws Skill*.wid"},
                                        {"すべてのファイル(*)", "*"}});
    dialog->show();
    QTest::qWait(300);
    ok &= Save(*dialog, folder, QStringLiteral("open-dialog.png"));
    ShowAboutBox(&form);
    if (auto* about = form.findChild<QDialog*>(QStringLiteral("AboutBox"))) {
        ok &= Save(*about, folder, QStringLiteral("about.png"));
        about->close();
    }

    ok &= RenderGuidePictures(QDir(folder).filePath(QStringLiteral("guide")));
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrepareApplication(app);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    return RenderScreenshots(QString::fromLocal8Bit(argv[1]));
}
