// The core as the web page's worker calls it: one card's bytes in, the command line's own
// `rate --json` output back, so the page shows exactly what morvat-ex-cli prints and holds
// no rule of its own. The card is put into the in-memory file system under its file name
// and rated by RunCli, because the command line's reading (".cws" or a card by the name)
// and its JSON are what the page must agree with.
#include <emscripten/emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "files/CardList.h"
#include "files/LoadFlows.h"

namespace {

constexpr const char* kFolder = "/cards";

struct LastRun {
    std::string output;
    std::string messages;
    bool bothSides = false;
};
LastRun last;

// Only the last part of a name, so a zip's folders cannot steer the write; a name that is
// no file name gets a stand-in that still reads as a card.
std::string FileNameOf(const char* name) {
    std::string text = name ? name : "";
    const auto slash = text.find_last_of("/\\");
    if (slash != std::string::npos) text.erase(0, slash + 1);
    if (text.empty() || text == "." || text == "..") text = "card";
    return text;
}

// Records the question a card aimed at both sides raises, answering it as the command line
// does without --side.
class SideQuestion : public morvat::LoadPrompts {
public:
    void WarnNoTarget() override {}
    bool AskEnemySide() override {
        asked = true;
        return true;
    }
    bool asked = false;
};

bool WriteWhole(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" {

// Rates `size` bytes as the file `name`, for `side` 0 (as the command line decides: the
// enemy side, with a note), 1 (enemy) or 2 (allies). Returns the command line's exit status;
// morvat_output() then holds its standard output, morvat_messages() its standard error.
EMSCRIPTEN_KEEPALIVE int morvat_rate(const char* name, const std::uint8_t* data, std::size_t size,
                                     int side) {
    last = {};
    mkdir(kFolder, 0700);
    if (chdir(kFolder) != 0) return morvat::cli::kExitCannotOpen;
    const std::string file = FileNameOf(name);
    const std::string path = std::string(kFolder) + "/" + file;
    std::vector<std::string> args = {"rate", "--json"};
    if (side == 1) args.insert(args.end(), {"--side", "enemy"});
    if (side == 2) args.insert(args.end(), {"--side", "ally"});
    args.insert(args.end(), {"--", file});
    std::ostringstream out;
    std::ostringstream err;
    int status = morvat::cli::kExitCannotOpen;
    if (WriteWhole(path, data, size)) {
        status = morvat::cli::RunCli(args, out, err);
        if (status == morvat::cli::kExitOk && !err.str().empty()) {
            // Something was said about the card: find out whether it was the side question.
            morvat::EditorState editor;
            SideQuestion question;
            morvat::LoadSkillFile(path, editor, question);
            last.bothSides = question.asked;
        }
    }
    std::remove(path.c_str());
    last.output = out.str();
    last.messages = err.str();
    return status;
}

EMSCRIPTEN_KEEPALIVE const char* morvat_output() { return last.output.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* morvat_messages() { return last.messages.c_str(); }
EMSCRIPTEN_KEEPALIVE int morvat_both_sides() { return last.bothSides ? 1 : 0; }

// Whether a file found in a folder or a zip is a card to rate: a Skill*.wid card, as the
// command line's summary of a folder takes them, or a cws file.
EMSCRIPTEN_KEEPALIVE int morvat_is_card_file(const char* name) {
    const std::string file = FileNameOf(name);
    return morvat::MatchesSkillMask(file) || morvat::IsCwsFileName(file) ? 1 : 0;
}

}  // extern "C"
