// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "Cli.h"

namespace {

// Standard output through write(2), keeping the first error: a report that could not be
// written (a full disk, a reader that went away) must be told apart from a success, and
// the user told why.
class StdoutBuffer final : public std::streambuf {
public:
    StdoutBuffer() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override {
        if (!Drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return Drain() ? 0 : -1; }

private:
    bool Drain() {
        const char* next = pbase();
        while (error_ == 0 && next < pptr()) {
            const auto left = static_cast<std::size_t>(pptr() - next);
            const ssize_t wrote = ::write(STDOUT_FILENO, next, left);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) {
                error_ = wrote < 0 ? errno : EIO;
                break;
            }
            next += wrote;
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return error_ == 0;
    }

    std::array<char, 16384> buffer_{};
    int error_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away (`| head`) must give a write error we can report, not a
    // silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    StdoutBuffer buffer;
    std::ostream out(&buffer);
    const int status = morvat::cli::RunCli(args, out, std::cerr);
    out.flush();
    if (buffer.error() != 0) {
        std::cerr << "morvat-ex-cli: cannot write to standard output: "
                  << std::strerror(buffer.error()) << '\n';
        return morvat::cli::kExitOutputFailed;
    }
    return status;
}
