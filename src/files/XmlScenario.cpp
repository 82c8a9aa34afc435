// SPDX-License-Identifier: MIT
#include "files/XmlScenario.h"

#include <algorithm>
#include <cerrno>
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

std::vector<XmlScenarioCard> ReadXmlScenarioCards(const std::filesystem::path& folder,
                                                  FolderProblem* problem) {
    struct Found {
        std::int32_t id;
        std::string fileName;
        XmlScenarioCard card;
    };
    std::vector<Found> found;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder / "SkillCard", error);
    std::size_t looked = 0;
    FolderProblem seen;
    // No SkillCard/ at all is a scenario without skill cards.
    if (error && error != std::errc::no_such_file_or_directory) {
        seen = {FolderProblem::Kind::ReadFailed, error.value()};
    }
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        if (++looked > kXmlScenarioMaxEntries) {
            seen = {FolderProblem::Kind::ReadFailed, E2BIG};
            break;
        }
        const std::filesystem::path& path = entries->path();
        if (!IsXmlCardFileName(path)) continue;
        // Only regular files are opened, and a FIFO never blocks the list.
        const FilePtr file = OpenRegularFile(path);
        if (!file) continue;
        if (auto head = ReadXmlCardHead(file.get())) {
            found.push_back({head->id, path.filename().string(), {path, std::move(head->name)}});
        }
    }
    if (error && looked > 0) seen = {FolderProblem::Kind::ReadFailed, error.value()};
    if (problem != nullptr) *problem = seen;
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.id, a.fileName) < std::tie(b.id, b.fileName);
    });
    std::vector<XmlScenarioCard> cards;
    cards.reserve(found.size());
    for (Found& f : found) cards.push_back(std::move(f.card));
    return cards;
}

std::vector<std::filesystem::path> ListXmlScenarioCards(const std::filesystem::path& folder,
                                                        FolderProblem* problem) {
    std::vector<std::filesystem::path> paths;
    for (XmlScenarioCard& card : ReadXmlScenarioCards(folder, problem)) {
        paths.push_back(std::move(card.path));
    }
    return paths;
}

}  // namespace morvat
