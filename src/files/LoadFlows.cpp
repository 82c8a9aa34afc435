#include "files/LoadFlows.h"

namespace morvat {

// Placeholders until the load flows land.
void ApplyWidCard(EditorState&, const WidCard&, EffectCollection&, LoadPrompts&) {}
bool IsCwsFileName(const std::filesystem::path& path) { return path.extension() == ".cws"; }
LoadOutcome LoadSkillFile(const std::filesystem::path&, EditorState&, LoadPrompts&) {
    return {LoadStatus::CannotOpen, 0, false};
}
LoadOutcome ReadSkillCard(const std::filesystem::path&, EditorState&, LoadPrompts&) {
    return {LoadStatus::CannotOpen, 0, false};
}
std::string FolderOf(const std::filesystem::path& path) { return path.parent_path().string(); }

}  // namespace morvat
