// Runs part of a test as an ordinary user. Permission tests mean nothing to root, which
// reads and opens anything; a test run as root takes the effective identity of "nobody"
// for the scope (and its capabilities with it) and gets root back afterwards.
#pragma once

#include <unistd.h>

#include <filesystem>

namespace morvat::test {

// Lets every user pass through `folder` (a test's own temporary folder is private), so that
// what an unprivileged user meets inside is the permission under test, not this one.
inline void LetOthersIn(const std::filesystem::path& folder) {
    std::filesystem::permissions(
        folder, std::filesystem::perms::group_exec | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add);
}

class Unprivileged {
public:
    Unprivileged() {
        if (::geteuid() != 0) return;
        // Group first: once the user is no longer root, the group cannot be changed.
        switched_ = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
        if (!switched_) Restore();
        usable_ = switched_;
    }
    ~Unprivileged() {
        if (switched_) Restore();
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

    // False when root could not step down; the test must then skip its permission checks.
    bool usable() const { return usable_; }

private:
    static constexpr uid_t kNobody = 65534;

    static void Restore() {
        if (::seteuid(0) != 0 || ::setegid(0) != 0) {
            // Carrying on as "nobody" would fail later tests in confusing ways.
            ::_exit(70);
        }
    }

    bool switched_ = false;
    bool usable_ = ::geteuid() != 0;
};

}  // namespace morvat::test
