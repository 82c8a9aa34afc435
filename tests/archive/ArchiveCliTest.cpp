// The command line on archives: the same cards give the same summary and list, whatever
// holds them (a folder, zip, lzh, cab, 7z or tar), names in code page 932 or UTF-8, cards
// at depth, and one card rated by its path inside the archive.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ArchiveWriter.h"
#include "CliRunner.h"
#include "TempDir.h"
#include "TestPaths.h"

namespace morvat::cli {
namespace {

namespace fs = std::filesystem;
using test::ArchiveEntry;
using test::ArchiveKind;

const std::string kFireBallUtf8 = "Skill火球.wid";
const std::string kFireBallCp932 = "Skill\x89\xce\x8b\x85.wid";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Summary lines without their path column, and the path columns alone.
std::vector<std::string> WithoutPaths(const std::string& out) {
    std::vector<std::string> lines;
    for (const std::string& line : Lines(out)) lines.push_back(line.substr(line.find('\t')));
    return lines;
}
std::vector<std::string> Paths(const std::string& out) {
    std::vector<std::string> paths;
    for (const std::string& line : Lines(out)) paths.push_back(line.substr(0, line.find('\t')));
    return paths;
}

std::vector<ArchiveEntry> CardsWithJapaneseName() {
    std::vector<ArchiveEntry> entries = test::ExampleCardEntries();
    entries.push_back(
        {kFireBallUtf8, test::ReadFileBytes(test::ExamplesDir() / "SkillFireBolt.wid")});
    return entries;
}

class ArchiveCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The folder the archives are compared with: the same cards, the Japanese name in
        // code page 932 bytes as a folder copied from Windows holds it.
        for (const ArchiveEntry& e : CardsWithJapaneseName()) {
            cards.write(e.name == kFireBallUtf8 ? kFireBallCp932 : e.name, e.bytes);
        }
    }

    std::string Archive(std::string_view name, ArchiveKind kind,
                        const std::vector<ArchiveEntry>& entries) {
        const fs::path path = dir.path() / name;
        test::WriteArchive(path, kind, entries);
        return path.string();
    }

    test::TempDir cards;
    test::TempDir dir;
};

TEST_F(ArchiveCliTest, EveryArchiveKindSummarisesLikeTheFolder) {
    const CliRun folder = RunIn({"rate", "--summary", cards.path().string()});
    ASSERT_EQ(folder.status, 0) << folder.err;
    ASSERT_EQ(Lines(folder.out).size(), 5u);

    const std::vector<std::string> archives = {
        Archive("cp932.zip", ArchiveKind::ZipCp932, CardsWithJapaneseName()),
        Archive("utf8.zip", ArchiveKind::ZipUtf8, CardsWithJapaneseName()),
        Archive("cards.7z", ArchiveKind::SevenZip, CardsWithJapaneseName()),
        Archive("cards.tar", ArchiveKind::Tar, CardsWithJapaneseName()),
        (test::TestDataDir() / "archives" / "cards.lzh").string(),
        (test::TestDataDir() / "archives" / "cards.cab").string(),
    };
    for (const std::string& archive : archives) {
        SCOPED_TRACE(archive);
        const CliRun run = RunIn({"rate", "--summary", archive});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Lines(run.err).size(), Lines(folder.err).size()) << run.err;
        EXPECT_EQ(WithoutPaths(run.out), WithoutPaths(folder.out));
        // Names shown as the folder's card list shows them, whatever the archive stored.
        const std::vector<std::string> paths = Paths(run.out);
        ASSERT_EQ(paths.size(), 5u);
        EXPECT_EQ(paths[0], archive + "/SkillChaosWave.wid");
        EXPECT_EQ(paths[4], archive + "/" + kFireBallUtf8);
    }
}

TEST_F(ArchiveCliTest, ListShowsTheFolderRowsAndTheNamesInTheirCharacterSet) {
    const CliRun folder = RunIn({"list", cards.path().string()});
    ASSERT_EQ(folder.status, 0);
    for (const ArchiveKind kind : {ArchiveKind::ZipCp932, ArchiveKind::ZipUtf8}) {
        const CliRun run = RunIn({"list", Archive("cards.zip", kind, CardsWithJapaneseName())});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, folder.out);
        EXPECT_NE(run.out.find(kFireBallUtf8), std::string::npos);
    }
    // Raw code page 932 bytes without the flag read the same as converted ones.
    std::vector<ArchiveEntry> raw = CardsWithJapaneseName();
    raw.back().name = kFireBallCp932;
    const CliRun run = RunIn({"list", Archive("raw.zip", ArchiveKind::ZipRaw, raw)});
    EXPECT_EQ(run.out, folder.out);
}

