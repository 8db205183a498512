#pragma once
// Starting the program when the user logs on. The log-on entry is the value
// named after the program under the current user's Run key, holding the
// program's command line with " -st" (start in the tray); an XDG autostart
// entry that runs the same command is kept in step with it.
#include <QString>

// Adds (True) or removes (False) the log-on entry; True when the registry accepted it.
bool SetRunOnStart(bool bOn);
// True when the log-on entry holds exactly this program's command line and the
// desktop's autostart entry runs it.
bool IsRunOnStart();
// The command line the entry holds: "<program folder>/<program name>" -st
QString RunOnStartCommand();
