// SPDX-License-Identifier: MIT
#include "Json.h"

#include <cstdint>
#include <cstdio>

#include "files/Utf8.h"

namespace morvat::cli {

std::string JsonString(std::string_view text) {
    const std::string valid = ValidUtf8(text);
    std::string out = "\"";
    for (const char c : valid) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x",
                                  static_cast<unsigned>(static_cast<unsigned char>(c)));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

std::string JsonItems(const std::vector<ReportItem>& items) {
    std::string out = "[";
    for (const ReportItem& item : items) {
        if (out.size() > 1) out += ',';
        out += "{\"phase\":" + JsonString(PhaseName(item.phase)) +
               ",\"label\":" + JsonString(item.label) +
               ",\"points\":" + std::to_string(item.points) +
               ",\"formula\":" + (item.formula ? JsonString(*item.formula) : std::string("null")) +
               "}";
    }
    return out + "]";
}

}  // namespace morvat::cli
