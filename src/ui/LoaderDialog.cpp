// SPDX-License-Identifier: MIT
#include "LoaderDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <string>
#include <system_error>
#include <utility>

#include "Fonts.h"
#include "files/ShiftJis.h"

namespace {

namespace fs = std::filesystem;

// Roles of a card row: the padded card name and the file name, drawn in two columns.
constexpr int kCardNameRole = Qt::UserRole + 1;
constexpr int kFileNameRole = Qt::UserRole + 2;
// Role of a folder tree item and a drive box entry: the folder's native path bytes.
constexpr int kFolderRole = Qt::UserRole + 3;
// Roles of a folder tree item for an archive or a folder inside one: the archive's native
// path bytes and the folder inside it.
constexpr int kArchiveRole = Qt::UserRole + 4;
constexpr int kInnerFolderRole = Qt::UserRole + 5;

QString FromNative(const fs::path& path) {
    return QFile::decodeName(path.c_str());
}

fs::path ToNative(const QString& text) {
    return fs::path(QFile::encodeName(text).toStdString());
}

// Names on disk are UTF-8 on this system, but folders copied from the game's own system
// keep their code page 932 bytes; show those as the game would rather than as U+FFFD.
QString DisplayName(const std::string& bytes) {
    return QString::fromStdString(morvat::DisplayFileName(bytes));
}

// One spelling per folder, so that setting the same folder twice is seen as no change:
// absolute, without "." and "..", without a trailing separator (except the root).
fs::path NormalFolder(const fs::path& folder) {
    if (folder.empty()) return folder;
    std::error_code ec;
    fs::path result = fs::absolute(folder, ec);
    if (ec) result = folder;
    result = result.lexically_normal();
    if (result.has_relative_path() && !result.has_filename()) result = result.parent_path();
    return result;
}

bool IsFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);  // a broken or looping link is simply no folder
}

// Whether `folder` lies in `root` or is `root`, comparing whole path components.
bool IsWithin(const fs::path& folder, const fs::path& root) {
    auto f = folder.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++f) {
        if (r->empty()) continue;  // the empty last element of "/"-terminated paths
        if (f == folder.end() || *f != *r) return false;
    }
    return true;
}

// Draws a card row as two columns: the card name in 13 cells, then the file name at a
// fixed offset. The offset is measured in fractional pixels because at 13 px a half-width
// cell is 6.5 px wide; drawing the padded text as one string would let rounding (or a
// fallback glyph for an odd byte in a name) push a file name out of its column.
class CardRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Every row is as wide as the widest one, so that the list (whose rows share one size)
    // scrolls sideways to show the longest file name whole.
    void setRowWidth(int width) { rowWidth_ = width; }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(std::max(size.width(), rowWidth_));
        return size;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        opt.text.clear();
        const QStyle* style = opt.widget != nullptr ? opt.widget->style() : nullptr;
        if (style == nullptr) return;
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        const QRectF text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
        const qreal column = QFontMetricsF(opt.font).horizontalAdvance(QLatin1Char(' ')) *
                             static_cast<qreal>(morvat::kCardListNameWidth);
        const QPalette::ColorGroup group =
            (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        const QPalette::ColorRole role =
            (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
        constexpr int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;

        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, role));
        const QRectF nameRect(text.left(), text.top(), column, text.height());
        painter->setClipRect(nameRect);
        painter->drawText(nameRect, flags, index.data(kCardNameRole).toString());
        const QRectF fileRect(text.left() + column, text.top(),
                              std::max<qreal>(0, text.width() - column), text.height());
        painter->setClipRect(fileRect);
        painter->drawText(fileRect, flags, index.data(kFileNameRole).toString());
        painter->restore();
    }

private:
    int rowWidth_ = 0;
};

// The folder tree is always fully open, so it draws no expand and collapse marks.
class FolderTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
};

class MessageBoxLoaderMessages : public LoaderMessages {
public:
    void NoCardChosen(QWidget* parent) override {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("エラー"),
                        QStringLiteral("ファイルを選んで下さい"), QMessageBox::Ok, parent);
        box.exec();
    }
};

