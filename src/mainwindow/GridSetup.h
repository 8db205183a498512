#pragma once
// The columns every items grid shares (the main list and each job window's
// grid, in the same order, so rows copy between them column by column), the
// information grid's columns, and the procedures that prepare the grids.
class cGrid;
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

// The text format of the icon cells ("Inc", "Type"): one line, word ellipsis.
inline constexpr int kIconCellFormat = 0x40020;
// Icons of the grid image list.
inline constexpr int kIconUnmarked = 0;
inline constexpr int kIconMarked = 1;

// The main window's items grid: rows 24 pixels high, icons from `images`
// (the main window's imgGrid); shows the mark, type, name and range.
void SetupFileGrid(cGrid* grid, cImageList* images);
// A job window's grid: shows the seven visible columns. Icons from `images`,
// by default the main window's imgMenu (the ripper passes imgGrid).
void SetupJobGrid(cGrid* grid, cImageList* images = nullptr);
// The information grid: "Name" and "Value", rows 20 pixels high.
void SetupInfoGrid(cGrid* grid);
