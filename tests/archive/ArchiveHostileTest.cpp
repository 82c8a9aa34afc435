// Archives from the internet are hostile: oversized, bomb-like, endless, truncated,
// damaged, encrypted members and odd names must each give a clear message, leave the rest
// of the archive listed where it can be read, and never write a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "ArchiveWriter.h"
#include "CliRunner.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "files/archive/Archive.h"
#include "files/archive/ArchiveCards.h"

namespace morvat {
namespace {

namespace fs = std::filesystem;
using test::ArchiveEntry;
using test::ArchiveKind;

std::string Example(const char* name) {
    return test::ReadFileBytes(test::ExamplesDir() / name);
}

std::set<fs::path> FilesUnder(const fs::path& folder) {
    std::set<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(folder)) files.insert(e.path());
    return files;
}

struct Collected {
    ArchiveReadResult result;
    std::vector<ArchiveMember> members;
    std::vector<std::size_t> sizes;
};

Collected ReadAll(const fs::path& archive, const ArchiveLimits& limits = {}) {
    Collected c;
    c.result = ReadArchive(
        archive, [](const ArchiveMember& m) { return m.isCard; },
        [&c](const ArchiveMember& m, std::string_view bytes) {
            c.members.push_back(m);
            c.sizes.push_back(bytes.size());
            return true;
        },
        limits);
    return c;
}

class ArchiveHostileTest : public ::testing::Test {
protected:
    fs::path Archive(std::string_view name, ArchiveKind kind,
                     const std::vector<ArchiveEntry>& entries, const std::string& options = {},
                     const std::string& passphrase = {}) {
        const fs::path path = dir.path() / name;
        test::WriteArchive(path, kind, entries, options, passphrase);
        return path;
    }
    test::TempDir dir;
};

TEST_F(ArchiveHostileTest, MembersOver16MiBAreNotReadAndTheirRowsSayWhy) {
    const std::string big(kMaxArchiveMemberSize + 1, '\0');
    const fs::path zip =
        Archive("big.zip", ArchiveKind::ZipUtf8,
                {{"SkillBig.wid", big},
                 {"SkillEdge.wid",
                  Example("SkillFireBolt.wid") + std::string(kMaxArchiveMemberSize - 348, '\0')},
                 {"SkillFireBolt.wid", Example("SkillFireBolt.wid")}});
    const ArchiveCardList list = BuildArchiveCardList(zip);
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.rows[0].memberPath, "SkillBig.wid");
    EXPECT_EQ(list.rows[0].problem, kMemberTooLarge);
    EXPECT_EQ(list.rows[0].displayText(),
              std::string(13, ' ') + "SkillBig.wid (16 MiB を超えるため読みません)");
    EXPECT_EQ(list.rows[1].problem, "");  // exactly 16 MiB is still read
    EXPECT_EQ(list.rows[2].problem, "");

    const cli::CliRun run = cli::RunIn({"rate", "--summary", zip.string()});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.out.find(zip.string() +
                           "/SkillBig.wid\t\t\t\t\t読み込みに失敗しました 16 MiB を超えるため読みません\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(zip.string() + "/SkillFireBolt.wid\t"), std::string::npos);
}

void PutUint32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST_F(ArchiveHostileTest, AMemberLargerThanItSaysStopsBeingKeptAtTheLimit) {
    const fs::path zip = Archive("liar.zip", ArchiveKind::ZipUtf8,
                                 {{"SkillA.wid", std::string(5000, 'x')}, {"SkillB.wid", "abc"}},
                                 "zip:compression=store");
    ArchiveLimits limits;
    limits.memberSize = 1000;
    // The first member claims 100 bytes in both of its headers but holds 5000.
    std::string bytes = test::ReadFileBytes(zip);
    PutUint32(bytes, bytes.find("PK\x03\x04") + 22, 100);
    PutUint32(bytes, bytes.find("PK\x01\x02") + 24, 100);
    const Collected c = ReadAll(dir.write("liar2.zip", bytes), limits);
    ASSERT_EQ(c.members.size(), 2u);
    EXPECT_EQ(c.members[0].statedSize, 100u);
    EXPECT_EQ(c.members[0].problem, kMemberTooLarge);
    EXPECT_EQ(c.sizes[0], 0u);
    EXPECT_EQ(c.members[1].problem, "");
    EXPECT_EQ(c.sizes[1], 3u);
}

TEST_F(ArchiveHostileTest, UnpackingStopsAtTheBudgetAndTheMemberCountAtTheirLimits) {
    std::vector<ArchiveEntry> entries = {{"SkillFireBolt.wid", Example("SkillFireBolt.wid")},
                                         {"bomb.bin", std::string(4 << 20, '\0')},
                                         {"SkillSleepMist.wid", Example("SkillSleepMist.wid")}};
    for (const ArchiveKind kind : {ArchiveKind::ZipUtf8, ArchiveKind::SevenZip}) {
        const fs::path bomb =
            Archive(kind == ArchiveKind::SevenZip ? "bomb.7z" : "bomb.zip", kind, entries);
        ArchiveLimits limits;
        limits.unpackedBytes = 1 << 20;
        const Collected c = ReadAll(bomb, limits);
        EXPECT_EQ(c.result.stopped, kArchiveTooBig);
        ASSERT_EQ(c.members.size(), 2u);  // the card before it, and the bomb itself
        EXPECT_EQ(c.sizes[0], Example("SkillFireBolt.wid").size());
        EXPECT_EQ(ReadAll(bomb).result.stopped, "");  // within the real budget
    }

    std::vector<ArchiveEntry> many;
    for (int i = 0; i < 50; ++i) many.push_back({"Skill" + std::to_string(i) + ".wid", "x"});
    ArchiveLimits limits;
    limits.members = 20;
    const Collected c = ReadAll(Archive("many.zip", ArchiveKind::ZipUtf8, many), limits);
    EXPECT_EQ(c.members.size(), 20u);
    EXPECT_EQ(c.result.stopped, kArchiveTooManyMembers);
}

TEST_F(ArchiveHostileTest, TruncatedAndDamagedArchivesListWhatCanBeRead) {
    std::vector<ArchiveEntry> entries = test::ExampleCardEntries();
    entries.insert(entries.begin() + 2, {"filler.bin", std::string(200000, 'q')});
    const fs::path zip = Archive("cut.zip", ArchiveKind::ZipUtf8, entries, "zip:compression=store");
    std::string bytes = test::ReadFileBytes(zip);

    // Cut in the middle of the filler: the directory at the end is gone.
    const fs::path cut = dir.write("truncated.zip", bytes.substr(0, bytes.size() / 2));
    const ArchiveCardList truncated = BuildArchiveCardList(cut);
    EXPECT_TRUE(truncated.opened);
    EXPECT_EQ(truncated.rows.size(), 2u);
    EXPECT_EQ(truncated.stopped, kArchiveDamaged);
    const cli::CliRun run = cli::RunIn({"list", cut.string()});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find(": 書庫が壊れているため、ここから先は読めません"), std::string::npos);

