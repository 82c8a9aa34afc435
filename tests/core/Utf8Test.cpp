// SPDX-License-Identifier: MIT
// Bytes from outside shown as text: ill-formed UTF-8 is found and replaced byte by byte.
#include <gtest/gtest.h>

#include "files/Utf8.h"

namespace morvat {
namespace {

TEST(Utf8Test, EachByteOfAnIllFormedSequenceBecomesOneReplacementCharacter) {
    const std::string bad = "\xEF\xBF\xBD";
    EXPECT_EQ(ValidUtf8("\xC0\xAF"), bad + bad);                      // overlong "/"
    EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), bad + bad + bad);            // a surrogate
    EXPECT_EQ(ValidUtf8("\xF4\x90\x80\x80"), bad + bad + bad + bad);  // above U+10FFFF
    EXPECT_EQ(ValidUtf8("ab\xE3\x81"), "ab" + bad + bad);             // cut off at the end
    EXPECT_EQ(ValidUtf8("\x8b\x97"), bad + bad);                      // Shift-JIS bytes
    EXPECT_EQ(ValidUtf8("\xF0\x9F\x98\x80\xC3\xA9"), "\xF0\x9F\x98\x80\xC3\xA9");
    EXPECT_TRUE(IsValidUtf8("plain 技能 \xF0\x9F\x98\x80"));
    for (const char* text : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ab\xE3\x81", "\x8b\x97"}) {
        EXPECT_FALSE(IsValidUtf8(text)) << text;
    }
}

// The first and last characters of each range are accepted, one step beyond is not.
TEST(Utf8Test, EdgesOfTheWellFormedRanges) {
    for (const char* text : {"\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF",
                             "\xEE\x80\x80", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
        EXPECT_TRUE(IsValidUtf8(text)) << text;
        EXPECT_EQ(ValidUtf8(text), text);
    }
    for (const char* text : {"\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF",
                             "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xC2\x7F", "\xC2\xC0",
                             "\x80", "\xBF", "\xE3\x81\x41", "\xF0\x9F\x98\xC0"}) {
        EXPECT_FALSE(IsValidUtf8(text)) << text;
    }
}

}  // namespace
}  // namespace morvat
