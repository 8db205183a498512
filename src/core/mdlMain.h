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

// The start-up module's registry object, kept for the program's life.
RegistryRoutines& StartupRegistry();
