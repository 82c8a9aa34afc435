// SPDX-License-Identifier: MIT
// "compare A B" and the items of "rate --json": what differs between two files, how a
// failing file is told, and JSON that a reader takes.
#include <gtest/gtest.h>

#include "Cli.h"
#include "CliRunner.h"
#include "JsonReader.h"
#include "TempDir.h"
#include "TestPaths.h"

namespace morvat::cli {
namespace {

using test::Json;

std::string Example(const char* name) {
    return (test::ExamplesDir() / name).string();
}

// The tables of two comparisons are cases in tests/data/cases (compare-*).

// A card aimed at both sides is rated for the side given, as "rate" does; without one it
// is rated for enemies with the same note.
TEST(CliCompareTest, SideAppliesToBothFiles) {
    const std::string chaos = Example("SkillChaosWave.wid");
    const std::string heal = Example("heal-single.cws");
    CliRun run = RunIn({"compare", "--side", "ally", chaos, heal});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_NE(run.out.find("\n合計\t-1\t223\t+224\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "");

    run = RunIn({"compare", chaos, heal});
    EXPECT_NE(run.out.find("\n合計\t69\t223\t+154\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("--side ally"), std::string::npos);
}

TEST(CliCompareTest, FailingFilesAreToldWithTheStatusOfTheFirst) {
    test::TempDir dir;
    const std::string good = Example("damage-single.cws");
    const std::string missing = (dir.path() / "missing.cws").string();
    const std::string broken = dir.write("short.cws", "0000050\r\n").string();

    CliRun run = RunIn({"compare", good, missing});
    EXPECT_EQ(run.status, kExitCannotOpen);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "morvat-ex-cli: " + missing + ": ファイルが開けません\n");

    run = RunIn({"compare", broken, good});
    EXPECT_EQ(run.status, kExitReadFailed);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "morvat-ex-cli: " + broken + ": 読み込みに失敗しました\n");

    // Both are told, so one run shows everything to fix.
    run = RunIn({"compare", "--json", broken, missing});
    EXPECT_EQ(run.status, kExitReadFailed);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(broken), std::string::npos);
    EXPECT_NE(run.err.find(missing), std::string::npos);
}

TEST(CliCompareTest, WrongArgumentsAreUsageErrors) {
    const std::string file = Example("damage-single.cws");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"compare"},
             {"compare", file},
             {"compare", file, file, file},
             {"compare", "--summary", file, file},
             {"compare", "--side", "both", file, file},
             {"compare", file, file, "--side"},
         }) {
        const CliRun run = RunIn(args);
        EXPECT_EQ(run.status, kExitUsage) << args.size();
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("--help"), std::string::npos);
    }
    const CliRun help = RunIn({"compare", "--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_NE(help.out.find("compare [--side enemy|ally] [--json] A B"), std::string::npos);
}

TEST(CliCompareTest, JsonIsOneObject) {
    const std::string cws = Example("damage-single.cws");
    const std::string card = Example("SkillFireBolt.wid");
    const CliRun run = RunIn({"compare", "--json", cws, card});
    ASSERT_EQ(run.status, kExitOk);
    ASSERT_EQ(run.out.back(), '\n');
    const std::optional<Json> json = test::ParseJson(run.out);
    ASSERT_TRUE(json) << run.out;
    EXPECT_EQ((*json)["a"]["file"].string, cws);
    EXPECT_EQ((*json)["a"]["cardName"].string, "damage-single");
    EXPECT_EQ((*json)["a"]["total"].number, 127);
    EXPECT_EQ((*json)["b"]["cardName"].string, "火炎弾");
    EXPECT_EQ((*json)["b"]["cardLevel"].string, "5");
    EXPECT_EQ((*json)["b"]["skillLevel"].string, "11.7");
    EXPECT_EQ((*json)["totalDifference"].number, -10);
    EXPECT_EQ((*json)["levelDifference"].string, "-1.0");
    const Json& items = (*json)["items"];
    ASSERT_EQ(items.array.size(), 4u);
    EXPECT_EQ(items[0]["phase"].string, "second");
    EXPECT_EQ(items[0]["label"].string, "魔法的物理属性");
    EXPECT_EQ(items[0]["a"].number, 50);
    EXPECT_TRUE(items[0]["b"].isNull());
    EXPECT_EQ(items[0]["difference"].number, -50);
    EXPECT_EQ(items[1]["phase"].string, "last");
    EXPECT_EQ(items[3]["phase"].string, "keycodes");
    EXPECT_TRUE(items[3]["a"].isNull());
    EXPECT_EQ(items[3]["b"].number, 2);
}

// ---------------------------------------------------------------------------------------

TEST(CliRateItemsTest, JsonItemsBesideTheLines) {
    const CliRun run = RunIn({"rate", "--json", Example("SkillChaosWave.wid"), "--side=ally"});
    ASSERT_EQ(run.status, kExitOk);
    const std::optional<Json> json = test::ParseJson(run.out);
    ASSERT_TRUE(json) << run.out;
    // The keys that were there before stay as they were.
    for (const char* key :
         {"file", "cardName", "cardLevel", "total", "skillLevel", "lines", "remarks"}) {
        EXPECT_NE((*json)[key].type, Json::Type::Null) << key;
    }
    EXPECT_EQ((*json)["total"].number, -1);
    EXPECT_EQ((*json)["skillLevel"].numberText, "-0.1");
    EXPECT_EQ((*json)["cardLevel"].numberText, "7");
    struct Expected {
        const char* phase;
        const char* label;
        std::int64_t points;
        const char* formula;  // nullptr: null
    };
    const Expected expected[] = {
        {"second", "成功率修正", 0, "<0>*<-1>*0.15"},
        {"last", "範囲-全体", 0, "<0>/4"},
        {"last", "使用時回避力修正", -2, nullptr},
        {"last", "使用時防御力修正", 1, nullptr},
        {"remarks", "ダメージは無視されました", 0, nullptr},
        {"remarks", "精神異常は無視されました", 0, nullptr},
        {"remarks", "回避力非上昇は無視されました", 0, nullptr},
    };
    const Json& items = (*json)["items"];
    ASSERT_EQ(items.array.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].label);
        EXPECT_EQ(items[i].object.size(), 4u);
        EXPECT_EQ(items[i]["phase"].string, expected[i].phase);
        EXPECT_EQ(items[i]["label"].string, expected[i].label);
        EXPECT_EQ(items[i]["points"].number, expected[i].points);
        if (expected[i].formula == nullptr) {
            EXPECT_TRUE(items[i]["formula"].isNull());
        } else {
            EXPECT_EQ(items[i]["formula"].string, expected[i].formula);
        }
    }
}

TEST(CliRateItemsTest, JsonReaderRefusesWhatIsNotJson) {
    for (const char* text : {"", "{", "{\"a\":1,}", "[1 2]", "{\"a\":01}", "\"\x01\"", "nul",
                             "{\"a\":1}{", "{\"a\":1,\"a\":2}", "\"\\x\"", "[1.]", "[.5]"}) {
        EXPECT_FALSE(test::ParseJson(text)) << text;
    }
    const std::optional<Json> ok = test::ParseJson(" {\"a\":[true,false,null,-3,\"\\u0001é\"]} ");
    ASSERT_TRUE(ok);
    EXPECT_TRUE((*ok)["a"][0].boolean);
    EXPECT_FALSE((*ok)["a"][1].boolean);
    EXPECT_EQ((*ok)["a"][3].number, -3);
    EXPECT_EQ((*ok)["a"][4].string, "\x01é");
}

}  // namespace
}  // namespace morvat::cli
