// SPDX-License-Identifier: MIT
// Card files read by position: a file that changes size between its fstat and the read,
// reads interrupted by signals, reads the system refuses, and the same card given as bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <string>

#include "CardWriter.h"
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

// A card with a small picture is read whole with one read; one with a picture of 20 KiB in
// two, its head and then past the picture; a first block of 1 MiB makes the reader go by
// chunks.
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
