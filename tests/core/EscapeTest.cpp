// Names written into command line rows: control bytes become visible and reversible, and
// nothing else of a name, UTF-8 or Shift-JIS, changes.
#include <gtest/gtest.h>

#include <string>

#include "files/Escape.h"

namespace morvat {
namespace {

using namespace std::string_literals;

TEST(EscapeTest, ControlBytesAndBackslashesAreWrittenVisibly) {
    EXPECT_EQ(EscapeControlCharacters("a\nb\tc\rd"), "a\\nb\\tc\\rd");
    EXPECT_EQ(EscapeControlCharacters("back\\slash"), "back\\\\slash");
    EXPECT_EQ(EscapeControlCharacters("\x01\x1f\x7f"s), "\\x01\\x1F\\x7F");
    EXPECT_EQ(EscapeControlCharacters("nul\0end"s), "nul\\x00end");
    // The escaped text of "\" followed by "n" differs from that of a line break.
    EXPECT_NE(EscapeControlCharacters("\\n"), EscapeControlCharacters("\n"));
}

TEST(EscapeTest, PrintableTextOfEitherEncodingPassesUnchanged) {
    EXPECT_EQ(EscapeControlCharacters(""), "");
    EXPECT_EQ(EscapeControlCharacters("Skill 炎.wid ~!"), "Skill 炎.wid ~!");
    // "スキル" in Shift-JIS and a lone 0xFF: bytes above 0x7F are never touched.
    EXPECT_EQ(EscapeControlCharacters("\x83\x58\x83\x4c\x83\x8b\xff"s),
              "\x83\x58\x83\x4c\x83\x8b\xff"s);
}

}  // namespace
}  // namespace morvat
