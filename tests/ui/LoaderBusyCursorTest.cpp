// SPDX-License-Identifier: MIT
// The loader dialog shows the busy cursor while it reads a folder's cards, and puts back
// whatever cursor was there before, also when the folder is empty or gone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCursor>
#include <QListWidget>
#include <cstdlib>
#include <string>

#include "LoaderDialog.h"
#include "TempDir.h"
#include "files/RegularFile.h"

namespace {

std::optional<Qt::CursorShape> CurrentOverride() {
    const QCursor* cursor = QApplication::overrideCursor();
    if (cursor == nullptr) return std::nullopt;
    return cursor->shape();
}

// The cursor seen during each read of a card.
std::vector<std::optional<Qt::CursorShape>> g_seenWhileReading;

ssize_t RecordingPread(int fd, void* buffer, std::size_t count, off_t offset) {
    g_seenWhileReading.push_back(CurrentOverride());
    return ::pread(fd, buffer, count, offset);
}

TEST(LoaderBusyCursorTest, ListingShowsTheBusyCursorAndPutsBackTheOneBefore) {
    // One thread: the reads then run on this thread and can look at the cursor safely.
    ::setenv("MORVAT_THREADS", "1", 1);
    morvat::test::TempDir folder;
    const std::string card = std::string("\x05\x03\x00\x00\x00" "abc\x05\x00\x00\x00" "Fire", 16) +
                             std::string(1, '\0') + "rest";
    folder.write("Skill1.wid", card);
    folder.write("Skill2.wid", card);

    TForm3 dialog;
    g_seenWhileReading.clear();
    morvat::SetPreadForTesting(&RecordingPread);
    dialog.setDirectoryPath(folder.path());
    morvat::SetPreadForTesting(nullptr);
    ASSERT_FALSE(g_seenWhileReading.empty());
    for (const auto& seen : g_seenWhileReading) EXPECT_EQ(seen, Qt::WaitCursor);
    EXPECT_EQ(CurrentOverride(), std::nullopt);
    EXPECT_EQ(dialog.findChild<QListWidget*>("ListBox1")->count(), 2);

    // A cursor set by someone else stays, after a folder with cards and one that is gone.
    QApplication::setOverrideCursor(Qt::PointingHandCursor);
    dialog.setDirectoryPath(folder.path() / "gone");
    EXPECT_EQ(CurrentOverride(), Qt::PointingHandCursor);
    dialog.setDirectoryPath(folder.path());
    EXPECT_EQ(CurrentOverride(), Qt::PointingHandCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(CurrentOverride(), std::nullopt);
    ::unsetenv("MORVAT_THREADS");
}

}  // namespace
