#pragma once
// The CD Ripper window on the fake CD ripper: the CD tools switched on, a
// seeded settings key, a fixed clock and an English (US) locale; the window
// alone beside a main-window double, or reached through the real main
// window's command; helpers for track rows, runs and the log. Also the
// program on the real controls with a generated disc image as its drive.
#include "ripping/frmCDRipper.h"
#include "support/FakeAudioCDRipper.h"
#include "support/CdImage.h"
#include "support/MainWindowDouble.h"
#include "support/ProgramFixture.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class CfrmMain;

namespace riptest {

// A track row as the main window lists it.
struct Track {
    std::int32_t seconds = 60;
    bool marked = true;
    bool data = false;
    QString start{}, length{}; // a range when length is not empty
    QString itemName{};        // empty: "TrackNN.cda"
    QString title{};           // COL_TAG_TITLE
};

void AddTrackRow(cGrid* grid, const QString& drive, const Track& track);

class RipperTestBase : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    static void Drives(const std::vector<FakeAudioCDRipper::Drive>& drives);
    // The destination folder, ending in "/".
    QString Out() const { return ProgramFolder() + "/out/"; }
    // The window's own fake control.
    FakeAudioCDRipper* Fake() const;
    // Rip, then events until the window is idle again.
    void Run();
    void WaitUntilIdle();
    // The log's messages, without their time stamps.
    QStringList LogLines() const;
    // Types a file-name pattern into the window's list.
    void Pattern(const QString& pattern);

    QDateTime now;
    CfrmCDRipper* w = nullptr;
};

// The window loaded by itself, beside a main-window double.
class RipperWindowTest : public RipperTestBase {
protected:
    // Loads the window with the destination set to Out() and these rows of drive D:.
    CfrmCDRipper* Open(const std::vector<Track>& tracks = {});

    support::MainWindowDouble main;
};

// The real main window, whose "Audio CD Ripper" command opens the window.
class RipperCommandTest : public RipperTestBase {
protected:
    void SetUp() override;
    void TearDown() override;
    CfrmMain* Main();
    cTreeNode* DriveNode(int i);
    void OpenDrive(int i);
    // Runs the command; `inWindow` runs while the window is shown (then it is closed).
    void RunRipper(const std::function<void(CfrmCDRipper*)>& inWindow = {});
};

// The program on the real CD ripper and conversion controls, with a generated
// BIN/CUE image (support::WriteTestDisc) as its only CD drive and the main
// window loaded.
class CdImageTest : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs the main window's "Audio CD Ripper" command on the open CD node:
    // `settings` prepares the window, the rip runs to its end, and the
    // window's log comes back.
    QStringList RipWith(const std::function<void(CfrmCDRipper*)>& settings);

    support::CdImage image;
    CfrmMain* main = nullptr;
};

} // namespace riptest
