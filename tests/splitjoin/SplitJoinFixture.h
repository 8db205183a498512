#pragma once
// The Splitter and Joiner windows as job windows of their own (the family's
// test fixture, with the fake join control too), and the main window in an
// edition that has them.
#include "conversion/ConverterFixture.h"
#include "conversion/JobWindow.h"
#include "mainwindow/frmMain.h"
#include "splitjoin/frmJoiner.h"
#include "splitjoin/frmSplitter.h"
#include "support/FakeAudioJoin.h"

#include <QString>
#include <vector>

namespace sjtest {

inline const QString kOgg = "OGG - Ogg Media Format (*.ogg)";
inline const QString kWav = "WAV - Waveform Audio Format (*.wav)";
inline const QString kOverwrite = "' already exists.\r\n\r\nOverwrite it?";

using convtest::Row;

class SplitJoinTest : public convtest::JobWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The splitter on `file` of `lengthMs`, which its fake control knows; destination Out(), format OGG.
    CfrmSplitter* OpenSplitter(const QString& file, std::int32_t lengthMs);
    FakeAudioConverter* SplitFake() const;
    // The joiner with the rows; destination Out(), format OGG.
    CfrmJoiner* OpenJoiner(const std::vector<Row>& rows);
    FakeAudioJoin* JoinFake() const;

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
