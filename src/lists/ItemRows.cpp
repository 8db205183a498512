#include "lists/ItemRows.h"

#include "controls/AudioConverter.h"
#include "controls/WindowWidgets.h"
#include "core/FileSystem.h"
#include "core/TimeSizeText.h"
#include "platform/VbCompat.h"
#include "settings/mdlOptions.h"

#include <QFileInfo>
#include <algorithm>

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
            reader.TagYear(),  reader.TagTitle(),  reader.TagTrack()};
}

ItemTags DefaultTags()
{
    return {g_sTagAlbum, g_sTagArtist, g_sTagComment, g_sTagGenre, g_sTagYear, g_sTagSong, g_sTagTrack};
}

FileFacts FactsOfOpenFile(const cAudioConverter& reader, const QString& path)
{
    return {reader.SourceLength(), QFileInfo(path).size(), GetFileCreatedDate(path)};
}

void WriteFileFacts(cGrid* grid, int row, const FileFacts& facts)
{
    const std::int32_t seconds = platform::CLng(facts.lengthMs / 1000.0);
    // Not through a time of day: a file of a day or more keeps its hours.
    grid->CellDetails(row, kColTime, TwoDigitTime(seconds));
    grid->CellDetails(row, kColSize, FormatFileSize(double(facts.bytes)));
    grid->CellDetails(row, kColCreated, facts.created);
    grid->CellDetails(row, kColBytesSize, facts.bytes);
}

void WriteTags(cGrid* grid, int row, const ItemTags& tags)
{
    grid->CellDetails(row, kColTagAlbum, tags.album);
    grid->CellDetails(row, kColTagArtist, tags.artist);
    grid->CellDetails(row, kColTagComment, tags.comment);
    grid->CellDetails(row, kColTagGenre, tags.genre);
    grid->CellDetails(row, kColTagYear, tags.year);
    grid->CellDetails(row, kColTagTitle, tags.title);
    grid->CellDetails(row, kColTagTrack, tags.track);
}

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

double CellNumber(cGrid* grid, int row, const char* column, bool* ok)
{
    bool valid = false;
    const double value = grid->CellText(row, column).toString().trimmed().toDouble(&valid);
    if (ok) *ok = valid;
    return valid ? value : 0.0;
}
