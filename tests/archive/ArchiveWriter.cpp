#include "ArchiveWriter.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <locale.h>

#include <algorithm>

#include "TempDir.h"
#include "TestPaths.h"

namespace morvat::test {
namespace {

// The writer converts names through the thread's character set: in UTF-8 it flags them,
// in "C" it stores their bytes.
class ThreadLocale {
public:
    explicit ThreadLocale(const char* name)
        : previous_(::uselocale(::newlocale(LC_CTYPE_MASK, name, locale_t{}))) {}
    ~ThreadLocale() {
        const locale_t mine = ::uselocale(previous_);
        ::freelocale(mine);
    }

private:
    locale_t previous_;
};

}  // namespace

void WriteArchive(const std::filesystem::path& path, ArchiveKind kind,
                  const std::vector<ArchiveEntry>& entries, const std::string& options,
                  const std::string& passphrase) {
    const ThreadLocale locale(kind == ArchiveKind::ZipRaw ? "C" : "C.UTF-8");
    archive* a = archive_write_new();
    switch (kind) {
        case ArchiveKind::ZipUtf8:
        case ArchiveKind::ZipCp932:
        case ArchiveKind::ZipRaw:
            archive_write_set_format_zip(a);
            break;
        case ArchiveKind::SevenZip:
            archive_write_set_format_7zip(a);
            break;
        case ArchiveKind::Tar:
            archive_write_set_format_pax_restricted(a);
            break;
    }
    if (kind == ArchiveKind::ZipCp932) {
        ASSERT_EQ(archive_write_set_options(a, "hdrcharset=CP932"), ARCHIVE_OK);
    }
    if (!options.empty()) {
        ASSERT_EQ(archive_write_set_options(a, options.c_str()), ARCHIVE_OK)
            << archive_error_string(a);
    }
    if (!passphrase.empty()) archive_write_set_passphrase(a, passphrase.c_str());
    ASSERT_EQ(archive_write_open_filename(a, path.c_str()), ARCHIVE_OK);
    for (const ArchiveEntry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.c_str());
        archive_entry_set_filetype(entry, e.folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry, e.folder ? 0755 : 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(e.bytes.size()));
        archive_entry_set_mtime(entry, 1700000000, 0);
        EXPECT_GE(archive_write_header(a, entry), ARCHIVE_WARN) << archive_error_string(a);
        if (!e.bytes.empty()) archive_write_data(a, e.bytes.data(), e.bytes.size());
        archive_entry_free(entry);
    }
    EXPECT_EQ(archive_write_close(a), ARCHIVE_OK) << archive_error_string(a);
    archive_write_free(a);
}

std::vector<ArchiveEntry> ExampleCardEntries(const std::string& folder) {
    std::vector<ArchiveEntry> entries;
    const std::filesystem::path examples = std::filesystem::path(MORVAT_SOURCE_DIR) / "examples";
    std::vector<std::filesystem::path> cards;
    for (const auto& file : std::filesystem::directory_iterator(examples)) {
        if (file.path().extension() == ".wid") cards.push_back(file.path());
    }
    std::sort(cards.begin(), cards.end());
    for (const auto& card : cards) {
        const std::string name = card.filename().string();
        entries.push_back({folder.empty() ? name : folder + "/" + name, ReadFileBytes(card)});
    }
    return entries;
}

}  // namespace morvat::test
