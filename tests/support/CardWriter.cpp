// SPDX-License-Identifier: MIT
#include "CardWriter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <stdexcept>

#include "files/RegularFile.h"

namespace morvat::test {
namespace {

// Bytes the reader skips are written as this, so a reader that takes them for a field
// sees nonsense rather than a harmless zero.
constexpr char kFiller = '\xEE';

bool IsOneOf(int kind, std::initializer_list<int> kinds) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

class Writer {
public:
    CardFile Finish() { return {std::move(out_), std::move(fields_)}; }

    void Int32(std::string_view field, std::int32_t value) {
        Mark(field);
        const auto u = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            out_.push_back(static_cast<char>((u >> shift) & 0xFF));
        }
    }
    void Byte(std::string_view field, std::uint8_t value) {
        Mark(field);
        out_.push_back(static_cast<char>(value));
    }
    void Fill(std::string_view field, std::size_t count) {
        Mark(field);
        out_.append(count, kFiller);
    }
    void Text(std::string_view field, const WidText& text) {
        Int32(field, text.length.value_or(static_cast<std::int32_t>(text.bytes.size())));
        Mark(std::string(field) + ".bytes");
        out_ += text.bytes;
    }

    // Names the fields written while it lives "<outer>.<part>.<field>".
    class Part {
    public:
        Part(Writer& writer, std::string part) : writer_(writer) {
            writer_.path_.push_back(std::move(part));
        }
        ~Part() { writer_.path_.pop_back(); }
        Part(const Part&) = delete;
        Part& operator=(const Part&) = delete;

    private:
        Writer& writer_;
    };

private:
    void Mark(std::string_view field) {
        std::string name;
        for (const std::string& part : path_) name += part + ".";
        name += field;
        fields_.emplace_back(std::move(name), out_.size());
    }

