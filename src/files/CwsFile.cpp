#include "files/CwsFile.h"

namespace morvat {

// Placeholders until the cws format lands.
std::string FormatCwsFile(const SkillRecord&) { return {}; }
SaveResult WriteCwsFile(const std::filesystem::path&, const SkillRecord&) { return {}; }
bool LoadCwsFile(std::istream&, EditorState&, std::string_view) { return false; }
std::string CardNameFromPath(const std::filesystem::path& path) { return path.stem().string(); }

}  // namespace morvat
