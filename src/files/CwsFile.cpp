// SPDX-License-Identifier: MIT
#include "files/CwsFile.h"

#include <algorithm>
#include <array>
#include <limits>
#include <streambuf>

namespace morvat {
namespace {

// ---------------------------------------------------------------------------------------
// Writing

// `high` of kNoUpperEnd: sums and counts have no upper end.
constexpr std::int64_t kNoUpperEnd = -1;

// A value outside its range is written as the lower end, which is 0 for every field: a
// damaged record never produces a line the reader would misread as another field.
void WriteNumber(std::string& out, std::int64_t value, std::int64_t low, std::int64_t high) {
    const bool inRange = value >= low && (high == kNoUpperEnd || value <= high);
    out += std::to_string(inRange ? value : low);
}

void WriteFlag(std::string& out, std::int64_t value) {
    WriteNumber(out, value, 0, 1);
}

void EndLine(std::string& out) {
    out += "\r\n";
}

void FlagLine(std::string& out, std::initializer_list<std::int64_t> flags) {
    for (std::int64_t f : flags) WriteFlag(out, f);
    EndLine(out);
}

void NumberLine(std::string& out, std::int64_t value, std::int64_t low, std::int64_t high) {
    WriteNumber(out, value, low, high);
    EndLine(out);
}

void WriteHeader(std::string& out, const SideHeader& h) {
    WriteFlag(out, h.toAllies);
    WriteFlag(out, h.toAll);
    WriteFlag(out, h.needsVoice);
    WriteNumber(out, h.mixedAttribute, 0, 2);
    // The success step always takes two characters so that the reader finds the
    // resistance flag at the 7th.
    if (h.successStep > 9) {
        out += "10";
    } else {
        out += '0';
        WriteNumber(out, h.successStep, 0, 9);
    }
    WriteFlag(out, h.resistOnly);
    EndLine(out);
    FlagLine(out, {h.hasAvoidMod, h.hasResistMod, h.hasDefenceMod});
    NumberLine(out, h.avoidMod, 0, 20);
    NumberLine(out, h.resistMod, 0, 20);
    NumberLine(out, h.defenceMod, 0, 20);
}

void WriteEnemyBlock(std::string& out, const EnemySideRecord& e) {
    FlagLine(out, {e.damageLv, e.damageFixed, e.damageMax, e.weakDamageLv, e.weakDamageFixed,
                   e.weakDamageMax});
    NumberLine(out, e.damageLvSum, 0, kNoUpperEnd);
    NumberLine(out, e.damageFixedSum, 0, kNoUpperEnd);
    NumberLine(out, e.weakDamageLvSum, 0, kNoUpperEnd);
    NumberLine(out, e.weakDamageFixedSum, 0, kNoUpperEnd);
    FlagLine(out, {e.poisonLv, e.poisonFixed, e.poisonMax, e.paralysisLv, e.paralysisFixed,
                   e.paralysisMax});
    NumberLine(out, e.poisonLvSum, 0, kNoUpperEnd);
    NumberLine(out, e.poisonFixedSum, 0, kNoUpperEnd);
    NumberLine(out, e.paralysisLvSum, 0, kNoUpperEnd);
    NumberLine(out, e.paralysisFixedSum, 0, kNoUpperEnd);
    FlagLine(out, {e.skillDisable});
    FlagLine(out, {e.sleep, e.confusion, e.rage, e.fear});
    NumberLine(out, e.sleepRounds, 0, 999);
    NumberLine(out, e.confusionRounds, 0, 999);
    NumberLine(out, e.rageRounds, 0, 999);
    NumberLine(out, e.fearRounds, 0, 999);
    FlagLine(out, {e.bind, e.silence, e.expose});
    NumberLine(out, e.bindRounds, 0, 999);
    NumberLine(out, e.silenceRounds, 0, 999);
    NumberLine(out, e.exposeRounds, 0, 999);
    EndLine(out);  // line 26 holds nothing
    FlagLine(out, {e.actionDown, e.avoidDown, e.resistDown, e.defenceDown});
    NumberLine(out, e.actionDownBy, 0, 10);
    NumberLine(out, e.avoidDownBy, 0, 10);
    NumberLine(out, e.resistDownBy, 0, 10);
    NumberLine(out, e.defenceDownBy, 0, 10);
    NumberLine(out, e.actionDownRounds, 0, 999);
    NumberLine(out, e.avoidDownRounds, 0, 999);
    NumberLine(out, e.resistDownRounds, 0, 999);
    NumberLine(out, e.defenceDownRounds, 0, 999);
    for (std::int64_t f :
         {e.eraseTarget, e.eraseSummon, e.dealConfusion, e.assassin, e.longRange}) {
        WriteFlag(out, f);
    }
    NumberLine(out, e.dealConfusionCount, 0, kNoUpperEnd);
}

void WriteAllyBlock(std::string& out, const AllySideRecord& a) {
    FlagLine(out, {a.healLv, a.healFixed, a.healMax});
    NumberLine(out, a.healLvSum, 0, kNoUpperEnd);
    NumberLine(out, a.healFixedSum, 0, kNoUpperEnd);
    FlagLine(out, {a.curePoisonLv, a.curePoisonFixed, a.curePoisonMax, a.cureParalysisLv,
                   a.cureParalysisFixed, a.cureParalysisMax});
    NumberLine(out, a.curePoisonLvSum, 0, kNoUpperEnd);
    NumberLine(out, a.curePoisonFixedSum, 0, kNoUpperEnd);
    NumberLine(out, a.cureParalysisLvSum, 0, kNoUpperEnd);
    NumberLine(out, a.cureParalysisFixedSum, 0, kNoUpperEnd);
    FlagLine(out, {a.skillRecover});
    FlagLine(out, {a.bravery, a.mindNormal});
    NumberLine(out, a.braveryRounds, 0, 999);
    FlagLine(out, {a.unbind, a.unsilence, a.unexpose, a.unnullify});
    FlagLine(out, {a.actionUp, a.avoidUp, a.resistUp, a.defenceUp});
    NumberLine(out, a.actionUpStep, 0, 9);
    NumberLine(out, a.avoidUpStep, 0, 9);
    NumberLine(out, a.resistUpStep, 0, 9);
    NumberLine(out, a.defenceUpStep, 0, 9);
    NumberLine(out, a.actionUpRounds, 0, 999);
    NumberLine(out, a.avoidUpRounds, 0, 999);
    NumberLine(out, a.resistUpRounds, 0, 999);
    NumberLine(out, a.defenceUpRounds, 0, 999);
    WriteFlag(out, a.dealSkill);
    NumberLine(out, a.dealSkillCount, 0, kNoUpperEnd);
    WriteFlag(out, a.magicNullify);
    NumberLine(out, a.magicNullifyRounds, 0, 999);
}

// ---------------------------------------------------------------------------------------
// Reading

constexpr std::size_t kLineBufferSize = 50;
// One place stays for the terminator, so a line keeps at most 49 digits.
constexpr std::size_t kMaxLineDigits = kLineBufferSize - 1;

// Values saturate here rather than overflow; every field the format defines is far below.
constexpr std::int64_t kValueCeiling = std::numeric_limits<std::int32_t>::max();
// A hostile file must not make one line add millions of rows: a value that AddEffect
// splits into rows of 99 adds at most 1000 rows, and a count line at most 1000 entries.
constexpr std::int64_t kMaxValueAdded = 99 * 1000;
constexpr std::int64_t kMaxEntriesAdded = 1000;

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// Reads the file line by line into one 50-character buffer. Characters after a line's
// terminator keep what earlier lines left there; the header's first line relies on that
// (its pre-set "0000000" shows through a short line).
class DigitLineReader {
public:
    explicit DigitLineReader(std::istream& in) : in_(in.rdbuf()) { buffer_.fill('\0'); }

