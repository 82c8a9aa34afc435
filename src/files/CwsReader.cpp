// SPDX-License-Identifier: MIT
// Reading the cws file back into an editor: each field group becomes the effect rows that
// gather to it again.
#include <algorithm>
#include <array>
#include <system_error>

#include "files/CwsFile.h"
#include "files/CwsLineReader.h"
#include "model/EffectCatalogue.h"

namespace morvat {
namespace {

// A hostile file must not make one line add millions of rows: a value that AddEffect
// splits into rows of 99 adds at most 1000 rows, and a count line at most 1000 entries.
constexpr std::int64_t kMaxValueAdded = 99 * 1000;
constexpr std::int64_t kMaxEntriesAdded = 1000;

// Holy-or-magic damage comes back with rounds 2, which AddEffect turns into "神聖".
constexpr std::int32_t kPlainDamageRounds = 1;
constexpr std::int32_t kHolyDamageRounds = 2;

std::int32_t Narrow(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, kCwsValueCeiling));
}

void AddValue(EditorState& editor, EffectKind kind, std::uint8_t valueKind, std::int64_t value,
              std::int32_t rounds) {
    AddEffect(editor, {.kind = kind,
                       .valueKind = valueKind,
                       .value = Narrow(std::min(value, kMaxValueAdded)),
                       .rounds = rounds});
}

void AddPlain(EditorState& editor, EffectKind kind, std::int64_t rounds = 1) {
    AddEffect(editor, {.kind = kind, .rounds = Narrow(rounds)});
}

void AddRepeated(EditorState& editor, EffectKind kind, std::int64_t count) {
    for (std::int64_t i = 0; i < std::min(count, kMaxEntriesAdded); ++i) AddPlain(editor, kind);
}

// The three flags of one value effect in a flag row: by level, fixed, maximum.
struct ValueFlags {
    bool byLevel;
    bool fixed;
    bool maximum;
};

template <std::size_t N>
ValueFlags ValueFlagsAt(const std::array<bool, N>& row, std::size_t first) {
    return {row[first], row[first + 1], row[first + 2]};
}

// A value effect as the file keeps it: the kind and the rounds that bring it back.
struct ValueEffect {
    EffectKind kind;
    std::int32_t rounds = 1;
};

// A value effect's two lines, the sum by level and the fixed sum, then its maximum flag.
void ReadValueLines(DigitLineReader& r, EditorState& editor, ValueEffect effect, ValueFlags flags) {
    const auto add = [&](std::uint8_t valueKind, std::int64_t value) {
        AddValue(editor, effect.kind, valueKind, value, effect.rounds);
    };
    r.ReadDigitLine();
    if (flags.byLevel && r.hasDigits()) add(kValueKindLevel, r.value());
    r.ReadDigitLine();
    if (flags.fixed && r.hasDigits()) add(kValueKindFixed, r.value());
    if (flags.maximum) add(kValueKindMax, 1);
}

// A line of six flags for two value effects, then the value lines of the first and of the
// second.
void ReadValuePair(DigitLineReader& r, EditorState& editor, ValueEffect first, ValueEffect second) {
    r.ReadDigitLine();
    const auto row = r.Flags<6>();
    ReadValueLines(r, editor, first, ValueFlagsAt(row, 0));
    ReadValueLines(r, editor, second, ValueFlagsAt(row, 3));
}

// A line whose first flag adds one row of `kind`.
void ReadOneFlag(DigitLineReader& r, EditorState& editor, EffectKind kind) {
    r.ReadDigitLine();
    if (r.hasDigits() && r.isOne(1)) AddPlain(editor, kind);
}

// Signed 8-bit reading of a line: the ability change lines keep only the low byte.
std::int32_t AsSigned8(std::int64_t v) {
    return static_cast<std::int8_t>(v & 0xFF);
}

// The four ability change sizes (lines of one number each); a missing one is 0.
std::array<std::int32_t, 4> ReadChangeSizes(DigitLineReader& r) {
    std::array<std::int32_t, 4> sizes{};
    for (auto& size : sizes) {
        r.ReadDigitLine();
        size = r.hasDigits() ? AsSigned8(r.value()) : 0;
    }
    return sizes;
}

