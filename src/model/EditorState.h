// SPDX-License-Identifier: MIT
// What the main editor holds: the values of its controls, the ordered effect rows and
// the selected row. The windows bind their widgets to this state; the gather, the savers
// and the loaders work on it alone, so everything but the drawing runs without a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/EffectCatalogue.h"
#include "model/EffectEntry.h"

namespace morvat {

inline constexpr int kNoSelection = -1;

// `ObTarget` items.
inline constexpr int kTargetOneEnemy = 0;   // "敵方一体"
inline constexpr int kTargetAllEnemies = 1; // "敵方全体"
inline constexpr int kTargetOneAlly = 2;    // "味方一体"
inline constexpr int kTargetAllAllies = 3;  // "味方全体"

struct EditorState {
    int ObTarget = kTargetOneEnemy;  // 0..3, or kNoSelection when no item is chosen
    bool ObVoice = false;            // "沈黙時に使用不可"
    int ObAttribute = 0;             // 0..3: "物理属性", "魔法属性", "魔法的物理属性", "物理的魔法属性"
    int ObDefence = 0;               // 0..1: "回避属性（回避可能）", "抵抗属性（回避不可）"
    int ObEscape = 0;                // -10..10
    int ObDefuse = 0;                // -10..10
    int ObGard = 0;                  // -10..10
    int ObSuccess = 0;               // -5..5
    bool ObFaratack = false;         // key code "遠距離攻撃"
    bool ObAssasin = false;          // key code "暗殺"
    std::string ObCardname;          // UTF-8, for display
    std::string ObLevel = "-";
    std::vector<EffectEntry> Obelist;  // the effect rows, in the order they were added
    int selectedRow = kNoSelection;    // row of `Obelist` selected, or kNoSelection

    friend bool operator==(const EditorState&, const EditorState&) = default;
};

// What a palette button or a loader asks to add. Designated initialisers name what
// differs from a palette press: AddEffect(editor, {.kind = EffectKind::Sleep, .rounds = 10}).
struct NewEffect {
    EffectKind kind{};
    std::uint8_t valueKind = kValueKindLevel;
    std::int32_t value = 1;
    std::int32_t variation = 0;
    std::int32_t rounds = 1;
};

// Adds a kind of the catalogue with its default attribute, splitting values above 99 into
// rows of 99 and a rest (value effects only); other kinds do nothing. Adding never changes
// the selection.
void AddEffect(EditorState& editor, const NewEffect& effect);

// AddEffect, then the last row takes `attribute` as given (loaders use this for entries
// that carry their own attribute).
void AddEffectWithAttribute(EditorState& editor, const NewEffect& effect, std::int32_t attribute);

// The palette's remove button: the selected row goes and nothing is selected; no row
// selected, no change.
void RemoveSelectedEffect(EditorState& editor);

// The "クリア" button: every control back to its initial value, no rows, no selection.
void ClearEditor(EditorState& editor);

// Selects `row`, or nothing when `row` is not a row of the list.
void SelectRow(EditorState& editor, int row);

// The selected row's entry, or nullptr.
const EffectEntry* SelectedEntry(const EditorState& editor);

// Write-back from the parameter controls into the selected row; no row selected, no change.
void SetSelectedAttribute(EditorState& editor, int attribute);
void SetSelectedValueKind(EditorState& editor, int valueKind);
void SetSelectedValue(EditorState& editor, int value);
void SetSelectedRounds(EditorState& editor, int rounds);
void SetSelectedVariation(EditorState& editor, int variation);

// What the parameter area shows for the current selection.
struct ParameterPanes {
    int attribute = kNoSelection;   // row selected in `Obelist2`
    bool valueKindVisible = false;  // `Obepkind`
    bool valueVisible = false;      // `Obepointpane`
    bool valueEnabled = true;       // `Obepoint`: disabled for "最大値処理"
    bool variationVisible = false;  // `Obevariaspane`
    bool roundsVisible = false;     // `Oberoundpane`
    // Where the rounds pane stands: in the variation pane's place, or below it.
    enum class RoundsPlace { Alone, BelowVariation };
    RoundsPlace roundsPlace = RoundsPlace::Alone;

    friend bool operator==(const ParameterPanes&, const ParameterPanes&) = default;
};

ParameterPanes PanesFor(const EditorState& editor);

}  // namespace morvat
