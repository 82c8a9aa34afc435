#include "Cli.h"

#include <filesystem>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>

#include "Commands.h"
#include "Json.h"
#include "calc/Rating.h"
#include "files/CardList.h"
#include "files/LoadFlows.h"
#include "files/WorkerPool.h"
#include "model/EditorState.h"
#include "model/SkillRecord.h"

namespace morvat::cli {
namespace {

constexpr std::string_view kProgram = "morvat-ex-cli";
constexpr std::string_view kCannotOpen = "ファイルが開けません";
constexpr std::string_view kReadFailed = "読み込みに失敗しました";
constexpr std::string_view kNoTarget = "対象なしデータです";
constexpr std::string_view kBothSidesNote =
    "双方効果は計算できません。敵方として計算しました（--side ally で味方になります）";

constexpr std::string_view kHelp =
    R"(Usage: morvat-ex-cli COMMAND [OPTIONS] ARGUMENTS

Rates a skill card as the MORVAT_Ex editor does and prints the calculation.

Commands:
  rate [--side enemy|ally] [--json] FILE
      Rates one file and prints the report lines of the result window. A name
      ending in ".cws" is read as a cws file, any other as a skill card file.
        morvat-ex-cli rate examples/damage-single.cws
        morvat-ex-cli rate --side ally --json examples/SkillChaosWave.wid
  rate [--side enemy|ally] --summary PATH...
      One tab-separated line per file: path, card name, level on the card,
      total, skill level; a file that cannot be rated gets its failure instead.
      A folder stands for its Skill*.wid files.
        morvat-ex-cli rate --summary examples examples/heal-single.cws
  list FOLDER
      The Skill*.wid files of FOLDER with their card names, as the loader
      dialog lists them.
        morvat-ex-cli list examples
  compare [--side enemy|ally] [--json] A B
      Rates two files and shows where their points differ: a line each for
      the total and the skill level, then one per item that differs, with the
      points in A, in B and the difference B - A ("-" where a file has no
      such item). Lines are tab-separated.
        morvat-ex-cli compare examples/damage-single.cws examples/SkillFireBolt.wid

Options:
  --side enemy|ally  the side a card aimed at both sides is rated for
                     (without it: the enemy side, with a note)
  --json             print one JSON object instead of the report
  --summary          rate many files, one line each
  -h, --help         show this help
  --version          show the version

Exit status: 0 done, 2 a file cannot be opened, 3 a file cannot be read
(for --summary: some file; for compare: the first file that failed), 64 wrong
arguments.
)";

}  // namespace

void Complain(std::ostream& err, const std::string& path, std::string_view message) {
    err << kProgram << ": " << path << ": " << message << '\n';
}

int Usage(std::ostream& err, std::string_view problem) {
    err << kProgram << ": " << problem << '\n'
        << "Try '" << kProgram << " --help' for more information.\n";
    return kExitUsage;
}

namespace {

// The answers the desktop editor asks the user for, given on the command line instead.
class CliPrompts : public LoadPrompts {
public:
    CliPrompts(std::ostream& err, const std::string& path, Side side)
        : err_(err), path_(path), side_(side) {}

    void WarnNoTarget() override { Complain(err_, path_, kNoTarget); }

    bool AskEnemySide() override {
        if (side_ == Side::Unset) {
            Complain(err_, path_, kBothSidesNote);
            return true;
        }
        return side_ == Side::Enemy;
    }

private:
    std::ostream& err_;
    const std::string& path_;
    Side side_;
};

}  // namespace

Rated LoadForRating(const std::string& path, Side side, std::ostream& err) {
    Rated result;
    CliPrompts prompts(err, path, side);
    const LoadOutcome outcome = LoadSkillFile(path, result.editor, prompts);
    switch (outcome.status) {
        case LoadStatus::Loaded:
            return result;
        case LoadStatus::CannotOpen:
            return {kExitCannotOpen, std::string(kCannotOpen), {}};
        case LoadStatus::StoppedEarly:
            return {kExitReadFailed, std::string(kReadFailed), {}};
        case LoadStatus::ReadFailed:
            break;
    }
    // The card reader's code tells which field of the card was broken; a cws file that
    // could not be read to its end has none.
    if (outcome.code == 0) return {kExitReadFailed, std::string(kReadFailed), {}};
    return {kExitReadFailed, std::string(kReadFailed) + " " + std::to_string(outcome.code), {}};
}

std::optional<std::string> TakeSide(const std::vector<std::string>& args, std::size_t& i,
                                    Side& side) {
    const std::string& arg = args[i];
    std::string value;
    if (arg == "--side") {
        if (i + 1 >= args.size()) return "option '--side' needs enemy or ally";
        value = args[++i];
    } else {
        value = arg.substr(std::string_view("--side=").size());
    }
    if (value == "enemy") {
        side = Side::Enemy;
    } else if (value == "ally") {
        side = Side::Ally;
    } else {
        return "option '--side' takes enemy or ally, not '" + value + "'";
    }
    return std::nullopt;
}

std::string Field(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return out;
}

