#include "ArchiveCommands.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <vector>

#include "files/Utf8.h"
#include "files/archive/Archive.h"
#include "files/archive/ArchiveCards.h"

namespace morvat::cli {
namespace {

namespace fs = std::filesystem;

void Note(std::ostream& err, std::string_view path, std::string_view message) {
    err << "morvat-ex-cli: " << ValidUtf8(path) << ": " << message << '\n';
}

// The notes every reading of an archive gives: odd names, archives inside, where it stopped.
void NoteMember(std::ostream& err, const std::string& archive, const ArchiveMember& member) {
    const std::string shown = archive + '/' + member.path;
    if (!member.nameNote.empty()) Note(err, shown, member.nameNote);
    if (member.isArchive) Note(err, shown, kArchiveInArchiveNotOpened);
}

int ArchiveStatus(std::ostream& err, const std::string& path, const ArchiveReadResult& result) {
    if (!result.opened) {
        Note(err, path, ArchivesSupported() ? kArchiveNotReadable : kArchivesNotSupported);
        return 2;
    }
    if (!result.stopped.empty()) {
        Note(err, path, result.stopped);
        return 3;
    }
    return 0;
}

}  // namespace

bool IsArchiveArgument(const std::string& path) {
    std::error_code ec;
    return HasArchiveExtension(fs::path(path).filename().string()) && fs::is_regular_file(path, ec);
}

std::optional<int> ListArchive(const std::string& path, std::ostream& out, std::ostream& err) {
    if (!IsArchiveArgument(path)) return std::nullopt;
    const ArchiveCardList list = BuildArchiveCardList(path);
    for (const std::string& nested : list.nestedArchives) {
        Note(err, path + '/' + nested, kArchiveInArchiveNotOpened);
    }
    bool allRead = true;
    for (const ArchiveCardRow& row : list.rows) {
        out << row.displayText() << '\n';
        if (!row.nameNote.empty()) Note(err, path + '/' + row.memberPath, row.nameNote);
        allRead = allRead && row.problem.empty();
    }
    ArchiveReadResult result;
    result.opened = list.opened;
    result.stopped = list.stopped;
    const int status = ArchiveStatus(err, path, result);
    if (status != 0) return status;
    return allRead ? 0 : 3;
}

bool SummarizeArchive(const std::string& path, std::ostream& out, std::ostream& err,
                      const RateArchiveCard& rate) {
    // Rated as they come, one card in memory at a time; only the lines wait, so that they
    // can be printed in the order a folder's cards come.
    // An XML card waits for the end of the archive to know whether it counts.
    struct Line {
        ArchiveCardPlace place;
        std::string out;
        std::string err;
        bool rated = true;
    };
    std::vector<Line> lines;
    ArchiveCardPicker picker;
    const ArchiveReadResult result = ReadArchive(
        path, &ArchiveCardPicker::Wants, [&](const ArchiveMember& m, std::string_view bytes) {
            std::ostringstream cardOut;
            std::ostringstream cardErr;
            NoteMember(cardErr, path, m);
            const std::size_t slash = m.path.rfind('/');
            // Members that are no card keep their notes in the place of a binary card.
            Line line;
            line.place.folder = slash == std::string::npos ? std::string() : m.path.substr(0, slash);
            line.place.fileName = m.fileName;
            if (std::optional<ArchiveCardPlace> place = picker.Take(m, bytes)) {
                line.place = std::move(*place);
                line.rated = rate(path + '/' + m.path, bytes, m.problem, cardOut, cardErr);
            }
            if (cardOut.tellp() == 0 && cardErr.tellp() == 0) return true;
            line.out = cardOut.str();
            line.err = cardErr.str();
            lines.push_back(std::move(line));
            return true;
        });
    bool allRated = true;
    std::erase_if(lines, [&picker](const Line& line) { return !picker.Keeps(line.place); });
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return a.place < b.place; });
    for (const Line& line : lines) {
        err << line.err;
        out << line.out;
        allRated = allRated && line.rated;
    }
    if (!result.opened) {
        out << ValidUtf8(path) << '\t'
            << (ArchivesSupported() ? kArchiveNotReadable : kArchivesNotSupported) << '\n';
        return false;
    }
    return ArchiveStatus(err, path, result) == 0 && allRated;
}

void NoteArchivesInFolder(const SkillFolder& folder, std::ostream& err) {
    for (const std::string& name : folder.archiveNames()) {
        Note(err, (folder.path() / name).string(), kArchiveInFolderNotOpened);
    }
}

LoadOutcome LoadFileOrArchiveCard(const std::string& path, EditorState& editor,
                                  LoadPrompts& prompts, std::string& problem) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        if (const std::optional<ArchiveMemberPath> member = SplitArchivePath(path)) {
            return ReadArchiveCard(*member, editor, prompts, &problem);
        }
    }
    return LoadSkillFile(path, editor, prompts);
}

}  // namespace morvat::cli
