#pragma once
// The items-list file: one ".flst" file per list in the lists folder, the
// records of all rows one after another, each "<ITEM>", fourteen fields and
// "</ITEM>", each field "<key>value</key>", and one CR LF at the end. Written
// as UTF-8 through a temporary file; read as UTF-8, or Windows-1252 when the
// bytes are not UTF-8.
#include <QString>
#include <QStringList>

class cGrid;

// The stored fields, in file order. "Size", "Time", "Created", "Range" and
// "COL_BYTES_SIZE" are worked out again from the file when a list opens.
extern const char* const kListFileFields[14];

// One row's record, "<ITEM>" ... "</ITEM>". The "Type" field is always "Audio".
// Fields are in file order, but for one whose tag stands inside another
// field's value: that one is written before the value, so it reads back.
QString ListRecordOfRow(cGrid* grid, int row);
// The records of every row with `extra` (text kept from the file) as it is:
// the text that stood before the first record first, the damaged records
// ("<ITEM>"...) after the rows.
QString ListTextOfGrid(cGrid* grid, const QStringList& extra = {});

// The value between the first "<key>" and the first "</key>" of a record;
// empty when either is missing or the closing tag comes first.
QString GetTagValue(const QString& key, const QString& record);

// The pieces of a list file's text split at "<ITEM>": the first is what
// stands before the first record (normally nothing), each other one a record
// without its "<ITEM>".
QStringList SplitListRecords(const QString& text);
// Whether a record (without its "<ITEM>") can become a row: it ends with
// "</ITEM>", names its file, and its mark and range fields are numbers.
bool IsReadableRecord(const QString& record);

// A list file's text sorted into the records that can become rows and the
// texts that cannot, kept as they stood so that a save writes them back.
struct ListRecords {
    QStringList readable; // records without their "<ITEM>"
    QStringList unread;   // whole texts, "<ITEM>" included
    qsizetype pieces = 0; // what SplitListRecords gave
};
ListRecords SortListRecords(const QString& text);

// "New Items List n.flst" for the first n from 1 that names no file in the folder.
QString GetNewListFileName(const QString& sFolder);

// The file's text without its final CR LF; empty when the file is missing or unreadable.
QString ReadListFile(const QString& path);
// Replaces the file with the text and a CR LF; false when it could not be written.
bool WriteListFile(const QString& path, const QString& text);
// Creates the file empty (zero bytes); false when it could not be created.
bool CreateEmptyListFile(const QString& path);