namespace {

struct RateOptions {
    Side side = Side::Unset;
    bool json = false;
    bool summary = false;
    std::vector<std::string> paths;
};

// Parses the arguments of "rate"; returns the usage problem, if any.
std::optional<std::string> ParseRate(const std::vector<std::string>& args, RateOptions& options) {
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options.paths.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--summary") {
            options.summary = true;
        } else if (arg == "--side" || arg.starts_with("--side=")) {
            if (auto problem = TakeSide(args, i, options.side)) return problem;
        } else {
            return "unknown option '" + arg + "'";
        }
    }
    if (options.json && options.summary) return "--json and --summary cannot be combined";
    if (options.paths.empty()) return "rate: missing FILE";
    if (!options.summary && options.paths.size() > 1) {
        return "rate: one FILE only (use --summary for several)";
    }
    return std::nullopt;
}

void PrintJson(std::ostream& out, const std::string& path, const EditorState& editor,
               const RatingReport& report) {
    const auto array = [&out](const std::vector<std::string>& lines) {
        out << '[';
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out << (i == 0 ? "" : ",") << JsonString(lines[i]);
        }
        out << ']';
    };
    out << "{\"file\":" << JsonString(path) << ",\"cardName\":" << JsonString(editor.ObCardname)
        << ",\"cardLevel\":" << JsonString(editor.ObLevel) << ",\"total\":" << report.total
        << ",\"skillLevel\":" << JsonString(FormatSkillLevel(report.total)) << ",\"lines\":";
    array(report.lines());
    out << ",\"remarks\":";
    array(report.remarks);
    out << ",\"items\":" << JsonItems(report.items) << "}\n";
}

int RateOne(const RateOptions& options, std::ostream& out, std::ostream& err) {
    const std::string& path = options.paths.front();
    const Rated rated = LoadForRating(path, options.side, err);
    if (rated.status != kExitOk) {
        Complain(err, path, rated.failure);
        return rated.status;
    }
    const RatingReport report = RateSkill(GatherSkillRecord(rated.editor));
    if (options.json) {
        PrintJson(out, path, rated.editor, report);
    } else {
        for (const std::string& line : report.lines()) out << line << '\n';
    }
    return kExitOk;
}

// One file's part of a summary: its line, and what it had to say on the error stream.
struct SummaryLine {
    std::string out;
    std::string err;
    bool rated = false;
};

SummaryLine SummariseFile(const std::string& path, Side side) {
    SummaryLine line;
    std::ostringstream err;
    const Rated rated = LoadForRating(path, side, err);
    std::ostringstream out;
    if (rated.status != kExitOk) {
        out << Field(path) << '\t' << Field(rated.failure) << '\n';
    } else {
        const RatingReport report = RateSkill(GatherSkillRecord(rated.editor));
        out << Field(path) << '\t' << Field(rated.editor.ObCardname) << '\t'
            << Field(rated.editor.ObLevel) << '\t' << report.total << '\t'
            << FormatSkillLevel(report.total) << '\n';
        line.rated = true;
    }
    line.out = std::move(out).str();
    line.err = std::move(err).str();
    return line;
}

int RateSummary(const RateOptions& options, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files;
    for (const std::string& path : options.paths) {
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) {
            for (const std::filesystem::path& file : ListSkillFiles(path)) {
                files.push_back(file.string());
            }
        } else {
            files.push_back(path);
        }
    }
    // The files are rated on the worker pool and printed in their order, so the output is
    // the same as one file after the other.
    bool allRated = true;
    ForEachInOrder(
        files.size(), WorkerThreadCount(),
        [&](std::size_t i) { return SummariseFile(files[i], options.side); },
        [&](std::size_t, const SummaryLine& line) {
            err << line.err;
            out << line.out;
            allRated = allRated && line.rated;
        });
    return allRated ? kExitOk : kExitReadFailed;
}

int Rate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    RateOptions options;
    if (const auto problem = ParseRate(args, options)) return Usage(err, *problem);
    return options.summary ? RateSummary(options, out, err) : RateOne(options, out, err);
}

int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> folders;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return Usage(err, "unknown option '" + arg + "'");
        } else {
            folders.push_back(arg);
        }
    }
    if (folders.size() != 1) return Usage(err, "list: give exactly one FOLDER");
    std::error_code ignored;
    if (!std::filesystem::is_directory(folders.front(), ignored)) {
        Complain(err, folders.front(), "not a folder");
        return kExitCannotOpen;
    }
    for (const CardListRow& row : BuildCardList(folders.front())) out << row.displayText() << '\n';
    return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return Usage(err, "missing command");
    const std::string& command = args.front();
    if (command == "-h" || command == "--help" || command == "help") {
        out << kHelp;
        return kExitOk;
    }
    if (command == "--version") {
        out << kProgram << ' ' << MORVAT_VERSION << '\n';
        return kExitOk;
    }
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg == "-h" || arg == "--help") {
            out << kHelp;
            return kExitOk;
        }
    }
    if (command == "rate") return Rate(args, out, err);
    if (command == "list") return List(args, out, err);
    if (command == "compare") return Compare(args, out, err);
    return Usage(err, "unknown command '" + command + "'");
}

}  // namespace morvat::cli