// The kind of the i-th ability, in the action, avoidance, resistance, defence order.
EffectKind AbilityChangeKind(std::size_t i) {
    return KindAfter(EffectKind::ActionChange, static_cast<int>(i));
}

void ReadEnemyBlock(DigitLineReader& r, EditorState& editor) {
    ReadValuePair(r, editor, {EffectKind::Damage, kPlainDamageRounds},
                  {EffectKind::Damage, kHolyDamageRounds});                   // 6 to 10
    ReadValuePair(r, editor, {EffectKind::Poison}, {EffectKind::Paralysis});  // 11 to 15
    ReadOneFlag(r, editor, EffectKind::SkillDisable);                         // 16

    r.ReadDigitLine();  // 17
    const auto mentalRow = r.Flags<4>();
    constexpr std::array kMentalKinds{EffectKind::Sleep, EffectKind::Confusion, EffectKind::Rage,
                                      EffectKind::Fear};
    for (std::size_t i = 0; i < mentalRow.size(); ++i) {  // 18 to 21
        r.ReadDigitLine();
        if (mentalRow[i] && r.hasDigits()) AddPlain(editor, kMentalKinds[i], r.value());
    }

    r.ReadDigitLine();  // 22
    const auto magicRow = r.Flags<3>();
    constexpr std::array kMagicKinds{EffectKind::Bind, EffectKind::Silence, EffectKind::Expose};
    for (std::size_t i = 0; i < magicRow.size(); ++i) {  // 23 to 25
        r.ReadDigitLine();
        if (magicRow[i] && r.hasDigits()) AddPlain(editor, kMagicKinds[i], r.value());
    }

    r.ReadDigitLine();  // 26: empty

    r.ReadDigitLine();  // 27
    const auto loweredRow = r.Flags<4>();
    const auto by = ReadChangeSizes(r);                    // 28 to 31
    for (std::size_t i = 0; i < loweredRow.size(); ++i) {  // 32 to 35
        r.ReadDigitLine();
        if (!loweredRow[i]) continue;
        // A change of 0 is a reset, which lasts one round whatever the file says.
        if (by[i] == 0) {
            AddPlain(editor, AbilityChangeKind(i));
        } else {
            AddEffect(
                editor,
                {.kind = AbilityChangeKind(i), .variation = -by[i], .rounds = Narrow(r.value())});
        }
    }

    r.ReadDigitLine();  // 36
    // Characters after this line's digits belong to earlier lines; they count as absent.
    const auto flag = [&r](std::size_t n) { return r.digits() >= n && r.isOne(n); };
    if (flag(1)) AddPlain(editor, EffectKind::EraseTarget);
    if (flag(2)) AddPlain(editor, EffectKind::EraseSummon);
    editor.ObAssasin = flag(4);
    editor.ObFaratack = flag(5);
    if (flag(3) && r.digits() >= 6) AddRepeated(editor, EffectKind::DealConfusion, r.ValueFrom(6));
}

void ReadAllyBlock(DigitLineReader& r, EditorState& editor) {
    r.ReadDigitLine();  // 6
    const auto healRow = r.Flags<3>();
    ReadValueLines(r, editor, {EffectKind::Heal}, ValueFlagsAt(healRow, 0));  // 7, 8

    ReadValuePair(r, editor, {EffectKind::CurePoison}, {EffectKind::CureParalysis});  // 9 to 13
    ReadOneFlag(r, editor, EffectKind::SkillRecover);                                 // 14

    r.ReadDigitLine();  // 15
    const bool bravery = r.hasDigits() && r.isOne(1);
    if (r.digits() >= 2 && r.isOne(2)) AddPlain(editor, EffectKind::MindNormal);
    r.ReadDigitLine();  // 16
    if (bravery && r.hasDigits()) AddPlain(editor, EffectKind::Bravery, r.value());

    r.ReadDigitLine();  // 17
    if (r.digits() >= 4) {
        constexpr std::array kReleaseKinds{EffectKind::Unbind, EffectKind::Unsilence,
                                           EffectKind::Unexpose, EffectKind::Unnullify};
        for (std::size_t i = 0; i < kReleaseKinds.size(); ++i) {
            if (r.isOne(i + 1)) AddPlain(editor, kReleaseKinds[i]);
        }
    }

    r.ReadDigitLine();  // 18
    const auto raisedRow = r.Flags<4>();
    const auto step = ReadChangeSizes(r);                 // 19 to 22
    for (std::size_t i = 0; i < raisedRow.size(); ++i) {  // 23 to 26
        r.ReadDigitLine();
        // The step is the rise less one: step 0 is +1.
        if (raisedRow[i] && r.hasDigits()) {
            AddEffect(editor, {.kind = AbilityChangeKind(i),
                               .variation = step[i] + 1,
                               .rounds = Narrow(r.value())});
        }
    }

    r.ReadDigitLine();  // 27
    if (r.hasDigits() && r.isOne(1)) AddRepeated(editor, EffectKind::DealSkill, r.ValueFrom(2));

    r.ReadDigitLine();  // 28
    if (r.hasDigits() && r.isOne(1)) {
        const std::int64_t rounds = r.ValueFrom(2);
        if (rounds > 0) AddPlain(editor, EffectKind::MagicNullify, rounds);
    }
}

}  // namespace

