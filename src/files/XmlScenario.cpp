// SPDX-License-Identifier: MIT
#include "files/XmlScenario.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <system_error>
#include <tuple>

#include "files/FileOpen.h"
#include "files/LoadFlows.h"
#include "files/XmlCardReader.h"

namespace morvat {

bool IsXmlScenarioFolder(const std::filesystem::path& folder) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(folder / "Summary.xml", ignored);
}

std::vector<std::filesystem::path> ListXmlScenarioCards(const std::filesystem::path& folder) {
    struct Found {
        std::int32_t id;
        std::string fileName;
        std::filesystem::path path;
    };
    std::vector<Found> found;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder / "SkillCard", error);
    std::size_t looked = 0;
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        if (++looked > kXmlScenarioMaxEntries) break;
        const std::filesystem::path& path = entries->path();
        if (!IsXmlCardFileName(path)) continue;
        // Only regular files are opened, and a FIFO never blocks the list.
        const FilePtr file = OpenRegularFile(path);
        if (!file) continue;
        if (const auto head = ReadXmlCardHead(file.get())) {
            found.push_back({head->id, path.filename().string(), path});
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.id, a.fileName) < std::tie(b.id, b.fileName);
    });
    std::vector<std::filesystem::path> paths;
    paths.reserve(found.size());
    for (Found& f : found) paths.push_back(std::move(f.path));
    return paths;
}

}  // namespace morvat
