// SPDX-License-Identifier: MIT
// The card list's name reader on any bytes, and the row it makes shown as text: a name is
// 13 bytes or nothing, and the shown text is well-formed UTF-8 whatever the file and its
// file name hold.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "MemoryStream.h"
#include "Utf8Check.h"
#include "files/CardList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    morvat::fuzz::StreamPtr stream = morvat::fuzz::OpenMemoryStream(data, size);
    if (!stream) return 0;
    const std::optional<std::string> name = morvat::ReadCardListName(stream.get());
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (morvat::ReadCardListNameFromMemory(bytes) != name) std::abort();
    if (!name) return 0;
    if (name->size() != morvat::kCardListNameWidth) std::abort();

    // The same bytes as a file name: it may be UTF-8, Shift-JIS or neither.
    morvat::CardListRow row{*name, std::string(reinterpret_cast<const char*>(data), size), {}};
    if (!morvat::fuzz::IsWellFormedUtf8(row.displayText())) std::abort();
    morvat::MatchesSkillMask(row.fileName);
    return 0;
}
