// SPDX-License-Identifier: MIT
// Reader of skill cards written as XML by the newer scenario editor (SkillCard/*.xml). It
// fills the same card record and effect list as the binary card reader, so the load flows,
// the editor and the rating treat both alike. Only built with MORVAT_WITH_ARCHIVES: the
// XML library is native only.
//
// Failure codes are 1000 and above, apart from the binary reader's codes (below 1000):
//   1001 not well-formed XML          1002 root element is not SkillCard
//   1003 no Property element          1004 file larger than kXmlCardMaxBytes
//   1005 elements nested deeper than kXmlCardMaxDepth
//   1006 LinkId other than 0: a reference to another card, not rated on its own
//   1007 out of memory                1008 the file could not be read
//   1009 this build reads no XML cards (built without MORVAT_WITH_ARCHIVES)
//   1010 Level   1011 EffectType spell   1012 Target   1013 Target allrange
//   1014 EffectType   1015 ResistType   1016 SuccessRate
//   1017 Enhance avoid   1018 Enhance resist   1019 Enhance defense   1020 LinkId
// 1010 to 1020 mean the value is no number or name of the field, or outside the range the
// binary card's field allows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "files/WidReader.h"

namespace morvat {

inline constexpr std::int32_t kXmlNotWellFormed = 1001;
inline constexpr std::int32_t kXmlRootNotSkillCard = 1002;
inline constexpr std::int32_t kXmlNoProperty = 1003;
inline constexpr std::int32_t kXmlTooLarge = 1004;
inline constexpr std::int32_t kXmlTooDeep = 1005;
inline constexpr std::int32_t kXmlLinkedCard = 1006;
inline constexpr std::int32_t kXmlOutOfMemory = 1007;
inline constexpr std::int32_t kXmlCannotRead = 1008;
inline constexpr std::int32_t kXmlLevelRange = 1010;
inline constexpr std::int32_t kXmlSpellRange = 1011;
inline constexpr std::int32_t kXmlTargetRange = 1012;
inline constexpr std::int32_t kXmlAllRangeRange = 1013;
inline constexpr std::int32_t kXmlEffectTypeRange = 1014;
inline constexpr std::int32_t kXmlResistTypeRange = 1015;
inline constexpr std::int32_t kXmlSuccessRateRange = 1016;
inline constexpr std::int32_t kXmlAvoidRange = 1017;
inline constexpr std::int32_t kXmlResistRange = 1018;
inline constexpr std::int32_t kXmlDefenseRange = 1019;
inline constexpr std::int32_t kXmlLinkIdRange = 1020;

// A skill card's XML is a few kilobytes; real ones with long events stay far below this.
// Anything larger is refused before it is parsed, which bounds the parser's memory: the
// parsed tree of a file packed with empty elements takes about 17 times the file's size.
inline constexpr std::size_t kXmlCardMaxBytes = 4u << 20;
// Deeper nesting than this is no file the editor writes.
inline constexpr int kXmlCardMaxDepth = 256;

// What a read noticed that the rating cannot show exactly.
struct XmlCardNotes {
    // Some effect gives an exact amount ("Fixed"), which has no binary counterpart and is
    // rated as a normal amount.
    bool fixedAmountAsNormal = false;
};

// Reads one SkillCard document from memory. Fills `card` (with the name as UTF-8, marked
// by CardnameIsUtf8) and appends the card's rated effects to `effects`. Returns 0 or a
// failure code above; on failure `effects` is left as it was.
std::int32_t ReadXmlCard(std::string_view bytes, WidCard& card, EffectCollection& effects,
                         XmlCardNotes* notes = nullptr);

// The same from a stream at its start; refuses a stream longer than kXmlCardMaxBytes
// without reading it all. The stream stays open.
std::int32_t ReadXmlCard(std::FILE* stream, WidCard& card, EffectCollection& effects,
                         XmlCardNotes* notes = nullptr);

// What a card list needs of an XML card: its Id and its name (UTF-8).
struct XmlCardHead {
    std::int32_t id = 0;
    std::string name;
};

// The head of the card in `stream` when it is a skill card rated on its own: a SkillCard
// root with Property and LinkId 0. Nothing for any other file, including one too large.
std::optional<XmlCardHead> ReadXmlCardHead(std::FILE* stream);
// The same from bytes in memory (a member of an archive).
std::optional<XmlCardHead> ReadXmlCardHead(std::string_view bytes);

// A text of Description or KeyCodes with its escapes undone: "\n" is a line feed, "\\" a
// backslash, "\x" any other x.
std::string UnescapeXmlCardText(std::string_view text);

}  // namespace morvat
