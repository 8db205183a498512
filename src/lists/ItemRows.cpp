#include "lists/ItemRows.h"

#include "controls/audio/AudioConverter.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/FileSystem.h"
#include "core/TimeSizeText.h"
#include "platform/VbCompat.h"
#include "settings/mdlOptions.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

void SetupItemsGrid(cGrid* grid, cImageList* images, ItemsGridKind kind)
{
    if (!grid) return;
    const bool job = kind == ItemsGridKind::Job;
    grid->SetRowHeight(24);
    grid->SetImageList(images);
    for (const ItemColumn& c : kItemColumns)
        grid->AddColumn(c.key, job ? c.jobHeader : c.header, 0, -1, job ? c.jobWidth : c.mainWidth,
                        job ? c.shownInJob : c.shownInMain);
    grid->SetSetupSwitchA(true);
    grid->SetGridLines(true);
    grid->SetSetupSwitchB(true);
    grid->SetSetupSwitchC(true);
    grid->SetSetupSwitchD(false);
    grid->SetSetupColor(std::int32_t(0x80000008));
    grid->SetHotTrack(true);
    grid->SetSetupSwitchE(false);
}

ItemTags TagsOfFile(cAudioConverter& reader, const QString& path)
{
    reader.ReadTags(path);
    return {reader.TagAlbum(), reader.TagArtist(), reader.TagComment(), reader.TagGenre(),
            reader.TagYear(),  reader.TagTitle(),  reader.TagTrack(), {}};
}

ItemTags DefaultTags()
{
    return {g_sTagAlbum, g_sTagArtist, g_sTagComment, g_sTagGenre, g_sTagYear, g_sTagSong, g_sTagTrack, {}};
}

FileFacts FactsOfOpenFile(const cAudioConverter& reader, const QString& path)
{
    const qint64 bytes = QFileInfo(path).size();
    // Not through a time of day: a file of a day or more keeps its hours.
    return {TwoDigitTime(platform::CLng(reader.SourceLength() / 1000.0)), FormatFileSize(double(bytes)),
            GetFileCreatedDate(path), bytes};
}

ItemColumnNumbers::ItemColumnNumbers(cGrid* grid)
    : inc(grid->ColumnIndex(kColInc)), type(grid->ColumnIndex(kColType)), name(grid->ColumnIndex(kColItemName)),
      size(grid->ColumnIndex(kColSize)), time(grid->ColumnIndex(kColTime)), created(grid->ColumnIndex(kColCreated)),
      range(grid->ColumnIndex(kColRange)), file(grid->ColumnIndex(kColFile)),
      rangeAll(grid->ColumnIndex(kColRangeAll)), rangeStart(grid->ColumnIndex(kColRangeStart)),
      rangeLength(grid->ColumnIndex(kColRangeLength)), bytes(grid->ColumnIndex(kColBytesSize)),
      album(grid->ColumnIndex(kColTagAlbum)), artist(grid->ColumnIndex(kColTagArtist)),
      comment(grid->ColumnIndex(kColTagComment)), genre(grid->ColumnIndex(kColTagGenre)),
      year(grid->ColumnIndex(kColTagYear)), title(grid->ColumnIndex(kColTagTitle)),
      track(grid->ColumnIndex(kColTagTrack)), typed(grid->ColumnIndex(kColTagTyped))
{
}

void WriteFileFacts(cGrid* grid, const ItemColumnNumbers& columns, int row, const FileFacts& facts)
{
    grid->CellDetails(row, columns.time, facts.time);
    grid->CellDetails(row, columns.size, facts.size);
    grid->CellDetails(row, columns.created, facts.created);
    grid->CellDetails(row, columns.bytes, facts.bytes);
}

void WriteTags(cGrid* grid, int row, const ItemTags& tags) { WriteTags(grid, ItemColumnNumbers(grid), row, tags); }

void WriteTags(cGrid* grid, const ItemColumnNumbers& columns, int row, const ItemTags& tags)
{
    grid->CellDetails(row, columns.album, tags.album);
    grid->CellDetails(row, columns.artist, tags.artist);
    grid->CellDetails(row, columns.comment, tags.comment);
    grid->CellDetails(row, columns.genre, tags.genre);
    grid->CellDetails(row, columns.year, tags.year);
    grid->CellDetails(row, columns.title, tags.title);
    grid->CellDetails(row, columns.track, tags.track);
    grid->CellDetails(row, columns.typed, TypedTagsText(tags.typed));
}

ItemTags TypedOverFileTags(const ItemTags& stored, const ItemTags& file)
{
    ItemTags tags = file;
    tags.typed = stored.typed;
    for (const auto& [key, text] : kTagCells)
        if (stored.typed.contains(QLatin1String(key))) tags.*text = stored.*text;
    return tags;
}

QStringList TypedTagsOfRow(cGrid* grid, int row)
{
    return grid->CellText(row, kColTagTyped).toString().split(' ', Qt::SkipEmptyParts);
}

QString TypedTagsText(const QStringList& keys) { return keys.join(' '); }

QString TwoDigitTime(std::int64_t seconds)
{
    const std::int64_t s = std::max<std::int64_t>(seconds, 0);
    return QString("%1:%2:%3")
        .arg(s / 3600, 2, 10, QChar('0'))
        .arg((s / 60) % 60, 2, 10, QChar('0'))
        .arg(s % 60, 2, 10, QChar('0'));
}

QString RangeText(std::int64_t startSeconds, std::int64_t endSeconds)
{
    return TwoDigitTime(startSeconds) + " - " + TwoDigitTime(endSeconds);
}

void ListTotals::AddRow(cGrid* grid, const ItemColumnNumbers& c, int row)
{
    if (grid->CellText(row, c.rangeAll).toString() == "1") {
        seconds += TimeToSeconds(grid->CellText(row, c.time).toString());
    } else {
        seconds += CellNumber(grid, row, c.rangeLength);
        seconds = std::nearbyint(seconds);
    }
    bytes = std::nearbyint(bytes + CellNumber(grid, row, c.bytes));
}

double CellNumber(cGrid* grid, int row, const cItemRef& column, bool* ok)
{
    const QVariant cell = grid->CellText(row, column);
    // A number written as a number (the byte counts) reads the same as its text.
    switch (cell.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        if (ok) *ok = true;
        return cell.toDouble();
    default: break;
    }
    bool valid = false;
    const double value = cell.toString().trimmed().toDouble(&valid);
    if (ok) *ok = valid;
    return valid ? value : 0.0;
}
