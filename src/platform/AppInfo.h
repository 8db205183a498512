#pragma once
// What the program knows about itself: its folder, its command line, its title.
#include <QString>
#include <QStringList>

namespace platform {

// The program's folder (the executable's folder), without a trailing "/".
QString AppPath();
// The program file's name without its extension.
QString AppExeName();
// The command-line argument text: the arguments after the program's path,
// joined by single blanks.
QString Command();
// The application title that message boxes without a title of their own carry.
QString AppTitle();
void SetAppTitle(const QString& title);

// For tests and for main(): override what the process reports.
void SetAppPath(const QString& folder);
void SetCommandLine(const QStringList& argumentsAfterProgram);

} // namespace platform