    // Reads one line's leading digits into the buffer and returns how many were stored.
    // A line ends at a line feed, a NUL or the end of the file; any other non-digit (a
    // carriage return, a letter, a sign) ends its digits and the rest of the line is
    // skipped. A last line without line end keeps its digits. A line of more than 49
    // digits keeps the first 49 and the rest of it is skipped.
    std::size_t ReadDigitLine() {
        std::size_t count = 0;
        bool present = false;
        while (in_ != nullptr) {
            const int c = in_->sbumpc();
            if (c == Traits::eof()) break;
            present = true;
            if (c == '\n' || c == '\0') break;
            if (!IsDigit(c) || count == kMaxLineDigits) {
                SkipRestOfLine();
                break;
            }
            buffer_[count++] = static_cast<char>(c);
        }
        buffer_[count] = '\0';
        digits_ = count;
        // Lines follow each other: once one is missing, so are all after it.
        if (present && presentLines_ == linesRead_) ++presentLines_;
        ++linesRead_;
        return count;
    }

    // How many lines from the first on the file held (a line with any byte counts).
    std::size_t presentLines() const { return presentLines_; }

    void Preset(std::size_t count, char c) { std::fill_n(buffer_.begin(), count, c); }

    std::size_t digits() const { return digits_; }
    bool hasDigits() const { return digits_ > 0; }

    // The n-th character of the buffer, counted from 1.
    char at(std::size_t n) const { return buffer_[n - 1]; }
    bool isOne(std::size_t n) const { return at(n) == '1'; }

