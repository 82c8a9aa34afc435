// What every build knows about archives, with or without libarchive: their names.
#include <algorithm>
#include <array>

#include "files/archive/Archive.h"

namespace morvat {

bool HasArchiveExtension(std::string_view fileName) {
    // A .wsn file is an XML scenario packed as a zip.
    static constexpr std::array<std::string_view, 7> kExtensions = {
        ".zip", ".lzh", ".lha", ".cab", ".7z", ".tar", ".wsn"};
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return std::any_of(kExtensions.begin(), kExtensions.end(), [&](std::string_view ext) {
        return fileName.size() > ext.size() &&
               std::equal(ext.begin(), ext.end(), fileName.end() - ext.size(),
                          [&](char e, char c) { return e == lower(c); });
    });
}

}  // namespace morvat
