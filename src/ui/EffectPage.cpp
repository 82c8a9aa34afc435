// SPDX-License-Identifier: MIT
// The "効果" page of the editor: the effect palette, the effect list, the attribute list and
// the parameter panes, with the handlers that keep them and the selected row in step.
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include "Fonts.h"
#include "MainWindow.h"
#include "QtPaths.h"
#include "model/EffectCatalogue.h"

namespace {

constexpr int kPaneWidth = 152;
constexpr int kTopPaneHeight = 70;  // `Obepkind` and `Obevariaspane`, at the top
constexpr int kLowerPaneHeight = 46;
// The rounds pane's top in the pane area, in its two places.
constexpr int kRoundsTopAlone = 72;
constexpr int kRoundsTopBelowVariation = 120;
constexpr int kAttributeRowHeight = 24;

QFrame* Pane(const char* name, QWidget* parent) {
    auto* pane = new QFrame(parent);
    pane->setObjectName(QString::fromLatin1(name));
    pane->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return pane;
}

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFixedHeight(16);
    return label;
}

// The list keeps showing its selection when another control has the focus.
void KeepSelectionVisible(QListWidget* list) {
    QPalette palette = list->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    list->setPalette(palette);
}

int SelectedRowOf(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? morvat::kNoSelection : list->row(selected.constFirst());
}

void SelectRowOf(QListWidget* list, int row) {
    if (row >= 0 && row < list->count()) {
        list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    } else {
        list->clearSelection();
        list->setCurrentItem(nullptr);
    }
}

}  // namespace

QWidget* TForm1::BuildEffectPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(BuildPalette());

    auto* row = new QHBoxLayout;
    row->setSpacing(4);

    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(1);
    listColumn->addWidget(Heading(QStringLiteral(" 効果種別："), page));
    Obelist = new QListWidget(page);
    Obelist->setObjectName(QStringLiteral("Obelist"));
    Obelist->setFont(FixedGothic(12));
    Obelist->setIconSize(QSize(EffectIcons::kSize, EffectIcons::kSize));
    Obelist->setSelectionMode(QAbstractItemView::SingleSelection);
    Obelist->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Obelist->setUniformItemSizes(true);
    Obelist->setFixedWidth(152);
    KeepSelectionVisible(Obelist);
    Obelist->installEventFilter(this);
    listColumn->addWidget(Obelist);
    row->addLayout(listColumn);

    auto* attributeColumn = new QVBoxLayout;
    attributeColumn->setSpacing(1);
    attributeColumn->addWidget(Heading(QStringLiteral(" 属性："), page));
    Obelist2 = new QListWidget(page);
    Obelist2->setObjectName(QStringLiteral("Obelist2"));
    Obelist2->setSelectionMode(QAbstractItemView::SingleSelection);
    Obelist2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Obelist2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const char* caption : morvat::kAttributeCaptions) {
        auto* item = new QListWidgetItem(QString::fromUtf8(caption), Obelist2);
        item->setSizeHint(QSize(40, kAttributeRowHeight));
    }
    Obelist2->setFixedSize(52, kAttributeRowHeight * 7 + 2 * Obelist2->frameWidth());
    KeepSelectionVisible(Obelist2);
    attributeColumn->addWidget(Obelist2);
    attributeColumn->addStretch();
    row->addLayout(attributeColumn);

    row->addWidget(BuildParameterArea(), 0, Qt::AlignTop);
    column->addLayout(row, 1);

    connect(Obelist, &QListWidget::itemSelectionChanged, this, &TForm1::ObelistChange);
    connect(Obelist2, &QListWidget::itemSelectionChanged, this, &TForm1::Obelist2Click);
    return page;
}

QWidget* TForm1::BuildPalette() {
    PageControl2 = new QTabWidget;
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    PageControl2->setUsesScrollButtons(false);
    // Eight tabs share the page's width: narrow their padding so that all stay in sight.
    PageControl2->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    std::array<QHBoxLayout*, morvat::kPaletteTabs.size()> rows{};
    for (std::size_t tab = 0; tab < morvat::kPaletteTabs.size(); ++tab) {
        auto* page = new QWidget;
        rows[tab] = new QHBoxLayout(page);
        rows[tab]->setContentsMargins(3, 3, 3, 3);
        rows[tab]->setSpacing(1);
        PageControl2->addTab(page, QString::fromUtf8(morvat::kPaletteTabs[tab].caption));

        auto* remove = new QToolButton(page);
        remove->setObjectName(QString::fromLatin1(morvat::kPaletteTabs[tab].removeButton));
        remove->setFixedSize(26, 26);
        remove->setIconSize(QSize(EffectIcons::kSize, EffectIcons::kSize));
        remove->setAutoRaise(true);
        connect(remove, &QToolButton::clicked, this,
                [this] { SpeedButtonClick(morvat::kRemoveCommand); });
        removeButtons[tab] = remove;
        rows[tab]->addWidget(remove);
        rows[tab]->addSpacing(6);
    }
    // The catalogue is in kind order, so each page's buttons stand in ascending kind order.
    for (const morvat::EffectKindInfo& info : morvat::EffectCatalogue()) {
        QHBoxLayout* row = rows[static_cast<std::size_t>(info.tab)];
        auto* button = new QToolButton(row->parentWidget());
        button->setObjectName(QString::fromLatin1(info.button));
        button->setToolTip(QString::fromUtf8(info.hint));
        button->setIcon(imageList_.icon(info.kind));
        button->setIconSize(QSize(EffectIcons::kSize, EffectIcons::kSize));
        button->setFixedSize(26, 26);
        button->setAutoRaise(true);
        const int kind = info.kind;
        connect(button, &QToolButton::clicked, this, [this, kind] { SpeedButtonClick(kind); });
        paletteButtons[static_cast<std::size_t>(kind)] = button;
        row->addWidget(button);
    }
    for (QHBoxLayout* row : rows) row->addStretch();
    FormShow();
    return PageControl2;
}

