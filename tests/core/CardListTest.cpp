// SPDX-License-Identifier: MIT
// The card list of a folder: which files get a row, what the row shows, and that hostile
// folder entries are left out without blocking.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

#include "SystemCallHooks.h"
#include "TempDir.h"
#include "Unprivileged.h"
#include "files/CardList.h"
#include "files/WidReader.h"

namespace morvat {
namespace {

using namespace std::string_literals;

// Shift-JIS: "遠距離攻撃" then "暗" (six double-byte characters) and "殺".
const std::string kSixWide = "\x89\x93\x8b\x97\x97\xa3\x8d\x55\x8c\x82\x88\xc3"s;
const std::string kSeventhWide = "\x8e\x45"s;

std::string Int32Bytes(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
    return b;
}

// The start of a card file: tag, first block, name length and name bytes.
std::string CardStart(const std::string& nameBytes, std::int32_t nameLength,
                      const std::string& firstBlock = "first block\0"s) {
    return "\x05"s + Int32Bytes(static_cast<std::int32_t>(firstBlock.size())) + firstBlock +
           Int32Bytes(nameLength) + nameBytes;
}

std::string Card(const std::string& name) {
    const std::string withNul = name + '\0';
    // Bytes after the name stand for the rest of the card, which the list never reads.
    return CardStart(withNul, static_cast<std::int32_t>(withNul.size())) + "rest of the card"s;
}

// The name read from a file, after checking that a stream of the same bytes (as the fuzzer
// reads) gives the same.
std::optional<std::string> NameOf(const std::string& bytes) {
    test::TempDir dir;
    const std::optional<std::string> fromFile = ReadCardListName(dir.write("Skill1.wid", bytes));
    std::string copy = bytes.empty() ? std::string(1, '\0') : bytes;
    std::FILE* stream = fmemopen(copy.data(), bytes.size(), "rb");
    EXPECT_NE(stream, nullptr);
    if (stream != nullptr) {
        EXPECT_EQ(ReadCardListName(stream), fromFile) << "stream and file disagree";
        std::fclose(stream);
    }
    return fromFile;
}

std::string Padded(const std::string& name) {
    return name + std::string(kCardListNameWidth - name.size(), ' ');
}

TEST(CardListNameTest, NameIsCutAtTheFirstNulAndPaddedToThirteenBytes) {
    EXPECT_EQ(NameOf(CardStart("", 0)), std::string(13, ' '));
    EXPECT_EQ(NameOf(CardStart("\0"s, 1)), std::string(13, ' '));
    EXPECT_EQ(NameOf(Card("Fire")), Padded("Fire"));
    EXPECT_EQ(NameOf(CardStart("AB\0CD\0"s, 6)), Padded("AB"));
    EXPECT_EQ(NameOf(CardStart("ABCDEFGHIJKLM", 13)), "ABCDEFGHIJKLM");
    // The tag is not tested here: a card with another first byte still shows its name.
    std::string otherTag = Card("Ice");
    otherTag[0] = '\x04';
    EXPECT_EQ(NameOf(otherTag), Padded("Ice"));
    EXPECT_EQ(NameOf(CardStart("Wind\0"s, 5, "")), Padded("Wind"));
}

TEST(CardListNameTest, SixDoubleByteCharactersFitSevenDoNot) {
    EXPECT_EQ(NameOf(Card(kSixWide)), kSixWide + " ");
    EXPECT_EQ(NameOf(Card(kSixWide + kSeventhWide)), std::nullopt);
    EXPECT_EQ(NameOf(CardStart(kSixWide + "A\0"s, 14)), std::nullopt);
}

TEST(CardListNameTest, NegativeLengthsGiveNoName) {
    EXPECT_EQ(NameOf(CardStart("A\0"s, -1)), std::nullopt);
    EXPECT_EQ(NameOf(CardStart("A\0"s, INT32_MIN)), std::nullopt);
    // A first block of -5 would move back onto the tag.
    const std::string backwards = "\x05"s + Int32Bytes(-5) + Int32Bytes(1) + "\0"s;
    EXPECT_EQ(NameOf(backwards), std::nullopt);
}

TEST(CardListNameTest, EveryTruncationGivesNoName) {
    const std::string card = CardStart("Thunder\0"s, 8);
    ASSERT_EQ(NameOf(card), Padded("Thunder"));
    for (std::size_t size = 0; size < card.size(); ++size) {
        EXPECT_EQ(NameOf(card.substr(0, size)), std::nullopt) << "size " << size;
    }
    // A first block that claims more than the file holds.
    EXPECT_EQ(NameOf("\x05"s + Int32Bytes(INT32_MAX) + Int32Bytes(0)), std::nullopt);
}

// The name lies after the first block wherever that ends: a block longer than any small
// read or stream buffer must be passed, not read into one.
TEST(CardListNameTest, NameAfterAFirstBlockOfSixtyFourKibibytesAndMore) {
    for (const std::size_t size : {std::size_t{65535}, std::size_t{65536}, std::size_t{200000}}) {
        const std::string firstBlock(size, '\x7f');
        const std::string bytes = CardStart("Deep\0"s, 5, firstBlock) + "rest"s;
        EXPECT_EQ(NameOf(bytes), Padded("Deep")) << size;
        test::TempDir dir;
        dir.write("Skill1.wid", bytes);
        const std::vector<CardListRow> rows = BuildCardList(dir.path());
        ASSERT_EQ(rows.size(), 1u) << size;
        EXPECT_EQ(rows[0].paddedName, Padded("Deep")) << size;
    }
}

TEST(CardListMaskTest, MatchesSkillStarWidIgnoringAsciiCase) {
    for (const char* name : {"Skill1.wid", "SKILL1.WID", "skill1.wid", "sKiLl_x.WiD", "Skill.wid",
                             "Skill.wid.wid", "Skill 2 copy.wid"}) {
        EXPECT_TRUE(MatchesSkillMask(name)) << name;
    }
    for (const char* name :
         {"Skil.wid", "Skillwid", "Skill1.wid.bak", "MySkill1.wid", "Skill1.wi", "Item1.wid",
          "Skill1.cws", "", "Skill.wi", "\xef\xbc\xb3kill1.wid", "Skill1.wİd"}) {
        EXPECT_FALSE(MatchesSkillMask(name)) << name;
    }
}

TEST(CardListTest, RowsFollowFileNameBytesAndSkipOtherFiles) {
    test::TempDir dir;
    dir.write("Skill2.wid", Card("Two"));
    dir.write("skill3.WID", Card("Three"));
    dir.write("Skill10.wid", Card("Ten"));
    dir.write("Skill1.wid", Card("One"));
    dir.write("Item1.wid", Card("Item"));
    dir.write("Skill1.cws", Card("Cws"));

    const std::vector<CardListRow> rows = BuildCardList(dir.path());
    ASSERT_EQ(rows.size(), 4u);
    const char* files[] = {"Skill1.wid", "Skill10.wid", "Skill2.wid", "skill3.WID"};
    const char* names[] = {"One", "Ten", "Two", "Three"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].fileName, files[i]);
        EXPECT_EQ(rows[i].paddedName, Padded(names[i]));
        EXPECT_EQ(rows[i].path, dir.path() / files[i]);
    }
    EXPECT_EQ(rows[0].displayText(), "One          Skill1.wid");
    EXPECT_EQ(ListSkillFiles(dir.path()).size(), 4u);
}