LoaderMessages& DefaultMessages() {
    static MessageBoxLoaderMessages messages;
    return messages;
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm3");
    setWindowTitle(QStringLiteral("スキルファイルロード"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(361, 302);
    setFont(ProportionalGothic(12));

    DirectoryListBox1 = new FolderTree(this);
    DirectoryListBox1->setObjectName("DirectoryListBox1");
    DirectoryListBox1->setGeometry(0, 0, 161, 249);
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setRootIsDecorated(false);
    DirectoryListBox1->setItemsExpandable(false);
    DirectoryListBox1->setExpandsOnDoubleClick(false);
    DirectoryListBox1->setIndentation(8);
    DirectoryListBox1->setUniformRowHeights(true);
    DirectoryListBox1->installEventFilter(this);
    connect(DirectoryListBox1, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { openFolderItem(item); });

    // Follows the folder tree; only the card list reads it.
    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName("FileListBox1");
    FileListBox1->hide();

    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName("DriveComboBox1");
    DriveComboBox1->setGeometry(0, 255, 161, 22);
    connect(DriveComboBox1, &QComboBox::activated, this, &TForm3::DriveComboBox1Change);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setGeometry(160, 0, 201, 265);
    ListBox1->setFont(FixedGothic(13));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setUniformItemSizes(true);  // keeps a folder of thousands of cards quick
    ListBox1->setItemDelegate(new CardRowDelegate(ListBox1));
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ListBox1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // Said inside the list when its folder cannot be read, which an empty list cannot say.
    // The list's own size is fixed, while its viewport gets its size only when shown.
    ListBox1Problem = new QLabel(ListBox1);
    ListBox1Problem->setObjectName("ListBox1Problem");
    ListBox1Problem->setAlignment(Qt::AlignCenter);
    ListBox1Problem->setWordWrap(true);
    ListBox1Problem->setAttribute(Qt::WA_TransparentForMouseEvents);
    ListBox1Problem->setGeometry(ListBox1->rect().adjusted(8, 8, -8, -8));
    ListBox1Problem->hide();
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TForm3::ListBox1DblClick);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(192, 272, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);

    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(280, 272, 75, 25);
    // Return on the focused Cancel cancels; OK stays the default everywhere else.
    Button2->setAutoDefault(true);
    connect(Button2, &QPushButton::clicked, this, &TForm3::reject);

    fillDriveBox();
}

TForm3::~TForm3() = default;

void TForm3::setDirectory(const QString& folder) {
    setDirectoryPath(ToNative(folder));
}

QString TForm3::directory() const {
    return FromNative(directory_);
}

void TForm3::setDirectoryPath(const fs::path& folder) {
    changeFolder(folder);
}

QString TForm3::SelectedWidPath() const {
    return FromNative(selectedWidFile_);
}

void TForm3::setMessages(LoaderMessages* messages) {
    messages_ = messages;
}

void TForm3::reject() {
    done(kCancelled);
}

void TForm3::changeFolder(const fs::path& folder) {
    fs::path normal = NormalFolder(folder);
    if (normal == directory_ && !directory_.empty()) return;
    directory_ = std::move(normal);
    archive_.clear();
    archiveFolder_.clear();
    archiveList_ = {};
    fillFolderTree();
    selectDriveOf(directory_);
    DirectoryListBox1Change();
}

void TForm3::DirectoryListBox1Change() {
    FileListBox1->clear();
    ListBox1->clear();
    rows_.clear();
    if (directory_.empty()) return;
    if (!archive_.empty()) {
        fillArchiveRows();
        return;
    }

    // A folder of thousands of cards takes a moment even on every core.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    morvat::FolderProblem problem;
    std::vector<morvat::CardFolderEntry> entries = morvat::ReadCardFolder(directory_, &problem);
    ShowFolderProblem(problem);
    // The hidden file list holds file names only, also for an XML scenario's cards.
    for (const morvat::CardFolderEntry& entry : entries) {
        FileListBox1->addItem(DisplayName(entry.path.filename().string()));
    }
    for (morvat::CardFolderEntry& entry : entries) {
        if (!entry.paddedName) continue;
        // An XML scenario's cards are shown with their path inside it (SkillCard/...).
        rows_.push_back({std::move(*entry.paddedName), std::move(entry.fileName),
                         std::move(entry.path)});
    }

    ListBox1->setUpdatesEnabled(false);
    const QFontMetrics metrics(ListBox1->font());
    int widestFile = 0;
    for (const morvat::CardListRow& row : rows_) {
        const QString name = QString::fromStdString(morvat::ShiftJisToUtf8(row.paddedName));
        const QString file = DisplayName(row.fileName);
        widestFile = std::max(widestFile, metrics.horizontalAdvance(file));
        auto* item = new QListWidgetItem(name + file);
        item->setData(kCardNameRole, name);
        item->setData(kFileNameRole, file);
        ListBox1->addItem(item);
    }
    // The name column, the widest file name and the item's margins on both sides.
    const int nameColumn = static_cast<int>(
        std::ceil(QFontMetricsF(ListBox1->font()).horizontalAdvance(QLatin1Char(' ')) *
                  static_cast<qreal>(morvat::kCardListNameWidth)));
    const int margin =
        ListBox1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ListBox1) + 1;
    static_cast<CardRowDelegate*>(ListBox1->itemDelegate())
        ->setRowWidth(nameColumn + widestFile + 2 * margin + 4);
    ListBox1->doItemsLayout();
    ListBox1->setUpdatesEnabled(true);
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
}

