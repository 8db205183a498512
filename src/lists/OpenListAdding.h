#pragma once
// How the tool windows that make a file (the recorder, text to speech) put
// it into the main window's open items list.
#include <QString>

class QWidget;

// Whether the main window shows an items list a new file can join; otherwise
// tells the user why not (a CD's list, or no list: "Select the Items List to
// add the <what> to.") and returns false.
bool OpenListTakesNewFiles(const QString& what);
// Adds the file as a new row of the open list, the adding window shown over
// `owner`, then saves the list and refreshes the status bar. False when the
// file gave no row: the user was told, and the list is left as it was.
bool AddFileToOpenList(const QString& path, QWidget* owner);
