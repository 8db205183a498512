#pragma once
// The program's own text files read and written whole, the destination-folder
// history, pattern lists for combo boxes, and the job log of the job windows.
// Files are written as UTF-8 with CR LF line ends; on reading a line ends at
// CR LF, LF or CR, and text that is not valid UTF-8 is read as Windows-1252.
#include <QString>
#include <QStringList>

class QComboBox;
class QPlainTextEdit;

inline constexpr const char* kCrLf = "\r\n";

// The file's lines (a last line without its line end included; an empty file
// has none). False when the file cannot be opened or read.
bool ReadTextLines(const QString& sFileName, QStringList& lines);

// The whole file, lines joined with CR LF, without the final CR LF (a file of
// one empty line gives a single CR LF); empty when the file is missing
// (hidden files count as missing) or unreadable.
QString ReadTextFile(const QString& sFileName);
// Creates or replaces the file with the text followed by CR LF; nothing is
// written when the file cannot be written.
void WriteTextFile(const QString& sText, const QString& sFileName);

// The destination-folder history beside the program: one folder per line, newest first.
QString PathHistoryFile();
inline constexpr int kPathHistoryMax = 16;
// Fills the combo box from the history (created empty when missing) and selects the first entry.
void LoadPathHistory(QComboBox* cbo);
// Puts the combo box's current text at the top of the history, which keeps at
// most 16 lines. False when the history could not be written.
bool SavePathHistory(QComboBox* cbo);
// SavePathHistory, then LoadPathHistory when it was written; the box keeps the
// text it had either way, so a history that cannot be written never changes it.
void RememberPath(QComboBox* cbo);
// Replaces the combo box's items with the file's non-empty lines; selects nothing.
void LoadComboFromFile(const QString& sFileName, QComboBox* cbo);

// Appends "<time of day>:<message>" as a new line of the log box and scrolls to it.
void AddLogLine(const QString& sMessage, QPlainTextEdit* txtLog);
