// SPDX-License-Identifier: MIT
// Card files read by position: a file that changes size between its fstat and the read,
// reads interrupted by signals, reads the system refuses, and the same card given as bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <string>

#include "CardWriter.h"
#include "SystemCallHooks.h"
#include "TempDir.h"
#include "files/CardList.h"
#include "files/LoadFlows.h"
#include "files/RegularFile.h"
#include "files/WidReader.h"
#include "files/WidStream.h"

namespace morvat {
namespace {

using test::WidCardPlan;
using test::WriteCard;

// What the pread seam does on each call; it sees the call's number, counted from 1.
std::function<ssize_t(int, void*, std::size_t, off_t, int)> g_preadPlan;
int g_preadCalls = 0;

ssize_t PlannedPread(int fd, void* buffer, std::size_t count, off_t offset) {
    return g_preadPlan(fd, buffer, count, offset, ++g_preadCalls);
}

// Puts the plan in place of the system's pread for as long as it lives.
class PreadSeam {
public:
    explicit PreadSeam(std::function<ssize_t(int, void*, std::size_t, off_t, int)> plan) {
        g_preadPlan = std::move(plan);
        g_preadCalls = 0;
        SetPreadForTesting(&PlannedPread);
    }
    ~PreadSeam() {
        SetPreadForTesting(nullptr);
        g_preadPlan = nullptr;
    }
    PreadSeam(const PreadSeam&) = delete;
    PreadSeam& operator=(const PreadSeam&) = delete;
    int calls() const { return g_preadCalls; }
};

WidCardPlan Card(std::size_t firstBlock) {
    WidCardPlan c;
    c.firstBlock = test::Sz(std::string(firstBlock, 'p'));
    c.name = test::Sz("Fire");
    c.target = 3;
    c.motions.motions = {test::ValueMotion(0x40800, 5, 1, 0, 12),
                         test::ValueMotion(0x40801, 1, 2, 1, 5)};
    c.keyCodes[1] = test::Sz("\x89\x93\x8b\x97\x97\xa3\x8d\x55\x8c\x82");
    c.events.events = {test::EventOf({test::Content(1), test::Content(2)})};
    c.level = 9;
    return c;
}

struct Read {
    std::int32_t code = -1;
    WidCard card;
    EffectCollection effects;
};

Read FromFile(const std::filesystem::path& path) {
    Read read;
    const RegularFile file(path);
    EXPECT_TRUE(file.IsOpen());
    read.code = ReadWidCardFile(file, read.card, read.effects);
    return read;
}

// As the editor and the summary read a card: opened unchecked, read with the fewest calls.
// `opened` tells whether the file stayed open, that is, was not refused as no regular file.
Read FromUncheckedFile(const std::filesystem::path& path, bool* opened = nullptr) {
    Read read;
    RegularFile file = RegularFile::OpenUnchecked(AT_FDCWD, path.c_str());
    EXPECT_TRUE(file.IsOpen());
    read.code = ReadWidCardUnchecked(file, read.card, read.effects);
    if (opened != nullptr) *opened = file.IsOpen();
    return read;
}

Read FromBytes(const std::string& bytes) {
    Read read;
    read.code = ReadWidCardFromBytes(bytes, read.card, read.effects);
    return read;
}

void ExpectSameRead(const Read& actual, const Read& expected) {
    EXPECT_EQ(actual.code, expected.code);
    EXPECT_TRUE(actual.card == expected.card);
    EXPECT_TRUE(actual.effects == expected.effects);
}

// Cards with a small picture and with one of 20 KiB are read whole with one read; a first
// block of 1 MiB makes the reader go by chunks.
const std::size_t kFirstBlocks[] = {100, 20 * 1024, std::size_t{1} << 20};

TEST(CardFileReadTest, FileThatChangesSizeAfterOpeningIsReadToTheShorterSize) {
    for (const std::size_t firstBlock : kFirstBlocks) {
        SCOPED_TRACE(firstBlock);
        const test::CardFile card = WriteCard(Card(firstBlock));
        const std::string cut = card.cutAt("level", 2);
        ASSERT_EQ(FromBytes(cut).code, 541);
        test::TempDir dir;

        // Shrinks after the fstat: read as the shorter file, however far it was cut.
        for (const std::size_t keep : {cut.size(), std::size_t{3}, std::size_t{0}}) {
            SCOPED_TRACE(keep);
            const auto path = dir.write("Skill1.wid", card.bytes);
            PreadSeam seam([&](int fd, void* buffer, std::size_t count, off_t offset, int call) {
                if (call == 1) {
                    EXPECT_EQ(::truncate(path.c_str(), static_cast<off_t>(keep)), 0);
                }
                return ::pread(fd, buffer, count, offset);
            });
            ExpectSameRead(FromFile(path), FromBytes(card.bytes.substr(0, keep)));
        }

        // Grows after the fstat: read as it was, never past what it held then.
        const auto path = dir.write("Skill2.wid", cut);
        PreadSeam seam([&](int fd, void* buffer, std::size_t count, off_t offset, int call) {
            if (call == 1) {
                std::ofstream grow(path, std::ios::binary | std::ios::app);
                grow << card.bytes.substr(cut.size()) << std::string(100000, 'g');
            }
            return ::pread(fd, buffer, count, offset);
        });
        ExpectSameRead(FromFile(path), FromBytes(cut));
    }
}

TEST(CardFileReadTest, InterruptedAndPartialReadsAreRetried) {
    for (const std::size_t firstBlock : kFirstBlocks) {
        SCOPED_TRACE(firstBlock);
        const test::CardFile card = WriteCard(Card(firstBlock));
        test::TempDir dir;
        const auto path = dir.write("Skill1.wid", card.bytes);
        // Every other call is interrupted; the others deliver at most 1000 bytes.
        PreadSeam seam([](int fd, void* buffer, std::size_t count, off_t offset, int call) {
            if (call % 2 == 1) {
                errno = EINTR;
                return ssize_t{-1};
            }
            return ::pread(fd, buffer, std::min<std::size_t>(count, 1000), offset);
        });
        const Read read = FromFile(path);
        ExpectSameRead(read, FromBytes(card.bytes));
        EXPECT_EQ(read.code, 0);
        EXPECT_EQ(ReadCardListName(path), ReadCardListNameFromMemory(card.bytes));
        EXPECT_EQ(ReadCardListName(path), "Fire" + std::string(9, ' '));
    }
}

TEST(CardFileReadTest, RefusedReadEndsTheReadWithTheReadFailure) {
    for (const std::size_t firstBlock : kFirstBlocks) {
        for (const int failingCall : {1, 2}) {
            SCOPED_TRACE(std::to_string(firstBlock) + " bytes, call " + std::to_string(failingCall));
            test::TempDir dir;
            const auto path = dir.write("Skill1.wid", WriteCard(Card(firstBlock)).bytes);
            PreadSeam seam([&](int fd, void* buffer, std::size_t count, off_t offset, int call) {
                if (call == failingCall) {
                    errno = EIO;
                    return ssize_t{-1};
                }
                return ::pread(fd, buffer, count, offset);
            });
            const Read read = FromFile(path);
            // A card of up to a chunk is one read: a failure at its second call never comes.
            if (firstBlock < WidStream::kChunkSize && failingCall == 2) {
                EXPECT_EQ(read.code, 0);
                continue;
            }
            EXPECT_EQ(read.code, kWidReadError);
            EXPECT_EQ(seam.calls(), failingCall) << "read on after a refused read";
        }
    }
    // The card list gives no row for a card whose name cannot be read.
    test::TempDir dir;
    const auto path = dir.write("Skill1.wid", WriteCard(Card(100)).bytes);
    for (const int failingCall : {1, 2}) {
        PreadSeam seam([&](int fd, void* buffer, std::size_t count, off_t offset, int call) {
            if (call == failingCall) {
                errno = EIO;
                return ssize_t{-1};
            }
            return ::pread(fd, buffer, count, offset);
        });
        EXPECT_EQ(ReadCardListName(path), std::nullopt);
        EXPECT_EQ(seam.calls(), failingCall);
    }
}

TEST(CardFileReadTest, SmallCardIsOneReadAndALargePictureIsPassedOverUnread) {
    for (const std::size_t firstBlock :
         {std::size_t{20 * 1024}, std::size_t{100 * 1024}, std::size_t{900 * 1024}}) {
        SCOPED_TRACE(firstBlock);
        const test::CardFile card = WriteCard(Card(firstBlock));
        test::TempDir dir;
        const auto path = dir.write("Skill1.wid", card.bytes);
        std::size_t asked = 0;
        PreadSeam seam([&](int fd, void* buffer, std::size_t count, off_t offset, int) {
            asked += count;
            return ::pread(fd, buffer, count, offset);
        });
        ExpectSameRead(FromFile(path), FromBytes(card.bytes));
        if (card.bytes.size() <= WidStream::kChunkSize) {
            EXPECT_EQ(seam.calls(), 1) << "a card of up to a chunk is read whole at once";
            EXPECT_EQ(asked, card.bytes.size());
        } else {
            EXPECT_EQ(seam.calls(), 2) << "the head, then the rest behind the picture";
            EXPECT_LE(asked, card.bytes.size() - firstBlock + WidStream::kHeadSize);
        }
    }
}

class NoQuestions : public LoadPrompts {
public:
    void WarnNoTarget() override {}
    bool AskEnemySide() override { return true; }
};

// The editor and the summary open a card without its fstat and read it with one call when
// that call comes back short with a card. Whatever else happens, the read gives what the
// careful read (fstat, then reads of the known size) gives for the file as it then is.
TEST(CardFileReadTest, UncheckedReadIsOneCallOrGivesWhatTheCarefulReadGives) {
    for (const std::size_t firstBlock : kFirstBlocks) {
        SCOPED_TRACE(firstBlock);
        const test::CardFile card = WriteCard(Card(firstBlock));
        const bool small = card.bytes.size() < WidStream::kChunkSize;
        test::TempDir dir;
        const auto path = dir.write("Skill1.wid", card.bytes);
        {
            test::FstatCounter fstats;
            PreadSeam seam([](int fd, void* buffer, std::size_t count, off_t offset, int) {
                return ::pread(fd, buffer, count, offset);
            });
            ExpectSameRead(FromUncheckedFile(path), FromBytes(card.bytes));
            if (small) {
                EXPECT_EQ(seam.calls(), 1);
                EXPECT_EQ(fstats.count(), 0);
            } else {
                EXPECT_EQ(fstats.count(), 1) << "a card larger than a chunk is read carefully";
            }
        }
        // With a limit below a chunk, the careful way at once.
        {
            Read read;
            RegularFile file = RegularFile::OpenUnchecked(AT_FDCWD, path.c_str());
            read.code = ReadWidCardUnchecked(file, read.card, read.effects, 0);
            ExpectSameRead(read, FromBytes(card.bytes));
        }
        // A first read that gives less than the file holds (a signal, a network file
        // system) stops inside the motions: their effects are undone before the careful
        // read adds them again.
        {
            const std::size_t partial = card.offsetOf("motions[1].type");
            PreadSeam seam([&](int fd, void* buffer, std::size_t count, off_t offset, int call) {
                return ::pread(fd, buffer, call == 1 ? std::min(count, partial) : count, offset);
            });
            ExpectSameRead(FromUncheckedFile(path), FromBytes(card.bytes));
        }
        // Interrupted calls are made again; one that then gives part of the file leaves
        // the rest to the careful read.
        {
            PreadSeam seam([](int fd, void* buffer, std::size_t count, off_t offset, int call) {
                if (call % 2 == 1) {
                    errno = EINTR;
                    return ssize_t{-1};
                }
                return ::pread(fd, buffer, std::min<std::size_t>(count, 1000), offset);
            });
            ExpectSameRead(FromUncheckedFile(path), FromBytes(card.bytes));
        }
        // A card that does not read is read again carefully, to the same failure.
        const std::string cut = card.cutAt("level", 2);
        ExpectSameRead(FromUncheckedFile(dir.write("Skill2.wid", cut)), FromBytes(cut));
        // A file that shrinks or grows after it was opened is read as it is when read.
        const auto changing = dir.write("Skill3.wid", cut);
        PreadSeam seam([&](int fd, void* buffer, std::size_t count, off_t offset, int call) {
            if (call == 1) {
                std::ofstream grow(changing, std::ios::binary | std::ios::app);
                grow << card.bytes.substr(cut.size());
            }
            return ::pread(fd, buffer, count, offset);
        });
        ExpectSameRead(FromUncheckedFile(changing), FromBytes(card.bytes));
        EXPECT_EQ(::truncate(changing.c_str(), 3), 0);
        ExpectSameRead(FromUncheckedFile(changing), FromBytes(card.bytes.substr(0, 3)));
    }
}

// What is no regular file is refused as the careful open refuses it, without a wait on a
// FIFO or a read that runs on; a regular file whose read fails gives the read failure.
TEST(CardFileReadTest, UncheckedReadRefusesWhatIsNoRegularFile) {
    test::TempDir dir;
    const auto fifo = dir.path() / "Skill1.wid";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto folder = dir.path() / "Skill2.wid";
    std::filesystem::create_directory(folder);
    for (const std::filesystem::path& path :
         {fifo, folder, std::filesystem::path("/dev/null"), std::filesystem::path("/dev/zero")}) {
        SCOPED_TRACE(path.string());
        bool opened = true;
        FromUncheckedFile(path, &opened);
        EXPECT_FALSE(opened);
        EditorState editor;
        editor.ObCardname = "kept";
        NoQuestions prompts;
        EXPECT_EQ(ReadSkillCard(path, editor, prompts).status, LoadStatus::CannotOpen);
        EXPECT_EQ(editor.ObCardname, "kept");
    }
    // A file that did not open, or whose size was never asked, gives the read failure.
    const auto missing = dir.path() / "Skill4.wid";
    Read read;
    RegularFile notOpened(missing);
    EXPECT_EQ(ReadWidCardFile(notOpened, read.card, read.effects), kWidReadError);
    EXPECT_EQ(ReadWidCardUnchecked(notOpened, read.card, read.effects), kWidReadError);
    const auto path = dir.write("Skill3.wid", WriteCard(Card(100)).bytes);
    EXPECT_EQ(ReadWidCardFile(RegularFile::OpenUnchecked(AT_FDCWD, path.c_str()), read.card,
                              read.effects),
              kWidReadError);
    PreadSeam seam([](int, void*, std::size_t, off_t, int) {
        errno = EIO;
        return ssize_t{-1};
    });
    bool opened = false;
    EXPECT_EQ(FromUncheckedFile(path, &opened).code, kWidReadError);
    EXPECT_TRUE(opened);
    EXPECT_EQ(seam.calls(), 1) << "read on after a refused read";
}

TEST(CardFileReadTest, LoadFlowReportsARefusedReadAndKeepsTheEditor) {
    test::TempDir dir;
    const auto path = dir.write("Skill1.wid", WriteCard(Card(100)).bytes);
    EditorState editor;
    editor.ObCardname = "kept";
    NoQuestions prompts;
    PreadSeam seam([](int, void*, std::size_t, off_t, int) {
        errno = EIO;
        return ssize_t{-1};
    });
    const LoadOutcome outcome = ReadSkillCard(path, editor, prompts);
    EXPECT_EQ(outcome.status, LoadStatus::ReadFailed);
    EXPECT_EQ(outcome.code, kWidReadError);
    EXPECT_EQ(editor.ObCardname, "kept");
}

// The bytes of a card give what its file gives, including when they end early.
TEST(CardFileReadTest, BytesReadLikeTheFile) {
    const test::CardFile card = WriteCard(Card(300));
    test::TempDir dir;
    for (const std::size_t size : {card.bytes.size(), card.offsetOf("level"),
                                   card.offsetOf("name.bytes") + 2, std::size_t{2}, std::size_t{0}}) {
        SCOPED_TRACE(size);
        const std::string bytes = card.bytes.substr(0, size);
        const auto path = dir.write("Skill1.wid", bytes);
        ExpectSameRead(FromBytes(bytes), FromFile(path));
        EXPECT_EQ(ReadCardListNameFromMemory(bytes), ReadCardListName(path));
    }
}

// Each thread keeps one buffer for the cards it reads; two reads alive at once on one thread
// must still each read their own bytes, whole or by chunks, and the buffer is taken again
// once it is free.
TEST(CardFileReadTest, TwoReadsAliveOnOneThreadKeepTheirOwnBytes) {
    test::TempDir dir;
    const RegularFile first(dir.write("SkillA.wid", std::string("\x01\0\0\0\x02\0\0\0", 8)));
    const RegularFile second(dir.write("SkillB.wid", std::string("\x07\0\0\0\x08\0\0\0", 8)));
    for (const std::int64_t wholeReadLimit : {kWidWholeReadLimit, std::int64_t{0}}) {
        SCOPED_TRACE(wholeReadLimit);
        WidStream a(first, wholeReadLimit);
        EXPECT_EQ(a.Int32(1), 1);
        {
            WidStream b(second, wholeReadLimit);
            EXPECT_EQ(b.Int32(1), 7);
            EXPECT_EQ(a.Int32(1), 2);
            EXPECT_EQ(b.Int32(1), 8);
        }
        WidStream again(second, wholeReadLimit);
        EXPECT_EQ(again.Int32(1), 7);
        EXPECT_EQ(again.Int32(1), 8);
    }
}

}  // namespace
}  // namespace morvat
