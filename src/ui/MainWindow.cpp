// SPDX-License-Identifier: MIT
#include "MainWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Fonts.h"
#include "Messages.h"
#include "QtPaths.h"
#include "files/UserTexts.h"
#include "Shortcuts.h"

namespace {

constexpr int kClientWidth = 380;
constexpr int kClientHeight = 322;
constexpr int kPagesHeight = 281;

// Runs `body` with the controls' change handlers quiet, and restores the guard after.
class RefreshGuard {
public:
    explicit RefreshGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~RefreshGuard() { flag_ = old_; }
    RefreshGuard(const RefreshGuard&) = delete;
    RefreshGuard& operator=(const RefreshGuard&) = delete;

private:
    bool& flag_;
    bool old_;
};

QCheckBox* CheckBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

}  // namespace

TForm1::TForm1(Messages& messages, SettingsStore settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      messages_(messages),
      settings_(std::move(settings)) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("MORVAT_Ex"));
    setWindowIcon(EditorWindowIcon());
    setFont(ProportionalGothic(12));
    setFixedSize(kClientWidth, kClientHeight);
    setAcceptDrops(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(2, 2, kClientWidth - 4, kPagesHeight - 2);
    TabSheet1 = BuildAttributePage();
    TabSheet2 = BuildModifierPage();
    TabSheet3 = BuildEffectPage();
    PageControl1->addTab(TabSheet1, QStringLiteral("属性"));
    PageControl1->addTab(TabSheet2, QStringLiteral("使用時修正/成功率"));
    PageControl1->addTab(TabSheet3, QStringLiteral("効果"));
    // The tab row has room beside its three tabs, so the level needs no space of its own.
    liveLevel = new LiveLevel(PageControl1);
    liveLevel->setObjectName(QStringLiteral("LiveLevel"));
    PageControl1->setCornerWidget(liveLevel, Qt::TopRightCorner);
    connect(this, &TForm1::editorChanged, this, [this] { liveLevel->Show(editor_); });

    // The button bar, in the order of its tab stops.
    const std::array<std::pair<QPushButton**, const char*>, 5> bar{{
        {&Button1, "計算開始"},
        {&Button2, "cwsセーブ"},
        {&Button3, "ロード"},
        {&Button5, "読み込み"},
        {&Button4, "クリア"},
    }};
    const std::array<const char*, 5> names{"Button1", "Button2", "Button3", "Button5", "Button4"};
    constexpr int kButtonWidth = 70;
    constexpr int kButtonGap = 4;
    int x = (kClientWidth - 5 * kButtonWidth - 4 * kButtonGap) / 2;
    for (std::size_t i = 0; i < bar.size(); ++i) {
        auto* button = new QPushButton(QString::fromUtf8(bar[i].second), this);
        button->setObjectName(QString::fromLatin1(names[i]));
        button->setGeometry(x, kPagesHeight + 8, kButtonWidth, 26);
        PressOnReturn(button);
        *bar[i].first = button;
        x += kButtonWidth + kButtonGap;
    }
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);

    BindHeaderControls();
    InstallEditorShortcuts(*this);
    RefreshAll();
    liveLevel->Show(editor_);
    const morvat::FolderSettingsRead read = settings_.Read();
    folders_ = read.folders;
    // A settings file that is there but cannot be taken is left as it is; the user learns
    // why the folders start at home this time.
    if (read.refused) {
        messages_.Warn(FromUtf8(morvat::texts::kSettingsNotRead),
                       FromUtf8(morvat::texts::kErrorCaption), FromUtf8(read.detail));
    }
}

TForm1::~TForm1() = default;

QWidget* TForm1::BuildAttributePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(6);

    ObTarget = new RadioGroup(QStringLiteral("効果対象"),
                              {QStringLiteral("敵方一体"), QStringLiteral("敵方全体"),
                               QStringLiteral("味方一体"), QStringLiteral("味方全体")},
                              2, page);
    ObTarget->setObjectName(QStringLiteral("ObTarget"));

    auto* cardGroup = new QGroupBox(QStringLiteral("カード名"), page);
    auto* cardLayout = new QGridLayout(cardGroup);
    cardLayout->setContentsMargins(8, 2, 8, 4);
    cardLayout->setVerticalSpacing(2);
    // A card's name may be wider than the column: cut with "…", whole in the tool tip.
    ObCardname = new ElidedLabel(cardGroup);
    ObCardname->setObjectName(QStringLiteral("ObCardname"));
    ObCardname->setMinimumHeight(16);
    ObLevel = new QLabel(cardGroup);
    ObLevel->setObjectName(QStringLiteral("ObLevel"));
    cardLayout->addWidget(ObCardname, 0, 0, 1, 2);
    cardLayout->addWidget(new QLabel(QStringLiteral("設定レベル ："), cardGroup), 1, 0);
    cardLayout->addWidget(ObLevel, 1, 1);
    cardLayout->setColumnStretch(1, 1);

    auto* keyGroup = new QGroupBox(QStringLiteral("キーコード"), page);
    auto* keyLayout = new QHBoxLayout(keyGroup);
    keyLayout->setContentsMargins(8, 2, 8, 4);
    ObFaratack = CheckBox("ObFaratack", QStringLiteral("遠距離攻撃"), keyGroup);
    ObAssasin = CheckBox("ObAssasin", QStringLiteral("暗殺"), keyGroup);
    keyLayout->addWidget(ObFaratack);
    keyLayout->addWidget(ObAssasin);
    keyLayout->addStretch();

    auto* voiceGroup = new QGroupBox(QStringLiteral("発生による発動："), page);
    auto* voiceLayout = new QHBoxLayout(voiceGroup);
    voiceLayout->setContentsMargins(8, 2, 8, 4);
    ObVoice = CheckBox("ObVoice", QStringLiteral("沈黙時に使用不可"), voiceGroup);
    voiceLayout->addWidget(ObVoice);

    ObAttribute =
        new RadioGroup(QStringLiteral("効果属性："),
                       {QStringLiteral("物理属性"), QStringLiteral("魔法属性"),
                        QStringLiteral("魔法的物理属性"), QStringLiteral("物理的魔法属性")},
                       1, page);
    ObAttribute->setObjectName(QStringLiteral("ObAttribute"));
    ObDefence = new RadioGroup(
        QStringLiteral("抵抗属性："),
        {QStringLiteral("回避属性（回避可能）"), QStringLiteral("抵抗属性（回避不可）")}, 1, page);
    ObDefence->setObjectName(QStringLiteral("ObDefence"));

    grid->addWidget(ObTarget, 0, 0);
    grid->addWidget(cardGroup, 1, 0);
    grid->addWidget(keyGroup, 2, 0);
    grid->addWidget(voiceGroup, 3, 0);
    grid->addWidget(ObAttribute, 0, 1, 2, 1);
    grid->addWidget(ObDefence, 2, 1, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);
    return page;
}

