#include "files/CardList.h"

namespace morvat {

// Placeholders until the card list lands.
std::string CardListRow::displayText() const { return paddedName + fileName; }
bool MatchesSkillMask(std::string_view) { return false; }
std::optional<std::string> ReadCardListName(const std::filesystem::path&) { return std::nullopt; }
std::vector<std::filesystem::path> ListSkillFiles(const std::filesystem::path&) { return {}; }
std::vector<CardListRow> BuildCardList(const std::filesystem::path&) { return {}; }

}  // namespace morvat
