#pragma once
// The Audio Converter window on a seeded settings key, with the fake
// conversion control, a fixed clock and an English (US) locale; helpers to
// put rows in its grid, run a job to its end and read the log.
#include "support/FakeAudioConverter.h"
#include "conversion/frmConverter.h"
#include "support/ProgramFixture.h"

#include <QString>
#include <QStringList>

namespace convtest {

// One row of a job grid.
struct Row {
    QString file{};            // COL_FILE
    QString itemName{};        // "Item Name"; empty: the file's name
    QString time = "00:00:10";
    QString rangeAll = "1";    // COL_RANGE_ALL
    QString start{}, length{}; // COL_RANGE_START_TIME, COL_RANGE_LENGTH_TIME
    QString range = "All";
    QString album{}, artist{}, comment{}, genre{}, title{}, track{}, year{};
};

void AddRow(cGrid* grid, const Row& row);

class ConverterTest : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the window with the destination set to Out().
    CfrmConverter* Open();
    // The window's fake control.
    FakeAudioConverter* Fake() const;
    // The destination folder, ending in "/".
    QString Out() const { return ProgramFolder() + "/out/"; }
    void AddRows(const std::vector<Row>& rows);
    // Rows of files named a.wav, b.wav ... in the source folder.
    void AddFileRows(int count);
    QString Source(const QString& name) const { return ProgramFolder() + "/src/" + name; }
    // Convert, then events until the run is idle again.
    void Run();
    void WaitUntilIdle();
    // The log's messages, without their time stamps.
    QStringList LogLines() const;
    // A file at the path.
    static void Touch(const QString& path);

    QDateTime now;
    CfrmConverter* w = nullptr;
};

} // namespace convtest
