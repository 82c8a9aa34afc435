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

std::int32_t DefaultAttribute(const EffectKindInfo& info, std::int32_t rounds) {
    // Damage added with a duration of exactly 2 is holy damage: the cws loader restores
    // the holy-or-magic damage sums this way.
    if (info.kind == KindNumber(EffectKind::Damage)) {
        return rounds == 2 ? kAttributeHoly : kAttributeAll;
    }
    return info.defaultAttribute;
}

}  // namespace

void AddEffect(EditorState& editor, const NewEffect& effect) {
    const EffectKindInfo* info = FindEffectKind(effect.kind);
    if (info == nullptr) return;
    const std::uint8_t kind = KindNumber(effect.kind);
    const auto attribute = static_cast<std::int8_t>(DefaultAttribute(*info, effect.rounds));
    const auto vk = static_cast<std::int8_t>(effect.valueKind);
    std::int32_t value = effect.value;
    // Values above 99 of the value effects become rows of 99 and a rest, in that order.
    if (IsValueEffect(effect.kind)) {
        while (value > kMaxValuePerRow) {
            editor.Obelist.push_back(MakeEffectEntry(kind, attribute, vk, kMaxValuePerRow,
                                                     effect.variation, effect.rounds));
            value -= kMaxValuePerRow;
        }
    }
    editor.Obelist.push_back(
        MakeEffectEntry(kind, attribute, vk, value, effect.variation, effect.rounds));
}

void AddEffectWithAttribute(EditorState& editor, const NewEffect& effect, std::int32_t attribute) {
    if (FindEffectKind(effect.kind) == nullptr) return;
    AddEffect(editor, effect);
    editor.Obelist.back().attribute = attribute;
}

void RemoveSelectedEffect(EditorState& editor) {
    if (MutableSelected(editor) == nullptr) return;
    editor.Obelist.erase(editor.Obelist.begin() + editor.selectedRow);
    editor.selectedRow = kNoSelection;
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