QWidget* TForm1::BuildModifierPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(8, 6, 8, 6);
    column->setSpacing(4);
    column->addWidget(MakeTrackBarRow(QStringLiteral("ObEscape"), -10, 10,
                                      QStringLiteral("回避ペナルティ"),
                                      QStringLiteral("回避ボーナス"), &ObEscape, page));
    column->addWidget(MakeTrackBarRow(QStringLiteral("ObDefuse"), -10, 10,
                                      QStringLiteral("抵抗ペナルティ"),
                                      QStringLiteral("抵抗ボーナス"), &ObDefuse, page));
    column->addWidget(MakeTrackBarRow(QStringLiteral("ObGard"), -10, 10,
                                      QStringLiteral("防御ペナルティ"),
                                      QStringLiteral("防御ボーナス"), &ObGard, page));
    auto* successGroup = new QGroupBox(QStringLiteral("成功率修正"), page);
    auto* successLayout = new QVBoxLayout(successGroup);
    successLayout->setContentsMargins(6, 2, 6, 4);
    successLayout->addWidget(MakeTrackBarRow(QStringLiteral("ObSuccess"), -5, 5,
                                             QStringLiteral("絶対失敗"), QStringLiteral("絶対成功"),
                                             &ObSuccess, successGroup));
    column->addWidget(successGroup);
    column->addStretch();
    return page;
}

void TForm1::BindHeaderControls() {
    const auto bindRadio = [this](RadioGroup* group, int morvat::EditorState::*field) {
        connect(group, &RadioGroup::clicked, this, [this, field](int i) {
            editor_.*field = i;
            Edited();
        });
    };
    bindRadio(ObTarget, &morvat::EditorState::ObTarget);
    bindRadio(ObAttribute, &morvat::EditorState::ObAttribute);
    bindRadio(ObDefence, &morvat::EditorState::ObDefence);
    const auto bindCheck = [this](QCheckBox* box, bool morvat::EditorState::*field) {
        connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
            if (refreshing_) return;
            editor_.*field = on;
            Edited();
        });
    };
    bindCheck(ObFaratack, &morvat::EditorState::ObFaratack);
    bindCheck(ObAssasin, &morvat::EditorState::ObAssasin);
    bindCheck(ObVoice, &morvat::EditorState::ObVoice);
    const auto bindBar = [this](QSlider* bar, int morvat::EditorState::*field) {
        connect(bar, &QSlider::valueChanged, this, [this, field](int v) {
            if (refreshing_) return;
            editor_.*field = v;
            Edited();
        });
    };
    bindBar(ObEscape, &morvat::EditorState::ObEscape);
    bindBar(ObDefuse, &morvat::EditorState::ObDefuse);
    bindBar(ObGard, &morvat::EditorState::ObGard);
    bindBar(ObSuccess, &morvat::EditorState::ObSuccess);
}

void TForm1::RefreshAll() {
    RefreshGuard guard(refreshing_);
    RefreshHeader();
    RefreshEffectList();
    RefreshPanes();
}

void TForm1::RefreshHeader() {
    RefreshGuard guard(refreshing_);
    ObTarget->setItemIndex(editor_.ObTarget);
    ObVoice->setChecked(editor_.ObVoice);
    ObAttribute->setItemIndex(editor_.ObAttribute);
    ObDefence->setItemIndex(editor_.ObDefence);
    ObEscape->setValue(editor_.ObEscape);
    ObDefuse->setValue(editor_.ObDefuse);
    ObGard->setValue(editor_.ObGard);
    ObSuccess->setValue(editor_.ObSuccess);
    ObFaratack->setChecked(editor_.ObFaratack);
    ObAssasin->setChecked(editor_.ObAssasin);
    ObCardname->setText(FromUtf8(editor_.ObCardname));
    ObLevel->setText(FromUtf8(editor_.ObLevel));
}

void TForm1::Adopt(morvat::EditorState state) {
    editor_ = std::move(state);
    RefreshAll();
    Edited();
}

void TForm1::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}
