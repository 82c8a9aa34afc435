#include "files/WidReader.h"

namespace morvat {

// Placeholder until the card reader lands: refuses every file.
std::int32_t ReadWidCard(std::FILE*, WidCard&, EffectCollection&) { return 50; }

}  // namespace morvat
