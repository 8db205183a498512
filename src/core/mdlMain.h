#pragma once
// The program's entry point and its start-up helpers.
#include <QString>

class RegistryRoutines;

// True while start-up status texts go to the splash window.
extern bool g_bShowSplash;

// Runs the start-up sequence; returns when the main window is up, or at once
// when the program's registry key is missing.
void Main();
void SetLoadingStatus(const QString& text);
void SetNoCrashDialog();
void EditionHook();

// One running program per settings folder (where the settings hive lives):
// false when a program already runs there and has taken this start's
// command line; this start then ends without a window.
bool StartAsTheRunningProgram();
// From here on the main window runs the command lines of later starts,
// those that came during start-up first.
void RunLaterStartsCommandLines();

// The start-up module's registry object, kept for the program's life.
RegistryRoutines& StartupRegistry();
