#pragma once
// The program's entry point and its start-up helpers.
#include <QString>

#include <functional>
#include <optional>

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
// nothing when this start is the program, else the exit code this start
// ends with, without a window: 0 when the running program took its command
// line; not 0 when that program cannot be reached (the user is told) or
// `interrupted` said so while this start waited for it.
std::optional<int> StartAsTheRunningProgram(const std::function<bool()>& interrupted);
// From here on the main window runs the command lines of later starts,
// those that came during start-up first.
void RunLaterStartsCommandLines();

// The start-up module's registry object, kept for the program's life.
RegistryRoutines& StartupRegistry();
