// SPDX-License-Identifier: MIT
#include "files/LoadFlows.h"

#include <fcntl.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <istream>
#include <streambuf>
#include <system_error>

#include "files/CwsFile.h"
#include "files/FileOpen.h"
#include "files/RegularFile.h"
#include "files/ShiftJis.h"
#include "files/UserTexts.h"
#if MORVAT_WITH_ARCHIVES
#include "files/XmlCardReader.h"
#endif

namespace morvat {
namespace {

#if !MORVAT_WITH_ARCHIVES
constexpr std::int32_t kXmlCardsNotBuilt = 1009;
#endif

// Reads a FILE* opened by OpenRegularFile as an std::istream, so the cws reader gets the
// same protection against FIFOs and devices as the card reader.
class FileStreamBuffer : public std::streambuf {
public:
    explicit FileStreamBuffer(std::FILE* file) : file_(file) {}

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        // A failed read is no end of file: the reader must not take what came before it
        // for the whole file.
        if (got == 0 && std::ferror(file_)) {
            throw std::system_error(errno != 0 ? errno : EIO, std::generic_category(), "read");
        }
        if (got == 0) return traits_type::eof();
        setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
        return traits_type::to_int_type(*gptr());
    }

private:
    std::FILE* file_;
    std::array<char, 4096> buffer_{};
};

// Extensions are compared exactly, as the names come: "Card.XML" is a binary card.
bool HasExtension(const std::filesystem::path& path, std::string_view extension) {
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot, std::string::npos, extension) == 0;
}

int TargetIndex(const WidCard& card, LoadPrompts& prompts) {
    const bool whole = card.TargetAll == 1;
    switch (card.Target) {
        case 0:
            prompts.WarnNoTarget();
            return kTargetOneEnemy;
        case 1:  // the user of the card: always one ally
            return kTargetOneAlly;
        case 2:
            return whole ? kTargetAllAllies : kTargetOneAlly;
        case 3:
            return whole ? kTargetAllEnemies : kTargetOneEnemy;
        case 4:  // both sides: the rating knows only one, so the user picks it
            if (prompts.AskEnemySide()) return whole ? kTargetAllEnemies : kTargetOneEnemy;
            return whole ? kTargetAllAllies : kTargetOneAlly;
        default:
            return kTargetOneEnemy;
    }
}

// An XML card from `source` (a stream or bytes); the outcome notes what the rating cannot
// show exactly.
std::int32_t ReadXmlCardFrom(auto source, WidCard& card, EffectCollection& effects,
                             LoadOutcome& outcome) {
#if MORVAT_WITH_ARCHIVES
    XmlCardNotes notes;
    const std::int32_t code = ReadXmlCard(source, card, effects, &notes);
    outcome.fixedAmountAsNormal = notes.fixedAmountAsNormal;
    return code;
#else
    // A build without the XML library cannot read the card, which is no open failure.
    (void)source, (void)card, (void)effects, (void)outcome;
    return kXmlCardsNotBuilt;
#endif
}

LoadOutcome ReadCardInto(const std::filesystem::path& path, EditorState& editor,
                         LoadPrompts& prompts) {
    // A fresh card and collection for every read: a failed read leaves the editor as it was.
    WidCard card;
    EffectCollection effects;
    LoadOutcome outcome{LoadStatus::Loaded, 0, true};
    std::int32_t code = 0;
    if (IsXmlCardFileName(path)) {
        const FilePtr file = OpenRegularFile(path);
        if (!file) return {LoadStatus::CannotOpen, 0, false};
        code = ReadXmlCardFrom(file.get(), card, effects, outcome);
    } else {
        // A card file is read by position from one descriptor: no stdio stream, no seek,
        // and its type and size asked only when the reads cannot tell.
        return ReadSkillCardFile(RegularFile::OpenUnchecked(AT_FDCWD, path.c_str()), editor,
                                 prompts);
    }
    if (code != 0) return {LoadStatus::ReadFailed, code, true};
    ApplyWidCard(editor, card, effects, prompts);
    return outcome;
}

}  // namespace

