#include "files/archive/ArchiveCards.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <tuple>

#include "files/CardList.h"
#include "files/FileOpen.h"
#include "files/ShiftJis.h"
#include "files/WidReader.h"
#if MORVAT_WITH_ARCHIVES
#include "files/XmlCardReader.h"
#endif

namespace morvat {
namespace {

// The card list's name of a card in memory, read exactly as from a file.
std::optional<std::string> CardListNameOf(std::string_view bytes) {
    return ReadCardListNameFromMemory(bytes);
}

std::string FolderPart(std::string_view memberPath) {
    const std::size_t slash = memberPath.rfind('/');
    return slash == std::string_view::npos ? std::string()
                                           : std::string(memberPath.substr(0, slash));
}

void AddFolderChain(std::set<std::string>& folders, std::string folder) {
    while (!folder.empty() && folders.insert(folder).second) folder = FolderPart(folder);
}

std::string_view LastPart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// SCENARIO/SkillCard/NAME.xml: a card of the XML scenario SCENARIO, if it is one.
bool IsXmlCardCandidate(const ArchiveMember& member) {
    return member.isFile && IsXmlCardFileName(member.path) &&
           LastPart(FolderPart(member.path)) == "SkillCard";
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

bool ArchiveCardPlace::operator<(const ArchiveCardPlace& other) const {
    return std::tie(folder, xmlId, fileName) < std::tie(other.folder, other.xmlId, other.fileName);
}

bool ArchiveCardPicker::Wants(const ArchiveMember& member) {
    return member.isCard || IsXmlCardCandidate(member);
}

std::optional<ArchiveCardPlace> ArchiveCardPicker::Take(const ArchiveMember& member,
                                                        std::string_view bytes,
                                                        std::string* xmlName) {
    const std::string folder = FolderPart(member.path);
    if (member.isFile && LastPart(member.path) == "Summary.xml") scenarios_.insert(folder);
    if (member.isCard) return ArchiveCardPlace{folder, 0, member.fileName, {}, false};
    if (!IsXmlCardCandidate(member)) return std::nullopt;
    ArchiveCardPlace place{folder, 0, member.fileName, FolderPart(folder), true};
    // A member that was not read keeps its row, so that the list says why.
    if (!member.problem.empty()) return place;
#if MORVAT_WITH_ARCHIVES
    std::optional<XmlCardHead> head = ReadXmlCardHead(bytes);
    if (!head) return std::nullopt;
    place.xmlId = head->id;
    if (xmlName != nullptr) *xmlName = std::move(head->name);
    return place;
#else
    (void)bytes, (void)xmlName;
    return std::nullopt;
#endif
}

bool ArchiveCardPicker::Keeps(const ArchiveCardPlace& place) const {
    return !place.xml || scenarios_.count(place.xmlScenario) != 0;
}

std::string ArchiveCardRow::displayText(bool withFolder) const {
    const std::string name =
        withFolder ? memberPath : memberPath.substr(folder.empty() ? 0 : folder.size() + 1);
    std::string text = ShiftJisToUtf8(paddedName) + name;
    if (!problem.empty()) text += " (" + problem + ")";
    return text;
}

ArchiveCardList BuildArchiveCardList(const std::filesystem::path& archive) {
    ArchiveCardList list;
    ArchiveCardPicker picker;
    const ArchiveReadResult result = ReadArchive(
        archive, &ArchiveCardPicker::Wants,
        [&list, &picker](const ArchiveMember& m, std::string_view bytes) {
            const std::string folder = FolderPart(m.path);
            AddFolderChain(list.folders, m.isFile ? folder : m.path);
            if (m.isArchive) list.nestedArchives.push_back(m.path);
            std::string xmlName;
            std::optional<ArchiveCardPlace> place = picker.Take(m, bytes, &xmlName);
            if (!place) return true;
            ArchiveCardRow row{std::string(kCardListNameWidth, ' '),
                               m.path,
                               folder,
                               m.fileName,
                               m.index,
                               m.problem,
                               m.nameNote,
                               std::move(*place)};
            if (row.problem.empty()) {
                std::optional<std::string> name =
                    row.place.xml ? XmlCardListName(xmlName) : CardListNameOf(bytes);
                if (!name) return true;  // left out, as a folder leaves such a file out
                row.paddedName = std::move(*name);
            }
            list.rows.push_back(std::move(row));
            return true;
        });
    list.opened = result.opened;
    list.stopped = result.stopped;
    std::erase_if(list.rows, [&picker](const ArchiveCardRow& row) { return !picker.Keeps(row.place); });
    std::stable_sort(list.rows.begin(), list.rows.end(),
                     [](const ArchiveCardRow& a, const ArchiveCardRow& b) { return a.place < b.place; });
    return list;
}

std::optional<ArchiveMemberPath> SplitArchivePath(const std::filesystem::path& path) {
    const std::string text = path.string();
    // The longest leading part first: an archive may sit in a folder named like one.
    for (std::size_t slash = text.rfind('/'); slash != std::string::npos && slash > 0;
         slash = text.rfind('/', slash - 1)) {
        const std::filesystem::path head(text.substr(0, slash));
        std::string member = text.substr(slash + 1);
        if (member.empty() || !HasArchiveExtension(head.filename().string())) continue;
        if (!IsRegularFile(head)) continue;
        return ArchiveMemberPath{head, std::move(member)};
    }
    return std::nullopt;
}

std::filesystem::path ArchiveMemberFullPath(const std::filesystem::path& archive,
                                            std::string_view member) {
    return std::filesystem::path(archive.string() + '/' + std::string(member));
}

LoadOutcome ReadArchiveCard(const ArchiveMemberPath& member, EditorState& editor,
                            LoadPrompts& prompts, std::string* problem) {
    // A path written by hand may keep a "./" or a doubled '/'; the shown paths have none.
    std::string wanted;
    for (std::size_t start = 0; start <= member.member.size();) {
        std::size_t slash = member.member.find('/', start);
        if (slash == std::string::npos) slash = member.member.size();
        const std::string_view part = std::string_view(member.member).substr(start, slash - start);
        if (!part.empty() && part != ".") {
            if (!wanted.empty()) wanted += '/';
            wanted += part;
        }
        start = slash + 1;
    }
    bool found = false;
    LoadOutcome outcome{LoadStatus::CannotOpen, 0, false};
    ReadArchive(
        member.archive, [&](const ArchiveMember& m) { return m.isFile && m.path == wanted; },
        [&](const ArchiveMember& m, std::string_view bytes) {
            if (!m.isFile || m.path != wanted) return true;
            found = true;
            if (!m.problem.empty()) {
                if (problem != nullptr) *problem = m.problem;
                outcome = {LoadStatus::ReadFailed, 0, true};
            } else {
                outcome = ReadSkillCardBytes(bytes, wanted, editor, prompts);
            }
            return false;
        });
    if (!found) return {LoadStatus::CannotOpen, 0, false};
    return outcome;
}

LoadOutcome ReadSkillCardAt(const std::filesystem::path& path, EditorState& editor,
                            LoadPrompts& prompts, std::string* problem) {
    if (!IsRegularFile(path)) {
        if (const std::optional<ArchiveMemberPath> member = SplitArchivePath(path)) {
            return ReadArchiveCard(*member, editor, prompts, problem);
        }
    }
    return ReadSkillCard(path, editor, prompts);
}

}  // namespace morvat
