// SPDX-License-Identifier: MIT
#include "Cli.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>

#include "ArchiveCommands.h"
#include "Commands.h"
#include "Help.h"
#include "Input.h"
#include "Json.h"
#include "calc/Rating.h"
#include "files/CardList.h"
#include "files/Escape.h"
#include "files/LoadFlows.h"
#include "files/UserTexts.h"
#include "files/WorkerPool.h"
#include "files/archive/ArchiveCards.h"
#include "model/EditorState.h"
#include "model/SkillRecord.h"

namespace morvat::cli {
namespace {

constexpr std::string_view kProgram = "morvat-ex-cli";
constexpr std::string_view kCannotOpen = texts::kCannotOpen;
constexpr std::string_view kReadFailed = texts::kReadFailed;
constexpr std::string_view kNoTarget = "対象なしデータです";
constexpr std::string_view kBothSidesNote =
    "双方効果は計算できません。敵方として計算しました（--side ally で味方になります）";

constexpr std::string_view kHelp =
    R"(Usage: morvat-ex-cli COMMAND [OPTIONS] ARGUMENTS

Rates a skill card as the MORVAT_Ex editor does and prints the calculation.

Commands:
  rate [--side enemy|ally] [--cws] [--json] FILE
      Rates one file and prints the report lines of the result window. A name
      ending in ".cws" is read as a cws file, one ending in ".xml" as a skill
      card of an XML scenario, any other as a skill card file. FILE "-" is
      standard input; ARCHIVE/member/path rates a card inside a zip, lzh, cab,
      7z or tar file.
        morvat-ex-cli rate examples/damage-single.cws
        morvat-ex-cli rate --side ally --json examples/SkillChaosWave.wid
        morvat-ex-cli rate - < examples/SkillFireBolt.wid
  rate [--side enemy|ally] [--cws] --summary [--header] PATH...
      One tab-separated row per file: path, card name, level on the card,
      total, skill level, status ("ok" or the failure, which also goes to
      stderr). A folder stands for its Skill*.wid files, an archive (.zip .lzh
      .lha .cab .7z .tar .wsn) for its Skill*.wid members at any depth, written
      ARCHIVE/member/path. A folder holding Summary.xml (an XML scenario)
      stands for its SkillCard/*.xml cards in Id order, also inside an archive.
      Archives inside a folder or an archive are not opened; standard error
      names them.
        morvat-ex-cli rate --summary --header examples examples/heal-single.cws
        morvat-ex-cli rate --summary scenario.zip
        morvat-ex-cli rate --summary scenario.wsn
  list FOLDER|ARCHIVE
      The Skill*.wid files of FOLDER with their card names, as the loader
      dialog lists them; for an archive, its card members with their paths
      inside it. Members over 16 MiB, encrypted or damaged are listed with
      the reason they were not read.
        morvat-ex-cli list examples
        morvat-ex-cli list scenario.wsn
  compare [--side enemy|ally] [--json] A B
      Rates two files and shows where their points differ: a line each for
      the total and the skill level, then one per item that differs, with the
      points in A, in B and the difference B - A ("-" where a file has no
      such item). Lines are tab-separated.
        morvat-ex-cli compare examples/damage-single.cws examples/SkillFireBolt.wid
  help COMMAND
      The help of one command; "COMMAND --help" shows it too.

Options:
  --side enemy|ally  the side a card aimed at both sides is rated for
                     (without it: the enemy side, with a note)
  --json             print one JSON object instead of the report
  --cws              read every FILE as a cws file, whatever its name
  --summary          rate many files, one row each
  --header           with --summary: print the column names first
  -h, --help         show this help
  --version          show the version

Control characters in names are written escaped in the lines of --summary,
list and compare, so that a row stays one line: \n, \t, \r, \\ for a backslash,
\xHH for the others.

Exit status: 0 done, 2 a file or folder cannot be opened, 3 a file cannot be
read or a folder failed part way (for --summary: some file; for compare: the
first file that failed), 64 wrong arguments, 74 the output cannot be written.
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

namespace {

// What the command line makes of a load: the editor, or the failure to show.
Rated RatedFrom(const LoadOutcome& outcome, EditorState editor, const std::string& problem) {
    const std::optional<LoadFailureMessage> message = LoadFailureMessageFor(outcome, problem);
    if (!message) return {kExitOk, {}, std::move(editor)};
    std::string text(message->text);
    if (!message->detail.empty()) text += " " + message->detail;
    return {outcome.status == LoadStatus::CannotOpen ? kExitCannotOpen : kExitReadFailed,
            std::move(text), {}};
}

}  // namespace

// ARCHIVE/member/path reads a card inside an archive; "-" reads standard input.
Rated LoadForRating(const std::string& path, Side side, std::ostream& err, bool asCws) {
    EditorState editor;
    CliPrompts prompts(err, path, side);
    const CommandLineInput input(path, asCws);
    if (!input.problem().empty()) {
        return {kExitCannotOpen, std::string(kCannotOpen) + " (" + input.problem() + ")", {}};
    }
    std::string problem;
    const LoadOutcome outcome = LoadFileOrArchiveCard(input.path(), editor, prompts, problem);
    if (outcome.status == LoadStatus::Loaded && outcome.fixedAmountAsNormal) {
        Complain(err, path, kFixedAmountNote);
    }
    return RatedFrom(outcome, std::move(editor), problem);
}

namespace {

// A file from a folder's listing: a regular file named like a card when it was listed. It
// needs none of the looks a path typed by the user gets (standard input, a pipe, a member
// of an archive), each of which costs a lookup of the path, in a folder of thousands.
Rated LoadListedForRating(const std::string& path, Side side, std::ostream& err) {
    EditorState editor;
    CliPrompts prompts(err, path, side);
    const LoadOutcome outcome = LoadSkillFile(path, editor, prompts);
    if (outcome.status == LoadStatus::Loaded && outcome.fixedAmountAsNormal) {
        Complain(err, path, kFixedAmountNote);
    }
    return RatedFrom(outcome, std::move(editor), {});
}

// A card of a folder's listing, opened relative to the folder; `path` is how it is shown.
Rated LoadFolderCardForRating(const SkillFolder& folder, const std::string& name,
                              const std::string& path, Side side, std::ostream& err) {
    EditorState editor;
    CliPrompts prompts(err, path, side);
    const LoadOutcome outcome = ReadSkillCardFile(folder.Open(name), editor, prompts);
    return RatedFrom(outcome, std::move(editor), {});
}

}  // namespace

std::optional<std::string> WalkArguments(const std::vector<std::string>& args,
                                         std::vector<std::string>& operands,
                                         const OptionHandler& option) {
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (auto problem = option(args, i)) {
            return problem;
        }
    }
    return std::nullopt;
}

std::string UnknownOption(const std::string& arg) {
    return "unknown option '" + arg + "'";
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
    return EscapeControlCharacters(text);
}

namespace {

// Says why a folder gave no list, or only part of one; the exit status for it.
int ComplainAboutFolder(std::ostream& err, const std::string& folder,
                        const FolderProblem& problem) {
    if (problem.kind == FolderProblem::Kind::CannotOpen) {
        Complain(err, folder, kCannotOpen);
        return kExitCannotOpen;
    }
    Complain(err, folder, kReadFailed);
    return kExitReadFailed;
}

struct RateOptions {
    Side side = Side::Unset;
    bool json = false;
    bool summary = false;
    bool header = false;
    bool asCws = false;
    std::vector<std::string> paths;
};

// Parses the arguments of "rate"; returns the usage problem, if any.
std::optional<std::string> ParseRate(const std::vector<std::string>& args, RateOptions& options) {
    const auto option = [&options](const std::vector<std::string>& all,
                                   std::size_t& i) -> std::optional<std::string> {
        const std::string& arg = all[i];
        if (arg == "--json") {
            options.json = true;
        } else if (arg == "--summary") {
            options.summary = true;
        } else if (arg == "--header") {
            options.header = true;
        } else if (arg == "--cws") {
            options.asCws = true;
        } else if (arg == "--side" || arg.starts_with("--side=")) {
            return TakeSide(all, i, options.side);
        } else {
            return UnknownOption(arg);
        }
        return std::nullopt;
    };
    if (auto problem = WalkArguments(args, options.paths, option)) return problem;
    if (options.json && options.summary) return "--json and --summary cannot be combined";
    if (options.header && !options.summary) return "--header goes with --summary";
    if (options.paths.empty()) return "rate: missing FILE";
    if (!options.summary && options.paths.size() > 1) {
        return "rate: one FILE only (use --summary for several)";
    }
    return std::nullopt;
}

// The level on the card as a JSON number; null for a card that has none (a cws file).
std::string JsonLevel(const std::string& level) {
    if (level.empty() || level.size() > 9) return "null";
    for (const char c : level) {
        if (c < '0' || c > '9') return "null";
    }
    return std::to_string(std::stol(level));
}

// The shape is documented in the user guide; scripts rely on it. New keys may be added
// under the same "version"; a change of meaning takes a new one.
void PrintJson(std::ostream& out, const std::string& path, const EditorState& editor,
               const SkillRecord& record, const RatingReport& report) {
    const auto array = [&out](const std::vector<std::string>& lines) {
        out << '[';
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out << (i == 0 ? "" : ",") << JsonString(lines[i]);
        }
        out << ']';
    };
    out << "{\"version\":" << kJsonVersion << ",\"file\":" << JsonString(path)
        << ",\"cardName\":" << JsonString(editor.ObCardname)
        << ",\"cardLevel\":" << JsonLevel(editor.ObLevel)
        << ",\"side\":" << (record.enemy.toAllies == 1 ? "\"ally\"" : "\"enemy\"")
        << ",\"total\":" << report.total << ",\"skillLevel\":" << FormatSkillLevel(report.total)
        << ",\"lines\":";
    array(report.lines());
    out << ",\"remarks\":";
    array(report.remarks());
    out << ",\"items\":" << JsonItems(report.items) << "}\n";
}

int RateOne(const RateOptions& options, std::ostream& out, std::ostream& err) {
    const std::string& path = options.paths.front();
    if (IsArchiveArgument(path)) {
        return Usage(err, "rate: '" + path + "' is an archive: rate --summary ARCHIVE rates all "
                          "of its cards, rate ARCHIVE/member/path one of them");
    }
    const Rated rated = LoadForRating(path, options.side, err, options.asCws);
    if (rated.status != kExitOk) {
        Complain(err, path, rated.failure);
        return rated.status;
    }
    const SkillRecord record = GatherSkillRecord(rated.editor);
    const RatingReport report = RateSkill(record);
    if (options.json) {
        PrintJson(out, path, rated.editor, record, report);
    } else {
        for (const std::string& line : report.lines()) out << line << '\n';
    }
    return kExitOk;
}

// Writes one file's summary row to `out`, and the failure also to `err`; false when the
// file was not rated. Every row has the same six columns, so that scripts can cut and sort
// them; the columns a failed file cannot fill stay empty.
bool PrintSummaryRow(const std::string& path, const Rated& rated, std::ostream& out,
                     std::ostream& err) {
    if (rated.status != kExitOk) {
        Complain(err, path, rated.failure);
        out << Field(path) << "\t\t\t\t\t" << Field(rated.failure) << '\n';
        return false;
    }
    const std::int64_t total = RateSkillTotal(GatherSkillRecord(rated.editor));
    out << Field(path) << '\t' << Field(rated.editor.ObCardname) << '\t'
        << Field(rated.editor.ObLevel) << '\t' << total << '\t' << FormatSkillLevel(total)
        << "\tok\n";
    return true;
}

// One file's part of a summary: its row, and what it had to say on the error stream.
struct SummaryLine {
    std::string out;
    std::string err;
    bool rated = false;
};

// A file to rate for a summary; `listed` when it came from a folder's listing. A card of
// a folder of binary cards is named within the folder, and its path made on the worker.
struct SummaryFile {
    std::string path;
    bool listed = false;
    const SkillFolder* folder = nullptr;
    const std::string* name = nullptr;
};

SummaryLine SummariseFile(const SummaryFile& file, const RateOptions& options) {
    // Each thread keeps its two streams: setting up a stream costs more than a row.
    thread_local std::ostringstream out;
    thread_local std::ostringstream err;
    for (std::ostringstream* stream : {&out, &err}) {
        stream->str({});
        stream->clear();
    }
    SummaryLine line;
    const std::string path =
        file.folder != nullptr ? (file.folder->path() / *file.name).string() : file.path;
    Rated rated;
    if (options.asCws) {
        // With --cws every file is read as cws, also the ones a folder lists.
        rated = LoadForRating(path, options.side, err, true);
    } else if (file.folder != nullptr) {
        rated = LoadFolderCardForRating(*file.folder, *file.name, path, options.side, err);
    } else if (file.listed) {
        rated = LoadListedForRating(path, options.side, err);
    } else {
        rated = LoadForRating(path, options.side, err, false);
    }
    line.rated = PrintSummaryRow(path, rated, out, err);
    line.out = std::move(out).str();
    line.err = std::move(err).str();
    return line;
}

int RateSummary(const RateOptions& options, std::ostream& out, std::ostream& err) {
    bool allRated = true;
    int folderStatus = kExitOk;
    if (options.header) out << "path\tcardName\tcardLevel\ttotal\tskillLevel\tstatus\n";
    // Files are rated on the worker pool a run at a time and printed in their order, so the
    // output is the same as one file after the other. What is said about a folder or an
    // archive comes after the files before it, as it would on one thread.
    std::vector<SummaryFile> run;
    const auto rateRun = [&] {
        ForEachInOrder(
            run.size(), WorkerThreadCount(),
            [&](std::size_t i) { return SummariseFile(run[i], options); },
            [&](std::size_t, const SummaryLine& line) {
                err << line.err;
                out << line.out;
                allRated = allRated && line.rated;
            });
        run.clear();
    };
    const auto rateMember = [&](const std::string& path, std::string_view bytes,
                                const std::string& problem, std::ostream& cardOut,
                                std::ostream& cardErr) {
        EditorState editor;
        CliPrompts prompts(cardErr, path, options.side);
        const LoadOutcome outcome = problem.empty()
                                        ? ReadSkillCardBytes(bytes, path, editor, prompts)
                                        : LoadOutcome{LoadStatus::ReadFailed, 0, true};
        if (outcome.status == LoadStatus::Loaded && outcome.fixedAmountAsNormal) {
            Complain(cardErr, path, kFixedAmountNote);
        }
        return PrintSummaryRow(path, RatedFrom(outcome, std::move(editor), problem), cardOut,
                               cardErr);
    };
    for (const std::string& path : options.paths) {
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) {
            // One pass over the folder finds its cards and the archives beside them.
            const SkillFolder folder(path);
            FolderProblem problem = folder.problem();
            if (ListsXmlScenarioCards(path)) {
                for (const std::filesystem::path& file : ListSkillFiles(path, &problem)) {
                    run.push_back({file.string(), true});
                }
            } else {
                for (const std::string& name : folder.cardNames()) {
                    run.push_back({{}, true, &folder, &name});
                }
            }
            rateRun();
            // A folder that cannot be opened outranks a file that cannot be read.
            if (problem)
                folderStatus = std::max(folderStatus, ComplainAboutFolder(err, path, problem));
            NoteArchivesInFolder(folder, err);
        } else if (IsArchiveArgument(path)) {
            rateRun();
            allRated = SummarizeArchive(path, out, err, rateMember) && allRated;
        } else if (path == "-") {
            // Standard input is read by one file at a time: a second "-" gets what is left.
            rateRun();
            run.push_back({path, false});
            rateRun();
        } else {
            run.push_back({path, false});
        }
    }
    rateRun();
    if (folderStatus == kExitCannotOpen) return folderStatus;
    return allRated && folderStatus == kExitOk ? kExitOk : kExitReadFailed;
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
    if (folders.size() != 1) return Usage(err, "list: give exactly one FOLDER or ARCHIVE");
    if (const std::optional<int> status = ListArchive(folders.front(), out, err)) return *status;
    std::error_code ignored;
    if (!std::filesystem::is_directory(folders.front(), ignored)) {
        Complain(err, folders.front(), "not a folder");
        return kExitCannotOpen;
    }
    FolderProblem problem;
    for (const CardListRow& row : BuildCardList(folders.front(), &problem)) {
        out << EscapeControlCharacters(row.displayText()) << '\n';
    }
    return problem ? ComplainAboutFolder(err, folders.front(), problem) : kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return Usage(err, "missing command");
    const std::string& command = args.front();
    if (command == "-h" || command == "--help" || (command == "help" && args.size() == 1)) {
        out << kHelp;
        return kExitOk;
    }
    if (command == "help") {
        if (args.size() > 2) return Usage(err, "help: one COMMAND only");
        const std::string_view page = CommandHelp(args[1]);
        if (page.empty()) return Usage(err, "unknown command '" + args[1] + "'");
        out << page;
        return kExitOk;
    }
    if (command == "--version") {
        out << kProgram << ' ' << MORVAT_VERSION << '\n';
        return kExitOk;
    }
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg == "-h" || arg == "--help") {
            const std::string_view page = CommandHelp(command);
            out << (page.empty() ? kHelp : page);
            return kExitOk;
        }
    }
    if (command == "rate") return Rate(args, out, err);
    if (command == "list") return List(args, out, err);
    if (command == "compare") return Compare(args, out, err);
    return Usage(err, "unknown command '" + command + "'");
}

}  // namespace morvat::cli
