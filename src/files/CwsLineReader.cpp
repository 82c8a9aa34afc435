// SPDX-License-Identifier: MIT
#include "files/CwsLineReader.h"

#include <algorithm>

namespace morvat {
namespace {

// One place stays for the terminator, so a line keeps at most 49 digits.
constexpr std::size_t kMaxLineDigits = DigitLineReader::kLineBufferSize - 1;

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::size_t DigitLineReader::ReadDigitLine() {
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

void DigitLineReader::Preset(std::size_t count, char c) {
    std::fill_n(buffer_.begin(), count, c);
}

std::int64_t DigitLineReader::ValueFrom(std::size_t n, std::size_t length) const {
    std::int64_t value = 0;
    for (std::size_t i = n - 1; i < kLineBufferSize && i < n - 1 + length; ++i) {
        if (!IsDigit(buffer_[i])) break;
        const int digit = buffer_[i] - '0';
        value = value > (kCwsValueCeiling - digit) / 10 ? kCwsValueCeiling : value * 10 + digit;
    }
    return value;
}

void DigitLineReader::SkipRestOfLine() {
    for (;;) {
        const int c = in_->sbumpc();
        if (c == Traits::eof() || c == '\n' || c == '\0') return;
    }
}

}  // namespace morvat
