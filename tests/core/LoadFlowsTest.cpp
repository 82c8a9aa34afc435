// SPDX-License-Identifier: MIT
// Putting a card file into the editor: the target a card's codes give, the two questions,
// and that only a successful read changes the editor.
#include <gtest/gtest.h>

#include "CardWriter.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "files/LoadFlows.h"

namespace morvat {
namespace {

class ScriptedPrompts : public LoadPrompts {
public:
    explicit ScriptedPrompts(bool enemySide = true) : enemySide_(enemySide) {}
    void WarnNoTarget() override { ++warnings; }
    bool AskEnemySide() override {
        ++questions;
        return enemySide_;
    }
    int warnings = 0;
    int questions = 0;

private:
    bool enemySide_;
};

const std::string kFireBoltUtf8 = "火炎弾";

TEST(ApplyWidCardTest, TargetFollowsTheCardsCodesAndTheAnswer) {
    struct Case {
        std::uint8_t target;
        std::uint8_t targetAll;
        bool enemySide;  // the answer, asked only for target 4
        int expected;
        int warnings;
        int questions;
    };
    const Case cases[] = {
        {0, 0, true, kTargetOneEnemy, 1, 0}, {0, 1, true, kTargetOneEnemy, 1, 0},
        {1, 0, true, kTargetOneAlly, 0, 0},  {1, 1, true, kTargetOneAlly, 0, 0},
        {2, 0, true, kTargetOneAlly, 0, 0},  {2, 1, true, kTargetAllAllies, 0, 0},
        {3, 0, true, kTargetOneEnemy, 0, 0}, {3, 1, true, kTargetAllEnemies, 0, 0},
        {4, 0, true, kTargetOneEnemy, 0, 1}, {4, 1, true, kTargetAllEnemies, 0, 1},
        {4, 0, false, kTargetOneAlly, 0, 1}, {4, 1, false, kTargetAllAllies, 0, 1},
        {5, 1, true, kTargetOneEnemy, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "target " << int{c.target} << ", whole side "
                                        << int{c.targetAll} << ", yes " << c.enemySide);
        EditorState editor;
        editor.ObTarget = kTargetAllAllies;  // cleared before the target is set
        WidCard card;
        card.Target = c.target;
        card.TargetAll = c.targetAll;
        EffectCollection effects;
        ScriptedPrompts prompts(c.enemySide);
        ApplyWidCard(editor, card, effects, prompts);
        EXPECT_EQ(editor.ObTarget, c.expected);
        EXPECT_EQ(prompts.warnings, c.warnings);
        EXPECT_EQ(prompts.questions, c.questions);
    }
}

TEST(ApplyWidCardTest, ReplacesTheEditorWithTheCard) {
    EditorState editor;
    AddEffect(editor, {.kind = EffectKind::SkillRecover});
    SelectRow(editor, 0);
    editor.ObFaratack = true;

    WidCard card;
    card.Cardname = "\x89\xce\x89\x8a\x92\x65";
    card.Level = 12;
    card.Voice = 1;
    card.Target = 3;
    card.Attribute = 2;
    card.Defence = 1;
    card.Success = -5;
    card.Escape = 10;
    card.Defuse = -10;
    card.Gard = 3;
    card.Assasin = true;
    EffectCollection effects = {MakeEffectEntry(2, 5, 0, 30, 0, 2),
                                MakeEffectEntry(1, 3, 1, 99, 0, 1),
                                MakeEffectEntry(25, 0, 0, 1, -3, 4)};
    ScriptedPrompts prompts;
    ApplyWidCard(editor, card, effects, prompts);

    EXPECT_TRUE(effects.empty());
    EXPECT_EQ(editor.ObCardname, kFireBoltUtf8);
    EXPECT_EQ(editor.ObLevel, "12");
    EXPECT_TRUE(editor.ObVoice);
    EXPECT_EQ(editor.ObTarget, kTargetOneEnemy);
    EXPECT_EQ(editor.ObAttribute, 2);
    EXPECT_EQ(editor.ObDefence, 1);
    EXPECT_EQ(editor.ObSuccess, -5);
    EXPECT_EQ(editor.ObEscape, 10);
    EXPECT_EQ(editor.ObDefuse, -10);
    EXPECT_EQ(editor.ObGard, 3);
    EXPECT_FALSE(editor.ObFaratack);
    EXPECT_TRUE(editor.ObAssasin);
    EXPECT_EQ(editor.selectedRow, kNoSelection);
    // The entries keep their own attribute, even damage added with 2 rounds.
    const std::vector<EffectEntry> rows = {MakeEffectEntry(2, 5, 0, 30, 0, 2),
                                           MakeEffectEntry(1, 3, 1, 99, 0, 1),
                                           MakeEffectEntry(25, 0, 0, 1, -3, 4)};
    EXPECT_EQ(editor.Obelist, rows);
}

class LoadFlowsTest : public testing::Test {
protected:
    std::filesystem::path WriteFile(std::string_view name, std::string_view bytes) {
        return dir_.write(name, bytes);
    }
    std::filesystem::path Example(std::string_view name) {
        return WriteFile(name, test::ReadFileBytes(test::ExamplesDir() / "SkillFireBolt.wid"));
    }