void TForm3::DriveComboBox1Change(int index) {
    if (index < 0) return;
    const QByteArray folder = DriveComboBox1->itemData(index, kFolderRole).toByteArray();
    if (!folder.isEmpty()) changeFolder(fs::path(folder.toStdString()));
}

void TForm3::Button1Click() {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    const int row = selected.isEmpty() ? -1 : ListBox1->row(selected.front());
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        (messages_ != nullptr ? *messages_ : DefaultMessages()).NoCardChosen(this);
        return;
    }
    selectedWidFile_ = rows_[static_cast<std::size_t>(row)].path;
    done(kConfirmed);
}

void TForm3::ListBox1DblClick() {
    Button1Click();
}

void TForm3::Rebuild() {
    if (directory_.empty()) return;
    // The same card stays chosen when it is still there.
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    const int row = selected.isEmpty() ? -1 : ListBox1->row(selected.front());
    const fs::path chosen = row >= 0 && static_cast<std::size_t>(row) < rows_.size()
                                ? rows_[static_cast<std::size_t>(row)].path
                                : fs::path();
    fillFolderTree();
    DirectoryListBox1Change();
    for (std::size_t i = 0; i < rows_.size() && !chosen.empty(); ++i) {
        if (rows_[i].path == chosen) {
            ListBox1->setCurrentRow(static_cast<int>(i));
            break;
        }
    }
}

