// SPDX-License-Identifier: MIT
#include "JsonReader.h"

#include <cctype>

namespace morvat::test {
namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<Json> Document() {
        std::optional<Json> value = Value(0);
        SkipSpace();
        if (!value || pos_ != text_.size()) return std::nullopt;
        return value;
    }

private:
    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' ||
                                       text_[pos_] == '\r' || text_[pos_] == '\t')) {
            ++pos_;
        }
    }

    bool Take(char c) {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool Word(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    std::optional<Json> Value(int depth) {
        if (depth > 64) return std::nullopt;
        SkipSpace();
        if (pos_ >= text_.size()) return std::nullopt;
        Json value;
        const char c = text_[pos_];
        if (c == '{') {
            ++pos_;
            value.type = Json::Type::Object;
            if (Take('}')) return value;
            do {
                SkipSpace();
                std::optional<std::string> key = String();
                if (!key || !Take(':')) return std::nullopt;
                std::optional<Json> member = Value(depth + 1);
                if (!member || value.object.count(*key) != 0) return std::nullopt;
                value.object.emplace(std::move(*key), std::move(*member));
            } while (Take(','));
            return Take('}') ? std::optional<Json>(value) : std::nullopt;
        }
        if (c == '[') {
            ++pos_;
            value.type = Json::Type::Array;
            if (Take(']')) return value;
            do {
                std::optional<Json> element = Value(depth + 1);
                if (!element) return std::nullopt;
                value.array.push_back(std::move(*element));
            } while (Take(','));
            return Take(']') ? std::optional<Json>(value) : std::nullopt;
        }
        if (c == '"') {
            std::optional<std::string> text = String();
            if (!text) return std::nullopt;
            value.type = Json::Type::String;
            value.string = std::move(*text);
            return value;
        }
        if (Word("null")) return value;
        if (Word("true") || Word("false")) {
            value.type = Json::Type::Bool;
            value.boolean = text_[pos_ - 1] == 'e' && text_[pos_ - 2] == 'u';  // "true"
            return value;
        }
        return Integer();
    }

    std::optional<Json> Integer() {
        const std::size_t start = pos_;
        if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
        const std::size_t digits = pos_;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        if (pos_ == digits || (text_[digits] == '0' && pos_ - digits > 1)) return std::nullopt;
        const std::size_t integerEnd = pos_;
        // A level is written with its one decimal, as a JSON number with a fraction.
        if (pos_ < text_.size() && text_[pos_] == '.') {
            const std::size_t fraction = ++pos_;
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
            if (pos_ == fraction) return std::nullopt;
        }
        Json value;
        value.type = Json::Type::Number;
        value.numberText = std::string(text_.substr(start, pos_ - start));
        try {
            value.number = std::stoll(std::string(text_.substr(start, integerEnd - start)));
        } catch (...) {
            return std::nullopt;
        }
        return value;
    }

    static void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::optional<std::string> String() {
        if (pos_ >= text_.size() || text_[pos_] != '"') return std::nullopt;
        ++pos_;
        std::string out;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) return std::nullopt;
            const char e = text_[pos_++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    if (pos_ + 4 > text_.size()) return std::nullopt;
                    unsigned code = 0;
                    for (int i = 0; i < 4; ++i) {
                        const char h = text_[pos_++];
                        if (!std::isxdigit(static_cast<unsigned char>(h))) return std::nullopt;
                        code = code * 16 + static_cast<unsigned>(std::isdigit(h)
                                                                     ? h - '0'
                                                                     : std::tolower(h) - 'a' + 10);
                    }
                    // The output escapes control characters only, all below U+0080.
                    if (code >= 0xD800 && code < 0xE000) return std::nullopt;
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

const Json& Json::operator[](const std::string& key) const {
    static const Json none;
    const auto found = object.find(key);
    return found == object.end() ? none : found->second;
}

std::optional<Json> ParseJson(std::string_view text) {
    return Reader(text).Document();
}

}  // namespace morvat::test