TEST(CardListTest, HostileEntriesAreLeftOutWithoutBlocking) {
    test::TempDir dir;
    dir.write("Skill01.wid", Card("First"));
    ASSERT_EQ(::mkfifo((dir.path() / "Skill02.wid").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "Skill03.wid");
    dir.write("Skill03.wid/Skill1.wid", Card("Nested"));
    std::filesystem::create_symlink(dir.path() / "missing", dir.path() / "Skill04.wid");
    std::filesystem::create_symlink(dir.path() / "Skill05.wid", dir.path() / "Skill05.wid");
    std::filesystem::create_symlink("/dev/zero", dir.path() / "Skill06.wid");
    dir.write("Skill07.wid", Card("Truncated").substr(0, 12));
    dir.write("Skill08.wid", Card(kSixWide + kSeventhWide));
    dir.write("Skill09.wid", "");
    std::filesystem::create_symlink("Skill01.wid", dir.path() / "Skill10.wid");
    dir.write("Skill11.wid", Card("Last"));

    std::vector<std::string> shown;
    for (const auto& row : BuildCardList(dir.path())) shown.push_back(row.fileName);
    EXPECT_EQ(shown, (std::vector<std::string>{"Skill01.wid", "Skill10.wid", "Skill11.wid"}));
}

// The list opens each listed card without looking at it again; an entry that is no longer
// a regular file when its name is read gives no row, and nothing waits or reads on.
TEST(CardListTest, EntryThatChangesAfterTheListingGivesNoRowWithoutBlocking) {
    test::TempDir dir;
    dir.write("Skill1.wid", Card("First"));
    dir.write("Skill2.wid", Card("Second"));
    const SkillFolder folder(dir.path());
    ASSERT_EQ(folder.cardNames(), (std::vector<std::string>{"Skill1.wid", "Skill2.wid"}));
    std::filesystem::remove(dir.path() / "Skill1.wid");
    ASSERT_EQ(::mkfifo((dir.path() / "Skill1.wid").c_str(), 0600), 0);
    std::filesystem::remove(dir.path() / "Skill2.wid");
    std::filesystem::create_directory(dir.path() / "Skill2.wid");
    for (const std::string& name : folder.cardNames()) {
        SCOPED_TRACE(name);
        RegularFile file = folder.Open(name);
        ASSERT_TRUE(file.IsOpen());
        unsigned char head[5];
        EXPECT_TRUE(file.ReadAt(0, head, sizeof head).failed);
        WidCard card;
        EffectCollection effects;
        ReadWidCardUnchecked(file, card, effects);
        EXPECT_FALSE(file.IsOpen()) << "a card to rate is refused once its read fails";
    }
}

TEST(CardListTest, UnreadableFileBeforeAReadableOneKeepsTheRightPath) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
    test::TempDir dir;
    const auto locked = dir.write("Skill1.wid", Card("Locked"));
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const auto open = dir.write("Skill2.wid", Card("Open"));
    const auto rows = BuildCardList(dir.path());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].path, open);
    EXPECT_EQ(rows[0].paddedName, Padded("Open"));
}