void TForm3::ShowFolderProblem(const morvat::FolderProblem& problem) {
    if (!problem) {
        ListBox1Problem->hide();
        return;
    }
    const QString reason = QString::fromStdString(std::generic_category().message(problem.error));
    const QString text = problem.kind == morvat::FolderProblem::Kind::CannotOpen
                             ? QStringLiteral("ファイルが開けません")
                             : QStringLiteral("読み込みに失敗しました");
    ListBox1Problem->setText(text + QStringLiteral("\n(") + reason + QLatin1Char(')'));
    ListBox1Problem->setToolTip(FromNative(directory_));
    // A folder that failed part way still lists the cards seen; the note keeps below them.
    ListBox1Problem->setAlignment(problem.kind == morvat::FolderProblem::Kind::CannotOpen
                                      ? Qt::AlignCenter
                                      : Qt::AlignHCenter | Qt::AlignBottom);
    ListBox1Problem->show();
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        Rebuild();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    // Return in the folder tree opens the folder; without this the dialog would also take
    // it as a press of OK.
    if (watched == DirectoryListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openFolderItem(DirectoryListBox1->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::openFolderItem(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const QByteArray archive = item->data(0, kArchiveRole).toByteArray();
    if (!archive.isEmpty()) {
        enterArchive(fs::path(archive.toStdString()),
                     item->data(0, kInnerFolderRole).toString().toStdString());
        return;
    }
    // A folder chosen in the tree leaves the archive, also the folder that holds it.
    if (!archive_.empty()) directory_.clear();
    const QByteArray folder = item->data(0, kFolderRole).toByteArray();
    if (!folder.isEmpty()) changeFolder(fs::path(folder.toStdString()));
}

// The folder tree in the classic style: the chain of folders from the root down to the
// current one, then the current folder's subfolders one level further in.
void TForm3::fillFolderTree() {
    DirectoryListBox1->clear();
    if (directory_.empty()) return;

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto makeItem = [](const fs::path& path, const QString& text, const QIcon& icon) {
        auto* item = new QTreeWidgetItem(QStringList{text});
        item->setIcon(0, icon);
        item->setData(0, kFolderRole, QByteArray::fromStdString(path.native()));
        return item;
    };

    QTreeWidgetItem* parent = nullptr;
    fs::path chain;
    for (const fs::path& part : directory_) {
        if (part.empty()) continue;
        chain /= part;
        const QString text =
            chain == directory_.root_path() ? FromNative(chain) : DisplayName(part.string());
        QTreeWidgetItem* item = makeItem(chain, text, openIcon);
        if (parent == nullptr) {
            DirectoryListBox1->addTopLevelItem(item);
        } else {
            parent->addChild(item);
        }
        parent = item;
    }
    if (parent == nullptr) return;
    DirectoryListBox1->setCurrentItem(parent);
    if (!archive_.empty()) {
        addArchiveItems(parent);
        return;
    }

    std::vector<std::pair<QString, fs::path>> subfolders;
    std::error_code ec;
    fs::directory_iterator it(directory_, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code statError;
        // Follows links to folders; broken and looping links fail here and are left out.
        if (!it->is_directory(statError) || statError) continue;
        // Dot-folders are hidden by convention (settings, caches, version control).
        if (it->path().filename().native().starts_with('.')) continue;
        subfolders.emplace_back(DisplayName(it->path().filename().string()), it->path());
    }
    std::sort(subfolders.begin(), subfolders.end(), [](const auto& a, const auto& b) {
        const int order = QString::compare(a.first, b.first, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.second < b.second;
    });
    for (const auto& [text, path] : subfolders) {
        parent->addChild(makeItem(path, text, closedIcon));
    }
    addArchiveItems(parent);
    DirectoryListBox1->expandAll();
    DirectoryListBox1->scrollToItem(parent);
}

// Without drive letters, the "drives" are the mounted volumes and the home folder.
void TForm3::fillDriveBox() {
    std::vector<fs::path> roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const fs::path root = NormalFolder(ToNative(volume.rootPath()));
        if (IsFolder(root)) roots.push_back(root);  // bind-mounted files are no drive
    }
    const fs::path home = NormalFolder(ToNative(QDir::homePath()));
    if (IsFolder(home)) roots.push_back(home);
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());

    DriveComboBox1->clear();
    for (const fs::path& root : roots) {
        DriveComboBox1->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), FromNative(root));
        DriveComboBox1->setItemData(DriveComboBox1->count() - 1,
                                    QByteArray::fromStdString(root.native()), kFolderRole);
    }
    DriveComboBox1->setCurrentIndex(-1);
}

// Shows the innermost volume (or the home folder) that holds `folder`.
void TForm3::selectDriveOf(const fs::path& folder) {
    int best = -1;
    std::size_t bestLength = 0;
    for (int i = 0; i < DriveComboBox1->count(); ++i) {
        const QByteArray root = DriveComboBox1->itemData(i, kFolderRole).toByteArray();
        const auto length = static_cast<std::size_t>(root.size());
        if (IsWithin(folder, fs::path(root.toStdString())) && (best < 0 || length > bestLength)) {
            best = i;
            bestLength = length;
        }
    }
    DriveComboBox1->setCurrentIndex(best);
}

// Archives open like folders: in a folder they stand beside its subfolders; entered, the
// tree goes on from the archive through its folders, the card list shows the cards of the
// folder inside it, and the dialog's folder stays the one that holds the archive.
void TForm3::enterArchive(const fs::path& archive, const std::string& inner) {
    const fs::path normal = NormalFolder(archive);
    if (normal != archive_) {
        archiveList_ = morvat::BuildArchiveCardList(normal);
        archive_ = normal;
        directory_ = NormalFolder(normal.parent_path());
        selectDriveOf(directory_);
    }
    archiveFolder_ = inner;
    fillFolderTree();
    DirectoryListBox1Change();
}