TEST_F(ArchiveCliTest, CardsAtDepthNonCardsAndNestedArchives) {
    std::vector<ArchiveEntry> entries = test::ExampleCardEntries("シナリオ/b");
    entries.push_back({"シナリオ/", "", true});
    entries.push_back({"Skill1.wid", "not a card at all"});
    entries.push_back({"SkillFolder.wid/", "", true});
    entries.push_back({"readme.txt", "hello"});
    entries.push_back({"more/inner.zip", "PK\x03\x04"});
    entries.push_back(
        {"a/SkillFireBolt.wid", test::ReadFileBytes(test::ExamplesDir() / "SkillFireBolt.wid")});
    const std::string zip = Archive("deep.zip", ArchiveKind::ZipCp932, entries);

    const CliRun list = RunIn({"list", zip});
    EXPECT_EQ(list.status, 0);
    const std::vector<std::string> rows = Lines(list.out);
    ASSERT_EQ(rows.size(), 5u) << list.out;  // Skill1.wid has no card name: no row
    EXPECT_TRUE(rows[0].ends_with("a/SkillFireBolt.wid"));
    EXPECT_TRUE(rows[1].ends_with("シナリオ/b/SkillChaosWave.wid"));
    EXPECT_NE(list.err.find(zip + "/more/inner.zip: 書庫の中の書庫は開きません"), std::string::npos)
        << list.err;

    const CliRun summary = RunIn({"rate", "--summary", zip});
    EXPECT_EQ(summary.status, 3);  // Skill1.wid is no card
    const std::vector<std::string> paths = Paths(summary.out);
    ASSERT_EQ(paths.size(), 6u) << summary.out;
    EXPECT_EQ(paths[0], zip + "/Skill1.wid");
    EXPECT_NE(Lines(summary.out)[0].find("読み込みに失敗しました"), std::string::npos);
    EXPECT_EQ(paths[1], zip + "/a/SkillFireBolt.wid");
    EXPECT_EQ(paths[2], zip + "/シナリオ/b/SkillChaosWave.wid");
    EXPECT_NE(summary.err.find("書庫の中の書庫は開きません"), std::string::npos);
}

TEST_F(ArchiveCliTest, RatesOneMemberByItsPathAsTheFileItself) {
    const std::string zip =
        Archive("one.zip", ArchiveKind::ZipCp932, test::ExampleCardEntries("in"));
    const std::string card = (test::ExamplesDir() / "SkillFireBolt.wid").string();
    const CliRun file = RunIn({"rate", "--json", card});
    const CliRun member = RunIn({"rate", "--json", zip + "/in/SkillFireBolt.wid"});
    ASSERT_EQ(member.status, 0) << member.err;
    const auto body = [](const std::string& json) {
        return json.substr(json.find(",\"cardName\""));
    };
    EXPECT_EQ(body(member.out), body(file.out));
    EXPECT_NE(member.out.find(zip + "/in/SkillFireBolt.wid"), std::string::npos);
    // Written by hand with "./" and a doubled separator it is the same member.
    EXPECT_EQ(RunIn({"rate", zip + "/./in//SkillFireBolt.wid"}).status, 0);
    EXPECT_EQ(RunIn({"rate", "--summary", zip + "/in/SkillSleepMist.wid"}).status, 0);

    // The archive itself is no card: say how to rate what it holds.
    const CliRun whole = RunIn({"rate", zip});
    EXPECT_EQ(whole.status, 64);
    EXPECT_NE(whole.err.find("rate --summary ARCHIVE"), std::string::npos);

    const CliRun missing = RunIn({"rate", zip + "/in/SkillNone.wid"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("ファイルが開けません"), std::string::npos);
}

TEST_F(ArchiveCliTest, FolderSummaryNamesTheArchivesItLeavesClosed) {
    Archive("cards.zip", ArchiveKind::ZipUtf8, test::ExampleCardEntries());
    for (const auto& file : fs::directory_iterator(test::ExamplesDir())) {
        if (file.path().extension() == ".wid") fs::copy(file.path(), dir.path());
    }
    // Found on the pass that finds the cards: regular files (links followed) named like
    // archives, in the order of their names' bytes; a folder named like one is no archive.
    Archive("b.7z", ArchiveKind::SevenZip, test::ExampleCardEntries());
    fs::create_directory(dir.path() / "folder.zip");
    fs::create_symlink(dir.path() / "b.7z", dir.path() / "link.tar");
    const CliRun run = RunIn({"rate", "--summary", dir.path().string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.out).size(), 4u);  // the archive's cards are not among them
    std::string notes;
    for (const char* name : {"b.7z", "cards.zip", "link.tar"}) {
        notes += "morvat-ex-cli: " + (dir.path() / name).string() +
                 ": フォルダの中の書庫は開きません（書庫を直接指定してください）\n";
    }
    // After what the cards had to say.
    ASSERT_GE(run.err.size(), notes.size());
    EXPECT_EQ(run.err.substr(run.err.size() - notes.size()), notes) << run.err;
}

TEST_F(ArchiveCliTest, NoArchiveOrABrokenOneIsAClearFailure) {
    const fs::path fake = dir.write("fake.zip", "this is no archive");
    const CliRun list = RunIn({"list", fake.string()});
    EXPECT_EQ(list.status, 2);
    EXPECT_EQ(list.err, "morvat-ex-cli: " + fake.string() + ": 書庫として読めません\n");
    const CliRun summary = RunIn({"rate", "--summary", fake.string()});
    EXPECT_EQ(summary.status, 3);
    EXPECT_EQ(summary.out, fake.string() + "\t書庫として読めません\n");
}

}  // namespace
}  // namespace morvat::cli