    // The decimal number formed by the digits from the n-th character on, up to the first
    // non-digit and at most `length` of them; 0 when there is none.
    std::int64_t ValueFrom(std::size_t n, std::size_t length = kLineBufferSize) const {
        std::int64_t value = 0;
        for (std::size_t i = n - 1; i < kLineBufferSize && i < n - 1 + length; ++i) {
            if (!IsDigit(buffer_[i])) break;
            const int digit = buffer_[i] - '0';
            value = value > (kValueCeiling - digit) / 10 ? kValueCeiling : value * 10 + digit;
        }
        return value;
    }

    // The line's value: its leading digits as a decimal number, 0 when it has none.
    std::int64_t value() const { return ValueFrom(1); }

    // A row of flags: each set by a "1"; all off when the line is shorter than the row.
    template <std::size_t N>
    std::array<bool, N> Flags() const {
        std::array<bool, N> flags{};
        if (digits_ < N) return flags;
        for (std::size_t i = 0; i < N; ++i) flags[i] = isOne(i + 1);
        return flags;
    }

private:
    using Traits = std::streambuf::traits_type;

    void SkipRestOfLine() {
        for (;;) {
            const int c = in_->sbumpc();
            if (c == Traits::eof() || c == '\n' || c == '\0') return;
        }
    }

    std::streambuf* in_;
    std::array<char, kLineBufferSize> buffer_{};
    std::size_t digits_ = 0;
    std::size_t linesRead_ = 0;
    std::size_t presentLines_ = 0;
};

std::int32_t Narrow(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, kValueCeiling));
}

void AddValue(EditorState& editor, int kind, int valueKind, std::int64_t value, int rounds) {
    AddEffect(editor, static_cast<std::uint8_t>(kind), static_cast<std::uint8_t>(valueKind),
              Narrow(std::min(value, kMaxValueAdded)), 0, rounds);
}

void AddPlain(EditorState& editor, int kind, std::int32_t variation, std::int64_t rounds) {
    AddEffect(editor, static_cast<std::uint8_t>(kind), 0, 1, variation, Narrow(rounds));
}

void AddRepeated(EditorState& editor, int kind, std::int64_t count) {
    for (std::int64_t i = 0; i < std::min(count, kMaxEntriesAdded); ++i) {
        AddPlain(editor, kind, 0, 1);
    }
}

// A value line of the form: sum by level, then fixed sum and the maximum flag.
void ReadValueLines(DigitLineReader& r, EditorState& editor, int kind, bool byLevel, bool fixed,
                    bool maximum, int rounds) {
    r.ReadDigitLine();
    if (byLevel && r.hasDigits()) AddValue(editor, kind, 0, r.value(), rounds);
    r.ReadDigitLine();
    if (fixed && r.hasDigits()) AddValue(editor, kind, 1, r.value(), rounds);
    if (maximum) AddValue(editor, kind, 2, 1, rounds);
}

// Signed 8-bit reading of a line: the ability change lines keep only the low byte.
std::int32_t AsSigned8(std::int64_t v) {
    return static_cast<std::int8_t>(v & 0xFF);
}

