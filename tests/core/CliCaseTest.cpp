// SPDX-License-Identifier: MIT
// Command-line runs kept as data: each folder under tests/data/cases holds "args" (one
// argument a line), the input files those arguments name, and "expected.txt", the exact
// output; the run exits with 0 and writes nothing to standard error. It runs inside the
// folder, so paths in the output are the ones in "args".
// Run with MORVAT_WRITE_CASES=1 to write the expected output of a new case.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "CaseData.h"
#include "CliRunner.h"

namespace morvat::cli {
namespace {

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(test::TestDataDir() / "cases")) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Runs with the case folder as the working folder, and goes back whatever happens.
class InFolder {
public:
    explicit InFolder(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(previous_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::filesystem::path previous_;
};

class CliCaseTest : public testing::TestWithParam<std::string> {};

TEST_P(CliCaseTest, PrintsTheExpectedOutput) {
    const std::filesystem::path folder = test::CaseDir(GetParam());
    const std::vector<std::string> args = test::LinesOf(test::ReadFileBytes(folder / "args"));
    ASSERT_FALSE(args.empty()) << "a case needs its arguments in " << folder / "args";
    CliRun run;
    {
        const InFolder inside(folder);
        run = RunIn(args);
    }
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");
    if (std::getenv("MORVAT_WRITE_CASES") != nullptr &&
        !std::filesystem::exists(folder / "expected.txt")) {
        std::ofstream(folder / "expected.txt", std::ios::binary) << run.out;
    }
    ASSERT_TRUE(std::filesystem::exists(folder / "expected.txt"))
        << "no expected output; MORVAT_WRITE_CASES=1 writes it";
    const std::string expected = test::ReadFileBytes(folder / "expected.txt");
    EXPECT_EQ(run.out, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliCaseTest, testing::ValuesIn(CaseNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace morvat::cli
