#include "lists/ListLoad.h"

#include "burning/TrackTypeCode.h"
#include "controls/AudioConverter.h"
#include "controls/ControlThread.h"
#include "controls/WindowWidgets.h"
#include "core/FileSystem.h"
#include "lists/ItemRows.h"
#include "lists/ParallelReading.h"
#include "platform/VbCompat.h"

#include <optional>

namespace {

// The cells of a record's row, worked out off the window thread.
struct ListRow {
    int inc = 0;
    int type = 0;
    QString name, file;
    bool ranged = false;
    QString start, length, range;
    ItemTags tags;
    FileFacts facts;
};

// The row of a readable record whose file the reader has opened: mark, type,
// name and file from the record, the file's facts, the range, and the
// stored tags or, when given, the file's own.
ListRow RowOfRecord(const QString& record, const FileFacts& facts, const std::optional<ItemTags>& fileTags)
{
    auto field = [&](const char* key) { return GetTagValue(key, record); };
    ListRow row;
    row.inc = field(kColInc).trimmed().toInt();
    row.type = GetTrackTypeCode(field(kColType));
    row.name = field(kColItemName);
    row.file = field(kColFile);
    row.facts = facts;
    row.ranged = field(kColRangeAll) == "0";
    if (row.ranged) {
        row.start = field(kColRangeStart);
        row.length = field(kColRangeLength);
        const double startSeconds = row.start.trimmed().toDouble();
        row.range = RangeText(platform::CLng(startSeconds), platform::CLng(startSeconds + row.length.trimmed().toDouble()));
    }
    row.tags = fileTags ? *fileTags
                        : ItemTags{field(kColTagAlbum), field(kColTagArtist), field(kColTagComment), field(kColTagGenre),
                                   field(kColTagYear),  field(kColTagTitle),  field(kColTagTrack)};
    return row;
}

void WriteListRow(cGrid* grid, int n, const ListRow& row)
{
    grid->CellDetails(n, kColInc, QVariant(), kIconCellFormat, row.inc);
    grid->CellDetails(n, kColType, "", kIconCellFormat, row.type);
    grid->CellDetails(n, kColItemName, row.name);
    grid->CellDetails(n, kColFile, row.file);
    WriteFileFacts(grid, n, row.facts);
    if (row.ranged) {
        grid->CellDetails(n, kColRangeAll, "0");
        grid->CellDetails(n, kColRangeStart, row.start);
        grid->CellDetails(n, kColRangeLength, row.length);
        grid->CellDetails(n, kColRange, row.range);
    } else {
        grid->CellDetails(n, kColRangeAll, "1");
        grid->CellDetails(n, kColRange, "All");
    }
    WriteTags(grid, n, row.tags);
}

} // namespace

struct ListLoad::Piece {
    QString text;                 // as the file holds it
    std::unique_ptr<ListRow> row; // set when the piece becomes a row
};

ListLoad::ListLoad(const QString& listPath, cGrid* grid, bool tagsFromFile, QObject* parent)
    : QObject(parent), m_path(listPath), m_grid(grid), m_tagsFromFile(tagsFromFile)
{
}

ListLoad::~ListLoad() { Stop(); }

void ListLoad::Start(cAudioConverter* own)
{
    m_own = own;
    m_fileThread = std::make_unique<ControlThread>(this);
    m_fileThread->Start([path = m_path, this](const std::atomic<bool>&, const ControlThread::Post&) {
        auto records = std::make_shared<ListRecords>(SplitListPieces(ReadListFile(path)));
        return std::function<void()>([this, records] { StartReading(std::move(*records)); });
    });
}

void ListLoad::Stop()
{
    m_stopped = true;
    if (m_fileThread) m_fileThread->Stop();
    if (m_reading) m_reading->Stop();
}

void ListLoad::StartReading(ListRecords records)
{
    emit Counted(records.parts);
    m_pieces.resize(size_t(records.pieces.size()));
    for (qsizetype i = 0; i < records.pieces.size(); ++i) m_pieces[size_t(i)].text = std::move(records.pieces[i].text);
    records = {};
    m_reading = std::make_unique<ParallelReading>(
        qsizetype(m_pieces.size()), [this](qsizetype i, cAudioConverter& reader) { ReadPiece(i, reader); },
        [this](qsizetype i) { TakePiece(i); });
    connect(m_reading.get(), &ParallelReading::Ended, this, [this] {
        if (!m_stopped) emit Finished();
    });
    m_reading->Start(m_own);
}

void ListLoad::ReadPiece(qsizetype index, cAudioConverter& reader)
{
    Piece& piece = m_pieces[size_t(index)];
    if (!IsReadablePiece(piece.text)) return;
    const QString path = GetTagValue(kColFile, piece.text);
    if (path.isEmpty() || !FileExists(path) || reader.OpenSourceFile(path) != 0) return;
    const FileFacts facts = FactsOfOpenFile(reader, path);
    std::optional<ItemTags> fileTags;
    if (m_tagsFromFile) fileTags = TagsOfFile(reader, path);
    reader.CloseSourceFile();
    piece.row = std::make_unique<ListRow>(RowOfRecord(piece.text, facts, fileTags));
}

void ListLoad::TakePiece(qsizetype index)
{
    Piece& piece = m_pieces[size_t(index)];
    if (piece.row) {
        m_walk.Row();
        emit RowStarting(m_walk.Rows());
        WriteListRow(m_grid, m_walk.Rows(), *piece.row);
    } else {
        m_walk.Keep(piece.text);
    }
    piece = {};
}