void ReadEnemyBlock(DigitLineReader& r, EditorState& editor) {
    r.ReadDigitLine();  // 6
    const auto d = r.Flags<6>();
    // Holy-or-magic damage comes back with rounds 2, which AddEffect turns into "神聖".
    ReadValueLines(r, editor, 2, d[0], d[1], d[2], 1);  // 7, 8
    ReadValueLines(r, editor, 2, d[3], d[4], d[5], 2);  // 9, 10

    r.ReadDigitLine();  // 11
    const auto p = r.Flags<6>();
    ReadValueLines(r, editor, 6, p[0], p[1], p[2], 1);  // 12, 13: poison
    ReadValueLines(r, editor, 4, p[3], p[4], p[5], 1);  // 14, 15: paralysis

    r.ReadDigitLine();  // 16
    if (r.hasDigits() && r.isOne(1)) AddPlain(editor, 9, 0, 1);

    r.ReadDigitLine();  // 17
    const auto m = r.Flags<4>();
    constexpr std::array<int, 4> kMentalKinds{10, 11, 12, 14};
    for (std::size_t i = 0; i < m.size(); ++i) {  // 18 to 21
        r.ReadDigitLine();
        if (m[i] && r.hasDigits()) AddPlain(editor, kMentalKinds[i], 0, r.value());
    }

    r.ReadDigitLine();  // 22
    const auto b = r.Flags<3>();
    constexpr std::array<int, 3> kMagicKinds{16, 18, 20};
    for (std::size_t i = 0; i < b.size(); ++i) {  // 23 to 25
        r.ReadDigitLine();
        if (b[i] && r.hasDigits()) AddPlain(editor, kMagicKinds[i], 0, r.value());
    }

    r.ReadDigitLine();  // 26: empty

    r.ReadDigitLine();  // 27
    const auto a = r.Flags<4>();
    std::array<std::int32_t, 4> by{};
    for (auto& c : by) {  // 28 to 31
        r.ReadDigitLine();
        c = r.hasDigits() ? AsSigned8(r.value()) : 0;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {  // 32 to 35
        r.ReadDigitLine();
        if (!a[i]) continue;
        const int kind = 24 + static_cast<int>(i);
        // A change of 0 is a reset, which lasts one round whatever the file says.
        if (by[i] == 0) {
            AddPlain(editor, kind, 0, 1);
        } else {
            AddPlain(editor, kind, -by[i], r.value());
        }
    }

    r.ReadDigitLine();  // 36
    // Characters after this line's digits belong to earlier lines; they count as absent.
    const auto flag = [&r](std::size_t n) { return r.digits() >= n && r.isOne(n); };
    if (flag(1)) AddPlain(editor, 28, 0, 1);
    if (flag(2)) AddPlain(editor, 29, 0, 1);
    editor.ObAssasin = flag(4);
    editor.ObFaratack = flag(5);
    if (flag(3) && r.digits() >= 6) AddRepeated(editor, 30, r.ValueFrom(6));
}

void ReadAllyBlock(DigitLineReader& r, EditorState& editor) {
    r.ReadDigitLine();  // 6
    const auto h = r.Flags<3>();
    ReadValueLines(r, editor, 1, h[0], h[1], h[2], 1);  // 7, 8: heal

    r.ReadDigitLine();  // 9
    const auto q = r.Flags<6>();
    ReadValueLines(r, editor, 7, q[0], q[1], q[2], 1);  // 10, 11: cure poison
    ReadValueLines(r, editor, 5, q[3], q[4], q[5], 1);  // 12, 13: cure paralysis

    r.ReadDigitLine();  // 14
    if (r.hasDigits() && r.isOne(1)) AddPlain(editor, 8, 0, 1);

    r.ReadDigitLine();  // 15
    const bool bravery = r.hasDigits() && r.isOne(1);
    if (r.digits() >= 2 && r.isOne(2)) AddPlain(editor, 15, 0, 1);
    r.ReadDigitLine();  // 16
    if (bravery && r.hasDigits()) AddPlain(editor, 13, 0, r.value());

    r.ReadDigitLine();  // 17
    if (r.digits() >= 4) {
        constexpr std::array<int, 4> kReleaseKinds{17, 19, 21, 23};
        for (std::size_t i = 0; i < kReleaseKinds.size(); ++i) {
            if (r.isOne(i + 1)) AddPlain(editor, kReleaseKinds[i], 0, 1);
        }
    }

    r.ReadDigitLine();  // 18
    const auto u = r.Flags<4>();
    std::array<std::int32_t, 4> step{};
    for (auto& s : step) {  // 19 to 22
        r.ReadDigitLine();
        s = r.hasDigits() ? AsSigned8(r.value()) : 0;
    }
    for (std::size_t i = 0; i < u.size(); ++i) {  // 23 to 26
        r.ReadDigitLine();
        // The step is the rise less one: step 0 is +1.
        if (u[i] && r.hasDigits())
            AddPlain(editor, 24 + static_cast<int>(i), step[i] + 1, r.value());
    }

    r.ReadDigitLine();  // 27
    if (r.hasDigits() && r.isOne(1)) AddRepeated(editor, 31, r.ValueFrom(2));

    r.ReadDigitLine();  // 28
    if (r.hasDigits() && r.isOne(1)) {
        const std::int64_t rounds = r.ValueFrom(2);
        if (rounds > 0) AddPlain(editor, 22, 0, rounds);
    }
}

}  // namespace

std::string FormatCwsFile(const SkillRecord& record) {
    std::string out;
    if (record.enemy.toAllies == 1) {
        WriteHeader(out, record.ally);
        WriteAllyBlock(out, record.ally);
    } else {
        WriteHeader(out, record.enemy);
        WriteEnemyBlock(out, record.enemy);
    }
    return out;
}

SaveResult WriteCwsFile(const std::filesystem::path& path, const SkillRecord& record) {
    return CommitFile(path, FormatCwsFile(record));
}

bool LoadCwsFile(std::istream& in, EditorState& editor, std::string_view cardName) {
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

std::string CardNameFromPath(const std::filesystem::path& path) {
    // The extension runs from the last dot of the file name, so ".cws" alone has an empty
    // card name.
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace morvat
