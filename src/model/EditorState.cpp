// SPDX-License-Identifier: MIT
#include "model/EditorState.h"

#include <algorithm>

#include "model/EffectCatalogue.h"

namespace morvat {
namespace {

constexpr std::int32_t kMaxValuePerRow = 99;

EffectEntry* MutableSelected(EditorState& editor) {
    if (editor.selectedRow < 0 || editor.selectedRow >= static_cast<int>(editor.Obelist.size())) {
        return nullptr;
    }
    return &editor.Obelist[static_cast<std::size_t>(editor.selectedRow)];
}

void RemoveSelected(EditorState& editor) {
    if (MutableSelected(editor) == nullptr) return;
    editor.Obelist.erase(editor.Obelist.begin() + editor.selectedRow);
    editor.selectedRow = kNoSelection;
}

std::int32_t DefaultAttribute(const EffectKindInfo& info, std::int32_t rounds) {
    // Damage added with a duration of exactly 2 is holy damage: the cws loader restores
    // the holy-or-magic damage sums this way.
    if (info.kind == 2) return rounds == 2 ? kAttributeHoly : kAttributeAll;
    return info.defaultAttribute;
}

}  // namespace

void AddEffect(EditorState& editor, std::uint8_t kind, std::uint8_t valueKind, std::int32_t value,
               std::int32_t variation, std::int32_t rounds) {
    if (kind == kRemoveCommand) {
        RemoveSelected(editor);
        return;
    }
    const EffectKindInfo* info = FindEffectKind(kind);
    if (info == nullptr) return;
    const auto attribute = static_cast<std::int8_t>(DefaultAttribute(*info, rounds));
    const auto vk = static_cast<std::int8_t>(valueKind);
    // Values above 99 of the value effects become rows of 99 and a rest, in that order.
    if (kind <= 7) {
        while (value > kMaxValuePerRow) {
            editor.Obelist.push_back(
                MakeEffectEntry(kind, attribute, vk, kMaxValuePerRow, variation, rounds));
            value -= kMaxValuePerRow;
        }
    }
    editor.Obelist.push_back(MakeEffectEntry(kind, attribute, vk, value, variation, rounds));
}

void AddEffectWithAttribute(EditorState& editor, std::uint8_t kind, std::int32_t attribute,
                            std::uint8_t valueKind, std::int32_t value, std::int32_t variation,
                            std::int32_t rounds) {
    if (FindEffectKind(kind) == nullptr) return;
    AddEffect(editor, kind, valueKind, value, variation, rounds);
    editor.Obelist.back().attribute = attribute;
}

void ClearEditor(EditorState& editor) { editor = EditorState{}; }

void SelectRow(EditorState& editor, int row) {
    editor.selectedRow =
        (row >= 0 && row < static_cast<int>(editor.Obelist.size())) ? row : kNoSelection;
}

const EffectEntry* SelectedEntry(const EditorState& editor) {
    return MutableSelected(const_cast<EditorState&>(editor));
}

void SetSelectedAttribute(EditorState& editor, int attribute) {
    if (EffectEntry* e = MutableSelected(editor)) e->attribute = std::clamp(attribute, 0, 6);
}

void SetSelectedValueKind(EditorState& editor, int valueKind) {
    if (EffectEntry* e = MutableSelected(editor)) {
        e->valueKind = static_cast<std::uint8_t>(std::clamp(valueKind, 0, 2));
    }
}

void SetSelectedValue(EditorState& editor, int value) {
    if (EffectEntry* e = MutableSelected(editor)) e->value = std::clamp(value, 1, 99);
}

void SetSelectedRounds(EditorState& editor, int rounds) {
    if (EffectEntry* e = MutableSelected(editor)) e->rounds = std::clamp(rounds, 1, 999);
}

void SetSelectedVariation(EditorState& editor, int variation) {
    if (EffectEntry* e = MutableSelected(editor)) e->variation = std::clamp(variation, -10, 10);
}

ParameterPanes PanesFor(const EditorState& editor) {
    ParameterPanes panes;
    const EffectEntry* entry = SelectedEntry(editor);
    if (entry == nullptr) return panes;
    panes.attribute = entry->attribute;
    const EffectKindInfo* info = FindEffectKind(entry->kind);
    if (info == nullptr) return panes;
    switch (info->params) {
        case EffectParams::Value:
            panes.valueKindVisible = true;
            panes.valueVisible = true;
            panes.valueEnabled = entry->valueKind != kValueKindMax;
            break;
        case EffectParams::Rounds:
            panes.roundsVisible = true;
            panes.roundsPlace = ParameterPanes::RoundsPlace::Alone;
            break;
        case EffectParams::Change:
            panes.variationVisible = true;
            panes.roundsVisible = true;
            panes.roundsPlace = ParameterPanes::RoundsPlace::BelowVariation;
            break;
        case EffectParams::None:
            break;
    }
    return panes;
}

}  // namespace morvat
