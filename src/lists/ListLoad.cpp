#include "lists/ListLoad.h"

#include "lists/TrackTypeCode.h"
#include "controls/audio/AudioConverter.h"
#include "controls/ControlThread.h"
#include "controls/widgets/WindowWidgets.h"
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
// stored tags or, when given, the file's own for those the user did not type.
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
    ItemTags stored;
    for (const auto& [key, text] : kTagCells) stored.*text = field(key);
    stored.typed = field(kColTagTyped).split(' ', Qt::SkipEmptyParts);
    row.tags = fileTags ? TypedOverFileTags(stored, *fileTags) : stored;
    return row;
}

void WriteListRow(cGrid* grid, const ItemColumnNumbers& c, int n, const ListRow& row)
{
    grid->CellDetails(n, c.inc, QVariant(), kIconCellFormat, row.inc);
    grid->CellDetails(n, c.type, QStringLiteral(""), kIconCellFormat, row.type);
    grid->CellDetails(n, c.name, row.name);
    grid->CellDetails(n, c.file, row.file);
    WriteFileFacts(grid, c, n, row.facts);
    if (row.ranged) {
        grid->CellDetails(n, c.rangeAll, QStringLiteral("0"));
        grid->CellDetails(n, c.rangeStart, row.start);
        grid->CellDetails(n, c.rangeLength, row.length);
        grid->CellDetails(n, c.range, row.range);
    } else {
        grid->CellDetails(n, c.rangeAll, QStringLiteral("1"));
        grid->CellDetails(n, c.range, QStringLiteral("All"));
    }
    WriteTags(grid, c, n, row.tags);
}

} // namespace

// What a part of the file turned out to be once read.
struct ListLoad::Piece {
    QString kept;                 // a part that stays text, as the file holds it
    std::optional<ListRow> row;   // a part that becomes a row
};

ListLoad::ListLoad(const QString& listPath, cGrid* grid, bool tagsFromFile, QObject* parent)
    : QObject(parent), m_path(listPath), m_grid(grid), m_tagsFromFile(tagsFromFile), m_columns(grid)
{
}

ListLoad::~ListLoad() { Stop(); }

void ListLoad::Start(cAudioConverter* own)
{
    m_own = own;
    m_fileThread = std::make_unique<ControlThread>(this);
    m_fileThread->Start([path = m_path, this](const std::atomic<bool>&, const ControlThread::Post&) {
        // The file and the room for what its parts turn out to be, made here:
        // for a large list both take a while.
        auto parts = std::make_shared<ListFileParts>(path);
        auto pieces = std::make_shared<std::vector<Piece>>(size_t(parts->Count()));
        return std::function<void()>([this, parts, pieces] {
            m_parts = std::make_unique<ListFileParts>(std::move(*parts));
            m_pieces = std::move(*pieces);
            StartReading();
        });
    });
}

void ListLoad::Stop()
{
    m_stopped = true;
    if (m_fileThread) m_fileThread->Stop();
    if (m_reading) m_reading->Stop();
}

void ListLoad::StartReading()
{
    emit Counted(m_parts->Count());
    m_reading = std::make_unique<ParallelReading>(
        m_parts->Count(), [this](qsizetype i, cAudioConverter& reader) { ReadPiece(i, reader); },
        [this](qsizetype i) { TakePiece(i); });
    connect(m_reading.get(), &ParallelReading::Ended, this, [this] {
        if (!m_stopped) emit Finished();
    });
    m_reading->Start(m_own);
}

void ListLoad::ReadPiece(qsizetype index, cAudioConverter& reader)
{
    const QString text = m_parts->Text(index);
    // Blank parts (the CR LF at the end, say) are neither rows nor kept.
    if (text.trimmed().isEmpty()) return;
    Piece& piece = m_pieces[size_t(index)];
    piece.kept = text;
    if (!IsReadablePiece(text)) return;
    const QString path = GetTagValue(kColFile, text);
    if (path.isEmpty() || !FileExists(path) || reader.OpenSourceFile(path) != 0) return;
    const FileFacts facts = FactsOfOpenFile(reader, path);
    std::optional<ItemTags> fileTags;
    if (m_tagsFromFile) fileTags = TagsOfFile(reader, path);
    reader.CloseSourceFile();
    piece.row = RowOfRecord(text, facts, fileTags);
    piece.kept.clear();
}

void ListLoad::TakePiece(qsizetype index)
{
    Piece& piece = m_pieces[size_t(index)];
    if (piece.row) {
        m_walk.Row();
        emit RowStarting(m_walk.Rows());
        WriteListRow(m_grid, m_columns, m_walk.Rows(), *piece.row);
        m_totals.AddRow(m_grid, m_columns, m_walk.Rows());
    } else if (!piece.kept.isEmpty()) {
        m_walk.Keep(piece.kept);
    }
    piece = {};
}
