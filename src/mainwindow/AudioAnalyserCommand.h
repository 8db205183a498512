#pragma once
// The main window's "Audio Analyser" command.
class CfrmMain;

// Opens the selected row's file in the audio editor, converting it into a
// temporary wave file first when it is not one. False when the command was
// refused before anything opened.
bool OpenAudioAnalyser(CfrmMain& main);
