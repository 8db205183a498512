#include "lists/ItemsListFile.h"

#include "controls/WindowWidgets.h"
#include "core/FileSystem.h"
#include "core/TextFiles.h"
#include "mainwindow/GridSetup.h"
#include "platform/SaveFile.h"
#include "platform/TextCodec.h"

#include <QFile>

const char* const kListFileFields[14] = {
    kColInc,         kColType,       kColItemName,    kColFile,     kColRangeAll,
    kColRangeStart,  kColRangeLength, kColTagAlbum,   kColTagArtist, kColTagComment,
    kColTagGenre,    kColTagYear,    kColTagTitle,    kColTagTrack,
};

namespace {

const QString kItemOpen = QStringLiteral("<ITEM>");
const QString kItemClose = QStringLiteral("</ITEM>");

QString field(const QString& key, const QString& value) { return "<" + key + ">" + value + "</" + key + ">"; }

bool isWholeNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toInt(&ok);
    return ok;
}

bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

bool hasField(const QString& key, const QString& record)
{
    const QString open = "<" + key + ">";
    const qsizetype at = record.indexOf(open);
    return at >= 0 && record.indexOf("</" + key + ">") >= at + open.size();
}

} // namespace

QString ListRecordOfRow(cGrid* grid, int row)
{
    QString record = kItemOpen;
    record += field(kColInc, QString::number(grid->CellIconIndex(row, kColInc)));
    record += field(kColType, QStringLiteral("Audio"));
    for (int i = 2; i < 14; ++i) {
        const char* key = kListFileFields[i];
        record += field(key, grid->CellText(row, key).toString());
    }
    return record + kItemClose;
}

QString ListTextOfGrid(cGrid* grid, const QStringList& extra)
{
    QString text;
    for (int row = 1; row <= grid->Rows(); ++row) text += ListRecordOfRow(grid, row);
    return text + extra.join(QString());
}

QString GetTagValue(const QString& key, const QString& record)
{
    const QString open = "<" + key + ">";
    const qsizetype start = record.indexOf(open);
    const qsizetype end = record.indexOf("</" + key + ">");
    if (start < 0 || end < 0 || end < start + open.size()) return QString();
    return record.mid(start + open.size(), end - start - open.size());
}

QStringList SplitListRecords(const QString& text) { return text.split(kItemOpen); }

bool IsReadableRecord(const QString& record)
{
    QString body = record;
    while (!body.isEmpty() && body.back().isSpace()) body.chop(1);
    if (!body.endsWith(kItemClose) || !hasField(kColFile, record)) return false;
    if (!isWholeNumber(GetTagValue(kColInc, record))) return false;
    if (GetTagValue(kColRangeAll, record) == "0")
        return isNumber(GetTagValue(kColRangeStart, record)) && isNumber(GetTagValue(kColRangeLength, record));
    return true;
}

QString GetNewListFileName(const QString& sFolder)
{
    for (int n = 1;; ++n) {
        const QString name = QString("New Items List %1.flst").arg(n);
        if (!FileExists(sFolder + name)) return name;
    }
}

QString ReadListFile(const QString& path)
{
    if (!FileExists(path)) return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    QString text = platform::DecodeText(file.readAll());
    if (text.endsWith(kCrLf)) text.chop(2);
    return text;
}

bool WriteListFile(const QString& path, const QString& text)
{
    return platform::SaveFileWhole(path, platform::EncodeText(text + kCrLf));
}

bool CreateEmptyListFile(const QString& path) { return platform::SaveFileWhole(path, QByteArray()); }
