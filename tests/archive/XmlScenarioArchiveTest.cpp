// SPDX-License-Identifier: MIT
// XML scenarios packed as archives (.wsn, or any zip): the same cards give the same list and
// summary as the scenario unpacked in a folder, whether Summary.xml sits at the top or in
// one top folder, comes before or after the cards, and whatever character set the names use.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ArchiveWriter.h"
#include "CliRunner.h"
#include "ExampleCards.h"
#include "TempDir.h"
#include "XmlCardWriter.h"
#include "files/LoadFlows.h"
#include "files/archive/ArchiveCards.h"

namespace morvat::cli {
namespace {

namespace fs = std::filesystem;
using test::ArchiveEntry;
using test::ArchiveKind;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Summary rows with the path column cut to the part after `prefix`.
std::vector<std::string> RowsAfter(const std::string& out, const std::string& prefix) {
    std::vector<std::string> rows;
    for (const std::string& line : Lines(out)) {
        EXPECT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
        rows.push_back(line.substr(std::min(prefix.size(), line.size())));
    }
    return rows;
}

// The example cards as the files of an XML scenario below `top`: Ids counting down, so the
// Id order is the reverse of the name order; beside them, files in SkillCard/ that are no
// cards of their own (a linked card, another root, a broken document) and an XML card
// outside SkillCard/.
std::vector<ArchiveEntry> ScenarioEntries(const std::string& top, bool summaryFirst) {
    std::vector<ArchiveEntry> entries;
    if (summaryFirst) entries.push_back({top + "Summary.xml", "<Summary/>"});
    const std::vector<test::ExampleCard> cards = test::ExampleCards();
    int id = static_cast<int>(cards.size());
    for (const test::ExampleCard& card : cards) {
        const std::string name = (id == 1 ? "0" + std::to_string(id) + "_炎の矢"
                                          : "0" + std::to_string(id) + "_" + card.fileName);
        entries.push_back({top + "SkillCard/" + name + ".xml", test::WriteXmlCard(card.plan, 10 - id)});
        --id;
    }
    std::string linked = test::WriteXmlCard(cards.front().plan, 20);
    linked.replace(linked.find("<LinkId>0</LinkId>"), 18, "<LinkId>3</LinkId>");
    entries.push_back({top + "SkillCard/90_link.xml", linked});
    entries.push_back({top + "SkillCard/91_item.xml", "<ItemCard><Property><Id>1</Id></Property></ItemCard>"});
    entries.push_back({top + "SkillCard/92_broken.xml", "<SkillCard><Property>"});
    entries.push_back({top + "Area/1.xml", test::WriteXmlCard(cards.front().plan, 1)});
    if (!summaryFirst) entries.push_back({top + "Summary.xml", "<Summary/>"});
    return entries;
}

class XmlScenarioArchiveTest : public ::testing::Test {
protected:
    // The scenario of `entries` unpacked on disk, as the folder's own list and summary see it.
    fs::path Unpack(const std::vector<ArchiveEntry>& entries, const std::string& top) {
        const fs::path root = unpacked.path() / "scenario";
        for (const ArchiveEntry& e : entries) {
            const fs::path path = root / e.name.substr(top.size());
            fs::create_directories(path.parent_path());
            unpacked.write(fs::relative(path, unpacked.path()).string(), e.bytes);
        }
        return root;
    }

    std::string Archive(std::string_view name, ArchiveKind kind,
                        const std::vector<ArchiveEntry>& entries) {
        const fs::path path = dir.path() / name;
        test::WriteArchive(path, kind, entries);
        return path.string();
    }

