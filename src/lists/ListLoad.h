#pragma once
// Loading a list file into an items grid without holding up the window: the
// file is read and cut into records on a thread of its own, the records and
// their audio files are read in parallel (ParallelReading), and the window
// thread writes the rows in the file's order. A record becomes the next row
// when it is readable and names a plain, visible file that opens as audio;
// every other piece of the file is kept in its place (KeptTexts).
#include "lists/ItemRows.h"
#include "lists/ItemsListFile.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class ControlThread;
class ParallelReading;
class cAudioConverter;
class cGrid;

class ListLoad : public QObject {
    Q_OBJECT
public:
    // With tagsFromFile the rows take their files' tags instead of the stored ones.
    ListLoad(const QString& listPath, cGrid* grid, bool tagsFromFile, QObject* parent = nullptr);
    ~ListLoad() override;

    // `own`, when given, is one of the readers (see ParallelReading::Start).
    void Start(cAudioConverter* own = nullptr);
    // Ends the load where it is and waits for its threads: no more rows, no Finished.
    void Stop();
    // What the file holds besides the rows written so far.
    const KeptTexts& Kept() const { return m_walk.Kept(); }
    // The file as it was read.
    platform::FileStamp Stamp() const { return m_parts ? m_parts->Stamp() : platform::FileStamp{}; }
    // The totals of the rows written so far.
    const ListTotals& Totals() const { return m_totals; }

signals:
    // The file was cut into that many parts (as SplitListRecords cuts its text).
    void Counted(qsizetype parts);
    // The next row is about to be written; `rows` counts it.
    void RowStarting(int rows);
    // Every piece of the file is a row or kept.
    void Finished();

private:
    struct Piece;
    void ReadPiece(qsizetype index, cAudioConverter& reader);
    void TakePiece(qsizetype index);
    void StartReading();

    const QString m_path;
    cGrid* m_grid;
    const bool m_tagsFromFile;
    cAudioConverter* m_own = nullptr;
    const ItemColumnNumbers m_columns;
    std::unique_ptr<ListFileParts> m_parts;
    std::vector<Piece> m_pieces;
    KeptTextsInOrder m_walk;
    ListTotals m_totals;
    std::unique_ptr<ControlThread> m_fileThread;
    std::unique_ptr<ParallelReading> m_reading;
    bool m_stopped = false;
};
