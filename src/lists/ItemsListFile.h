#pragma once
// The items-list file: one ".flst" file per list in the lists folder, the
// records of all rows one after another, each "<ITEM>", fourteen fields
// (after the keys of the tags the user typed, when there are any) and
// "</ITEM>", each field "<key>value</key>", and one CR LF at the end. Written
// as UTF-8 through a temporary file; read record by record, each as UTF-8,
// or as Windows-1252 when its bytes are not UTF-8.
#include "platform/FileIdentity.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class cGrid;

// The stored fields, in file order. "Size", "Time", "Created", "Range" and
// "COL_BYTES_SIZE" are worked out again from the file when a list opens.
extern const char* const kListFileFields[14];

// One row's record, "<ITEM>" ... "</ITEM>". The "Type" field is always "Audio".
// Fields are in file order, but for one whose tag stands inside another
// field's value: that one is written before the value, so it reads back. A
// value that would still not read back (it holds "<ITEM>", "</ITEM>" or its
// own closing tag) is written escaped; GetTagValue gives it back as it was.
QString ListRecordOfRow(cGrid* grid, int row);
// What a list file holds besides the rows it shows, kept as it stood so
// that every save writes it back: text before the first record, damaged
// records, records whose audio file cannot be opened now. Each stays in its
// place among the rows, however the rows around it move.
struct KeptText {
    int after = 0; // how many rows stand before it
    QString text;  // written back as it is, "<ITEM>" included
};
using KeptTexts = QList<KeptText>;

// The records of every row with the kept texts in their places.
QString ListTextOfGrid(cGrid* grid, const KeptTexts& kept = {});
// Row `row` was taken out: the texts after it stay next to the same rows.
void RowRemoved(KeptTexts& kept, int row);

// The value between the first "<key>" and the first "</key>" of a record,
// unescaped; empty when either is missing or the closing tag comes first.
QString GetTagValue(const QString& key, const QString& record);

// The pieces of a list file's text split at "<ITEM>": the first is what
// stands before the first record (normally nothing), each other one a record
// without its "<ITEM>".
QStringList SplitListRecords(const QString& text);
// Whether a record (without its "<ITEM>") can become a row: it ends with
// "</ITEM>", names its file, every field it opens is closed, and its mark
// and range fields are numbers.
bool IsReadableRecord(const QString& record);

// A list file's text in file order: the records that can become rows and
// the texts that cannot.
struct ListPiece {
    QString text;          // as it stood, "<ITEM>" included
    bool readable = false; // a record that can become a row
};
struct ListRecords {
    QList<ListPiece> pieces; // empty pieces left out
    qsizetype parts = 0;     // what SplitListRecords gave
};
ListRecords SortListRecords(const QString& text);
// Whether a piece is a record (it begins with "<ITEM>") that can become a row.
bool IsReadablePiece(const QString& piece);
// Walks the pieces in order: `takeRow` is given each readable record and
// answers whether it became the next row (not when its audio file cannot be
// opened now); everything else is kept in its place.
KeptTexts TakeRows(const ListRecords& records, const std::function<bool(const QString& record)>& takeRow);
// The same walk a piece at a time: each piece, in order, either became the
// next row or is kept after the rows so far.
class KeptTextsInOrder {
public:
    void Row() { ++m_rows; }
    void Keep(const QString& text) { m_kept.append({m_rows, text}); }
    int Rows() const { return m_rows; }
    const KeptTexts& Kept() const { return m_kept; }

private:
    int m_rows = 0;
    KeptTexts m_kept;
};

// "New Items List n.flst" for the first n from 1 that names no file in the folder.
QString GetNewListFileName(const QString& sFolder);

// The file's text without its final CR LF; empty when the file is missing or unreadable.
QString ReadListFile(const QString& path);
// A list file read and cut where its records begin, each part to be decoded
// on its own (by several threads at once, for a large list): part i's text is
// SplitListRecords(ReadListFile(path))[i], with "<ITEM>" in front for i > 0.
class ListFileParts {
public:
    explicit ListFileParts(const QString& path);
    qsizetype Count() const { return m_starts.size(); }
    QString Text(qsizetype part) const;
    // The file as it was read, to tell later whether another writer changed it.
    const platform::FileStamp& Stamp() const { return m_stamp; }

private:
    QByteArray m_bytes;
    platform::FileStamp m_stamp;
    QList<qsizetype> m_starts; // where each part begins
};
// Replaces the file with the text and a CR LF; false when it could not be
// written. `written`, when given, receives the stamp of the file as written.
bool WriteListFile(const QString& path, const QString& text, platform::FileStamp* written = nullptr);
// Moves a list file that another writer changed out of the way, to
// "<name> (changed elsewhere).flst" (or "... 2).flst" and so on, never over a
// file): its path there, or empty when it could not be moved.
QString KeepOtherListVersion(const QString& path);
// Creates the file empty (zero bytes); false when it could not be created.
bool CreateEmptyListFile(const QString& path);
