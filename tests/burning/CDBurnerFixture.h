#pragma once
// The Audio CD Maker on the fake audio CD writer, beside a main-window double:
// the tool switched on, a seeded settings key, a fixed clock and an English
// (US) locale; helpers for item rows and the log.
#include "burning/frmCDBurner.h"
#include "support/FakeAudioBurner.h"
#include "support/MainWindowDouble.h"
#include "support/ProgramFixture.h"

#include <QDateTime>
#include <QStringList>
#include <vector>

namespace cdburntest {

class CDBurnerWindowTest : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    static void Writers(const std::vector<FakeAudioBurner::Drive>& drives);
    // Loads the window with one row per file.
    CfrmCDBurner* Open(const QStringList& files = {});
    // The window's own fake writer.
    FakeAudioBurner* Fake() const;
    // The log's messages, without their time stamps.
    QStringList LogLines() const;

    support::MainWindowDouble main;
    QDateTime now;
    CfrmCDBurner* w = nullptr;
};

} // namespace cdburntest
