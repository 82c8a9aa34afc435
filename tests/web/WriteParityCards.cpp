// Writes the cards the WebAssembly command line is compared on with the native one: the
// example cards, each cut off at every field (every failure code the reader gives), and
// cards whose names and files stress what must come out byte for byte: names with code
// page 932 extensions, broken bytes and control characters, both sides, no target.
//   web_parity_cards FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "CardWriter.h"
#include "ExampleCards.h"

namespace {

using namespace morvat::test;

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

WidCardPlan Named(WidCardPlan card, std::string nameBytes) {
    card.name = Sz(nameBytes);
    return card;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: web_parity_cards FOLDER\n");
        return 64;
    }
    const std::filesystem::path folder = argv[1];
    // Cards of an earlier run that are no longer made must not linger.
    std::filesystem::remove_all(folder / "whole");
    std::filesystem::remove_all(folder / "cut");
    std::filesystem::create_directories(folder / "whole");
    std::filesystem::create_directories(folder / "cut");

    const auto examples = ExampleCards();
    for (const ExampleCard& example : examples) {
        const CardFile file = WriteCard(example.plan);
        Write(folder / "whole" / example.fileName, file.bytes);
        const std::string stem = std::filesystem::path(example.fileName).stem().string();
        std::set<std::size_t> offsets;
        for (const auto& [field, offset] : file.fields) {
            // One cut per place in the file, and one a byte into each field.
            for (const std::size_t keep : {std::size_t{0}, std::size_t{1}}) {
                if (!offsets.insert(offset + keep).second || offset + keep >= file.bytes.size()) continue;
                Write(folder / "cut" / (stem + "-" + std::to_string(offset + keep) + ".wid"),
                      file.bytes.substr(0, offset + keep));
            }
        }
    }

    const WidCardPlan base = examples.front().plan;
    // Names as the card list and the reports show them.
    Write(folder / "whole" / "SkillNec.wid", WriteCard(Named(base, "\x87\x40\x87\x54\xFA\x40\x81\x60")).bytes);
    Write(folder / "whole" / "SkillBroken.wid", WriteCard(Named(base, "\x88\x41\x80\xFF\x88")).bytes);
    Write(folder / "whole" / "SkillControl.wid", WriteCard(Named(base, "a\tb\"c\\\x7F")).bytes);
    Write(folder / "whole" / "SkillLong.wid", WriteCard(Named(base, "\x88\xC3\x8E\x45\x88\xC3\x8E\x45\x88\xC3\x8E\x45\x88\xC3")).bytes);
    // (No file names that are not UTF-8: Node.js hands the WebAssembly build every name as
    // text, so such a file cannot even be opened there.)
    WidCardPlan both = base;
    both.target = 4;
    Write(folder / "whole" / "SkillBoth.wid", WriteCard(both).bytes);
    WidCardPlan none = base;
    none.target = 0;
    none.targetAll = 1;
    Write(folder / "whole" / "SkillNone.wid", WriteCard(none).bytes);
    Write(folder / "whole" / "SkillEmpty.wid", "");
    return 0;
}
