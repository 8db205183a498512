#pragma once
// A write killed at the worst moment: its new file complete beside the old
// one, not yet renamed into place.
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>

namespace support {

// Runs `write` in a child process, stops the child where the new file is
// flushed and about to be renamed into place, and kills it there with
// SIGKILL, as a user's kill or a crash would. Fails when the child ends any
// other way, as it does when the write never comes to such a rename.
::testing::AssertionResult KilledBeforeItsRename(const std::function<void()>& write);

// The names of the files in a folder, hidden ones included, sorted.
QStringList FilesIn(const QString& folder);
// A name that the program's own writes give their parts: ".tarvello-",
// 8 hex digits, ".part".
bool IsOwnPartName(const QString& name);

} // namespace support