    test::TempDir dir_;
    EditorState editor_;
    ScriptedPrompts prompts_;
};

TEST_F(LoadFlowsTest, CardIsLoadedWhateverItsExtensionButCws) {
    for (const char* name : {"SkillFireBolt.wid", "card.WID", "card", "card.CWS", "card.cws.bak"}) {
        SCOPED_TRACE(name);
        EditorState editor;
        const LoadOutcome outcome = LoadSkillFile(Example(name), editor, prompts_);
        EXPECT_EQ(outcome.status, LoadStatus::Loaded);
        EXPECT_TRUE(outcome.updatesOpenFolder);
        EXPECT_EQ(editor.ObCardname, kFireBoltUtf8);
        EXPECT_EQ(editor.ObLevel, "5");
        EXPECT_TRUE(editor.ObFaratack);
        EXPECT_EQ(editor.Obelist, std::vector<EffectEntry>{MakeEffectEntry(2, 5, 0, 10, 0, 1)});
    }
}

TEST_F(LoadFlowsTest, CwsFileIsNeverReadAsACard) {
    // The card's bytes are no cws skill: the cws reader refuses them, without a card
    // reader's failure code.
    const LoadOutcome outcome = LoadSkillFile(Example("card.cws"), editor_, prompts_);
    EXPECT_EQ(outcome.status, LoadStatus::ReadFailed);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_NE(editor_.ObCardname, kFireBoltUtf8);
    // The other button always reads a card.
    EXPECT_EQ(ReadSkillCard(Example("other.cws"), editor_, prompts_).status, LoadStatus::Loaded);
    EXPECT_EQ(editor_.ObCardname, kFireBoltUtf8);
}

TEST_F(LoadFlowsTest, FilesThatAreNoCardsFailAndLeaveTheEditorAsItWas) {
    ASSERT_EQ(LoadSkillFile(Example("SkillFireBolt.wid"), editor_, prompts_).status,
              LoadStatus::Loaded);
    SelectRow(editor_, 0);
    const EditorState before = editor_;

    struct Case {
        const char* name;
        std::string bytes;
        std::int32_t code;
    };
    const std::string card = test::ReadFileBytes(test::ExamplesDir() / "SkillFireBolt.wid");
    const Case cases[] = {
        {"saved.CWS", "1\r\n0,0,1,5\r\n", 20},  // a cws file under an upper-case name
        {"notes.txt", "hello\n", 20},
        {"empty.wid", "", 50},
        {"SkillCut.wid", card.substr(0, card.size() - 10), 541},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto flow : {&LoadSkillFile, &ReadSkillCard}) {
            const LoadOutcome outcome = flow(WriteFile(c.name, c.bytes), editor_, prompts_);
            EXPECT_EQ(outcome.status, LoadStatus::ReadFailed);
            EXPECT_EQ(outcome.code, c.code);
            EXPECT_TRUE(outcome.updatesOpenFolder);
            EXPECT_EQ(editor_, before);
        }
    }
}

TEST_F(LoadFlowsTest, FileThatCannotBeOpenedChangesNothing) {
    const EditorState before = editor_;
    for (const char* name : {"missing.wid", "missing.cws"}) {
        const LoadOutcome outcome = LoadSkillFile(dir_.path() / name, editor_, prompts_);
        EXPECT_EQ(outcome.status, LoadStatus::CannotOpen);
        EXPECT_FALSE(outcome.updatesOpenFolder);
    }
    EXPECT_EQ(ReadSkillCard(dir_.path(), editor_, prompts_).status, LoadStatus::CannotOpen);
    EXPECT_EQ(editor_, before);
}

TEST_F(LoadFlowsTest, CwsFileThatFailsPartWayChangesNothing) {
    AddEffect(editor_, {.kind = EffectKind::Sleep, .rounds = 7});
    const EditorState before = editor_;
    // Opens as a regular file, then every read of it fails with an input/output error.
    std::filesystem::create_symlink("/proc/self/mem", dir_.path() / "damaged.cws");
    const LoadOutcome outcome = LoadSkillFile(dir_.path() / "damaged.cws", editor_, prompts_);
    EXPECT_EQ(outcome.status, LoadStatus::ReadFailed);
    EXPECT_EQ(editor_, before);
}

// The editor keeps its card when a cws file turns out not to be a whole skill, and the
// open folder stays where it was.
TEST_F(LoadFlowsTest, CwsFileThatIsNoWholeSkillChangesNothing) {
    AddEffect(editor_, {.kind = EffectKind::Sleep, .rounds = 7});
    editor_.ObCardname = "keep";
    const EditorState before = editor_;
    const std::string whole = test::ReadFileBytes(test::ExamplesDir() / "damage-single.cws");
    for (const std::string& bytes :
         {std::string(), std::string("1000050\r\n1\r\n"), whole.substr(0, whole.size() / 2)}) {
        const LoadOutcome outcome = LoadSkillFile(WriteFile("cut.cws", bytes), editor_, prompts_);
        EXPECT_EQ(outcome.status, LoadStatus::ReadFailed) << bytes;
        EXPECT_EQ(outcome.code, 0);
        EXPECT_FALSE(outcome.updatesOpenFolder);
        EXPECT_EQ(editor_, before);
    }
}

TEST(LoadFileNameTest, RememberedFolderIsAbsolute) {
    const std::filesystem::path here = std::filesystem::current_path();
    EXPECT_EQ(AbsoluteFolderOf("SkillA.wid"), here.string());
    EXPECT_EQ(AbsoluteFolderOf("cards/./SkillA.wid"), (here / "cards").string());
    EXPECT_EQ(AbsoluteFolderOf("/games/cw/SkillA.wid"), "/games/cw");
}

TEST_F(LoadFlowsTest, ReadingTheSameCardTwiceGivesTheSameList) {
    const auto path = Example("SkillFireBolt.wid");
    ASSERT_EQ(ReadSkillCard(path, editor_, prompts_).status, LoadStatus::Loaded);
    const EditorState once = editor_;
    ASSERT_EQ(ReadSkillCard(path, editor_, prompts_).status, LoadStatus::Loaded);
    EXPECT_EQ(editor_, once);
    EXPECT_EQ(editor_.Obelist.size(), 1u);
}

TEST_F(LoadFlowsTest, CardForBothSidesAsksOnLoad) {
    ScriptedPrompts allies(false);
    const auto path = test::ExamplesDir() / "SkillChaosWave.wid";
    ASSERT_EQ(ReadSkillCard(path, editor_, allies).status, LoadStatus::Loaded);
    EXPECT_EQ(allies.questions, 1);
    EXPECT_EQ(editor_.ObTarget, kTargetAllAllies);
    EXPECT_EQ(editor_.Obelist.size(), 3u);  // the servant card's damage is not the wave's
}

TEST(LoadFileNameTest, CwsIsTheExactExtensionAfterTheLastDot) {
    const std::pair<const char*, bool> cases[] = {
        {"a.cws", true},   {"dir/a.cws", true}, {"a.wid.cws", true},  {".cws", true},
        {"a.CWS", false},  {"a.Cws", false},    {"a.cws.wid", false}, {"cws", false},
        {"a.cws ", false}, {"a.", false},       {"dir.cws/a", false}, {"a.cwss", false},
    };
    for (const auto& [name, cws] : cases) EXPECT_EQ(IsCwsFileName(name), cws) << name;
}

TEST(LoadFileNameTest, FolderOfDropsTheNameAndTrailingSeparators) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/player/cards/SkillA.wid", "/home/player/cards"},
        {"/home/player/cards//SkillA.wid", "/home/player/cards"},
        {"cards/SkillA.wid", "cards"},
        {"SkillA.wid", ""},
        {"/SkillA.wid", "/"},
        {"/home/player/cards/", "/home/player/cards"},
    };
    for (const auto& [path, folder] : cases) EXPECT_EQ(FolderOf(path), folder) << path;
}

}  // namespace
}  // namespace morvat