QWidget* TForm1::BuildParameterArea() {
    paneArea = new QWidget;
    paneArea->setObjectName(QStringLiteral("paneArea"));
    paneArea->setFixedSize(kPaneWidth, kRoundsTopBelowVariation + kLowerPaneHeight);

    Obepkind = new RadioGroup(QString(),
                              {QString::fromUtf8(morvat::kValueKindCaptions[0]),
                               QString::fromUtf8(morvat::kValueKindCaptions[1]),
                               QString::fromUtf8(morvat::kValueKindCaptions[2])},
                              1, paneArea);
    Obepkind->setObjectName(QStringLiteral("Obepkind"));
    Obepkind->setGeometry(0, 0, kPaneWidth, kTopPaneHeight);
    connect(Obepkind, &RadioGroup::clicked, this, &TForm1::ObepkindClick);

    Obevariaspane = Pane("Obevariaspane", paneArea);
    Obevariaspane->setGeometry(0, 0, kPaneWidth, kTopPaneHeight);
    auto* variasLayout = new QVBoxLayout(Obevariaspane);
    variasLayout->setContentsMargins(6, 3, 6, 2);
    variasLayout->setSpacing(0);
    variasLayout->addWidget(new QLabel(QStringLiteral("変化値 ： "), Obevariaspane));
    variasLayout->addWidget(MakeTrackBarRow(QStringLiteral("Obevarias"), -10, 10, QString(),
                                            QString(), &Obevarias, Obevariaspane));
    connect(Obevarias, &QSlider::valueChanged, this, &TForm1::ObevariasChange);

    const auto numberPane = [this](const char* name, const QString& caption, const char* boxName,
                                   const char* spinnerName, int maximum, int initial,
                                   QLineEdit** box, UpDown** spinner) {
        QFrame* pane = Pane(name, paneArea);
        auto* layout = new QGridLayout(pane);
        layout->setContentsMargins(6, 3, 6, 3);
        layout->setSpacing(2);
        *box = new QLineEdit(pane);
        (*box)->setObjectName(QString::fromLatin1(boxName));
        (*box)->setFixedWidth(48);
        (*box)->setAlignment(Qt::AlignRight);
        *spinner = new UpDown(*box, 1, maximum, initial, pane);
        (*spinner)->setObjectName(QString::fromLatin1(spinnerName));
        layout->addWidget(new QLabel(caption, pane), 0, 0, 1, 3);
        layout->addWidget(*box, 1, 0);
        layout->addWidget(*spinner, 1, 1);
        layout->setColumnStretch(2, 1);
        return pane;
    };
    Obepointpane = numberPane("Obepointpane", QStringLiteral("値 ： "), "Obepoint", "Obepointud",
                              99, 1, &Obepoint, &Obepointud);
    Obepointpane->setGeometry(0, kTopPaneHeight + 2, kPaneWidth, kLowerPaneHeight);
    Oberoundpane = numberPane("Oberoundpane", QStringLiteral("継続時間（ラウンド数） ： "),
                              "Oberound", "Oberoundud", 999, 10, &Oberound, &Oberoundud);
    Oberoundpane->setGeometry(0, kRoundsTopAlone, kPaneWidth, kLowerPaneHeight);
    connect(Obepoint, &QLineEdit::textChanged, this, &TForm1::ObepointChange);
    connect(Oberound, &QLineEdit::textChanged, this, &TForm1::OberoundChange);
    return paneArea;
}

void TForm1::FormShow() {
    for (QToolButton* remove : removeButtons) {
        if (remove != nullptr) remove->setIcon(imageList_.icon(0));
    }
}

