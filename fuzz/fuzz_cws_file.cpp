// SPDX-License-Identifier: MIT
// The cws reader on any bytes: the editor it rebuilds must stay within the ranges of
// its controls, and nothing may crash or hang.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "files/CwsFile.h"
#include "model/EditorState.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    morvat::EditorState editor;
    morvat::LoadCwsFile(in, editor, "fuzz");
    const bool inRange = editor.ObTarget >= 0 && editor.ObTarget <= 3 && editor.ObAttribute >= 0 &&
                         editor.ObAttribute <= 3 && editor.ObDefence >= 0 &&
                         editor.ObDefence <= 1 && editor.ObSuccess >= -5 && editor.ObSuccess <= 5 &&
                         editor.ObEscape >= -10 && editor.ObEscape <= 10 &&
                         editor.ObDefuse >= -10 && editor.ObDefuse <= 10 && editor.ObGard >= -10 &&
                         editor.ObGard <= 10;
    if (!inRange) std::abort();
    for (const morvat::EffectEntry& e : editor.Obelist) {
        if (e.kind < 1 || e.kind > 31 || e.value < 1 || e.value > 99 || e.rounds < 1 ||
            e.rounds > 999 || e.variation < -10 || e.variation > 10) {
            std::abort();
        }
    }
    return 0;
}
