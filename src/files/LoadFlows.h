// SPDX-License-Identifier: MIT
// Putting a file into the editor: a cws file, or a skill card of the game through
// ApplyWidCard. The windows answer the two questions a card can raise; the command line
// and the tests answer them themselves.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "files/WidReader.h"
#include "model/EditorState.h"

namespace morvat {

class LoadPrompts {
public:
    virtual ~LoadPrompts() = default;
    // "対象なしデータです" / "警告": the card has no target; it is loaded aimed at one enemy.
    virtual void WarnNoTarget() = 0;
    // "双方効果は計算できません。敵方にしますか（いいえで味方になります）" / "Message":
    // true (Yes) rates the card for the enemy side, false (No) for the allies.
    virtual bool AskEnemySide() = 0;
};

// Clears the editor, sets its controls from `card` and adds the collected effects in order.
// `effects` ends empty.
void ApplyWidCard(EditorState& editor, const WidCard& card, EffectCollection& effects,
                  LoadPrompts& prompts);

// True when the name's extension, from its last dot on, is exactly ".cws".
bool IsCwsFileName(const std::filesystem::path& path);

// True when the name's extension, from its last dot on, is exactly ".xml": a skill card of
// an XML scenario. Every other name that is no cws file is a binary skill card.
bool IsXmlCardFileName(const std::filesystem::path& path);

// Said by the command line when a loaded XML card gives an exact amount ("Fixed"), which is
// rated as a normal amount.
inline constexpr std::string_view kFixedAmountNote =
    "固定値の効果は通常の値として計算しました";

enum class LoadStatus {
    Loaded,        // the editor holds the file
    CannotOpen,    // "ファイルが開けません" / "Error"; editor unchanged
    ReadFailed,    // "読み込みに失敗しました" / "I'm sorry."; editor unchanged
};

struct LoadOutcome {
    LoadStatus status = LoadStatus::Loaded;
    std::int32_t code = 0;           // the card reader's failure code, for ReadFailed
    // Whether the remembered open folder follows this file: it does for every file that
    // was read, even when it was broken, but not for one that could not be opened or a cws
    // file that was refused.
    bool updatesOpenFolder = false;
    bool fixedAmountAsNormal = false;  // an XML card's exact amount was rated as normal
};

// What the user is told after a load that did not load: the message and the caption of
// its box, and the detail the command line adds after the message (the card reader's
// code, or why an archive member was not read; empty when there is none).
struct LoadFailureMessage {
    std::string_view text;
    std::string_view caption;
    std::string detail;
};

// The one place that turns a load's outcome into what the user reads: nothing for a
// loaded file. `problem` is why an archive member was not read, when it was not.
std::optional<LoadFailureMessage> LoadFailureMessageFor(const LoadOutcome& outcome,
                                                        std::string_view problem = {});

// The "ロード" button after its file dialog: ".cws" files by the cws reader, ".xml" files
// as XML skill cards, any other file as a skill card. A cws file that is not a whole skill
// (LoadCwsFile) is a failed read like a broken card, except that the open folder does not
// follow it.
LoadOutcome LoadSkillFile(const std::filesystem::path& path, EditorState& editor,
                          LoadPrompts& prompts);

// The "読み込み" button after the loader dialog: always a skill card, XML by its name.
LoadOutcome ReadSkillCard(const std::filesystem::path& path, EditorState& editor,
                          LoadPrompts& prompts);

// Reads a binary card from a file already opened (a card of a SkillFolder, say) into the
// editor, as ReadSkillCard does; a file that is not open could not be opened, nor one
// opened unchecked that its reads find not to be a regular file (ReadWidCardUnchecked).
LoadOutcome ReadSkillCardFile(RegularFile file, EditorState& editor, LoadPrompts& prompts);

// Reads a card whose bytes are in memory (a member of an archive) into the editor, as
// ReadSkillCard does a file named `name`.
LoadOutcome ReadSkillCardBytes(std::string_view bytes, const std::filesystem::path& name,
                               EditorState& editor, LoadPrompts& prompts);

// The folder part of a path, without a trailing separator.
std::string FolderOf(const std::filesystem::path& path);

// The folder to remember for a file the user named: FolderOf its absolute path, so that a
// name relative to the working folder still leaves a folder that can be found again.
std::string AbsoluteFolderOf(const std::filesystem::path& path);

}  // namespace morvat