    test::TempDir unpacked;
    test::TempDir dir;
};

TEST_F(XmlScenarioArchiveTest, WsnListsAndSummarisesLikeTheScenarioFolder) {
    struct Case {
        std::string top;
        ArchiveKind kind;
        bool summaryFirst;
    };
    for (const Case& c : {Case{"", ArchiveKind::ZipUtf8, true},
                          Case{"シナリオ/", ArchiveKind::ZipCp932, false},
                          Case{"top/", ArchiveKind::SevenZip, true}}) {
        SCOPED_TRACE(c.top);
        const std::vector<ArchiveEntry> entries = ScenarioEntries(c.top, c.summaryFirst);
        const fs::path folder = Unpack(entries, c.top);
        const CliRun folderList = RunIn({"list", folder.string()});
        const CliRun folderSummary = RunIn({"rate", "--summary", folder.string()});
        ASSERT_EQ(folderSummary.status, 0) << folderSummary.err;
        const std::vector<std::string> expected =
            RowsAfter(folderSummary.out, (folder / "SkillCard").string() + "/");
        ASSERT_EQ(expected.size(), test::ExampleCards().size());
        // Id order: the card named last has the lowest Id.
        EXPECT_EQ(expected.front().substr(0, 3), "04_");

        const std::string wsn = Archive("scenario.wsn", c.kind, entries);
        const CliRun summary = RunIn({"rate", "--summary", wsn});
        EXPECT_EQ(summary.status, 0) << summary.err;
        // The same notes (a card aimed at both sides), under the archive's paths.
        EXPECT_EQ(Lines(summary.err).size(), Lines(folderSummary.err).size()) << summary.err;
        EXPECT_EQ(RowsAfter(summary.out, wsn + "/" + c.top + "SkillCard/"), expected);

        const CliRun list = RunIn({"list", wsn});
        EXPECT_EQ(list.status, 0) << list.err;
        std::string expectedList;
        for (const std::string& row : Lines(folderList.out)) {
            expectedList += row.substr(0, row.find("SkillCard/")) + c.top +
                            row.substr(row.find("SkillCard/")) + "\n";
        }
        EXPECT_EQ(list.out, expectedList);
    }
}

TEST_F(XmlScenarioArchiveTest, XmlCardsCountOnlyInAFolderHoldingSummaryXml) {
    std::vector<ArchiveEntry> entries = ScenarioEntries("with/", true);
    for (ArchiveEntry& e : ScenarioEntries("without/", true)) {
        if (e.name != "without/Summary.xml") entries.push_back(std::move(e));
    }
    // A binary card beside them is listed as in any archive.
    const test::ExampleCard binary = test::ExampleCards().front();
    entries.push_back({"without/" + binary.fileName, test::WriteCard(binary.plan).bytes});
    const std::string zip = Archive("two.zip", ArchiveKind::ZipUtf8, entries);

    const ArchiveCardList list = BuildArchiveCardList(zip);
    ASSERT_TRUE(list.opened);
    ASSERT_EQ(list.rows.size(), test::ExampleCards().size() + 1);
    for (std::size_t i = 0; i + 1 < list.rows.size(); ++i) {
        EXPECT_EQ(list.rows[i].folder, "with/SkillCard") << list.rows[i].memberPath;
        EXPECT_TRUE(list.rows[i].place.xml);
    }
    EXPECT_EQ(list.rows.back().memberPath, "without/" + binary.fileName);
    // Without Summary.xml anywhere, an archive's SkillCard folders hold no cards.
    entries.erase(entries.begin());
    EXPECT_EQ(RunIn({"list", Archive("none.zip", ArchiveKind::ZipUtf8, entries)}).out,
              list.rows.back().displayText() + "\n");
}

TEST_F(XmlScenarioArchiveTest, OneCardRatedByItsPathInsideTheArchive) {
    const std::vector<ArchiveEntry> entries = ScenarioEntries("シナリオ/", true);
    const fs::path folder = Unpack(entries, "シナリオ/");
    const std::string wsn = Archive("scenario.wsn", ArchiveKind::ZipCp932, entries);
    const std::string member = "SkillCard/01_炎の矢.xml";
    const CliRun onDisk = RunIn({"rate", (folder / member).string()});
    ASSERT_EQ(onDisk.status, 0) << onDisk.err;
    const CliRun inside = RunIn({"rate", wsn + "/シナリオ/" + member});
    EXPECT_EQ(inside.status, 0) << inside.err;
    EXPECT_EQ(inside.out, onDisk.out);

    // The editor's route: the loader dialog hands over the member's full path.
    EditorState editor;
    struct Quiet : LoadPrompts {
        void WarnNoTarget() override {}
        bool AskEnemySide() override { return true; }
    } prompts;
    const LoadOutcome outcome = ReadSkillCardAt(wsn + "/シナリオ/" + member, editor, prompts);
    EXPECT_EQ(outcome.status, LoadStatus::Loaded);
    EXPECT_FALSE(editor.ObCardname.empty());

    // An exact amount is noted for a card inside an archive too.
    std::string fixed = test::WriteXmlCard(test::ExampleCards().front().plan, 5);
    fixed.insert(fixed.find("</Motions>"),
                 "<Motion type=\"Damage\" element=\"All\" damagetype=\"Fixed\" value=\"5\"/>");
    const std::string zip = Archive("fixed.zip", ArchiveKind::ZipUtf8,
                                    {{"Summary.xml", "<Summary/>"}, {"SkillCard/1.xml", fixed}});
    const CliRun noted = RunIn({"rate", "--summary", zip});
    EXPECT_NE(noted.err.find(std::string(kFixedAmountNote)), std::string::npos) << noted.err;
}

}  // namespace
}  // namespace morvat::cli
