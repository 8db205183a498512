#pragma once
// Whether two names lead to the same file on disk.
#include <QString>

namespace platform {

// True when both names lead to one existing file, however they are spelled
// (links, "./", hard links included).
bool IsSameFile(const QString& a, const QString& b);

} // namespace platform
