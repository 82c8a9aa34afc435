// SPDX-License-Identifier: MIT
#include "files/XmlCardReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <new>
#include <optional>
#include <pugixml.hpp>
#include <utility>

#include "files/Utf8.h"
#include "files/WidMotions.h"

namespace morvat {
namespace {

struct XmlReadFailure {
    std::int32_t code;
};

[[noreturn]] void Fail(std::int32_t code) {
    throw XmlReadFailure{code};
}

std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

// A decimal integer, saturated to 32 bits so that a huge number stays out of every range.
std::optional<std::int32_t> ParseInt(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || end != text.data() + text.size()) return std::nullopt;
    constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kHighest = std::numeric_limits<std::int32_t>::max();
    if (error == std::errc::result_out_of_range) value = text.front() == '-' ? kLowest : kHighest;
    return static_cast<std::int32_t>(std::clamp(value, kLowest, kHighest));
}

// The code of a name in `names`, or -1.
template <std::size_t N>
int CodeOf(std::string_view text, const std::array<std::string_view, N>& names) {
    text = Trimmed(text);
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == text) return static_cast<int>(i);
    }
    return -1;
}

int BooleanCode(std::string_view text) {
    static constexpr std::array<std::string_view, 2> kNames = {"False", "True"};
    return CodeOf(text, kNames);
}

// An integer child of Property in lowest..highest; a missing element counts as `absent`.
std::int32_t IntField(pugi::xml_node property, const char* name, std::int32_t lowest,
                      std::int32_t highest, std::int32_t code) {
    const pugi::xml_node node = property.child(name);
    if (!node) return std::clamp<std::int32_t>(0, lowest, highest);
    const std::optional<std::int32_t> value = ParseInt(node.child_value());
    if (!value || *value < lowest || *value > highest) Fail(code);
    return *value;
}

std::int32_t IntAttribute(pugi::xml_node node, const char* name, std::int32_t code) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return 0;
    const std::optional<std::int32_t> value = ParseInt(attribute.value());
    if (!value || *value < -10 || *value > 10) Fail(code);
    return *value;
}

std::uint8_t FlagAttribute(pugi::xml_node node, const char* name, std::int32_t code) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return 0;
    const int value = BooleanCode(attribute.value());
    if (value < 0) Fail(code);
    return static_cast<std::uint8_t>(value);
}

// A named value whose code must lie in 0..highest; a missing element counts as code 0.
std::uint8_t NamedField(pugi::xml_node node, int code, int highest, std::int32_t failure) {
    if (!node) return 0;
    if (code < 0 || code > highest) Fail(failure);
    return static_cast<std::uint8_t>(code);
}

// Every element nested at most kXmlCardMaxDepth deep, walked without recursion so that the
// walk itself cannot exhaust the stack.
void CheckDepth(const pugi::xml_document& document) {
    int depth = 0;
    pugi::xml_node node = document.first_child();
    while (node) {
        if (node.first_child()) {
            node = node.first_child();
            if (++depth > kXmlCardMaxDepth) Fail(kXmlTooDeep);
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
            --depth;
        }
        if (node) node = node.next_sibling();
    }
}

void ReadKeyCodes(pugi::xml_node property, WidCard& card) {
    const std::string text = UnescapeXmlCardText(property.child("KeyCodes").child_value());
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view keyCode = rest.substr(0, end);
        if (keyCode == "遠距離攻撃") card.Faratack = true;
        if (keyCode == "暗殺") card.Assasin = true;
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
}

void ReadProperty(pugi::xml_node property, WidCard& card) {
    if (const pugi::xml_node link = property.child("LinkId")) {
        const std::optional<std::int32_t> id = ParseInt(link.child_value());
        if (!id) Fail(kXmlLinkIdRange);
        if (*id != 0) Fail(kXmlLinkedCard);
    }
    card.Cardname = ValidUtf8(property.child_value("Name"));
    card.CardnameIsUtf8 = true;

    const pugi::xml_node effectType = property.child("EffectType");
    card.Voice = FlagAttribute(effectType, "spell", kXmlSpellRange);
    static constexpr std::array<std::string_view, 6> kAttributes = {
        "Physic", "Magic", "MagicalPhysic", "PhysicalMagic", "None", "Normal"};
    card.Attribute = NamedField(effectType, CodeOf(effectType.child_value(), kAttributes), 3,
                                kXmlEffectTypeRange);

    const pugi::xml_node target = property.child("Target");
    card.TargetAll = FlagAttribute(target, "allrange", kXmlAllRangeRange);
    static constexpr std::array<std::string_view, 5> kTargets = {"None", "User", "Party", "Enemy",
                                                                 "Both"};
    card.Target = NamedField(target, CodeOf(target.child_value(), kTargets),
                             4, kXmlTargetRange);

    const pugi::xml_node resist = property.child("ResistType");
    static constexpr std::array<std::string_view, 3> kDefences = {"Avoid", "Resist", "Unfail"};
    card.Defence = NamedField(resist, CodeOf(resist.child_value(), kDefences),
                              1, kXmlResistTypeRange);

    card.Success = IntField(property, "SuccessRate", -5, 5, kXmlSuccessRateRange);
    const pugi::xml_node enhance = property.child("Enhance");
    card.Escape = IntAttribute(enhance, "avoid", kXmlAvoidRange);
    card.Defuse = IntAttribute(enhance, "resist", kXmlResistRange);
    card.Gard = IntAttribute(enhance, "defense", kXmlDefenseRange);
    ReadKeyCodes(property, card);
    card.Level = IntField(property, "Level", 0, 999, kXmlLevelRange);
}

