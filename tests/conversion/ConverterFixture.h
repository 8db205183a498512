#pragma once
// A job window on a seeded settings key, with the fake conversion control, a
// fixed clock and an English (US) locale; helpers to put rows in its grid,
// run a job to its end and read the log. ConverterTest opens the Audio
// Converter window.
#include "support/FakeAudioConverter.h"
#include "conversion/frmConverter.h"
#include "support/ProgramFixture.h"

#include <QString>
#include <QStringList>
#include <functional>

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
// A row of the main list: the file `folder`/`name`, marked or not, with its
// time, size and artist, and a range of `rangeLength` seconds from second 10
// when one is given.
void AddListItem(cGrid* grid, const QString& folder, const QString& name, bool marked, const QString& time,
                 const QString& bytes, const QString& rangeLength = QString());

class JobWindowTest : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts the destination Out() on the loaded window and makes it the one the helpers work on.
    void Use(JobWindow* window);
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

    // Runs on every fake control the windows make, before they use it.
    std::function<void(FakeAudioConverter&)> prepareFake;
    QDateTime now;
    JobWindow* job = nullptr;
};

class ConverterTest : public JobWindowTest {
protected:
    void TearDown() override;
    // Loads the window with the destination set to Out().
    CfrmConverter* Open();
    // The window's fake control.
    FakeAudioConverter* Fake() const;

    CfrmConverter* w = nullptr;
};

} // namespace convtest