    // One card's bytes changed: its check sum fails, the others are read.
    const std::size_t at = bytes.find(Example("SkillFireBolt.wid").substr(0, 40));
    ASSERT_NE(at, std::string::npos);
    bytes[at + 20] ^= 0x55;
    const ArchiveCardList damaged = BuildArchiveCardList(dir.write("damaged.zip", bytes));
    ASSERT_EQ(damaged.rows.size(), 4u);
    EXPECT_EQ(damaged.rows[1].memberPath, "SkillFireBolt.wid");
    EXPECT_EQ(damaged.rows[1].problem, kMemberDamaged);
    EXPECT_EQ(damaged.rows[2].problem, "");
    EXPECT_EQ(damaged.stopped, "");
}

TEST_F(ArchiveHostileTest, EncryptedMembersSaySoAndOthersAreRead) {
    const fs::path locked = Archive("locked.zip", ArchiveKind::ZipUtf8, test::ExampleCardEntries(),
                                    "zip:encryption=zipcrypt", "secret");
    const ArchiveCardList list = BuildArchiveCardList(locked);
    ASSERT_EQ(list.rows.size(), 4u);
    for (const ArchiveCardRow& row : list.rows) EXPECT_EQ(row.problem, kMemberEncrypted);
    EXPECT_EQ(list.stopped, "");
}

TEST_F(ArchiveHostileTest, OddNamesAreShownSafelyAndNothingIsWritten) {
    const std::string card = Example("SkillFireBolt.wid");
    const fs::path zip = Archive("names.zip", ArchiveKind::ZipRaw,
                                 {{"../../SkillUp.wid", card},
                                  {"/etc/SkillRoot.wid", card},
                                  {"Skill\x01\x1b[2J.wid", card},
                                  {"Skill\x81.wid", card},
                                  {"./x/./SkillDot.wid", card}});
    const std::set<fs::path> before = FilesUnder(dir.path());
    const ArchiveCardList list = BuildArchiveCardList(zip);
    std::map<std::string, std::string> notes;
    for (const ArchiveCardRow& row : list.rows) notes[row.memberPath] = row.nameNote;
    EXPECT_EQ(notes.size(), 5u);
    EXPECT_EQ(notes["../../SkillUp.wid"], "名前に .. があります");
    EXPECT_EQ(notes["etc/SkillRoot.wid"], "絶対パスの名前です");
    EXPECT_EQ(notes["Skill\uFFFD\uFFFD[2J.wid"], "名前に制御文字があります");
    EXPECT_EQ(notes["Skill\uFFFD.wid"], "名前に文字にならないバイトがあります");
    EXPECT_EQ(notes["x/SkillDot.wid"], "");

    const cli::CliRun run = cli::RunIn({"rate", "--summary", zip.string()});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    EXPECT_NE(run.err.find(zip.string() + "/../../SkillUp.wid: 名前に .. があります"),
              std::string::npos);
    EXPECT_EQ(FilesUnder(dir.path()), before);
    EXPECT_FALSE(fs::exists(dir.path().parent_path().parent_path() / "SkillUp.wid"));
}

}  // namespace
}  // namespace morvat