    std::string out_;
    std::vector<std::pair<std::string, std::size_t>> fields_;
    std::vector<std::string> path_;
};

std::string Indexed(std::string_view name, std::size_t index) {
    return std::string(name) + "[" + std::to_string(index) + "]";
}

const WidText& TextOrEmpty(const std::vector<WidText>& texts, std::size_t index) {
    static const WidText kEmpty;
    return index < texts.size() ? texts[index] : kEmpty;
}

void WriteEvents(Writer& w, const WidEventList& list, std::string_view name);

void WriteMotionList(Writer& w, const WidMotionList& list, std::string_view name);

void WriteEmbeddedCard(Writer& w, const WidEmbeddedCard& card) {
    w.Byte("lead", card.lead);
    w.Text("title", card.title);
    w.Text("note", card.note);
    w.Fill("gap", 4);
    w.Text("name", card.name);
    w.Fill("afterName", 18);
    WriteMotionList(w, card.motions, "motions");
    w.Fill("afterMotions", 12);
    for (std::size_t i = 0; i < card.texts.size(); ++i) w.Text(Indexed("texts", i), card.texts[i]);
    w.Byte("flag", card.flag);
    for (std::size_t i = 0; i < card.moreTexts.size(); ++i) {
        w.Text(Indexed("moreTexts", i), card.moreTexts[i]);
    }
    WriteEvents(w, card.events, "events");
    w.Fill("end", 5);
}

void WriteMotion(Writer& w, const WidMotion& m) {
    w.Int32("type", m.type);
    if (m.type == 0x40808) {
        w.Fill("lead", 3);
        w.Int32("cardCount", m.cardCount.value_or(static_cast<std::int32_t>(m.cards.size())));
        for (std::size_t i = 0; i < m.cards.size(); ++i) {
            const Writer::Part part(w, Indexed("cards", i));
            WriteEmbeddedCard(w, m.cards[i]);
        }
        return;
    }
    w.Fill("lead", 2);
    w.Byte("element", m.element);
    w.Byte("detail", m.detail);
    switch (m.type) {
        case 0x40800:
        case 0x40801:
            w.Byte("valueKind", m.valueKind);
            w.Int32("value", m.value);
            break;
        case 0x40803:
        case 0x40804:
            w.Int32("rounds", m.rounds);
            break;
        case 0x40805:
            w.Int32("variation", m.variation);
            w.Int32("rounds", m.rounds);
            break;
        default:  // no further fields, or a type the game does not know
            break;
    }
}

void WriteMotionList(Writer& w, const WidMotionList& list, std::string_view name) {
    {
        const Writer::Part part(w, std::string(name));
        w.Int32("count", list.count.value_or(static_cast<std::int32_t>(list.motions.size())));
    }
    for (std::size_t i = 0; i < list.motions.size(); ++i) {
        const Writer::Part motion(w, Indexed(name, i));
        WriteMotion(w, list.motions[i]);
    }
}

void WriteBody(Writer& w, const WidContent& c) {
    const Writer::Part part(w, "body");
    const int k = c.kind;
    const auto text = [&](std::size_t i) { w.Text(Indexed("texts", i), TextOrEmpty(c.texts, i)); };
    if (IsOneOf(k, {0, 4, 45, 49, 50, 51, 55, 56, 63, 64})) return;
    if (IsOneOf(k, {1, 7, 9, 52, 57, 58, 59, 60, 61, 62, 15, 17, 41, 42, 43, 65})) {
        text(0);
    } else if (k == 3) {
        w.Fill("skip", 1);
    } else if (IsOneOf(k, {12, 47})) {
        w.Fill("skip", 2);
    } else if (IsOneOf(k, {2, 5, 10, 14, 19, 22, 24, 26, 29, 31, 33, 36, 38, 48, 53, 54})) {
        w.Fill("skip", 4);
    } else if (k == 46) {
        w.Fill("skip", 5);
    } else if (IsOneOf(k, {18, 44})) {
        w.Int32("value", c.stepValue);
        w.Fill("skip", 4);
    } else if (IsOneOf(k, {20, 21, 23, 27, 28, 30, 34, 35, 37})) {
        w.Fill("skip", 9);
    } else if (k == 13) {
        w.Fill("skip", 13);
    } else if (k == 16) {
        text(0);
        w.Fill("tail", 1);
    } else if (IsOneOf(k, {25, 32, 39})) {
        text(0);
        w.Fill("tail", 5);
    } else if (k == 6) {
        text(0);
        text(1);
    } else if (k == 40) {
        w.Fill("lead", 1);
        w.Int32("count", c.pairCount.value_or(static_cast<std::int32_t>(c.pairs.size())));
        for (std::size_t i = 0; i < c.pairs.size(); ++i) {
            const Writer::Part pair(w, Indexed("pairs", i));
            w.Text("first", c.pairs[i].first);
            w.Text("second", c.pairs[i].second);
        }
    } else if (k == 8) {
        w.Int32("count", c.pairCount.value_or(static_cast<std::int32_t>(c.pairs.size())));
        for (std::size_t i = 0; i < c.pairs.size(); ++i) {
            const Writer::Part item(w, Indexed("items", i));
            w.Fill("head", 16);
            w.Text("first", c.pairs[i].first);
            w.Fill("gap", 1);
            w.Text("second", c.pairs[i].second);
            w.Fill("end", 1);
        }
    } else if (k == 11) {
        w.Fill("lead", 11);
        text(0);
        w.Fill("gap", 1);
        WriteMotionList(w, c.motions, "motions");
    }
    // Kinds 66 and above have no body in the game; nothing is written for them.
}

void WriteContent(Writer& w, const WidContent& c, bool topLevel) {
    w.Byte("kind", c.kind);
    w.Text("name", c.name);
    w.Int32("childCount",
            c.childCount.value_or(40000 + static_cast<std::int32_t>(c.children.size())));
    for (std::size_t i = 0; i < c.children.size(); ++i) {
        const Writer::Part part(w, Indexed("children", i));
        WriteContent(w, c.children[i], false);
    }
    if (!topLevel) WriteBody(w, c);
}

void WriteEvents(Writer& w, const WidEventList& list, std::string_view name) {
    {
        const Writer::Part part(w, std::string(name));
        w.Int32("count", list.count.value_or(static_cast<std::int32_t>(list.events.size())));
    }
    for (std::size_t i = 0; i < list.events.size(); ++i) {
        const Writer::Part event(w, Indexed(name, i));
        const WidEvent& e = list.events[i];
        w.Int32("treeCount", e.treeCount.value_or(static_cast<std::int32_t>(e.trees.size())));
        for (std::size_t t = 0; t < e.trees.size(); ++t) {
            const Writer::Part tree(w, Indexed("trees", t));
            WriteContent(w, e.trees[t], true);
        }
    }
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

WidText Sz(std::string_view text) {
    return {std::string(text) + '\0', std::nullopt};
}

WidText LengthOnly(std::int32_t length) {
    return {{}, length};
}

std::size_t CardFile::offsetOf(std::string_view field) const {
    for (const auto& [name, offset] : fields) {
        if (name == field) return offset;
    }
    throw std::out_of_range("no field " + std::string(field) + " in the card");
}

std::string CardFile::cutAt(std::string_view field, std::size_t keep) const {
    return bytes.substr(0, offsetOf(field) + keep);
}

CardFile WriteCard(const WidCardPlan& card) {
    Writer w;
    w.Byte("tag", card.tag);
    w.Text("firstBlock", card.firstBlock);
    w.Text("name", card.name);
    w.Fill("afterName", 4);
    w.Text("secondBlock", card.secondBlock);
    w.Fill("afterSecondBlock", 8);
    w.Byte("voice", card.voice);
    w.Byte("targetAll", card.targetAll);
    w.Byte("target", card.target);
    w.Byte("attribute", card.attribute);
    w.Byte("defence", card.defence);
    w.Int32("success", card.success);
    w.Fill("afterSuccess", 1);
    WriteMotionList(w, card.motions, "motions");
    w.Int32("escape", card.escape);
    w.Int32("defuse", card.defuse);
    w.Int32("gard", card.gard);
    w.Text("thirdBlock", card.thirdBlock);
    w.Text("fourthBlock", card.fourthBlock);
    for (std::size_t i = 0; i < card.keyCodes.size(); ++i) {
        w.Text(Indexed("keyCodes", i), card.keyCodes[i]);
    }
    w.Fill("afterKeyCodes", 1);
    w.Text("fifthBlock", card.fifthBlock);
    w.Text("sixthBlock", card.sixthBlock);
    WriteEvents(w, card.events, "events");
    w.Fill("afterEvents", 1);
    w.Int32("level", card.level);
    if (card.withTail) w.Fill("tail", 4);
    return w.Finish();
}

WidMotion ValueMotion(std::int32_t type, std::uint8_t element, std::uint8_t detail,
                      std::uint8_t valueKind, std::int32_t value) {
    WidMotion m;
    m.type = type;
    m.element = element;
    m.detail = detail;
    m.valueKind = valueKind;
    m.value = value;
    return m;
}

WidMotion PlainMotion(std::int32_t type, std::uint8_t element, std::uint8_t detail) {
    WidMotion m;
    m.type = type;
    m.element = element;
    m.detail = detail;
    return m;
}

WidMotion RoundsMotion(std::int32_t type, std::uint8_t element, std::uint8_t detail,
                       std::int32_t rounds) {
    WidMotion m = PlainMotion(type, element, detail);
    m.rounds = rounds;
    return m;
}

WidMotion ChangeMotion(std::uint8_t element, std::uint8_t detail, std::int32_t variation,
                       std::int32_t rounds) {
    WidMotion m = RoundsMotion(0x40805, element, detail, rounds);
    m.variation = variation;
    return m;
}

WidMotion CardsMotion(std::vector<WidEmbeddedCard> cards) {
    WidMotion m;
    m.type = 0x40808;
    m.cards = std::move(cards);
    return m;
}

WidContent Content(std::uint8_t kind, std::vector<WidContent> children) {
    WidContent c;
    c.kind = kind;
    c.name = Sz("c" + std::to_string(kind));
    c.children = std::move(children);
    return c;
}

WidEvent EventOf(std::vector<WidContent> contents) {
    WidContent top = Content(0, std::move(contents));
    return WidEvent{{std::move(top)}, std::nullopt};
}

namespace {

// Reads through a stdio stream over the bytes: a temporary file, or memory.
std::int32_t ReadThroughStream(std::string_view bytes, WidCard& card, EffectCollection& effects,
                               Medium medium) {
    std::string buffer(bytes);
    std::unique_ptr<std::FILE, FileCloser> file;
    if (medium == Medium::Memory && !buffer.empty()) {
        file.reset(::fmemopen(buffer.data(), buffer.size(), "rb"));
    } else {
        file.reset(std::tmpfile());
        if (file && !buffer.empty() &&
            std::fwrite(buffer.data(), 1, buffer.size(), file.get()) != buffer.size()) {
            file.reset();
        }
        if (file) std::rewind(file.get());
    }
    if (!file) throw std::runtime_error("cannot make a stream for the card");
    return ReadWidCard(file.get(), card, effects, medium == Medium::Large ? 0 : kWidWholeReadLimit);
}

// Reads from a file on disk opened as the load flows open it; a card over `wholeReadLimit`
// bytes is read in chunks.
std::int32_t ReadThroughFile(std::string_view bytes, WidCard& card, EffectCollection& effects,
                             std::int64_t wholeReadLimit) {
    char name[] = "/tmp/morvat-card-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) throw std::runtime_error("cannot make a file for the card");
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    const RegularFile file(name);
    ::unlink(name);
    if (!written || !file.IsOpen()) throw std::runtime_error("cannot write the card's file");
    return ReadWidCardFile(file, card, effects, wholeReadLimit);
}

std::int32_t ReadThroughPipe(std::string_view bytes, WidCard& card, EffectCollection& effects) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
    // The whole card goes into the pipe's buffer before the read, so the writer never waits.
    if (bytes.size() > 60 * 1024 &&
        ::fcntl(fds[1], F_SETPIPE_SZ, static_cast<int>(bytes.size())) < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw std::runtime_error("the pipe cannot hold the card");
    }
    const bool written =
        ::write(fds[1], bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fds[1]);
    const std::unique_ptr<std::FILE, FileCloser> file(::fdopen(fds[0], "rb"));
    if (!file) ::close(fds[0]);
    if (!written || !file) throw std::runtime_error("cannot read the card from a pipe");
    return ReadWidCard(file.get(), card, effects);
}

}  // namespace

CardRead ReadFromPipe(std::string_view bytes) {
    CardRead read;
    read.code = ReadThroughPipe(bytes, read.card, read.effects);
    return read;
}

std::int32_t ReadCardBytes(std::string_view bytes, WidCard& card, EffectCollection& effects,
                           Medium medium) {
    // A stdio stream over the same bytes must read the same: every way in parses alike.
    WidCard streamedCard = card;
    EffectCollection streamedEffects = effects;
    WidCard pipedCard = card;
    EffectCollection pipedEffects = effects;
    const std::int32_t streamedCode =
        ReadThroughStream(bytes, streamedCard, streamedEffects, medium);
    const std::int32_t code =
        medium == Medium::Memory
            ? ReadWidCardFromBytes(bytes, card, effects)
            : ReadThroughFile(bytes, card, effects,
                              medium == Medium::Large ? 0 : kWidWholeReadLimit);
    EXPECT_EQ(streamedCode, code) << "a stdio stream reads the card differently";
    EXPECT_TRUE(streamedCard == card) << "a stdio stream reads the card differently";
    EXPECT_TRUE(streamedEffects == effects) << "a stdio stream reads the card differently";
    // The reader takes most cards in whole and reads their rows from memory; a pipe sends
    // every field through its stream instead. Both must give the same, failures included.
    if (bytes.size() <= kLargestPipedCard) {
        EXPECT_EQ(ReadThroughPipe(bytes, pipedCard, pipedEffects), code)
            << "a pipe reads the card differently";
        EXPECT_TRUE(pipedCard == card) << "a pipe reads the card differently";
        EXPECT_TRUE(pipedEffects == effects) << "a pipe reads the card differently";
    }
    return code;
}

CardRead ReadCard(std::string_view bytes, Medium medium) {
    CardRead read;
    read.code = ReadCardBytes(bytes, read.card, read.effects, medium);
    return read;
}

CardRead ReadCard(const WidCardPlan& card, Medium medium) {
    return ReadCard(WriteCard(card).bytes, medium);
}

}  // namespace morvat::test
