// SPDX-License-Identifier: MIT
// Adding, removing and selecting effect rows, and the clamping of effect entries.
#include <gtest/gtest.h>

#include <utility>

#include "model/EditorState.h"
#include "model/EffectCatalogue.h"

namespace morvat {
namespace {

std::vector<int> Values(const EditorState& e) {
    std::vector<int> v;
    for (const auto& row : e.Obelist) v.push_back(row.value);
    return v;
}

TEST(EffectEntryTest, OutOfRangeFieldsAreReplacedOneByOne) {
    const EffectEntry e = MakeEffectEntry(5, 9, 5, 0, 11, 1000);
    EXPECT_EQ(e, (EffectEntry{5, 0, 0, 1, 0, 1}));
    const EffectEntry negative = MakeEffectEntry(40, -1, -1, -5, -11, 0);
    EXPECT_EQ(negative, (EffectEntry{40, 0, 0, 1, 0, 1}));
    const EffectEntry edges = MakeEffectEntry(27, 6, 2, 99, -10, 999);
    EXPECT_EQ(edges, (EffectEntry{27, 6, 2, 99, -10, 999}));
}

TEST(CatalogueTest, EveryKindHasItsRowAndTabsListAddButtonsInKindOrder) {
    ASSERT_EQ(EffectCatalogue().size(), 31u);
    int lastKindOnTab[8] = {0};
    for (const auto& info : EffectCatalogue()) {
        EXPECT_EQ(FindEffectKind(info.kind), &info);
        EXPECT_GT(info.kind, lastKindOnTab[info.tab]);
        lastKindOnTab[info.tab] = info.kind;
    }
    EXPECT_EQ(FindEffectKind(0), nullptr);
    EXPECT_EQ(FindEffectKind(32), nullptr);
}

// The named kinds count through the catalogue in its order, and the value effects (the
// rows AddEffect splits above 99) are the kinds whose panes show a value.
TEST(CatalogueTest, NamedKindsMatchTheirRows) {
    EXPECT_STREQ(FindEffectKind(EffectKind::Fear)->caption, "精神－恐慌状態");
    EXPECT_STREQ(FindEffectKind(EffectKind::MagicNullify)->caption, "魔法－無効化状態");
    EXPECT_STREQ(FindEffectKind(EffectKind::DealSkill)->caption, "配布－特殊技能");
    EXPECT_EQ(KindAfter(EffectKind::ActionChange, 3), EffectKind::DefenceChange);
    for (const auto& info : EffectCatalogue()) {
        EXPECT_EQ(IsValueEffect(static_cast<EffectKind>(info.kind)),
                  info.params == EffectParams::Value)
            << "kind " << info.kind;
    }
}

// The attribute a new row starts with decides how the rating reckons it (physical poison,
// mental states), and the palette's rounds are what a new row lasts: both per kind, 1 to 31.
TEST(CatalogueTest, DefaultAttributeAndRoundsOfEveryKind) {
    const int attributes[31] = {1, 0, 0, 1, 1, 1, 1, 0, 0, 2, 2, 2, 2, 2, 2, 0,
                                0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0};
    // The tab each kind's button sits on, by the first kind of every tab.
    const std::pair<int, const char*> tabs[] = {{1, "生命力"}, {4, "肉体"},  {8, "技能"},
                                                {10, "精神"},  {16, "魔法"}, {24, "能力"},
                                                {28, "消滅"},  {30, "カード"}};
    ASSERT_EQ(EffectCatalogue().size(), 31u);
    for (const auto& info : EffectCatalogue()) {
        const char* tab = nullptr;
        for (const auto& [first, caption] : tabs) {
            if (info.kind >= first) tab = caption;
        }
        EXPECT_STREQ(kPaletteTabs.at(static_cast<std::size_t>(info.tab)).caption, tab)
            << "kind " << info.kind;
        EXPECT_EQ(info.defaultAttribute, attributes[info.kind - 1]) << "kind " << info.kind;
        EXPECT_EQ(info.roundsOnAdd, info.kind <= 9 ? 1 : 10) << "kind " << info.kind;
        EditorState e;
        AddEffect(e, {.kind = static_cast<EffectKind>(info.kind)});
        ASSERT_EQ(e.Obelist.size(), 1u);
        EXPECT_EQ(e.Obelist[0].attribute, attributes[info.kind - 1]) << "kind " << info.kind;
    }
}

TEST(AddEffectTest, DamageWithTwoRoundsIsHoly) {
    EditorState e;
    AddEffect(e, {.kind = EffectKind::Damage, .value = 30, .rounds = 2});
    AddEffect(e, {.kind = EffectKind::Damage, .value = 30});
    ASSERT_EQ(e.Obelist.size(), 2u);
    EXPECT_EQ(e.Obelist[0].attribute, kAttributeHoly);
    EXPECT_EQ(e.Obelist[0].rounds, 2);
    EXPECT_EQ(e.Obelist[1].attribute, kAttributeAll);
}

TEST(AddEffectTest, ValueEffectsSplitAboveNinetyNine) {
    EditorState e;
    AddEffect(e, {.kind = EffectKind::Heal, .value = 199});
    EXPECT_EQ(Values(e), (std::vector<int>{99, 99, 1}));
    ClearEditor(e);
    AddEffect(e, {.kind = EffectKind::Poison, .valueKind = kValueKindFixed, .value = 250});
    EXPECT_EQ(Values(e), (std::vector<int>{99, 99, 52}));
    for (const auto& row : e.Obelist) EXPECT_EQ(row.valueKind, 1);
    ClearEditor(e);
    AddEffect(e, {.kind = EffectKind::Heal, .value = 99});
    AddEffect(e, {.kind = EffectKind::Heal, .value = 0});
    EXPECT_EQ(Values(e), (std::vector<int>{99, 1}));
    ClearEditor(e);
    // No split outside the value effects: the value is clamped instead.
    AddEffect(e, {.kind = EffectKind::SkillRecover, .value = 150});
    EXPECT_EQ(Values(e), (std::vector<int>{1}));
}

TEST(AddEffectTest, RemoveTakesOnlyTheSelectedRowAndUnknownKindsDoNothing) {
    EditorState e;
    RemoveSelectedEffect(e);  // nothing selected: nothing happens
    EXPECT_TRUE(e.Obelist.empty());
    AddEffect(e, {.kind = EffectKind::Sleep, .rounds = 5});
    AddEffect(e, {.kind = EffectKind::Confusion, .rounds = 6});
    AddEffect(e, {.kind = EffectKind::Rage, .rounds = 7});
    AddEffect(e, {.kind = EffectKind{32}});
    AddEffect(e, {.kind = EffectKind{255}});
    ASSERT_EQ(e.Obelist.size(), 3u);
    SelectRow(e, 1);
    AddEffect(e, {.kind = EffectKind::Bravery});
    EXPECT_EQ(e.selectedRow, 1) << "adding keeps the selection";
    AddEffect(e, {.kind = EffectKind{0}});  // no kind: removes nothing either
    RemoveSelectedEffect(e);
    ASSERT_EQ(e.Obelist.size(), 3u);
    EXPECT_EQ(e.Obelist[0].kind, KindNumber(EffectKind::Sleep));
    EXPECT_EQ(e.Obelist[1].kind, KindNumber(EffectKind::Rage));
    EXPECT_EQ(e.Obelist[2].kind, KindNumber(EffectKind::Bravery));
    EXPECT_EQ(e.selectedRow, kNoSelection);
    EXPECT_EQ(PanesFor(e), ParameterPanes{});
}

TEST(AddEffectTest, WithAttributeSetsOnlyTheLastRowUnclamped) {
    EditorState e;
    AddEffectWithAttribute(e, {.kind = EffectKind::Sleep, .rounds = 5}, 4);
    ASSERT_EQ(e.Obelist.size(), 1u);
    EXPECT_EQ(e.Obelist[0].kind, KindNumber(EffectKind::Sleep));
    EXPECT_EQ(e.Obelist[0].attribute, 4);
    EXPECT_EQ(e.Obelist[0].rounds, 5);
    AddEffectWithAttribute(e, {.kind = EffectKind::Damage, .value = 150}, 5);
    ASSERT_EQ(e.Obelist.size(), 3u);
    EXPECT_EQ(e.Obelist[1].attribute, 0);
    EXPECT_EQ(e.Obelist[2].attribute, 5);
    AddEffectWithAttribute(e, {.kind = EffectKind{0}}, 3);  // never a remove
    EXPECT_EQ(e.Obelist.size(), 3u);
}

TEST(EditorStateTest, ClearRestoresEveryControl) {
    EditorState e;
    e.ObTarget = 3;
    e.ObVoice = e.ObFaratack = e.ObAssasin = true;
    e.ObAttribute = 2;
    e.ObDefence = 1;
    e.ObEscape = e.ObDefuse = e.ObGard = -4;
    e.ObSuccess = 5;
    e.ObCardname = "x";
    e.ObLevel = "7";
    AddEffect(e, {.kind = EffectKind::Heal, .value = 3});
    SelectRow(e, 0);
    ClearEditor(e);
    // Each control by name, not a comparison with a default-made state: a wrong default
    // would then pass unnoticed, as both sides would share it.
    EXPECT_EQ(e.ObTarget, kTargetOneEnemy);
    EXPECT_FALSE(e.ObVoice);
    EXPECT_FALSE(e.ObFaratack);
    EXPECT_FALSE(e.ObAssasin);
    EXPECT_EQ(e.ObAttribute, 0);
    EXPECT_EQ(e.ObDefence, 0);
    EXPECT_EQ(e.ObEscape, 0);
    EXPECT_EQ(e.ObDefuse, 0);
    EXPECT_EQ(e.ObGard, 0);
    EXPECT_EQ(e.ObSuccess, 0);
    EXPECT_EQ(e.ObLevel, "-");
    EXPECT_EQ(e.ObCardname, "");
    EXPECT_TRUE(e.Obelist.empty());
    EXPECT_EQ(e.selectedRow, kNoSelection);
    EXPECT_EQ(PanesFor(e), ParameterPanes{}) << "every parameter pane hidden";
    EXPECT_FALSE(PanesFor(e).valueVisible || PanesFor(e).roundsVisible);
}

TEST(EditorStateTest, PanesFollowTheSelectedRow) {
    EditorState e;
    AddEffect(e, {.kind = EffectKind::Sleep, .rounds = 7});  // sleep: duration alone
    AddEffect(e, {.kind = EffectKind::DefenceChange,
                  .variation = -3,
                  .rounds = 4});  // defence change: change value and duration below it
    AddEffect(e, {.kind = EffectKind::Heal,
                  .valueKind = kValueKindMax});     // maximum heal: value shown but disabled
    AddEffect(e, {.kind = EffectKind::DealSkill});  // no parameter

    SelectRow(e, 0);
    ParameterPanes p = PanesFor(e);
    EXPECT_TRUE(p.roundsVisible);
    EXPECT_EQ(p.roundsPlace, ParameterPanes::RoundsPlace::Alone);
    EXPECT_FALSE(p.valueKindVisible || p.valueVisible || p.variationVisible);
    EXPECT_EQ(p.attribute, kAttributeMental);

    SelectRow(e, 1);
    p = PanesFor(e);
    EXPECT_TRUE(p.variationVisible && p.roundsVisible);
    EXPECT_EQ(p.roundsPlace, ParameterPanes::RoundsPlace::BelowVariation);

    SelectRow(e, 2);
    p = PanesFor(e);
    EXPECT_TRUE(p.valueKindVisible && p.valueVisible);
    EXPECT_FALSE(p.valueEnabled);

    SelectRow(e, 3);
    p = PanesFor(e);
    EXPECT_FALSE(p.valueKindVisible || p.valueVisible || p.variationVisible || p.roundsVisible);

    SelectRow(e, 4);
    EXPECT_EQ(e.selectedRow, kNoSelection);
}

TEST(EditorStateTest, WriteBackChangesOnlyTheSelectedRow) {
    EditorState e;
    AddEffect(e, {.kind = EffectKind::Heal, .value = 5});
    SetSelectedValue(e, 40);  // no selection: no change
    SetSelectedAttribute(e, 3);
    EXPECT_EQ(e.Obelist[0].value, 5);
    EXPECT_EQ(e.Obelist[0].attribute, 1);
    SelectRow(e, 0);
    SetSelectedValue(e, 40);
    SetSelectedValueKind(e, 1);
    SetSelectedAttribute(e, 3);
    SetSelectedRounds(e, 12);
    SetSelectedVariation(e, -2);
    EXPECT_EQ(e.Obelist[0], (EffectEntry{1, 3, 1, 40, -2, 12}));
}

// The write-back keeps each parameter within what its control allows, at both ends.
TEST(EditorStateTest, WriteBackClampsEachParameter) {
    EditorState e;
    AddEffect(e, {.kind = EffectKind::Heal, .value = 5});
    SelectRow(e, 0);
    const auto& row = e.Obelist[0];
    for (const auto& [given, kept] : {std::pair{0, 1}, {1, 1}, {99, 99}, {100, 99}, {-5, 1}}) {
        SetSelectedValue(e, given);
        EXPECT_EQ(row.value, kept) << "value " << given;
    }
    for (const auto& [given, kept] :
         {std::pair{0, 1}, {1, 1}, {999, 999}, {1000, 999}, {-1, 1}}) {
        SetSelectedRounds(e, given);
        EXPECT_EQ(row.rounds, kept) << "rounds " << given;
    }
    for (const auto& [given, kept] : {std::pair{-11, -10}, {-10, -10}, {10, 10}, {11, 10}}) {
        SetSelectedVariation(e, given);
        EXPECT_EQ(row.variation, kept) << "variation " << given;
    }
    for (const auto& [given, kept] : {std::pair{-1, 0}, {6, 6}, {7, 6}}) {
        SetSelectedAttribute(e, given);
        EXPECT_EQ(row.attribute, kept) << "attribute " << given;
    }
    for (const auto& [given, kept] : {std::pair{-1, 0}, {2, 2}, {3, 2}}) {
        SetSelectedValueKind(e, given);
        EXPECT_EQ(row.valueKind, kept) << "value kind " << given;
    }
}

}  // namespace
}  // namespace morvat
