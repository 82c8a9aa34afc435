// SPDX-License-Identifier: MIT
// Adding, removing and selecting effect rows, and the clamping of effect entries.
#include <gtest/gtest.h>

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

TEST(AddEffectTest, DamageWithTwoRoundsIsHoly) {
    EditorState e;
    AddEffect(e, 2, 0, 30, 0, 2);
    AddEffect(e, 2, 0, 30, 0, 1);
    ASSERT_EQ(e.Obelist.size(), 2u);
    EXPECT_EQ(e.Obelist[0].attribute, kAttributeHoly);
    EXPECT_EQ(e.Obelist[0].rounds, 2);
    EXPECT_EQ(e.Obelist[1].attribute, kAttributeAll);
}

TEST(AddEffectTest, ValueEffectsSplitAboveNinetyNine) {
    EditorState e;
    AddEffect(e, 1, 0, 199, 0, 1);
    EXPECT_EQ(Values(e), (std::vector<int>{99, 99, 1}));
    ClearEditor(e);
    AddEffect(e, 6, 1, 250, 0, 1);
    EXPECT_EQ(Values(e), (std::vector<int>{99, 99, 52}));
    for (const auto& row : e.Obelist) EXPECT_EQ(row.valueKind, 1);
    ClearEditor(e);
    AddEffect(e, 1, 0, 99, 0, 1);
    AddEffect(e, 1, 0, 0, 0, 1);
    EXPECT_EQ(Values(e), (std::vector<int>{99, 1}));
    ClearEditor(e);
    // No split outside the value effects: the value is clamped instead.
    AddEffect(e, 8, 0, 150, 0, 1);
    EXPECT_EQ(Values(e), (std::vector<int>{1}));
}

TEST(AddEffectTest, RemoveTakesOnlyTheSelectedRowAndUnknownKindsDoNothing) {
    EditorState e;
    AddEffect(e, 0, 0, 1, 0, 1);  // nothing selected: nothing happens
    EXPECT_TRUE(e.Obelist.empty());
    AddEffect(e, 10, 0, 1, 0, 5);
    AddEffect(e, 11, 0, 1, 0, 6);
    AddEffect(e, 12, 0, 1, 0, 7);
    AddEffect(e, 32, 0, 1, 0, 1);
    AddEffect(e, 255, 0, 1, 0, 1);
    ASSERT_EQ(e.Obelist.size(), 3u);
    SelectRow(e, 1);
    AddEffect(e, 13, 0, 1, 0, 1);
    EXPECT_EQ(e.selectedRow, 1) << "adding keeps the selection";
    AddEffect(e, 0, 0, 1, 0, 1);
    ASSERT_EQ(e.Obelist.size(), 3u);
    EXPECT_EQ(e.Obelist[0].kind, 10);
    EXPECT_EQ(e.Obelist[1].kind, 12);
    EXPECT_EQ(e.Obelist[2].kind, 13);
    EXPECT_EQ(e.selectedRow, kNoSelection);
    EXPECT_EQ(PanesFor(e), ParameterPanes{});
}

TEST(AddEffectTest, WithAttributeSetsOnlyTheLastRowUnclamped) {
    EditorState e;
    AddEffectWithAttribute(e, 10, 4, 0, 1, 0, 5);
    ASSERT_EQ(e.Obelist.size(), 1u);
    EXPECT_EQ(e.Obelist[0].kind, 10);
    EXPECT_EQ(e.Obelist[0].attribute, 4);
    EXPECT_EQ(e.Obelist[0].rounds, 5);
    AddEffectWithAttribute(e, 2, 5, 0, 150, 0, 1);
    ASSERT_EQ(e.Obelist.size(), 3u);
    EXPECT_EQ(e.Obelist[1].attribute, 0);
    EXPECT_EQ(e.Obelist[2].attribute, 5);
    AddEffectWithAttribute(e, 0, 3, 0, 1, 0, 1);  // never a remove
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
    AddEffect(e, 1, 0, 3, 0, 1);
    SelectRow(e, 0);
    ClearEditor(e);
    EXPECT_EQ(e, EditorState{});
    EXPECT_EQ(e.ObLevel, "-");
    EXPECT_EQ(e.ObCardname, "");
}

TEST(EditorStateTest, PanesFollowTheSelectedRow) {
    EditorState e;
    AddEffect(e, 10, 0, 1, 0, 7);   // sleep: duration alone
    AddEffect(e, 27, 0, 1, -3, 4);  // defence change: change value and duration below it
    AddEffect(e, 1, 2, 1, 0, 1);    // maximum heal: value shown but disabled
    AddEffect(e, 31, 0, 1, 0, 1);   // no parameter

    SelectRow(e, 0);
    ParameterPanes p = PanesFor(e);
    EXPECT_TRUE(p.roundsVisible);
    EXPECT_EQ(p.roundsTop, kRoundsPaneTopAlone);
    EXPECT_FALSE(p.valueKindVisible || p.valueVisible || p.variationVisible);
    EXPECT_EQ(p.attribute, kAttributeMental);

    SelectRow(e, 1);
    p = PanesFor(e);
    EXPECT_TRUE(p.variationVisible && p.roundsVisible);
    EXPECT_EQ(p.roundsTop, kRoundsPaneTopBelowChange);

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
    AddEffect(e, 1, 0, 5, 0, 1);
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

}  // namespace
}  // namespace morvat