struct MotionCode {
    std::string_view name;
    std::int32_t type;
    std::uint8_t detail;
};

// Each motion name stands for the binary motion type and detail code it is written as there,
// so that the same rule decides what is rated.
constexpr MotionCode kMotionCodes[] = {
    {"Heal", 0x40800, 0},         {"Damage", 0x40800, 1},         {"Absorb", 0x40800, 2},
    {"Paralyze", 0x40801, 0},     {"DisParalyze", 0x40801, 1},    {"Poison", 0x40801, 2},
    {"DisPoison", 0x40801, 3},    {"GetSkillPower", 0x40802, 0},  {"LoseSkillPower", 0x40802, 1},
    {"Sleep", 0x40803, 0},        {"Confuse", 0x40803, 1},        {"Overheat", 0x40803, 2},
    {"Brave", 0x40803, 3},        {"Panic", 0x40803, 4},          {"Normal", 0x40803, 5},
    {"Bind", 0x40804, 0},         {"DisBind", 0x40804, 1},        {"Silence", 0x40804, 2},
    {"DisSilence", 0x40804, 3},   {"FaceUp", 0x40804, 4},         {"FaceDown", 0x40804, 5},
    {"AntiMagic", 0x40804, 6},    {"DisAntiMagic", 0x40804, 7},   {"EnhanceAction", 0x40805, 0},
    {"EnhanceAvoid", 0x40805, 1}, {"EnhanceResist", 0x40805, 2},  {"EnhanceDefense", 0x40805, 3},
    {"VanishTarget", 0x40806, 0}, {"VanishCard", 0x40806, 1},     {"VanishBeast", 0x40806, 2},
    {"DealAttackCard", 0x40807, 0}, {"DealPowerfulAttackCard", 0x40807, 1},
    {"DealCriticalAttackCard", 0x40807, 2}, {"DealFeintCard", 0x40807, 3},
    {"DealDefenseCard", 0x40807, 4}, {"DealDistanceCard", 0x40807, 5},
    {"DealConfuseCard", 0x40807, 6}, {"DealSkillCard", 0x40807, 7},
    {"CancelAction", 0x40807, 8}, {"SummonBeast", 0x40808, 0},
    {"NoEffect", 0, 0},
};

std::int32_t IntOr(pugi::xml_attribute attribute, std::int32_t absent) {
    if (!attribute) return absent;
    // Text that is no number becomes a value every range replaces.
    return ParseInt(attribute.value()).value_or(std::numeric_limits<std::int32_t>::min());
}

void ReadMotion(pugi::xml_node motion, EffectCollection& effects, XmlCardNotes& notes) {
    const std::string_view name = motion.attribute("type").value();
    if (name.empty()) return;
    const auto found = std::find_if(std::begin(kMotionCodes), std::end(kMotionCodes),
                                    [name](const MotionCode& m) { return m.name == name; });
    if (found == std::end(kMotionCodes)) return;
    const std::uint8_t kind = RatedEffectKind(found->type, found->detail);
    if (kind == 0) return;

    static constexpr std::array<std::string_view, 7> kElements = {
        "All", "Health", "Mind", "Miracle", "Magic", "Fire", "Ice"};
    const int element = CodeOf(motion.attribute("element").value(), kElements);
    int valueKind = 0;
    std::int32_t value = 1;
    std::int32_t variation = 0;
    std::int32_t rounds = 1;
    if (found->type == 0x40800 || found->type == 0x40801) {
        static constexpr std::array<std::string_view, 4> kValueKinds = {"LevelRatio", "Normal",
                                                                        "Max", "Fixed"};
        valueKind = CodeOf(motion.attribute("damagetype").value(), kValueKinds);
        if (valueKind == 3) {
            // An exact amount has no counterpart in the rating; the nearest is a normal one.
            valueKind = 1;
            notes.fixedAmountAsNormal = true;
        }
        value = IntOr(motion.attribute("value"), 1);
    } else if (found->type == 0x40803 || found->type == 0x40804) {
        rounds = IntOr(motion.attribute("duration"), 1);
    } else if (found->type == 0x40805) {
        variation = IntOr(motion.attribute("value"), 0);
        rounds = IntOr(motion.attribute("duration"), 1);
    }
    effects.push_back(MakeEffectEntry(kind, static_cast<std::int8_t>(element),
                                      static_cast<std::int8_t>(valueKind), value, variation,
                                      rounds));
}

