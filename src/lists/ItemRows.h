#pragma once
// The items row: its columns, which every items grid shares (the main list and
// each job window's grid, in the same order, so rows copy between them column
// by column), and writing its cells: the facts worked out from the audio file
// (length, size, creation time, byte count), the range and the tags.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <utility>

class cAudioConverter;
class cGrid;
class cItemRef;
class cImageList;

// Column keys of an items row, in column order.
inline constexpr char kColInc[] = "Inc";
inline constexpr char kColType[] = "Type";
inline constexpr char kColItemName[] = "Item Name";
inline constexpr char kColSize[] = "Size";
inline constexpr char kColTime[] = "Time";
inline constexpr char kColCreated[] = "Created";
inline constexpr char kColRange[] = "Range";
inline constexpr char kColFile[] = "COL_FILE";
inline constexpr char kColRangeAll[] = "COL_RANGE_ALL";
inline constexpr char kColRangeStart[] = "COL_RANGE_START_TIME";
inline constexpr char kColRangeLength[] = "COL_RANGE_LENGTH_TIME";
inline constexpr char kColBytesSize[] = "COL_BYTES_SIZE";
inline constexpr char kColTagAlbum[] = "COL_TAG_ALBUM";
inline constexpr char kColTagArtist[] = "COL_TAG_ARTIST";
inline constexpr char kColTagComment[] = "COL_TAG_COMMENT";
inline constexpr char kColTagGenre[] = "COL_TAG_GEN";
inline constexpr char kColTagYear[] = "COL_TAG_YEAR";
inline constexpr char kColTagTitle[] = "COL_TAG_TITLE";
inline constexpr char kColTagTrack[] = "COL_TAG_TRACK";
// The keys of the tag cells the user typed (Item Properties), separated by
// spaces; the other tags follow the file when the list opens again.
inline constexpr char kColTagTyped[] = "COL_TAG_TYPED";

// One column of an items grid, as the main list and a job grid show it.
// The data columns are hidden everywhere and take the grid's default width (-1).
struct ItemColumn {
    const char* key;
    const char* header;
    const char* jobHeader;
    int mainWidth;
    int jobWidth;
    bool shownInMain;
    bool shownInJob;
};

// The columns of an items row, in column order.
inline constexpr ItemColumn kItemColumns[] = {
    {kColInc, "Inc", "", 26, 20, true, true},
    {kColType, "Type", "Type", 40, 40, true, true},
    {kColItemName, "Item Name", "Item Name", 200, 160, true, true},
    {kColSize, "Size", "Size", 80, 80, false, true},
    {kColTime, "Time-Length", "Time-Length", 80, 80, false, true},
    {kColCreated, "Created", "Created", 140, 140, false, true},
    {kColRange, "Range", "Range", 120, 120, true, true},
    {kColFile, kColFile, kColFile, -1, -1, false, false},
    {kColRangeAll, kColRangeAll, kColRangeAll, -1, -1, false, false},
    {kColRangeStart, kColRangeStart, kColRangeStart, -1, -1, false, false},
    {kColRangeLength, kColRangeLength, kColRangeLength, -1, -1, false, false},
    {kColBytesSize, kColBytesSize, kColBytesSize, -1, -1, false, false},
    {kColTagAlbum, kColTagAlbum, kColTagAlbum, -1, -1, false, false},
    {kColTagArtist, kColTagArtist, kColTagArtist, -1, -1, false, false},
    {kColTagComment, kColTagComment, kColTagComment, -1, -1, false, false},
    {kColTagGenre, kColTagGenre, kColTagGenre, -1, -1, false, false},
    {kColTagYear, kColTagYear, kColTagYear, -1, -1, false, false},
    {kColTagTitle, kColTagTitle, kColTagTitle, -1, -1, false, false},
    {kColTagTrack, kColTagTrack, kColTagTrack, -1, -1, false, false},
    {kColTagTyped, kColTagTyped, kColTagTyped, -1, -1, false, false},
};

// The text format of the icon cells ("Inc", "Type"): one line, word ellipsis.
inline constexpr int kIconCellFormat = 0x40020;
// Icons of the grid image list.
inline constexpr int kIconUnmarked = 0;
inline constexpr int kIconMarked = 1;

// An items grid: rows 24 pixels high, icons from `images`, the columns of
// kItemColumns as the main list or a job grid shows them.
enum class ItemsGridKind { Main, Job };
void SetupItemsGrid(cGrid* grid, cImageList* images, ItemsGridKind kind);

// The numbers of an items grid's columns, looked up once for writing many
// rows (writing by number saves a look-up of the key for every cell).
struct ItemColumnNumbers {
    explicit ItemColumnNumbers(cGrid* grid);
    int inc, type, name, size, time, created, range, file, rangeAll, rangeStart, rangeLength, bytes;
    int album, artist, comment, genre, year, title, track, typed;
};

// The seven tag texts of a row, and which of them the user typed.
struct ItemTags {
    QString album, artist, comment, genre, year, title, track;
    QStringList typed; // tag column keys
};
// The tag cells' keys with their texts in ItemTags.
inline constexpr std::pair<const char*, QString ItemTags::*> kTagCells[] = {
    {kColTagAlbum, &ItemTags::album}, {kColTagArtist, &ItemTags::artist}, {kColTagComment, &ItemTags::comment},
    {kColTagGenre, &ItemTags::genre}, {kColTagYear, &ItemTags::year},     {kColTagTitle, &ItemTags::title},
    {kColTagTrack, &ItemTags::track},
};
// The tags a list stores for an item, with those not typed by the user
// taken from the file instead.
ItemTags TypedOverFileTags(const ItemTags& stored, const ItemTags& file);
// The typed tag keys of a row's cell, and the cell text of such keys.
QStringList TypedTagsOfRow(cGrid* grid, int row);
QString TypedTagsText(const QStringList& keys);

// The tags the reader finds in the file (ReadTags, then its tag properties).
ItemTags TagsOfFile(cAudioConverter& reader, const QString& path);
// The default tag texts of the settings, as they are.
ItemTags DefaultTags();

// What a row shows of its audio file: "Time", "Size", "Created" and
// "COL_BYTES_SIZE", worked out where the file is read.
struct FileFacts {
    QString time;      // the length rounded to whole seconds, HH:MM:SS
    QString size;      // FormatFileSize
    QDateTime created; // GetFileCreatedDate
    qint64 bytes = 0;  // the 64-bit byte count
};
// The facts of the file the reader has just opened.
FileFacts FactsOfOpenFile(const cAudioConverter& reader, const QString& path);
void WriteFileFacts(cGrid* grid, const ItemColumnNumbers& columns, int row, const FileFacts& facts);
void WriteTags(cGrid* grid, const ItemColumnNumbers& columns, int row, const ItemTags& tags);
void WriteTags(cGrid* grid, int row, const ItemTags& tags);

// Whole seconds as HH:MM:SS with two digits at least for the hours.
QString TwoDigitTime(std::int64_t seconds);
// "HH:MM:SS - HH:MM:SS" of a range's start and end.
QString RangeText(std::int64_t startSeconds, std::int64_t endSeconds);

// The number a cell's text reads as; 0 (and ok false) when it is none.
double CellNumber(cGrid* grid, int row, const cItemRef& column, bool* ok = nullptr);

// The list's total play time and size, summed row by row in the grid's order:
// a whole-file row adds its time, a ranged row its range's length (the total
// then rounded to whole seconds); every row adds its byte count.
struct ListTotals {
    double seconds = 0;
    double bytes = 0;
    void AddRow(cGrid* grid, const ItemColumnNumbers& columns, int row);
};