void TForm3::addArchiveItems(QTreeWidgetItem* parent) {
    const QIcon archiveIcon = style()->standardIcon(QStyle::SP_FileIcon);
    auto makeItem = [](const fs::path& archive, const std::string& inner, const QString& text,
                       const QIcon& icon) {
        auto* item = new QTreeWidgetItem(QStringList{text});
        item->setIcon(0, icon);
        item->setData(0, kArchiveRole, QByteArray::fromStdString(archive.native()));
        item->setData(0, kInnerFolderRole, QString::fromStdString(inner));
        return item;
    };

    if (archive_.empty()) {
        std::vector<std::pair<QString, fs::path>> archives;
        std::error_code ec;
        fs::directory_iterator it(directory_, fs::directory_options::skip_permission_denied, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code statError;
            const std::string name = it->path().filename().string();
            if (!morvat::HasArchiveExtension(name) || !it->is_regular_file(statError)) continue;
            archives.emplace_back(DisplayName(name), it->path());
        }
        std::sort(archives.begin(), archives.end(), [](const auto& a, const auto& b) {
            const int order = QString::compare(a.first, b.first, Qt::CaseInsensitive);
            return order != 0 ? order < 0 : a.second < b.second;
        });
        for (const auto& [text, path] : archives) parent->addChild(makeItem(path, {}, text, archiveIcon));
        return;
    }

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* current = makeItem(archive_, {}, DisplayName(archive_.filename().string()), archiveIcon);
    parent->addChild(current);
    std::string chain;
    for (std::size_t start = 0; start < archiveFolder_.size();) {
        std::size_t slash = archiveFolder_.find('/', start);
        if (slash == std::string::npos) slash = archiveFolder_.size();
        const std::string part = archiveFolder_.substr(start, slash - start);
        chain += (chain.empty() ? "" : "/") + part;
        QTreeWidgetItem* child = makeItem(archive_, chain, QString::fromStdString(part), openIcon);
        current->addChild(child);
        current = child;
        start = slash + 1;
    }
    const std::string prefix = archiveFolder_.empty() ? "" : archiveFolder_ + "/";
    for (const std::string& folder : archiveList_.folders) {
        if (!folder.starts_with(prefix) || folder.size() == prefix.size()) continue;
        const std::string name = folder.substr(prefix.size());
        if (name.find('/') != std::string::npos) continue;
        current->addChild(makeItem(archive_, folder, QString::fromStdString(name), closedIcon));
    }
    DirectoryListBox1->expandAll();
    DirectoryListBox1->setCurrentItem(current);
    DirectoryListBox1->scrollToItem(current);
}

void TForm3::fillArchiveRows() {
    ListBox1->setUpdatesEnabled(false);
    for (const morvat::ArchiveCardRow& row : archiveList_.rows) {
        if (row.folder != archiveFolder_) continue;
        rows_.push_back({row.paddedName, row.fileName,
                         morvat::ArchiveMemberFullPath(archive_, row.memberPath)});
        const QString name = QString::fromStdString(morvat::ShiftJisToUtf8(row.paddedName));
        const std::string shown = row.memberPath.substr(row.folder.empty() ? 0 : row.folder.size() + 1);
        QString file = QString::fromStdString(shown);
        if (!row.problem.empty()) file += QStringLiteral(" (%1)").arg(QString::fromStdString(row.problem));
        auto* item = new QListWidgetItem(name + file);
        item->setData(kCardNameRole, name);
        item->setData(kFileNameRole, file);
        // A card that was not read cannot be chosen; its row only says why.
        if (!row.problem.empty()) item->setFlags(Qt::NoItemFlags);
        ListBox1->addItem(item);
    }
    // Why the archive could not be read to its end, after every card that could be.
    std::string_view why = archiveList_.stopped;
    if (!archiveList_.opened) why = morvat::kArchiveNotReadable;
    if (!why.empty()) {
        const QString text = QStringLiteral("（%1）").arg(QString::fromUtf8(why.data(), why.size()));
        auto* item = new QListWidgetItem(text);
        item->setData(kCardNameRole, QString());
        item->setData(kFileNameRole, text);
        item->setFlags(Qt::NoItemFlags);
        ListBox1->addItem(item);
    }
    ListBox1->setUpdatesEnabled(true);
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
}
