// SPDX-License-Identifier: MIT
// The fixed catalogue of the 31 effect kinds a skill card can carry: list captions, the
// palette page and button that add each kind, its default attribute, which parameters the
// editor shows for it and the duration the palette passes. Kind 0 is the remove command.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace morvat {

inline constexpr int kRemoveCommand = 0;

// The effect kinds, numbered as the effect rows, the card files and the cws file number them.
enum class EffectKind : std::uint8_t {
    Heal = 1,
    Damage,
    Drain,
    Paralysis,
    CureParalysis,
    Poison,
    CurePoison,
    SkillRecover,
    SkillDisable,
    Sleep,
    Confusion,
    Rage,
    Bravery,
    Fear,
    MindNormal,
    Bind,
    Unbind,
    Silence,
    Unsilence,
    Expose,
    Unexpose,
    MagicNullify,
    Unnullify,
    ActionChange,
    AvoidChange,
    ResistChange,
    DefenceChange,
    EraseTarget,
    EraseSummon,
    DealConfusion,
    DealSkill,
};

// The number an effect row and the files store for `kind`.
constexpr std::uint8_t KindNumber(EffectKind kind) {
    return static_cast<std::uint8_t>(kind);
}

inline constexpr int kFirstEffectKind = KindNumber(EffectKind::Heal);
inline constexpr int kLastEffectKind = KindNumber(EffectKind::DealSkill);

// The kind `steps` places after `first` in kind order: the card files and the cws file keep
// runs of consecutive kinds (the mental states, the ability changes).
constexpr EffectKind KindAfter(EffectKind first, int steps) {
    return static_cast<EffectKind>(KindNumber(first) + steps);
}

// The value effects, heal to cure poison: they carry a value kind and a value, and values
// above 99 are split into several rows.
constexpr bool IsValueEffect(EffectKind kind) {
    return kind >= EffectKind::Heal && kind <= EffectKind::CurePoison;
}

// Which parameter panes the editor shows for a kind.
enum class EffectParams : std::uint8_t {
    None,    // no parameter
    Value,   // value kind and value (the value effects)
    Rounds,  // duration only
    Change,  // change value and duration (ability changes)
};

enum class EffectSide : std::uint8_t { Ally, Enemy, ByChange };

struct EffectKindInfo {
    int kind;
    const char* caption;     // row caption in the effect list
    int tab;                 // index into kPaletteTabs
    const char* button;      // object name of the palette button
    const char* hint;        // tool tip of that button
    std::int32_t defaultAttribute;
    EffectParams params;
    std::int32_t roundsOnAdd;  // the duration the palette button passes
    EffectSide side;
};

struct PaletteTab {
    const char* caption;
    const char* removeButton;  // the button at the tab's left end, which issues kind 0
};

inline constexpr std::array<PaletteTab, 8> kPaletteTabs{{
    {"生命力", "SpeedButton1"},
    {"肉体", "SpeedButton12"},
    {"技能", "SpeedButton5"},
    {"精神", "SpeedButton13"},
    {"魔法", "SpeedButton14"},
    {"能力", "SpeedButton15"},
    {"消滅", "SpeedButton16"},
    {"カード", "SpeedButton17"},
}};

// Attribute list (`Obelist2`), by index.
inline constexpr std::array<const char*, 7> kAttributeCaptions{
    "全", "肉体", "精神", "神聖", "魔法", "炎", "冷気"};
inline constexpr int kAttributeAll = 0;
inline constexpr int kAttributePhysical = 1;
inline constexpr int kAttributeMental = 2;
inline constexpr int kAttributeHoly = 3;
inline constexpr int kAttributeMagic = 4;

// Value kinds (`Obepkind`), by index.
inline constexpr std::array<const char*, 3> kValueKindCaptions{
    "レベルに対応する値", "値の直接入力", "最大値処理"};
inline constexpr int kValueKindLevel = 0;
inline constexpr int kValueKindFixed = 1;
inline constexpr int kValueKindMax = 2;

// All 31 kinds in kind order.
std::span<const EffectKindInfo> EffectCatalogue();

// The catalogue row of `kind`, or nullptr when `kind` is not 1..31.
const EffectKindInfo* FindEffectKind(int kind);
inline const EffectKindInfo* FindEffectKind(EffectKind kind) {
    return FindEffectKind(int{KindNumber(kind)});
}

}  // namespace morvat