void TForm1::RefreshEffectList() {
    const bool refreshing = refreshing_;
    refreshing_ = true;
    const auto& rows = editor_.Obelist;
    bool same = Obelist->count() == static_cast<int>(rows.size());
    for (int i = 0; same && i < Obelist->count(); ++i) {
        same =
            Obelist->item(i)->data(Qt::UserRole).toInt() == rows[static_cast<std::size_t>(i)].kind;
    }
    if (!same) {
        const int scroll = Obelist->verticalScrollBar()->value();
        Obelist->clear();
        for (const morvat::EffectEntry& entry : rows) {
            const morvat::EffectKindInfo* info = morvat::FindEffectKind(entry.kind);
            auto* item =
                new QListWidgetItem(imageList_.icon(entry.kind),
                                    info ? QString::fromUtf8(info->caption) : QString(), Obelist);
            item->setData(Qt::UserRole, static_cast<int>(entry.kind));
        }
        Obelist->verticalScrollBar()->setValue(scroll);
    }
    if (SelectedRowOf(Obelist) != editor_.selectedRow) SelectRowOf(Obelist, editor_.selectedRow);
    refreshing_ = refreshing;
}

void TForm1::RefreshPanes() {
    const bool refreshing = refreshing_;
    refreshing_ = true;
    const morvat::ParameterPanes panes = morvat::PanesFor(editor_);
    SelectRowOf(Obelist2, panes.attribute);
    if (const morvat::EffectEntry* entry = morvat::SelectedEntry(editor_)) {
        if (panes.valueKindVisible) Obepkind->setItemIndex(entry->valueKind);
        if (panes.valueVisible) Obepointud->setPosition(entry->value);
        if (panes.variationVisible) Obevarias->setValue(entry->variation);
        if (panes.roundsVisible) Oberoundud->setPosition(entry->rounds);
    }
    Obepkind->setVisible(panes.valueKindVisible);
    Obepointpane->setVisible(panes.valueVisible);
    Obevariaspane->setVisible(panes.variationVisible);
    Oberoundpane->move(0, panes.roundsPlace == morvat::ParameterPanes::RoundsPlace::Alone
                              ? kRoundsTopAlone
                              : kRoundsTopBelowVariation);
    Oberoundpane->setVisible(panes.roundsVisible);
    Obepoint->setEnabled(Obepkind->itemIndex() != morvat::kValueKindMax);
    refreshing_ = refreshing;
}

void TForm1::SpeedButtonClick(int kind) {
    if (kind == morvat::kRemoveCommand) {
        morvat::RemoveSelectedEffect(editor_);
    } else if (const morvat::EffectKindInfo* info = morvat::FindEffectKind(kind)) {
        morvat::AddEffect(
            editor_, {.kind = static_cast<morvat::EffectKind>(kind), .rounds = info->roundsOnAdd});
    }
    const int rowsBefore = Obelist->count();
    RefreshEffectList();
    RefreshPanes();
    Edited();
    // New rows go to the end of the list, which may be out of sight: show them, so the
    // user sees what the button did.
    if (Obelist->count() > rowsBefore) Obelist->scrollToItem(Obelist->item(Obelist->count() - 1));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Obelist && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        SpeedButtonClick(morvat::kRemoveCommand);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::ObelistChange() {
    if (refreshing_) return;
    morvat::SelectRow(editor_, SelectedRowOf(Obelist));
    RefreshPanes();
}

void TForm1::Obelist2Click() {
    if (refreshing_) return;
    if (morvat::SelectedEntry(editor_) == nullptr) {
        // Without an effect row there is nothing to give an attribute to: undo the click.
        refreshing_ = true;
        SelectRowOf(Obelist2, morvat::kNoSelection);
        refreshing_ = false;
        return;
    }
    const int attribute = SelectedRowOf(Obelist2);
    if (attribute != morvat::kNoSelection) morvat::SetSelectedAttribute(editor_, attribute);
    Edited();
}

void TForm1::ObepkindClick(int index) {
    morvat::SetSelectedValueKind(editor_, index);
    Obepoint->setEnabled(index != morvat::kValueKindMax);
    Edited();
}

void TForm1::NumberBoxChange(QLineEdit* box, UpDown* spinner,
                             void (*write)(morvat::EditorState&, int)) {
    if (refreshing_) return;
    const int typed = DecimalOrMinusOne(box->text());
    if (typed == -1) {
        // Not a number: the spinner's position comes back, and with it this handler.
        box->setText(QString::number(spinner->position()));
        return;
    }
    spinner->setPosition(typed);  // an out-of-range number is brought into the range
    write(editor_, spinner->position());
    Edited();
}

void TForm1::ObepointChange() {
    NumberBoxChange(Obepoint, Obepointud, &morvat::SetSelectedValue);
}

void TForm1::OberoundChange() {
    NumberBoxChange(Oberound, Oberoundud, &morvat::SetSelectedRounds);
}

void TForm1::ObevariasChange(int position) {
    if (refreshing_) return;
    morvat::SetSelectedVariation(editor_, position);
    Edited();
}
