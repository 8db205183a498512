#pragma once
// Starting a program when the user logs on: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/<name>.desktop (default ~/.config/autostart).
#include <QString>
#include <QStringList>

namespace platform {

QString AutostartEntryPath(const QString& name);
// Writes the entry that starts the program with the arguments; false when it could not be written.
bool WriteAutostartEntry(const QString& name, const QString& program, const QStringList& arguments);
// Deletes the entry; true when there is none afterwards.
bool RemoveAutostartEntry(const QString& name);
// The entry's command line (its Exec value), empty when there is no entry.
QString AutostartEntryExec(const QString& name);
// The Exec value that starts the program with the arguments.
QString AutostartExecLine(const QString& program, const QStringList& arguments);

} // namespace platform
