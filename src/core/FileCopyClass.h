#pragma once
// Copies one file to another in chunks, publishing its progress in public
// members and letting the window's events run after every chunk. The
// destination is written to a temporary file beside it and renamed into place
// only when the copy is complete, so a failed copy leaves no partial file and
// an existing destination intact.
#include <QString>
#include <cstdint>

class FileCopyClass {
public:
    // Bytes read per step; 0 means 32000. Two steps are written at a time.
    std::int32_t CacheSize = 0;
    // Progress of the running copy, 0 to 100.
    std::int16_t PercentREady = 0;
    // The last copy ran to its end.
    bool Sucessfull = false;
    // Whole seconds the last copy took.
    std::int32_t SecondsTaken = 0;
    // Why the last copy failed; empty after a successful one.
    QString ErrorDescription;

    void Copy(const QString& SourceFile, const QString& Destination);
};
