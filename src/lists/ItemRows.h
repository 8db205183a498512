#pragma once
// Writing the cells of an items row: the facts worked out from the audio
// file (length, size, creation time, byte count), the range and the tags.
#include <QString>
#include <cstdint>

class cAudioConverter;
class cGrid;

// The seven tag texts of a row.
struct ItemTags {
    QString album, artist, comment, genre, year, title, track;
};

// The tags the reader finds in the file (ReadTags, then its tag properties).
ItemTags TagsOfFile(cAudioConverter& reader, const QString& path);
// The default tag texts of the settings, as they are.
ItemTags DefaultTags();

// "Time", "Size", "Created" and "COL_BYTES_SIZE" of an opened file: the
// reader's length rounded to whole seconds as HH:MM:SS, the size text, the
// creation date and the 64-bit byte count.
void WriteFileFacts(cGrid* grid, int row, const QString& path, const cAudioConverter& reader);
void WriteTags(cGrid* grid, int row, const ItemTags& tags);

// Whole seconds as HH:MM:SS with two digits at least for the hours.
QString TwoDigitTime(std::int64_t seconds);
// "HH:MM:SS - HH:MM:SS" of a range's start and end.
QString RangeText(std::int64_t startSeconds, std::int64_t endSeconds);

// The number a cell's text reads as; 0 (and ok false) when it is none.
double CellNumber(cGrid* grid, int row, const char* column, bool* ok = nullptr);
