// Placeholder so the cli library has a source until the commands land.
namespace morvat::cli {
int Placeholder() { return 0; }
}  // namespace morvat::cli
