#pragma once
// Paths and file names taken apart, names made safe and checked, folders
// tested and created. Paths use "/"; every comparison is exact and case-sensitive.
#include <QString>
#include <cstdint>

class QWidget;

// The text after the last "/"; the whole text when it holds none; empty for a text ending in "/".
QString GetFileName(const QString& sPath);
// Every component but the last, each followed by "/" (/a/b.wav gives /a/); empty without "/".
QString GetFilePath(const QString& sPath);
// The text up to and including the last "/"; empty without "/".
QString GetFolderOfPath(const QString& sPath);
// The text after the last "." of the whole text, at most 12 characters; empty without ".".
QString GetExtension(const QString& sName);
// The text after the last ".", whatever its length; empty without ".".
QString GetLastExtension(const QString& sName);
// The text before the last "."; empty when there is no "." at all.
QString RemoveExtension(const QString& sName);

// Every character that cannot stand in a folder name (37 of them) replaced by "-".
QString MakeSafeName(const QString& sText);
// False when the name holds one of / \ : ? * < > " |; True otherwise, also for an empty name.
bool IsValidFileName(const QString& sName);
// Key filter for name boxes: a character IsValidFileName refuses is dropped
// (KeyAscii set to 0) and a tip on the box says why.
void CheckFileNameKey(QWidget* txtBox, int& KeyAscii);
// Puts every character typed into the box through CheckFileNameKey (pasted
// text is not filtered: check the name before using it).
void FilterFileNameKeys(QWidget* txtBox);
// The tip's text.
extern const char* const kIllegalNameTip;

// True when the path is an existing folder.
bool IsFolder(const QString& sPath);
// Creates every missing folder of the path; 0 on success, else the number of
// the first error (kErrPathFileAccess, kErrPathNotFound), after which no deeper level is tried.
std::int32_t CreateFolderPath(const QString& sPath);
inline constexpr std::int32_t kErrPathFileAccess = 75;
inline constexpr std::int32_t kErrPathNotFound = 76;

// The folder of this user's data files, ending in "/": the items lists
// ("Main/"), Notes, PathHistory, the machine settings hive, temporary files.
// It is the program folder when that can be written (a build tree, a portable
// copy); for an installed program it is PerUserDataFolder(), seeded from the
// installed files at start-up.
QString UserDataFolder();
// $XDG_DATA_HOME/tarvello, by default ~/.local/share/tarvello (no trailing "/").
QString PerUserDataFolder();
// Where an installed program's data files lie: the executable's own folder
// when it holds them (a build tree), else <prefix>/share/tarvello beside
// <prefix>/bin (no trailing "/").
QString InstalledDataFolder(const QString& executableFolder);
// Copies every file of `installed` that `target` lacks (the lists, the
// settings hive, the sounds), so a new user starts from the installed files
// and keeps his own from then on; the help page is the program's own and is
// always the installed one. Copies can be written by their owner. False when
// the target folder cannot be made.
bool SeedDataFolder(const QString& installed, const QString& target);
// Start-up: points the program folder (platform::AppPath) at the seeded
// per-user folder for an installed program (told by its layout, <prefix>/bin
// beside <prefix>/share/tarvello, never by whether it can write there) and
// for a program folder that cannot be written; else at the executable's folder.
void SetUpProgramFolder(const QString& executableFolder);
// True when start-up found an installed program.
bool IsInstalledProgram();
// The folder, ending in "/", where outputs go unless the user chose one: for
// an installed program the user's music folder (his home when he has none),
// never its hidden data folder; else `portableDefault`.
QString DefaultDestination(const QString& portableDefault);
// The program's executable file, wherever its data files are.
QString ProgramExecutable();

// Empties a collection by removing its first item as often as it held items.
template <class Collection>
void ClearCollection(Collection& col)
{
    const auto n = col.size();
    for (decltype(col.size()) i = 0; i < n; ++i) col.erase(col.begin());
}