void ApplyWidCard(EditorState& editor, const WidCard& card, EffectCollection& effects,
                  LoadPrompts& prompts) {
    ClearEditor(editor);
    editor.ObVoice = card.Voice != 0;
    editor.ObTarget = TargetIndex(card, prompts);
    editor.ObAttribute = card.Attribute;
    editor.ObDefence = card.Defence;
    editor.ObSuccess = card.Success;
    editor.ObEscape = card.Escape;
    editor.ObDefuse = card.Defuse;
    editor.ObGard = card.Gard;
    editor.ObCardname = card.CardnameIsUtf8 ? card.Cardname : ShiftJisToUtf8(card.Cardname);
    editor.ObFaratack = card.Faratack;
    editor.ObAssasin = card.Assasin;
    editor.ObLevel = std::to_string(card.Level);
    for (const EffectEntry& e : effects) {
        AddEffectWithAttribute(editor,
                               {.kind = EffectKind{e.kind},
                                .valueKind = e.valueKind,
                                .value = e.value,
                                .variation = e.variation,
                                .rounds = e.rounds},
                               e.attribute);
    }
    effects.clear();
}

bool IsCwsFileName(const std::filesystem::path& path) {
    return HasExtension(path, ".cws");
}

bool IsXmlCardFileName(const std::filesystem::path& path) {
    return HasExtension(path, ".xml");
}

std::optional<LoadFailureMessage> LoadFailureMessageFor(const LoadOutcome& outcome,
                                                        std::string_view problem) {
    switch (outcome.status) {
        case LoadStatus::Loaded:
            return std::nullopt;
        case LoadStatus::CannotOpen:
            return LoadFailureMessage{texts::kCannotOpen, texts::kErrorCaption, {}};
        case LoadStatus::ReadFailed:
            break;
    }
    // An archive member that was not read says why; the card reader's code tells which
    // field of the card was broken; a cws file that could not be read to its end has none.
    LoadFailureMessage message{texts::kReadFailed, texts::kReadFailedCaption, {}};
    if (!problem.empty()) {
        message.detail = problem;
    } else if (outcome.code != 0) {
        message.detail = std::to_string(outcome.code);
    }
    return message;
}

LoadOutcome LoadSkillFile(const std::filesystem::path& path, EditorState& editor,
                          LoadPrompts& prompts) {
    if (!IsCwsFileName(path)) return ReadCardInto(path, editor, prompts);
    const FilePtr file = OpenRegularFile(path);
    if (!file) return {LoadStatus::CannotOpen, 0, false};
    FileStreamBuffer buffer(file.get());
    std::istream in(&buffer);
    EditorState loaded = editor;
    const FileResult read = LoadCwsFile(in, loaded, CardNameFromPath(path));
    if (read.status == FileStatus::Unreadable) return {LoadStatus::ReadFailed, 0, true};
    // A file that is not a whole skill would be rated as another one: it is refused and
    // the editor keeps what it had. The open folder stays, as for a file never read.
    if (!read.ok()) return {LoadStatus::ReadFailed, 0, false};
    editor = std::move(loaded);
    return {LoadStatus::Loaded, 0, true};
}

LoadOutcome ReadSkillCard(const std::filesystem::path& path, EditorState& editor,
                          LoadPrompts& prompts) {
    return ReadCardInto(path, editor, prompts);
}

LoadOutcome ReadSkillCardFile(RegularFile file, EditorState& editor, LoadPrompts& prompts) {
    if (!file.IsOpen()) return {LoadStatus::CannotOpen, 0, false};
    // A fresh card and collection for every read: a failed read leaves the editor as it was.
    WidCard card;
    EffectCollection effects;
    const std::int32_t code = ReadWidCardUnchecked(file, card, effects);
    if (!file.IsOpen()) return {LoadStatus::CannotOpen, 0, false};
    if (code != 0) return {LoadStatus::ReadFailed, code, true};
    ApplyWidCard(editor, card, effects, prompts);
    return {LoadStatus::Loaded, 0, true};
}

LoadOutcome ReadSkillCardBytes(std::string_view bytes, const std::filesystem::path& name,
                               EditorState& editor, LoadPrompts& prompts) {
    WidCard card;
    EffectCollection effects;
    LoadOutcome outcome{LoadStatus::Loaded, 0, true};
    const std::int32_t code = IsXmlCardFileName(name)
                                  ? ReadXmlCardFrom(bytes, card, effects, outcome)
                                  : ReadWidCardFromBytes(bytes, card, effects);
    if (code != 0) return {LoadStatus::ReadFailed, code, true};
    ApplyWidCard(editor, card, effects, prompts);
    return outcome;
}

std::string FolderOf(const std::filesystem::path& path) {
    const std::string text = path.string();
    const std::size_t slash = text.find_last_of('/');
    if (slash == std::string::npos) return {};
    std::size_t end = slash;
    while (end > 0 && text[end - 1] == '/') --end;
    // The root keeps its separator: it is the whole folder.
    if (end == 0) return "/";
    return text.substr(0, end);
}

std::string AbsoluteFolderOf(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return FolderOf(ec ? path : absolute.lexically_normal());
}

}  // namespace morvat
