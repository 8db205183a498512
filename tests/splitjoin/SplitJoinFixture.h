#pragma once
// The Splitter and Joiner windows on a seeded settings key, with the fake
// conversion and join controls, a fixed clock and an English (US) locale;
// helpers to fill their grids, run a job to its end and read the log.
#include "conversion/JobWindow.h"
#include "mainwindow/frmMain.h"
#include "splitjoin/frmJoiner.h"
#include "splitjoin/frmSplitter.h"
#include "support/FakeAudioConverter.h"
#include "support/FakeAudioJoin.h"
#include "support/ProgramFixture.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

namespace sjtest {

inline const QString kOgg = "OGG - Ogg Media Format (*.ogg)";
inline const QString kWav = "WAV - Waveform Audio Format (*.wav)";
inline const QString kOverwrite = "' already exists.\r\n\r\nOverwrite it?";

// One row of a job grid.
struct Row {
    QString file{};
    QString rangeAll = "1";
    QString start{}, length{};
    QString range = "All";
    QString album{}, artist{}, comment{}, genre{}, title{}, track{}, year{};
};
void AddRow(cGrid* grid, const Row& row);

class SplitJoinTest : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The splitter on `file` of `lengthMs`, which its fake control knows; destination Out(), format OGG.
    CfrmSplitter* OpenSplitter(const QString& file, std::int32_t lengthMs);
    FakeAudioConverter* SplitFake() const;
    // The joiner with the rows; destination Out(), format OGG.
    CfrmJoiner* OpenJoiner(const std::vector<Row>& rows);
    FakeAudioJoin* JoinFake() const;

    // The destination folder, ending in "/".
    QString Out() const { return ProgramFolder() + "/out/"; }
    QString Source(const QString& name) const { return ProgramFolder() + "/src/" + name; }
    // Start, then events until the window is idle again.
    void Run();
    void WaitUntilIdle();
    // The log's messages, without their time stamps.
    QStringList LogLines() const;
    static void Touch(const QString& path);

    QDateTime now;
    JobWindow* job = nullptr;
    CfrmSplitter* splitter = nullptr;
    CfrmJoiner* joiner = nullptr;
};

// The main window loaded as at start-up, in an edition with the Splitter and
// the Joiner, its first items list open; the tests choose the controls.
class MainWithSplitJoin : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    CfrmMain* LoadMain();
    // Runs the main window's command with that key.
    void Command(const QString& key);

    CfrmMain* main = nullptr;
};

} // namespace sjtest
