// SPDX-License-Identifier: MIT
// A fresh folder under the system's temporary folder, removed with everything in it
// when the test is done.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace morvat::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `bytes` to a file of that name inside the folder and returns its path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace morvat::test
