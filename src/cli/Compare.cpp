// SPDX-License-Identifier: MIT
// "compare A B": two files rated side by side. Authors check what a change to a card was
// worth, players what sets two cards apart; both want the items that differ, not two
// full reports to read against each other.
#include <array>

#include "Commands.h"
#include "Json.h"
#include "calc/Comparison.h"
#include "calc/Rating.h"
#include "model/SkillRecord.h"

namespace morvat::cli {
namespace {

struct CompareOptions {
    Side side = Side::Unset;
    bool json = false;
    std::vector<std::string> paths;
};

std::optional<std::string> ParseCompare(const std::vector<std::string>& args,
                                        CompareOptions& options) {
    const auto option = [&options](const std::vector<std::string>& all,
                                   std::size_t& i) -> std::optional<std::string> {
        const std::string& arg = all[i];
        if (arg == "--json") {
            options.json = true;
            return std::nullopt;
        }
        if (arg == "--side" || arg.starts_with("--side=")) return TakeSide(all, i, options.side);
        return UnknownOption(arg);
    };
    if (auto problem = WalkArguments(args, options.paths, option)) return problem;
    if (options.paths.size() != 2) return "compare: give two files, A and B";
    return std::nullopt;
}

struct RatedFile {
    const std::string& path;
    const EditorState& editor;
    const RatingReport& report;
};

std::string PointsText(const std::optional<std::int64_t>& points) {
    return points ? std::to_string(*points) : "-";
}

std::string JsonPoints(const std::optional<std::int64_t>& points) {
    return points ? std::to_string(*points) : "null";
}

void PrintText(std::ostream& out, const std::array<RatedFile, 2>& files,
               const RatingComparison& comparison) {
    const auto& [a, b] = files;
    out << "A\t" << Field(a.path) << '\t' << Field(a.editor.ObCardname) << '\n'
        << "B\t" << Field(b.path) << '\t' << Field(b.editor.ObCardname) << '\n'
        << "合計\t" << comparison.totalA << '\t' << comparison.totalB << '\t'
        << FormatPointsDifference(comparison.totalDifference) << '\n'
        << "技能レベル\t" << FormatSkillLevel(comparison.totalA) << '\t'
        << FormatSkillLevel(comparison.totalB) << '\t'
        << FormatLevelDifference(comparison.totalDifference) << '\n';
    for (const ItemPair& item : comparison.items) {
        out << Field(item.label) << '\t' << PointsText(item.a) << '\t' << PointsText(item.b) << '\t'
            << FormatPointsDifference(item.difference) << '\n';
    }
}

void PrintJson(std::ostream& out, const std::array<RatedFile, 2>& files,
               const RatingComparison& comparison) {
    const auto file = [&out](const RatedFile& side) {
        out << "{\"file\":" << JsonString(side.path)
            << ",\"cardName\":" << JsonString(side.editor.ObCardname)
            << ",\"cardLevel\":" << JsonString(side.editor.ObLevel)
            << ",\"total\":" << side.report.total
            << ",\"skillLevel\":" << JsonString(FormatSkillLevel(side.report.total)) << '}';
    };
    out << "{\"a\":";
    file(files[0]);
    out << ",\"b\":";
    file(files[1]);
    out << ",\"totalDifference\":" << comparison.totalDifference
        << ",\"levelDifference\":" << JsonString(FormatLevelDifference(comparison.totalDifference))
        << ",\"items\":[";
    for (std::size_t i = 0; i < comparison.items.size(); ++i) {
        const ItemPair& item = comparison.items[i];
        out << (i == 0 ? "" : ",") << "{\"phase\":" << JsonString(PhaseName(item.phase))
            << ",\"label\":" << JsonString(item.label) << ",\"a\":" << JsonPoints(item.a)
            << ",\"b\":" << JsonPoints(item.b) << ",\"difference\":" << item.difference << '}';
    }
    out << "]}\n";
}

}  // namespace

int Compare(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CompareOptions options;
    if (const auto problem = ParseCompare(args, options)) return Usage(err, *problem);

    // Both files are read and each failure is told, so that one run shows every file the
    // user has to fix; the status is the first failure's.
    int status = kExitOk;
    std::array<Rated, 2> rated;
    for (std::size_t i = 0; i < 2; ++i) {
        rated[i] = LoadForRating(options.paths[i], options.side, err);
        if (rated[i].status == kExitOk) continue;
        Complain(err, options.paths[i], rated[i].failure);
        if (status == kExitOk) status = rated[i].status;
    }
    if (status != kExitOk) return status;

    const RatingReport a = RateSkill(GatherSkillRecord(rated[0].editor));
    const RatingReport b = RateSkill(GatherSkillRecord(rated[1].editor));
    const std::array<RatedFile, 2> files{RatedFile{options.paths[0], rated[0].editor, a},
                                         RatedFile{options.paths[1], rated[1].editor, b}};
    const RatingComparison comparison = CompareRatings(a, b);
    if (options.json) {
        PrintJson(out, files, comparison);
    } else {
        PrintText(out, files, comparison);
    }
    return kExitOk;
}

}  // namespace morvat::cli