TEST(CardListTest, FoldersThatCannotBeListedGiveNoRows) {
    test::TempDir dir;
    EXPECT_TRUE(BuildCardList(dir.path()).empty());
    EXPECT_TRUE(BuildCardList(dir.path() / "missing").empty());
    EXPECT_TRUE(BuildCardList(dir.write("Skill1.wid", Card("File"))).empty());
    EXPECT_TRUE(BuildCardList("").empty());
    if (::geteuid() != 0) {
        const auto locked = dir.path() / "locked";
        std::filesystem::create_directory(locked);
        dir.write("locked/Skill1.wid", Card("Hidden"));
        std::filesystem::permissions(locked, std::filesystem::perms::none);
        EXPECT_TRUE(BuildCardList(locked).empty());
    }
}

// Lowers the limit of open descriptors to a few above those open now, for as long as it lives.
class FewDescriptors {
public:
    explicit FewDescriptors(rlim_t spare) {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        int highest = 2;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            highest = std::max(highest, std::stoi(entry.path().filename().string()));
        }
        rlimit low = saved_;
        low.rlim_cur = static_cast<rlim_t>(highest) + 1 + spare;
        EXPECT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    }
    ~FewDescriptors() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
    FewDescriptors(const FewDescriptors&) = delete;
    FewDescriptors& operator=(const FewDescriptors&) = delete;

private:
    rlimit saved_{};
};

// A list that kept a descriptor per card or per listing would run out long before this:
// the loader dialog lists folders of thousands of cards, and lists them again on request.
TEST(CardListTest, ListingKeepsNoDescriptorOpen) {
    test::TempDir dir;
    for (int i = 0; i < 40; ++i) dir.write("Skill" + std::to_string(100 + i) + ".wid", Card("C"));
    dir.write("Skill999.wid", "\x05"s);  // a card that gives no name
    const FewDescriptors limit(8);
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(BuildCardList(dir.path()).size(), 40u) << "listing " << round;
        ASSERT_EQ(ListSkillFiles(dir.path()).size(), 41u) << "listing " << round;
        ASSERT_TRUE(ReadCardListName(dir.path() / "Skill100.wid")) << "listing " << round;
    }
}