std::int32_t ReadDocument(std::string& buffer, WidCard& card, EffectCollection& effects,
                          XmlCardNotes& notes) {
    if (buffer.size() > kXmlCardMaxBytes) return kXmlTooLarge;
    pugi::xml_document document;
    // The default options read no document type declaration and expand no entities of the
    // file's own, so an entity bomb stays a few bytes of text.
    const pugi::xml_parse_result parsed = document.load_buffer_inplace(
        buffer.data(), buffer.size(), pugi::parse_default, pugi::encoding_auto);
    if (parsed.status == pugi::status_out_of_memory) return kXmlOutOfMemory;
    if (!parsed) return kXmlNotWellFormed;
    CheckDepth(document);
    const pugi::xml_node root = document.document_element();
    if (std::string_view(root.name()) != "SkillCard") return kXmlRootNotSkillCard;
    const pugi::xml_node property = root.child("Property");
    if (!property) return kXmlNoProperty;

    WidCard read;
    ReadProperty(property, read);
    EffectCollection added;
    for (const pugi::xml_node motion : root.child("Motions").children("Motion")) {
        ReadMotion(motion, added, notes);
    }
    card = std::move(read);
    effects.insert(effects.end(), added.begin(), added.end());
    return 0;
}

// The whole stream into `buffer`, refusing one longer than kXmlCardMaxBytes. A stream that
// knows its size is refused before a byte of it is read; any other is read to at most one
// byte past the limit, so a 100 MB file never costs more than 16 MiB.
std::int32_t ReadBounded(std::FILE* stream, std::string& buffer) {
    if (std::fseek(stream, 0, SEEK_END) == 0) {
        const long size = std::ftell(stream);
        if (size > static_cast<long>(kXmlCardMaxBytes)) return kXmlTooLarge;
        std::rewind(stream);
    }
    std::array<char, 65536> chunk{};
    while (buffer.size() <= kXmlCardMaxBytes) {
        const std::size_t wanted = std::min(chunk.size(), kXmlCardMaxBytes + 1 - buffer.size());
        const std::size_t got = std::fread(chunk.data(), 1, wanted, stream);
        buffer.append(chunk.data(), got);
        if (got < wanted) break;
    }
    if (std::ferror(stream)) return kXmlCannotRead;
    return 0;
}

}  // namespace

std::string UnescapeXmlCardText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
        } else if (i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n' ? '\n' : next;
        }
    }
    return out;
}

std::int32_t ReadXmlCard(std::string_view bytes, WidCard& card, EffectCollection& effects,
                         XmlCardNotes* notes) {
    if (bytes.size() > kXmlCardMaxBytes) return kXmlTooLarge;
    try {
        std::string buffer(bytes);
        XmlCardNotes ignored;
        return ReadDocument(buffer, card, effects, notes != nullptr ? *notes : ignored);
    } catch (const XmlReadFailure& failure) {
        return failure.code;
    } catch (const std::bad_alloc&) {
        return kXmlOutOfMemory;
    }
}

std::int32_t ReadXmlCard(std::FILE* stream, WidCard& card, EffectCollection& effects,
                         XmlCardNotes* notes) {
    std::string buffer;
    try {
        if (const std::int32_t code = ReadBounded(stream, buffer); code != 0) return code;
    } catch (const std::bad_alloc&) {
        return kXmlOutOfMemory;
    }
    return ReadXmlCard(buffer, card, effects, notes);
}

namespace {

std::optional<XmlCardHead> HeadOf(std::string& buffer) {
    try {
        pugi::xml_document document;
        if (!document.load_buffer_inplace(buffer.data(), buffer.size(), pugi::parse_default,
                                          pugi::encoding_auto)) {
            return std::nullopt;
        }
        CheckDepth(document);
        const pugi::xml_node root = document.document_element();
        const pugi::xml_node property = root.child("Property");
        if (std::string_view(root.name()) != "SkillCard" || !property) return std::nullopt;
        if (const pugi::xml_node link = property.child("LinkId")) {
            if (ParseInt(link.child_value()).value_or(1) != 0) return std::nullopt;
        }
        XmlCardHead head;
        head.id = ParseInt(property.child_value("Id")).value_or(0);
        head.name = ValidUtf8(property.child_value("Name"));
        return head;
    } catch (const XmlReadFailure&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<XmlCardHead> ReadXmlCardHead(std::FILE* stream) {
    try {
        std::string buffer;
        if (ReadBounded(stream, buffer) != 0) return std::nullopt;
        return HeadOf(buffer);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<XmlCardHead> ReadXmlCardHead(std::string_view bytes) {
    if (bytes.size() > kXmlCardMaxBytes) return std::nullopt;
    try {
        std::string buffer(bytes);
        return HeadOf(buffer);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace morvat
