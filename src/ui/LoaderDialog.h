// SPDX-License-Identifier: MIT
// The skill file loader dialog, "スキルファイルロード": picks a card file of a folder by
// the name of the card it holds. The folder tree and the drive box choose the folder; the
// Skill*.wid files of that folder are listed with their card names, read by the core. The
// dialog is made once and shown again and again: it keeps its folder, its rows and its
// selection between showings and rebuilds the rows only when the folder changes.
#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>
#include <vector>

#include "files/CardList.h"

class QComboBox;
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

    // The folder the dialog lists; setting another folder rebuilds the card list, setting
    // the same one (with or without a trailing separator) keeps rows and selection.
    void setDirectory(const QString& folder);
    QString directory() const;
    // The same folder as the file system names it, also when its name is not valid UTF-8.
    void setDirectoryPath(const std::filesystem::path& folder);
    const std::filesystem::path& directoryPath() const { return directory_; }

    // The full path of the card confirmed last (OK or double click).
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changeFolder(const std::filesystem::path& folder);
    void fillFolderTree();
    void fillDriveBox();
    void selectDriveOf(const std::filesystem::path& folder);
    void openFolderItem(QTreeWidgetItem* item);

    QTreeWidget* DirectoryListBox1 = nullptr;
    QListWidget* FileListBox1 = nullptr;
    QComboBox* DriveComboBox1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    std::filesystem::path directory_;
    std::vector<morvat::CardListRow> rows_;  // one per row of ListBox1, in the same order
    std::filesystem::path selectedWidFile_;
    LoaderMessages* messages_ = nullptr;
};
