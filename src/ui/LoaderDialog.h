// SPDX-License-Identifier: MIT
// The skill file loader dialog, "スキルファイルロード": picks a card file of a folder by
// the name of the card it holds. The folder tree and the drive box choose the folder; the
// Skill*.wid files of that folder are listed with their card names, read by the core. The
// dialog is made once and shown again and again: it keeps its folder, its rows and its
// selection between showings and rebuilds the rows only when the folder changes or the
// user asks for it with F5.
#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>
#include <vector>

#include "files/CardList.h"
#include "files/archive/ArchiveCards.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The one message the dialog shows. The windows use message boxes; tests replace them so
// that nothing waits on a modal box.
class LoaderMessages {
public:
    virtual ~LoaderMessages() = default;
    // "ファイルを選んで下さい" / "エラー": OK was pressed with no card chosen.
    virtual void NoCardChosen(QWidget* parent) = 0;
};

class TForm3 : public QDialog {
    Q_OBJECT
public:
    // Results of exec().
    static constexpr int kConfirmed = 1;
    static constexpr int kCancelled = 2;

    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

    // The folder the dialog lists (inside an archive: the folder that holds the archive);
    // setting another folder rebuilds the card list, setting the same one (with or without a
    // trailing separator) keeps rows, selection and the archive entered.
    void setDirectory(const QString& folder);
    QString directory() const;
    // The same folder as the file system names it, also when its name is not valid UTF-8.
    void setDirectoryPath(const std::filesystem::path& folder);
    const std::filesystem::path& directoryPath() const { return directory_; }

    // Enters an archive, like a folder, at `inner` ("" for its top); the card list then shows
    // the cards of that folder inside it.
    void enterArchive(const std::filesystem::path& archive, const std::string& inner = {});
    // The archive entered, or an empty path; and the folder inside it.
    const std::filesystem::path& archivePath() const { return archive_; }
    const std::string& archiveFolder() const { return archiveFolder_; }

    // The full path of the card confirmed last (OK or double click); for a card inside an
    // archive, ARCHIVE/member/path, which the load flows read from the archive.
    QString SelectedWidPath() const;
    // The same path exactly as the file system names it; open this one.
    const std::filesystem::path& SelectedWidFile() const { return selectedWidFile_; }

    // Replaces the message box; nullptr brings it back. The dialog does not own `messages`.
    void setMessages(LoaderMessages* messages);

    // Cancel, Escape and the close box all end with the result 2.
    void reject() override;

    // Event handlers.
    void DirectoryListBox1Change();
    void DriveComboBox1Change(int index);
    void Button1Click();
    void ListBox1DblClick();

    // F5: reads the folder again (its subfolders and its cards), for a card added since the
    // folder was chosen; the chosen card stays chosen when it is still there.
    void Rebuild();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowFolderProblem(const morvat::FolderProblem& problem);
    void changeFolder(const std::filesystem::path& folder);
    void fillFolderTree();
    void fillDriveBox();
    void selectDriveOf(const std::filesystem::path& folder);
    void openFolderItem(QTreeWidgetItem* item);
    void fillArchiveRows();
    void addArchiveItems(QTreeWidgetItem* parent);

    QTreeWidget* DirectoryListBox1 = nullptr;
    QListWidget* FileListBox1 = nullptr;
    QComboBox* DriveComboBox1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QLabel* ListBox1Problem = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    std::filesystem::path directory_;
    std::vector<morvat::CardListRow> rows_;  // one per row of ListBox1, in the same order
    std::filesystem::path archive_;          // the archive entered; empty in a plain folder
    std::string archiveFolder_;              // the folder inside it, as shown
    morvat::ArchiveCardList archiveList_;    // read once when the archive is entered
    std::filesystem::path selectedWidFile_;
    LoaderMessages* messages_ = nullptr;
};
