// SPDX-License-Identifier: MIT
// `TForm1`, the main window and the whole editor: three pages describe one skill card, the
// button bar rates, saves, loads, reads and clears it. The window owns the editor state of
// the core and keeps its controls and that state in step; every rule (adding effects, the
// parameter panes, gathering, rating, the file formats) is the core's.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "Icons.h"
#include "LiveLevel.h"
#include "Settings.h"
#include "Widgets.h"
#include "model/EditorState.h"

class CardPicker;
class Messages;
class TForm2;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Reads the remembered folders from `settings` and starts with an empty editor.
    TForm1(Messages& messages, SettingsStore settings, QWidget* parent = nullptr);
    ~TForm1() override;

    // The result window that "計算開始" fills and the dialog behind "読み込み".
    void SetResultWindow(TForm2* form2) { form2_ = form2; }
    void SetCardPicker(CardPicker* picker) { picker_ = picker; }

    const morvat::EditorState& editor() const { return editor_; }
    // The remembered folders, as bytes of a path.
    const std::string& OpenFolder() const { return folders_.OpenFolder; }
    const std::string& SaveFolder() const { return folders_.SaveFolder; }
    const SettingsStore& settings() const { return settings_; }
    const EffectIcons& ImageList1() const { return imageList_; }

    // Opens a cws file or a skill card as "ロード" does after its dialog (command line
    // argument, dropped file). The path is the file system's bytes; the QString form is
    // for names that came through Qt already.
    void OpenFile(const std::filesystem::path& file);
    void OpenFile(const QString& path);

public slots:
    void Button1Click();              // "計算開始"
    void Button2Click();              // "cwsセーブ"
    void Button3Click();              // "ロード"
    void Button4Click();              // "クリア"
    void Button5Click();              // "読み込み"
    void SpeedButtonClick(int kind);  // a palette button; 0 removes the selected row
    void ObelistChange();
    void Obelist2Click();
    void ObepkindClick(int index);
    void ObepointChange();
    void OberoundChange();
    void ObevariasChange(int position);
    void FormShow();
    void FormClose();

signals:
    // The editor state changed in a way that can change the rating: a control, the effect
    // list, a load or a clear.
    void editorChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildAttributePage();
    QWidget* BuildModifierPage();
    QWidget* BuildEffectPage();
    QWidget* BuildPalette();
    QWidget* BuildParameterArea();
    void BindHeaderControls();

    // State to controls. The guard keeps the controls' change handlers from writing
    // while the controls are being set.
    void RefreshAll();
    void RefreshHeader();
    void RefreshEffectList();
    void RefreshPanes();
    // Takes a new editor state after a load and shows it.
    void Adopt(morvat::EditorState state);
    void NumberBoxChange(QLineEdit* box, UpDown* spinner, void (*write)(morvat::EditorState&, int));
    // Every write into the editor state ends here.
    void Edited() { emit editorChanged(); }

    Messages& messages_;
    SettingsStore settings_;
    FolderSettings folders_;
    morvat::EditorState editor_;
    EffectIcons imageList_;
    TForm2* form2_ = nullptr;
    CardPicker* picker_ = nullptr;
    bool refreshing_ = false;

public:
    // The controls, under the names the tool's users and tests know them by.
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button4 = nullptr;
    LiveLevel* liveLevel = nullptr;  // the level of the card as it stands, beside the tabs

    RadioGroup* ObTarget = nullptr;
    ElidedLabel* ObCardname = nullptr;
    QLabel* ObLevel = nullptr;
    QCheckBox* ObFaratack = nullptr;
    QCheckBox* ObAssasin = nullptr;
    QCheckBox* ObVoice = nullptr;
    RadioGroup* ObAttribute = nullptr;
    RadioGroup* ObDefence = nullptr;

    QSlider* ObEscape = nullptr;
    QSlider* ObDefuse = nullptr;
    QSlider* ObGard = nullptr;
    QSlider* ObSuccess = nullptr;

    QTabWidget* PageControl2 = nullptr;
    std::array<QToolButton*, 32> paletteButtons{};  // by kind; unused at 0
    std::array<QToolButton*, 8> removeButtons{};    // by palette page
    QListWidget* Obelist = nullptr;
    QListWidget* Obelist2 = nullptr;
    QWidget* paneArea = nullptr;
    RadioGroup* Obepkind = nullptr;
    QWidget* Obepointpane = nullptr;
    QLineEdit* Obepoint = nullptr;
    UpDown* Obepointud = nullptr;
    QWidget* Obevariaspane = nullptr;
    QSlider* Obevarias = nullptr;
    QWidget* Oberoundpane = nullptr;
    QLineEdit* Oberound = nullptr;
    UpDown* Oberoundud = nullptr;
};
