#include "files/LoadFlows.h"

#include <array>
#include <cstdio>
#include <istream>
#include <streambuf>

#include "files/CwsFile.h"
#include "files/FileOpen.h"
#include "files/RegularFile.h"
#include "files/ShiftJis.h"

namespace morvat {
namespace {

// Reads a FILE* opened by OpenRegularFile as an std::istream, so the cws reader gets the
// same protection against FIFOs and devices as the card reader.
class FileStreamBuffer : public std::streambuf {
public:
    explicit FileStreamBuffer(std::FILE* file) : file_(file) {}

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        if (got == 0) return traits_type::eof();
        setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
        return traits_type::to_int_type(*gptr());
    }

private:
    std::FILE* file_;
    std::array<char, 4096> buffer_{};
};

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

LoadOutcome ReadCardInto(const std::filesystem::path& path, EditorState& editor,
                         LoadPrompts& prompts) {
    const RegularFile file(path);
    if (!file.IsOpen()) return {LoadStatus::CannotOpen, 0, false};
    // A fresh card and collection for every read: a failed read leaves the editor as it was.
    WidCard card;
    EffectCollection effects;
    const std::int32_t code = ReadWidCardFile(file, card, effects);
    if (code != 0) return {LoadStatus::ReadFailed, code, true};
    ApplyWidCard(editor, card, effects, prompts);
    return {LoadStatus::Loaded, 0, true};
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
    editor.ObCardname = ShiftJisToUtf8(card.Cardname);
    editor.ObFaratack = card.Faratack;
    editor.ObAssasin = card.Assasin;
    editor.ObLevel = std::to_string(card.Level);
    for (const EffectEntry& e : effects) {
        AddEffectWithAttribute(editor, e.kind, e.attribute, e.valueKind, e.value, e.variation,
                               e.rounds);
    }
    effects.clear();
}

bool IsCwsFileName(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot, std::string::npos, ".cws") == 0;
}

LoadOutcome LoadSkillFile(const std::filesystem::path& path, EditorState& editor,
                          LoadPrompts& prompts) {
    if (!IsCwsFileName(path)) return ReadCardInto(path, editor, prompts);
    const FilePtr file = OpenRegularFile(path);
    if (!file) return {LoadStatus::CannotOpen, 0, false};
    FileStreamBuffer buffer(file.get());
    std::istream in(&buffer);
    EditorState loaded = editor;
    const bool complete = LoadCwsFile(in, loaded, CardNameFromPath(path));
    // A read error part-way looks like the end of the file to the reader; the editor must
    // not pass off what came before it as the whole skill.
    if (std::ferror(file.get())) return {LoadStatus::ReadFailed, 0, true};
    editor = std::move(loaded);
    if (!complete) return {LoadStatus::StoppedEarly, 0, false};
    return {LoadStatus::Loaded, 0, true};
}

LoadOutcome ReadSkillCard(const std::filesystem::path& path, EditorState& editor,
                          LoadPrompts& prompts) {
    return ReadCardInto(path, editor, prompts);
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

}  // namespace morvat
