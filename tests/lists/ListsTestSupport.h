#pragma once
// Helpers for the items-list tests: a program folder with a lists folder,
// generated WAV files, list files written by hand, and the main window.
#include "support/FakeAudioConverter.h"
#include "support/ProgramFixture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class CfrmMain;
class cTreeNode;

namespace liststest {

// A file the scripted reader reads as 44.1 kHz stereo of that length.
FakeAudioConverter::File FakeFile(int lengthMs);

// A 16-bit PCM WAV file of the given length.
void WriteWav(const QString& path, double seconds, int rate = 8000, int channels = 1);
void WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

// Hides the tool tip and waits until it is gone (name boxes show their warning in one).
void HideToolTip();

// One item as a list file stores it.
struct Item {
    QString inc = "1", type = "Audio", name, file, rangeAll = "1", start, length;
    QString album, artist, comment, genre, year, title, track;
};
// An item of that name and file, whole and marked.
Item ItemOf(const QString& name, const QString& file);
// The record "<ITEM>...</ITEM>" of an item, fields in file order.
QString Record(const Item& item);

class ListsTest : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    QString ListsDir() const { return ProgramFolder() + "/Main/"; }
    QString ListPath(const QString& name) const { return ListsDir() + name + ".flst"; }
    QString MediaDir() const { return ProgramFolder() + "/media/"; }
    // A WAV file in the media folder; its full path.
    QString Wav(const QString& name, double seconds = 1.0, int rate = 8000, int channels = 1);
    // A list file of the items, written as the program writes it.
    void WriteList(const QString& name, const QList<Item>& items);
    // An item of a WAV file made for it.
    Item FileItem(const QString& name, double seconds = 1.0);

    // The main window, loaded (which builds the tree and opens the first
    // list), with the list it opens opened.
    CfrmMain* Main();
    cTreeNode* ListNode(const QString& text);
    // Opens the list with that text in the grid, and waits until it has opened.
    void Open(const QString& text);
    QString Cell(int row, const char* key);
    int Icon(int row, const char* key);
    int Rows();
    // The texts of a column, row by row.
    QStringList Column(const char* key);
};

} // namespace liststest
