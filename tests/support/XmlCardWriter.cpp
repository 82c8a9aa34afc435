// SPDX-License-Identifier: MIT
#include "XmlCardWriter.h"

#include <array>
#include <sstream>

#include "files/ShiftJis.h"

namespace morvat::test {
namespace {

std::string Utf8Of(const WidText& text) {
    std::string bytes = text.bytes;
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    return ShiftJisToUtf8(bytes);
}

const char* Boolean(int flag) {
    return flag != 0 ? "True" : "False";
}

template <std::size_t N>
std::string NameOr(const std::array<const char*, N>& names, int code, std::string_view other) {
    if (code >= 0 && code < static_cast<int>(N)) return names[static_cast<std::size_t>(code)];
    return std::string(other);
}

// The motion's name in the XML, or empty when it has none.
std::string MotionName(std::int32_t type, int detail) {
    static const std::array<std::array<const char*, 9>, 8> kNames = {{
        {"Heal", "Damage", "Absorb"},
        {"Paralyze", "DisParalyze", "Poison", "DisPoison"},
        {"GetSkillPower", "LoseSkillPower"},
        {"Sleep", "Confuse", "Overheat", "Brave", "Panic", "Normal"},
        {"Bind", "DisBind", "Silence", "DisSilence", "FaceUp", "FaceDown", "AntiMagic",
         "DisAntiMagic"},
        {"EnhanceAction", "EnhanceAvoid", "EnhanceResist", "EnhanceDefense"},
        {"VanishTarget", "VanishCard", "VanishBeast"},
        {"DealAttackCard", "DealPowerfulAttackCard", "DealCriticalAttackCard", "DealFeintCard",
         "DealDefenseCard", "DealDistanceCard", "DealConfuseCard", "DealSkillCard",
         "CancelAction"},
    }};
    const std::int32_t group = type - 0x40800;
    if (group < 0 || group >= 8 || detail < 0 || detail >= 9) return {};
    const char* name = kNames[static_cast<std::size_t>(group)][static_cast<std::size_t>(detail)];
    return name != nullptr ? name : "";
}

void WriteMotion(std::ostringstream& out, const WidMotion& m) {
    const std::string name = MotionName(m.type, m.detail);
    if (name.empty()) return;
    static const std::array<const char*, 7> kElements = {"All",   "Health", "Mind", "Miracle",
                                                         "Magic", "Fire",   "Ice"};
    static const std::array<const char*, 3> kValueKinds = {"LevelRatio", "Normal", "Max"};
    out << "    <Motion type=\"" << name << "\" element=\""
        << NameOr(kElements, m.element, "Unknown") << '"';
    switch (m.type) {
        case 0x40800:
        case 0x40801:
            out << " damagetype=\"" << NameOr(kValueKinds, m.valueKind, "Unknown")
                << "\" value=\"" << m.value << '"';
            break;
        case 0x40803:
        case 0x40804:
            out << " duration=\"" << m.rounds << '"';
            break;
        case 0x40805:
            out << " value=\"" << m.variation << "\" duration=\"" << m.rounds << '"';
            break;
        default:
            break;
    }
    out << "/>\n";
}

}  // namespace

std::string EscapeXmlCardText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out;
}

std::string XmlEscaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string WriteXmlCard(const WidCardPlan& plan, int id) {
    static const std::array<const char*, 5> kTargets = {"None", "User", "Party", "Enemy", "Both"};
    static const std::array<const char*, 5> kEffectTypes = {"Physic", "Magic", "MagicalPhysic",
                                                            "PhysicalMagic", "None"};
    static const std::array<const char*, 3> kResistTypes = {"Avoid", "Resist", "Unfail"};
    std::string keyCodes;
    for (const WidText& keyCode : plan.keyCodes) {
        const std::string text = Utf8Of(keyCode);
        if (text.empty()) continue;
        if (!keyCodes.empty()) keyCodes += '\n';
        keyCodes += text;
    }
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<SkillCard dataVersion=\"4\">\n  <Property>\n"
        << "    <Id>" << id << "</Id>\n"
        << "    <Name>" << XmlEscaped(Utf8Of(plan.name)) << "</Name>\n"
        << "    <Description>" << XmlEscaped(EscapeXmlCardText(Utf8Of(plan.secondBlock)))
        << "</Description>\n"
        << "    <LinkId>0</LinkId>\n"
        << "    <Ability physical=\"Int\" mental=\"Uncautious\"/>\n"
        << "    <Target allrange=\"" << Boolean(plan.targetAll) << "\">"
        << NameOr(kTargets, plan.target, "Unknown") << "</Target>\n"
        << "    <EffectType spell=\"" << Boolean(plan.voice) << "\">"
        << NameOr(kEffectTypes, plan.attribute, "Unknown") << "</EffectType>\n"
        << "    <ResistType>" << NameOr(kResistTypes, plan.defence, "Unknown") << "</ResistType>\n"
        << "    <SuccessRate>" << plan.success << "</SuccessRate>\n"
        << "    <VisualEffect>None</VisualEffect>\n"
        << "    <Enhance avoid=\"" << plan.escape << "\" resist=\"" << plan.defuse
        << "\" defense=\"" << plan.gard << "\"/>\n"
        << "    <KeyCodes>" << XmlEscaped(EscapeXmlCardText(keyCodes)) << "</KeyCodes>\n"
        << "    <Premium>Normal</Premium>\n"
        << "    <Level>" << plan.level << "</Level>\n"
        << "    <UseLimit>0</UseLimit>\n    <Hold>False</Hold>\n  </Property>\n  <Motions>\n";
    for (const WidMotion& m : plan.motions.motions) WriteMotion(out, m);
    out << "  </Motions>\n  <Events/>\n</SkillCard>\n";
    return out.str();
}

}  // namespace morvat::test
