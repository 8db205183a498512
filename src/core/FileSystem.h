#pragma once
// Files and the system's folders: deleting and finding files, a file's
// creation date, and opening a file, folder or web page with its program.
#include <QDateTime>
#include <QString>

class QWidget;

// The system's folders, without a trailing "/"; empty when there is none.
QString GetWindowsDir();
QString GetSystemDir();

// Deletes the file; True when it was deleted.
bool KillFile(const QString& sFileName);
// True when a normal file of that name exists; folders, hidden files (names
// starting with ".") and special files count as missing.
bool FileExists(const QString& sFileName);
// The file's creation time in local time, to whole seconds; the zero date
// (platform::kZeroDate) when it cannot be read.
QDateTime GetFileCreatedDate(const QString& sFileName);

// Opens the target (file, folder or web page) with the program the desktop
// associates with it; relative paths are taken from the program's folder.
// When it cannot be opened, now or once the opener gives up, a message names it.
void OpenDocument(QWidget* owner, const QString& sTarget);
