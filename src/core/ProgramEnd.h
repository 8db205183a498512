#pragma once
// How the program ends: its event loop, which the main window's exit ends, and
// the end that a signal asks for (a desktop ending its session sends SIGTERM).
#include <functional>

// Runs the program's event loop until EndProgram has ended it; the exit code.
int RunProgramLoop();

// The main window's exit has run: the program's loop ends with exit code 0
// once every window has unloaded (a window whose job runs keeps the program
// until it closes) and control is back in the outermost loop, so that no
// handler still running meets a destroyed window. Nothing while the program's
// loop does not run (start-up, tests).
void EndProgram();

// Ends the program as its Exit command does, without the question, whatever
// windows are open: every window's running work stops as its Abort button
// stops it, open questions and dialogs are answered as Cancel, the windows
// shown modally close, and then, from the outermost loop, `exitMainWindow`
// runs the main window's exit. Once asked, later asks change nothing.
void EndProgramOnRequest(const std::function<void()>& exitMainWindow);
