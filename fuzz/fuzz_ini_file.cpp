// SPDX-License-Identifier: MIT
// The settings file on any bytes: parsing never fails, and a folder stored into whatever
// the file held reads back unchanged, before and after the text is written out and read
// again. That is what keeps OpenFolder and SaveFolder verbatim across runs.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    morvat::IniFile file = morvat::IniFile::Parse(text);
    file.Get("MORVAT.Ex", "OpenFolder");

    // A folder made of the input's last bytes, without line breaks, which no value can hold.
    std::string folder;
    for (char c : text.substr(size > 48 ? size - 48 : 0)) {
        if (c != '\r' && c != '\n') folder.push_back(c);
    }
    if (!file.Set("MORVAT.Ex", "SaveFolder", folder)) std::abort();
    if (file.Get("MORVAT.Ex", "SaveFolder") != folder) std::abort();
    const morvat::IniFile reread = morvat::IniFile::Parse(file.Text());
    if (reread.Get("MORVAT.Ex", "SaveFolder") != folder) std::abort();
    return 0;
}
