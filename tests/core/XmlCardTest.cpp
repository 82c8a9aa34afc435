// SPDX-License-Identifier: MIT
// Skill cards of XML scenarios: the same card rates the same whether the binary or the XML
// file is read, every named value maps to its code, and broken or hostile documents fail
// with their own code.
#include <gtest/gtest.h>

#include "CardWriter.h"
#include "CliRunner.h"
#include "ExampleCards.h"
#include "TempDir.h"
#include "XmlCardWriter.h"
#include "calc/Rating.h"
#include "files/CardList.h"
#include "files/LoadFlows.h"
#include "files/XmlCardReader.h"
#include "model/SkillRecord.h"

namespace morvat {
namespace {

using test::WidCardPlan;

class Answers : public LoadPrompts {
public:
    explicit Answers(bool enemy) : enemy_(enemy) {}
    void WarnNoTarget() override { ++warnings; }
    bool AskEnemySide() override {
        ++questions;
        return enemy_;
    }
    int warnings = 0;
    int questions = 0;

private:
    bool enemy_;
};

struct Loaded {
    LoadOutcome outcome;
    EditorState editor;
    std::vector<std::string> report;
    int warnings = 0;
    int questions = 0;
};

Loaded Load(const std::filesystem::path& path, bool enemy = true) {
    Loaded l;
    Answers answers(enemy);
    l.outcome = LoadSkillFile(path, l.editor, answers);
    if (l.outcome.status == LoadStatus::Loaded) {
        l.report = RateSkill(GatherSkillRecord(l.editor)).lines();
    }
    l.warnings = answers.warnings;
    l.questions = answers.questions;
    return l;
}

// Reads the plan written as a binary card and as XML, answering the side question both
// ways, and expects the same editor, report and questions.
void ExpectSameBothWays(const WidCardPlan& plan, const test::TempDir& dir) {
    const auto wid = dir.write("Skill.wid", test::WriteCard(plan).bytes);
    const auto xml = dir.write("01_card.xml", test::WriteXmlCard(plan));
    for (const bool enemy : {true, false}) {
        const Loaded a = Load(wid, enemy);
        const Loaded b = Load(xml, enemy);
        ASSERT_EQ(a.outcome.status, LoadStatus::Loaded);
        ASSERT_EQ(b.outcome.status, LoadStatus::Loaded) << "code " << b.outcome.code;
        EXPECT_EQ(b.editor.ObCardname, a.editor.ObCardname);
        EXPECT_EQ(b.editor.ObLevel, a.editor.ObLevel);
        EXPECT_EQ(b.editor.ObTarget, a.editor.ObTarget);
        EXPECT_EQ(b.editor.ObFaratack, a.editor.ObFaratack);
        EXPECT_EQ(b.editor.ObAssasin, a.editor.ObAssasin);
        EXPECT_EQ(b.editor.Obelist, a.editor.Obelist);
        EXPECT_EQ(b.report, a.report);
        EXPECT_EQ(b.warnings, a.warnings);
        EXPECT_EQ(b.questions, a.questions);
    }
}

TEST(XmlCardBothWaysTest, ExampleCardsRateAlikeAsBinaryAndXml) {
    test::TempDir dir;
    for (const test::ExampleCard& example : test::ExampleCards()) {
        SCOPED_TRACE(example.fileName);
        ExpectSameBothWays(example.plan, dir);
    }
}

// Cards made to cover every motion the XML names, every target, attribute and modifier.
TEST(XmlCardBothWaysTest, GeneratedCardsRateAlikeAsBinaryAndXml) {
    test::TempDir dir;
    const std::pair<std::int32_t, int> groups[] = {{0x40800, 3}, {0x40801, 4}, {0x40802, 2},
                                                   {0x40803, 6}, {0x40804, 8}, {0x40805, 4},
                                                   {0x40806, 3}, {0x40807, 9}};
    int n = 0;
    for (const auto& [type, details] : groups) {
        for (int detail = 0; detail < details; ++detail, ++n) {
            SCOPED_TRACE(testing::Message() << "type " << type << " detail " << detail);
            WidCardPlan plan;
            plan.name = test::Sz("\x89\xce\x89\x8a\x92\x65");  // Shift-JIS name
            plan.level = (n * 37) % 1000;
            plan.voice = static_cast<std::uint8_t>(n % 2);
            plan.target = static_cast<std::uint8_t>(n % 5);
            plan.targetAll = static_cast<std::uint8_t>((n / 5) % 2);
            plan.attribute = static_cast<std::uint8_t>(n % 4);
            plan.defence = static_cast<std::uint8_t>((n / 2) % 2);
            plan.success = n % 11 - 5;
            plan.escape = n % 21 - 10;
            plan.defuse = 10 - n % 21;
            plan.gard = (n * 3) % 21 - 10;
            const auto element = static_cast<std::uint8_t>(n % 7);
            const auto kind = static_cast<std::uint8_t>(n % 3);
            plan.motions.motions = {
                test::ValueMotion(type, element, static_cast<std::uint8_t>(detail), kind,
                                  n % 2 == 0 ? n + 1 : 150),
                test::RoundsMotion(0x40803, element, static_cast<std::uint8_t>(n % 6), n * 40),
                test::ChangeMotion(static_cast<std::uint8_t>(detail % 4), 0, n % 25 - 12, n),
            };
            test::WidMotion m;
            m.type = type;
            m.element = element;
            m.detail = static_cast<std::uint8_t>(detail);
            m.valueKind = kind;
            m.value = n + 3;
            m.variation = 5 - n % 11;
            m.rounds = n + 1;
            plan.motions.motions.push_back(m);
            if (n % 3 == 0) plan.keyCodes[n % 5] = test::Sz("\x89\x93\x8b\x97\x97\xa3\x8d\x55\x8c\x82");
            if (n % 4 == 0) plan.keyCodes[(n + 1) % 5] = test::Sz("\x88\xc3\x8e\x45");
            ExpectSameBothWays(plan, dir);
        }
    }
}

// A card with every Property child as the editor writes it, with `property` added.
std::string Card(std::string_view property, std::string_view motions = "",
                 std::string_view root = "SkillCard") {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<";
    xml += root;
    xml += " dataVersion=\"4\"><Property><Id>1</Id><Name>炎の矢</Name>";
    xml += property;
    xml += "</Property><Motions>";
    xml += motions;
    xml += "</Motions></";
    xml += root;
    xml += ">";
    return xml;
}

struct XmlRead {
    std::int32_t code = 0;
    WidCard card;
    EffectCollection effects;
    XmlCardNotes notes;
};

XmlRead Read(std::string_view xml) {
    XmlRead r;
    r.code = ReadXmlCard(xml, r.card, r.effects, &r.notes);
    return r;
}

TEST(XmlCardPropertyTest, NamedValuesGiveTheBinaryCodes) {
    const struct {
        std::string property;
        std::uint8_t WidCard::*field;
        std::uint8_t expected;
    } cases[] = {
        {"<Target>None</Target>", &WidCard::Target, 0},
        {"<Target>User</Target>", &WidCard::Target, 1},
        {"<Target>Party</Target>", &WidCard::Target, 2},
        {"<Target>Enemy</Target>", &WidCard::Target, 3},
        {"<Target>Both</Target>", &WidCard::Target, 4},
        {"<Target allrange=\"True\">Enemy</Target>", &WidCard::TargetAll, 1},
        {"<Target allrange=\"False\">Enemy</Target>", &WidCard::TargetAll, 0},
        {"<EffectType>Physic</EffectType>", &WidCard::Attribute, 0},
        {"<EffectType>Magic</EffectType>", &WidCard::Attribute, 1},
        {"<EffectType>MagicalPhysic</EffectType>", &WidCard::Attribute, 2},
        {"<EffectType>PhysicalMagic</EffectType>", &WidCard::Attribute, 3},
        {"<EffectType spell=\"True\">Magic</EffectType>", &WidCard::Voice, 1},
        {"<EffectType spell=\"False\">Magic</EffectType>", &WidCard::Voice, 0},
        {"<ResistType>Avoid</ResistType>", &WidCard::Defence, 0},
        {"<ResistType>Resist</ResistType>", &WidCard::Defence, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.property);
        const XmlRead r = Read(Card(c.property));
        ASSERT_EQ(r.code, 0);
        EXPECT_EQ(r.card.*c.field, c.expected);
    }
}

TEST(XmlCardPropertyTest, ValuesOutsideTheirRangesFailWithTheirCode) {
    const std::pair<std::string, std::int32_t> cases[] = {
        {"<Level>1000</Level>", kXmlLevelRange},
        {"<Level>-1</Level>", kXmlLevelRange},
        {"<Level>3a</Level>", kXmlLevelRange},
        {"<Level>99999999999999999999</Level>", kXmlLevelRange},
        {"<SuccessRate>6</SuccessRate>", kXmlSuccessRateRange},
        {"<SuccessRate>-6</SuccessRate>", kXmlSuccessRateRange},
        {"<Enhance avoid=\"11\"/>", kXmlAvoidRange},
        {"<Enhance resist=\"-11\"/>", kXmlResistRange},
        {"<Enhance defense=\"x\"/>", kXmlDefenseRange},
        {"<EffectType>None</EffectType>", kXmlEffectTypeRange},
        {"<EffectType>Normal</EffectType>", kXmlEffectTypeRange},
        {"<EffectType>magic</EffectType>", kXmlEffectTypeRange},
        {"<EffectType spell=\"Yes\">Magic</EffectType>", kXmlSpellRange},
        {"<ResistType>Unfail</ResistType>", kXmlResistTypeRange},
        {"<Target>Everyone</Target>", kXmlTargetRange},
        {"<Target allrange=\"1\">Enemy</Target>", kXmlAllRangeRange},
        {"<LinkId>3</LinkId>", kXmlLinkedCard},
        {"<LinkId>x</LinkId>", kXmlLinkIdRange},
    };
    for (const auto& [property, code] : cases) {
        SCOPED_TRACE(property);
        XmlRead r;
        r.effects.push_back(MakeEffectEntry(1, 0, 0, 5, 0, 1));
        r.code = ReadXmlCard(Card(property, "<Motion type=\"Heal\" element=\"All\"/>"), r.card,
                             r.effects);
        EXPECT_EQ(r.code, code);
        EXPECT_EQ(r.effects.size(), 1u) << "a failed read adds no effects";
    }
    // The edges of every range are accepted.
    const XmlRead edges = Read(Card(
        "<Level>999</Level><SuccessRate>-5</SuccessRate><LinkId>0</LinkId>"
        "<Enhance avoid=\"-10\" resist=\"10\" defense=\" 10 \"/>"));
    ASSERT_EQ(edges.code, 0);
    EXPECT_EQ(edges.card.Level, 999);
    EXPECT_EQ(edges.card.Success, -5);
    EXPECT_EQ(edges.card.Escape, -10);
    EXPECT_EQ(edges.card.Defuse, 10);
    EXPECT_EQ(edges.card.Gard, 10);
}

TEST(XmlCardPropertyTest, KeyCodesAreUnescapedAndAnyOfManyCounts) {
    // Seven entries with an empty one; the two known ones come after the fifth, one of them
    // written with an escaped character.
    const XmlRead r = Read(Card(
        "<KeyCodes>a\\nb\\n\\nc\\\\n\\nd\\ne\\n遠距離\\攻撃\\n暗殺</KeyCodes>"));
    ASSERT_EQ(r.code, 0);
    EXPECT_TRUE(r.card.Faratack);
    EXPECT_TRUE(r.card.Assasin);
    // Only whole entries count; a backslash before n is a backslash.
    const XmlRead near = Read(Card("<KeyCodes>遠距離攻撃 \\n暗殺\\\\n</KeyCodes>"));
    ASSERT_EQ(near.code, 0);
    EXPECT_FALSE(near.card.Faratack);
    EXPECT_FALSE(near.card.Assasin);
    EXPECT_EQ(UnescapeXmlCardText("a\\nb\\\\c\\d\\"), "a\nb\\cd");
}

TEST(XmlCardPropertyTest, OtherOrderUnknownElementsAndMissingOnesAreFine) {
    const XmlRead r = Read(
        "<SkillCard scaledimage=\"True\"><Events><Event/></Events><Motions>"
        "<Motion type=\"Heal\" element=\"Health\" damagetype=\"Max\" value=\"7\"><X/></Motion>"
        "</Motions><Extra a=\"1\"/><Property><Level>4</Level><Future>1</Future>"
        "<Target allrange=\"True\">Party</Target><Name>後</Name></Property></SkillCard>");
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.card.Cardname, "後");
    EXPECT_TRUE(r.card.CardnameIsUtf8);
    EXPECT_EQ(r.card.Level, 4);
    EXPECT_EQ(r.card.Target, 2);
    EXPECT_EQ(r.card.TargetAll, 1);
    EXPECT_EQ(r.card.Attribute, 0);
    EXPECT_EQ(r.effects, EffectCollection{MakeEffectEntry(1, 1, 2, 7, 0, 1)});
}

TEST(XmlCardMotionTest, EachValueKindElementAndUnratedMotion) {
    const XmlRead r = Read(Card(
        "", "<Motion type=\"Damage\" element=\"Fire\" damagetype=\"LevelRatio\" value=\"5\"/>"
            "<Motion type=\"Absorb\" element=\"Ice\" damagetype=\"Normal\" value=\"200\"/>"
            "<Motion type=\"Poison\" element=\"Miracle\" damagetype=\"Fixed\" value=\"9\"/>"
            "<Motion type=\"Sleep\" element=\"Mind\"/>"
            "<Motion type=\"Silence\" element=\"Magic\" duration=\"3\"/>"
            "<Motion type=\"EnhanceAvoid\" element=\"All\" value=\"-3\" duration=\"2\"/>"
            "<Motion type=\"EnhanceDefense\" element=\"Unknown\" value=\"30\" duration=\"0\"/>"
            "<Motion type=\"GetSkillPower\" element=\"All\" damagetype=\"Max\" value=\"4\"/>"
            "<Motion type=\"VanishCard\"/><Motion type=\"VanishBeast\"/>"
            "<Motion type=\"DealAttackCard\"/><Motion type=\"DealSkillCard\"/>"
            "<Motion type=\"CancelAction\"/><Motion type=\"NoEffect\"/>"
            "<Motion type=\"SummonBeast\"><Beasts><BeastCard/></Beasts></Motion>"
            "<Motion type=\"Teleport\"/><Motion/>"));
    ASSERT_EQ(r.code, 0);
    const EffectCollection expected = {
        MakeEffectEntry(2, 5, 0, 5, 0, 1),    MakeEffectEntry(3, 6, 1, 1, 0, 1),
        MakeEffectEntry(6, 3, 1, 9, 0, 1),    MakeEffectEntry(10, 2, 0, 1, 0, 1),
        MakeEffectEntry(18, 4, 0, 1, 0, 3),   MakeEffectEntry(25, 0, 0, 1, -3, 2),
        MakeEffectEntry(27, 0, 0, 1, 0, 1),   MakeEffectEntry(8, 0, 0, 1, 0, 1),
        MakeEffectEntry(29, 0, 0, 1, 0, 1),   MakeEffectEntry(31, 0, 0, 1, 0, 1),
    };
    EXPECT_EQ(r.effects, expected);
    EXPECT_TRUE(r.notes.fixedAmountAsNormal);
    EXPECT_FALSE(Read(Card("", "<Motion type=\"Heal\" damagetype=\"Max\"/>"))
                     .notes.fixedAmountAsNormal);
}

TEST(XmlCardDocumentTest, BrokenDocumentsFailWithTheirCode) {
    const std::pair<std::string, std::int32_t> cases[] = {
        {"", kXmlNotWellFormed},
        {"<SkillCard><Property></SkillCard>", kXmlNotWellFormed},
        {Card("", "", "ItemCard"), kXmlRootNotSkillCard},
        {"<SkillCard><Motions/></SkillCard>", kXmlNoProperty},
        {"<SkillCard/>", kXmlNoProperty},
        {std::string(200, '<') + "SkillCard", kXmlNotWellFormed},
    };
    for (const auto& [xml, code] : cases) {
        SCOPED_TRACE(xml.substr(0, 60));
        EXPECT_EQ(Read(xml).code, code);
    }
}

// Files from outside: whatever they hold, the read ends soon with a code or a card.
TEST(XmlCardDocumentTest, HostileDocumentsStayBounded) {
    std::string deep = "<SkillCard><Property/>";
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    for (int i = 0; i < 100000; ++i) deep += "</a>";
    deep += "</SkillCard>";
    EXPECT_EQ(Read(deep).code, kXmlTooDeep);

    // Entities declared by the file are not expanded: the name keeps the reference.
    std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE SkillCard [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'k'; ++c) {
        bomb += std::string("<!ENTITY ") + c + " \"";
        for (int i = 0; i < 10; ++i) bomb += std::string("&") + static_cast<char>(c - 1) + ";";
        bomb += "\">";
    }
    bomb += "]><SkillCard><Property><Name>&k;</Name></Property></SkillCard>";
    const XmlRead bombed = Read(bomb);
    ASSERT_EQ(bombed.code, 0);
    EXPECT_LT(bombed.card.Cardname.size(), 10u);

    const std::string hugeName =
        Card("<Enhance avoid=\"" + std::string(3 << 20, '1') + "\"/>") ;
    EXPECT_EQ(Read(hugeName).code, kXmlAvoidRange);
    const XmlRead longText = Read(Card("<KeyCodes>" + std::string(3 << 20, 'x') + "</KeyCodes>"));
    EXPECT_EQ(longText.code, 0);

    EXPECT_EQ(Read(std::string(kXmlCardMaxBytes + 1, ' ')).code, kXmlTooLarge);
    test::TempDir dir;
    const auto large = dir.write("large.xml", Card("<Level>" + std::string(kXmlCardMaxBytes, '0') + "1</Level>"));
    EXPECT_EQ(Load(large).outcome.code, kXmlTooLarge);

    // Bytes that are no UTF-8 in the name are shown as replacement characters.
    const XmlRead bad = Read(Card("").replace(Card("").find("炎の矢"), 9, "\xff\xfe\x81"));
    ASSERT_EQ(bad.code, 0);
    EXPECT_EQ(bad.card.Cardname, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(XmlCardLoadTest, XmlNamesAreReadAsXmlCardsByBothFlows) {
    test::TempDir dir;
    const std::string xml = Card("<Target>Enemy</Target><Level>3</Level>",
                                 "<Motion type=\"Damage\" element=\"Fire\" damagetype=\"Fixed\" "
                                 "value=\"5\"/>");
    const auto card = dir.write("01_炎の矢.xml", xml);
    for (const auto flow : {&LoadSkillFile, &ReadSkillCard}) {
        EditorState editor;
        Answers answers(true);
        const LoadOutcome outcome = flow(card, editor, answers);
        ASSERT_EQ(outcome.status, LoadStatus::Loaded);
        EXPECT_TRUE(outcome.fixedAmountAsNormal);
        EXPECT_EQ(editor.ObCardname, "炎の矢");
        EXPECT_EQ(editor.ObLevel, "3");
        EXPECT_EQ(editor.Obelist, EffectCollection{MakeEffectEntry(2, 5, 1, 5, 0, 1)});
    }
    // Only ".xml" exactly: other names stay binary cards, which XML is not.
    EXPECT_EQ(Load(dir.write("card.XML", xml)).outcome.code, 20);
    EXPECT_EQ(Load(dir.write("card.xml.wid", xml)).outcome.code, 20);
    for (const auto& [name, isXml] : std::vector<std::pair<std::string, bool>>{
             {"a.xml", true}, {"dir.xml/a.wid", false}, {".xml", true}, {"a.xmll", false}}) {
        EXPECT_EQ(IsXmlCardFileName(name), isXml) << name;
    }

    // A failed read leaves the editor as it was.
    EditorState editor;
    editor.ObCardname = "before";
    Answers answers(true);
    const LoadOutcome failed =
        LoadSkillFile(dir.write("broken.xml", "<SkillCard>"), editor, answers);
    EXPECT_EQ(failed.status, LoadStatus::ReadFailed);
    EXPECT_EQ(failed.code, kXmlNotWellFormed);
    EXPECT_EQ(editor.ObCardname, "before");
}

TEST(XmlCardLoadTest, CommandLineRatesXmlCardsAndNotesFixedAmounts) {
    test::TempDir dir;
    const WidCardPlan plan = test::ExampleCards().front().plan;
    const auto wid = dir.write("Skill.wid", test::WriteCard(plan).bytes);
    const auto xml = dir.write("01_card.xml", test::WriteXmlCard(plan));
    const cli::CliRun binary = cli::RunIn({"rate", wid.string()});
    const cli::CliRun fromXml = cli::RunIn({"rate", xml.string()});
    EXPECT_EQ(fromXml.status, 0);
    EXPECT_EQ(fromXml.out, binary.out);
    EXPECT_EQ(fromXml.err, binary.err);

    const auto fixed = dir.write(
        "02.xml", Card("<Target>Enemy</Target>",
                       "<Motion type=\"Damage\" element=\"All\" damagetype=\"Fixed\" value=\"5\"/>"));
    const cli::CliRun noted = cli::RunIn({"rate", fixed.string()});
    EXPECT_EQ(noted.status, 0);
    EXPECT_EQ(noted.err, "morvat-ex-cli: " + fixed.string() + ": " + std::string(kFixedAmountNote) + "\n");

    const auto linked = dir.write("03.xml", Card("<LinkId>4</LinkId>"));
    const cli::CliRun refused = cli::RunIn({"rate", linked.string()});
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.err, "morvat-ex-cli: " + linked.string() + ": 読み込みに失敗しました 1006\n");
}

TEST(XmlScenarioTest, ListAndSummaryTakeTheSkillCardsInIdOrder) {
    test::TempDir dir;
    const auto root = dir.path() / "シナリオ";
    std::filesystem::create_directories(root / "SkillCard");
    std::filesystem::create_directories(root / "Area");
    dir.write("シナリオ/Summary.xml", "<Summary/>");
    const auto card = [](int id, std::string_view name, std::string_view extra = "") {
        return "<SkillCard><Property><Id>" + std::to_string(id) + "</Id><Name>" +
               std::string(name) + "</Name><Target>Enemy</Target>" + std::string(extra) +
               "</Property></SkillCard>";
    };
    dir.write("シナリオ/SkillCard/01_b.xml", card(10, "後の札"));
    dir.write("シナリオ/SkillCard/02.xml", card(2, "先の札"));
    dir.write("シナリオ/SkillCard/03_link.xml", card(3, "参照", "<LinkId>2</LinkId>"));
    dir.write("シナリオ/SkillCard/04_item.xml", "<ItemCard><Property><Id>1</Id></Property></ItemCard>");
    dir.write("シナリオ/SkillCard/05_broken.xml", "<SkillCard>");
    dir.write("シナリオ/SkillCard/Skill1.wid", "not a card");
    dir.write("シナリオ/Area/1.xml", card(1, "場所"));
    dir.write("シナリオ/SkillWrong.wid", "binary cards are not looked for here");

    const cli::CliRun list = cli::RunIn({"list", root.string()});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "先の札       SkillCard/02.xml\n後の札       SkillCard/01_b.xml\n");

    const cli::CliRun summary = cli::RunIn({"rate", "--summary", root.string()});
    EXPECT_EQ(summary.status, 0) << summary.err;
    const auto s = (root / "SkillCard").string();
    EXPECT_EQ(summary.out, s + "/02.xml\t先の札\t0\t-60\t-6.0\tok\n" + s +
                               "/01_b.xml\t後の札\t0\t-60\t-6.0\tok\n");

    // Without Summary.xml the folder is a folder of binary cards.
    std::filesystem::remove(root / "Summary.xml");
    EXPECT_EQ(cli::RunIn({"list", root.string()}).out, "");
}

// A scenario without skill cards lists none and says nothing; one whose SkillCard cannot be
// read is no empty scenario, and the user is told.
TEST(XmlScenarioTest, SkillCardFolderMissingOrUnreadable) {
    test::TempDir dir;
    dir.write("Summary.xml", "<Summary/>");
    const cli::CliRun none = cli::RunIn({"list", dir.path().string()});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out + none.err, "");

    dir.write("SkillCard", "a file where the folder should be");
    FolderProblem problem;
    EXPECT_TRUE(ListSkillFiles(dir.path(), &problem).empty());
    EXPECT_EQ(problem.kind, FolderProblem::Kind::ReadFailed);
    const cli::CliRun broken = cli::RunIn({"rate", "--summary", dir.path().string()});
    EXPECT_EQ(broken.status, 3);
    EXPECT_NE(broken.err.find("読み込みに失敗しました"), std::string::npos) << broken.err;
}

}  // namespace
}  // namespace morvat