namespace {

bool ReadCwsLines(std::istream& in, EditorState& editor, std::string_view cardName) {
    ClearEditor(editor);
    DigitLineReader r(in);

    // Line 1: target, voice, attribute, success step and resistance. The pre-set zeros show
    // through wherever the line is short.
    r.Preset(7, '0');
    r.ReadDigitLine();
    editor.ObTarget = (r.isOne(1) ? kTargetOneAlly : kTargetOneEnemy) + (r.isOne(2) ? 1 : 0);
    editor.ObVoice = r.isOne(3);
    editor.ObAttribute = r.at(4) == '0' ? 0 : r.at(4) == '1' ? 2 : 3;
    std::int64_t success = r.digits() < 5 ? r.ValueFrom(5, 1) : r.ValueFrom(5, 2);
    if (success < 0 || success > 10) success = 5;
    editor.ObSuccess = static_cast<int>(success) - 5;
    if (r.digits() >= 7) editor.ObDefence = r.isOne(7) ? 1 : 0;

    // Line 2: which modifiers on use are set. Too short means the file is not a skill.
    if (r.ReadDigitLine() < 3) return false;
    const auto has = r.Flags<3>();

    // Lines 3 to 5: the modifiers on use, stored as position + 10.
    const auto modifier = [](std::int64_t v, bool set) {
        if (v < 0 || v > 20) v = 10;
        return set ? static_cast<int>(v) - 10 : 0;
    };
    r.ReadDigitLine();
    editor.ObEscape = modifier(r.value(), has[0]);
    r.ReadDigitLine();
    editor.ObDefuse = modifier(r.ValueFrom(1, 2), has[1]);
    r.ReadDigitLine();
    editor.ObGard = modifier(r.ValueFrom(1, 2), has[2]);

    const bool ally = editor.ObTarget == kTargetOneAlly || editor.ObTarget == kTargetAllAllies;
    if (ally) {
        ReadAllyBlock(r, editor);
    } else {
        ReadEnemyBlock(r, editor);
    }
    // A file cut short would be rated as a smaller skill. The enemy block's last line, the
    // key codes, came later to the format: a file without it is complete.
    constexpr std::size_t kAllyLastLine = 28;
    constexpr std::size_t kEnemyLastNeededLine = 35;
    if (r.presentLines() < (ally ? kAllyLastLine : kEnemyLastNeededLine)) return false;

    editor.ObLevel = "-";
    editor.ObCardname = std::string(cardName);
    return true;
}

}  // namespace

FileResult LoadCwsFile(std::istream& in, EditorState& editor, std::string_view cardName) {
    try {
        if (!ReadCwsLines(in, editor, cardName)) return {FileStatus::NotWhole, 0, {}};
    } catch (const std::system_error& failure) {
        // The stream's reads failed part way: what came before is no whole file either.
        return {FileStatus::Unreadable, failure.code().value(), failure.what()};
    }
    return {FileStatus::Ok, 0, {}};
}

std::string CardNameFromPath(const std::filesystem::path& path) {
    // The extension runs from the last dot of the file name, so ".cws" alone has an empty
    // card name.
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace morvat
