// SPDX-License-Identifier: MIT
// Folder commands on the worker pool: the summary and the list print the same bytes with
// any number of threads, and thousands of cards never run out of descriptors.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "CardWriter.h"
#include "CliRunner.h"
#include "TempDir.h"
#include "files/CardList.h"

namespace morvat::cli {
namespace {

// Forces the worker count for as long as it lives.
class ThreadsForced {
public:
    explicit ThreadsForced(const char* count) {
        if (const char* old = std::getenv("MORVAT_THREADS")) old_ = old;
        ::setenv("MORVAT_THREADS", count, 1);
    }
    ~ThreadsForced() {
        if (old_) {
            ::setenv("MORVAT_THREADS", old_->c_str(), 1);
        } else {
            ::unsetenv("MORVAT_THREADS");
        }
    }
    ThreadsForced(const ThreadsForced&) = delete;
    ThreadsForced& operator=(const ThreadsForced&) = delete;

private:
    std::optional<std::string> old_;
};

// Each command on every worker count gives what it gave on one thread, byte for byte.
void ExpectSameOnThreads(std::initializer_list<const char*> counts,
                         const std::vector<std::vector<std::string>>& commands,
                         const std::vector<CliRun>& oneThread) {
    for (const char* threads : counts) {
        SCOPED_TRACE(threads);
        ThreadsForced forced(threads);
        for (std::size_t c = 0; c < commands.size(); ++c) {
            const CliRun many = RunIn(commands[c]);
            EXPECT_EQ(many.status, oneThread[c].status);
            EXPECT_EQ(many.out, oneThread[c].out);
            EXPECT_EQ(many.err, oneThread[c].err);
        }
    }
}

std::size_t Count(const std::string& text, std::string_view part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// Card `i` of a mixed folder: most are good, with targets that make the command line warn
// or note on stderr; some are cut short, some have no name the list accepts.
std::string MixedCard(int i) {
    test::WidCardPlan c;
    c.name = test::Sz("Card" + std::to_string(i));
    c.target = static_cast<std::uint8_t>(i % 5);  // 0 warns, 4 notes the side chosen
    c.targetAll = static_cast<std::uint8_t>(i % 2);
    c.motions.motions = {test::ValueMotion(0x40800, 0, 1, 0, i % 40)};
    c.firstBlock = test::Sz(std::string(static_cast<std::size_t>(i % 7) * 3000, 'p'));
    c.level = i % 10;
    if (i % 11 == 3) c.name = test::Sz("a name much too long for the list");
    const test::CardFile file = test::WriteCard(c);
    if (i % 13 == 5) return file.cutAt("level");
    if (i % 17 == 6) return file.bytes.substr(0, 3);
    return file.bytes;
}

TEST(FolderWorkTest, SummaryAndListPrintTheSameWithAnyNumberOfThreads) {
    test::TempDir dir;
    for (int i = 0; i < 300; ++i) dir.write("Skill" + std::to_string(i) + ".wid", MixedCard(i));
    // Unreadable for users other than root; a FIFO and a folder named like cards are no
    // cards at all.
    const auto locked = dir.write("SkillLocked.wid", MixedCard(1));
    ::chmod(locked.c_str(), 0);
    ASSERT_EQ(::mkfifo((dir.path() / "SkillFifo.wid").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "SkillFolder.wid");
    const std::string folder = dir.path().string();
    const std::vector<std::string> summary = {
        "rate", "--summary", folder, folder + "/missing.wid", folder + "/SkillFifo.wid", folder};
    const std::vector<std::string> list = {"list", folder};

    CliRun oneSummary;
    CliRun oneList;
    {
        ThreadsForced one("1");
        oneSummary = RunIn(summary);
        oneList = RunIn(list);
    }
    EXPECT_EQ(oneSummary.status, kExitReadFailed);
    EXPECT_EQ(Count(oneSummary.out, "\n"), 2u * 301u + 2u);
    EXPECT_GT(Count(oneSummary.out, "読み込みに失敗しました"), 40u);
    EXPECT_EQ(Count(oneSummary.out, "ファイルが開けません"), ::geteuid() == 0 ? 2u : 4u);
    EXPECT_GT(Count(oneSummary.err, "対象なしデータです"), 80u);
    EXPECT_EQ(oneList.status, kExitOk);
    EXPECT_GT(Count(oneList.out, "\n"), 200u);

    ExpectSameOnThreads({"2", "7"}, {summary, list}, {oneSummary, oneList});
    ::chmod(locked.c_str(), 0600);
}

// An XML scenario's cards come in Id order, not in file order, and the command line notes
// on stderr what the rating cannot show exactly: the order of both streams must hold on
// any number of threads, as must the rows of cards that fail and of members that are none.
TEST(FolderWorkTest, XmlScenarioCardsKeepTheirOrderWithAnyNumberOfThreads) {
    test::TempDir dir;
    dir.write("Summary.xml", "<Summary/>");
    std::filesystem::create_directory(dir.path() / "SkillCard");
    for (int i = 0; i < 60; ++i) {
        const std::string target = i % 4 == 0 ? "Both" : "Enemy";
        const std::string amount = i % 3 == 0 ? "Fixed" : "Normal";
        // A level out of range lists, but fails to rate: a row with the failure.
        const std::string level = i % 10 == 7 ? "5000" : std::to_string(i % 10);
        std::string xml = "<SkillCard><Property><Id>" + std::to_string(1000 - i * 7 % 61) +
                          "</Id><Name>札" + std::to_string(i) + "</Name><Level>" + level +
                          "</Level><Target>" + target +
                          "</Target></Property><Motions><Motion type=\"Damage\" "
                          "element=\"All\" damagetype=\"" + amount + "\" value=\"" +
                          std::to_string(i % 9 + 1) + "\"/></Motions></SkillCard>";
        if (i % 15 == 4) xml = "<ItemCard><Property><Id>1</Id></Property></ItemCard>";
        char name[16];
        std::snprintf(name, sizeof name, "%02d.xml", i);
        dir.write(std::string("SkillCard/") + name, xml);
    }
    const std::string folder = dir.path().string();
    const std::vector<std::string> summary = {"rate", "--summary", "--header", folder};
    const std::vector<std::string> list = {"list", folder};

    CliRun oneSummary;
    CliRun oneList;
    {
        ThreadsForced one("1");
        oneSummary = RunIn(summary);
        oneList = RunIn(list);
    }
    EXPECT_EQ(oneSummary.status, kExitReadFailed);
    EXPECT_GT(Count(oneSummary.out, "\tok\n"), 40u);
    EXPECT_GT(Count(oneSummary.out, "読み込みに失敗しました"), 4u);
    EXPECT_GT(Count(oneSummary.err, "\n"), 20u);
    EXPECT_GT(Count(oneList.out, "\n"), 40u);

    ExpectSameOnThreads({"2", "5"}, {summary, list}, {oneSummary, oneList});
}

// Lowers the soft limit on open descriptors for as long as it lives.
class DescriptorLimit {
public:
    explicit DescriptorLimit(rlim_t soft) {
        EXPECT_EQ(::getrlimit(RLIMIT_NOFILE, &old_), 0);
        rlimit lowered = old_;
        lowered.rlim_cur = soft;
        EXPECT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    }
    ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &old_); }
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;

private:
    rlimit old_{};
};

TEST(FolderWorkTest, ThousandsOfCardsNeverRunOutOfDescriptors) {
    test::TempDir dir;
    constexpr int kCards = 5000;
    std::size_t named = 0;
    std::size_t broken = 0;
    for (int i = 0; i < kCards; ++i) {
        // Every tenth card breaks off, so the failing paths must close their files too.
        std::string bytes = MixedCard(i % 3 == 0 ? 2 : 1);
        if (i % 10 == 0) {
            bytes.resize(bytes.size() / 2);
            ++broken;
        }
        if (ReadCardListNameFromMemory(bytes)) ++named;
        dir.write("Skill" + std::to_string(i) + ".wid", bytes);
    }
    const std::string folder = dir.path().string();
    DescriptorLimit limit(64);
    for (const char* threads : {"1", "4"}) {
        SCOPED_TRACE(threads);
        ThreadsForced forced(threads);
        EXPECT_EQ(BuildCardList(dir.path()).size(), named);
        const CliRun list = RunIn({"list", folder});
        EXPECT_EQ(Count(list.out, "\n"), named);
        const CliRun summary = RunIn({"rate", "--summary", folder});
        EXPECT_EQ(Count(summary.out, "\n"), static_cast<std::size_t>(kCards));
        EXPECT_EQ(Count(summary.out, "読み込みに失敗しました"), broken);
        EXPECT_EQ(Count(summary.out, "ファイルが開けません"), 0u);
    }
}

}  // namespace
}  // namespace morvat::cli
