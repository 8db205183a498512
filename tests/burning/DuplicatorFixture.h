#pragma once
// The Audio CD Duplicator with its tool switched on, a seeded settings key, a
// fixed clock and an English (US) locale: the window alone on the fake ripper
// and writer beside a main-window double; and the program on the real
// controls, a generated disc image as the source drive and the audio CD
// writer's image writer as the target.
#include "burning/frmAudioCDDuplicator.h"
#include "support/CdImage.h"
#include "support/FakeAudioBurner.h"
#include "support/FakeAudioCDRipper.h"
#include "support/MainWindowDouble.h"
#include "support/ProgramFixture.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <vector>

class CfrmMain;

namespace duptest {

class DuplicatorWindowTest : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The drives every fake starts with.
    static void Sources(const std::vector<FakeAudioCDRipper::Drive>& drives);
    static void Writers(const std::vector<FakeAudioBurner::Drive>& drives);
    // Loads the window.
    CfrmAudioCDDuplicator* Open();
    FakeAudioCDRipper* Ripper() const;
    FakeAudioBurner* Burner() const;
    // Duplicate, then events until the copy has ended: the window closed, or
    // its controls on again.
    void Run();
    bool Closed() const { return w.isNull() || !g_frmAudioCDDuplicator.IsLoaded(); }
    QStringList LogLines() const;
    QString Temp() const; // the temporary folder, ending in "/"
    QStringList TempFiles() const;

    QDateTime now;
    QPointer<CfrmAudioCDDuplicator> w;
    support::MainWindowDouble main;
};

// The program on the real ripper and writer: a generated BIN/CUE image of
// three audio tracks (each longer than the shortest track a CD allows, so the
// copy needs no padding) as the only CD drive, the writer's image target as the
// only writer, and the main window loaded.
class DuplicatorImageTest : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    support::CdImage source;
    QString copyCue; // the image the writer writes
    CfrmMain* main = nullptr;
};

} // namespace duptest
