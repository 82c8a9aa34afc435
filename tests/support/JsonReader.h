// SPDX-License-Identifier: MIT
// A strict reader of JSON text for the tests of the command line's --json output: what it
// cannot read is not JSON, and what it reads can be looked into.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvat::test {

struct Json {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    std::int64_t number = 0;  // the integer part of a number
    std::string numberText;   // the number as written, fraction included
    std::string string;
    std::vector<Json> array;
    std::map<std::string, Json> object;

    bool isNull() const { return type == Type::Null; }
    // The member `key` of an object; a null value when there is none.
    const Json& operator[](const std::string& key) const;
    const Json& operator[](std::size_t index) const { return array.at(index); }
};

// The value of `text`, which must be one JSON value with nothing but white space around.
std::optional<Json> ParseJson(std::string_view text);

}  // namespace morvat::test