// A read interrupted by a signal is tried again; the card is not left out for it.
TEST(CardListTest, InterruptedReadsAreRetried) {
    test::TempDir dir;
    dir.write("Skill1.wid", Card("One"));
    dir.write("Skill2.wid", Card("Two"));
    dir.write("Skill3.wid", CardStart("Cut"s, 9));  // ends inside its name: no row
    const test::PreadInterruptions interrupted;
    const std::vector<CardListRow> rows = BuildCardList(dir.path());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].paddedName, Padded("One"));
    EXPECT_EQ(rows[1].paddedName, Padded("Two"));
    EXPECT_EQ(ReadCardListName(dir.path() / "Skill2.wid"), Padded("Two"));
    EXPECT_GE(interrupted.count(), 4) << "the reads went through the interrupting hook";
}

// An empty folder and one that cannot be read both give no rows; only the problem tells
// them apart, and the command line and the loader dialog report it.
TEST(CardListTest, FolderProblemTellsAnUnreadableFolderFromAnEmptyOne) {
    test::TempDir dir;
    FolderProblem problem{FolderProblem::Kind::ReadFailed, 5};
    EXPECT_TRUE(BuildCardList(dir.path(), &problem).empty());
    EXPECT_FALSE(problem) << "an empty folder is no problem";

    const auto file = dir.write("Skill1.wid", Card("File"));
    for (const std::filesystem::path& folder :
         {dir.path() / "missing", file, std::filesystem::path()}) {
        SCOPED_TRACE(folder);
        problem = {};
        EXPECT_TRUE(BuildCardList(folder, &problem).empty());
        EXPECT_EQ(problem.kind, FolderProblem::Kind::CannotOpen);
        EXPECT_NE(problem.error, 0);
        problem = {};
        EXPECT_TRUE(ListSkillFiles(folder, &problem).empty());
        EXPECT_EQ(problem.kind, FolderProblem::Kind::CannotOpen);
    }

    const auto locked = dir.path() / "locked";
    std::filesystem::create_directory(locked);
    dir.write("locked/Skill1.wid", Card("Hidden"));
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    test::LetOthersIn(dir.path());
    test::Unprivileged user;
    if (!user.usable()) GTEST_SKIP() << "cannot step down from root";
    problem = {};
    EXPECT_TRUE(BuildCardList(locked, &problem).empty());
    EXPECT_EQ(problem.kind, FolderProblem::Kind::CannotOpen);
    EXPECT_EQ(problem.error, EACCES);
    problem = {};
    EXPECT_TRUE(ListSkillFiles(locked, &problem).empty());
    EXPECT_EQ(problem.kind, FolderProblem::Kind::CannotOpen);
}

TEST(CardListTest, DisplayTextShowsShiftJisNamesAndFileNamesAsUtf8) {
    test::TempDir dir;
    // "スキル" in Shift-JIS: not UTF-8, as an archive unpacked from a Japanese system leaves it.
    const std::string shiftJisFile = "Skill\x83\x58\x83\x4c\x83\x8b.wid"s;
    dir.write(shiftJisFile, Card(kSixWide));
    dir.write("Skill\xe7\x82\x8e.wid", Card("Fire"));  // "炎" in UTF-8 stays as it is
    dir.write("Skill\xff.wid", Card("Odd"));           // neither: shown with a replacement

    const auto rows = BuildCardList(dir.path());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].fileName, shiftJisFile);
    EXPECT_EQ(rows[0].displayText(), "遠距離攻撃暗 Skillスキル.wid");
    EXPECT_EQ(rows[1].displayText(), "Fire         Skill炎.wid");
    EXPECT_EQ(rows[2].displayText(), "Odd          Skill\xef\xbf\xbd.wid");
}

TEST(CardListTest, NameCutInsideADoubleByteCharacterStillDisplays) {
    test::TempDir dir;
    // 13 bytes without a NUL, the last one a lead byte whose partner never came.
    dir.write("Skill1.wid", CardStart(kSixWide + "\x88"s, 13));
    const auto rows = BuildCardList(dir.path());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].displayText(), "遠距離攻撃暗\xef\xbf\xbdSkill1.wid");
}

}  // namespace
}  // namespace morvat
