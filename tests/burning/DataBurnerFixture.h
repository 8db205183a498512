#pragma once
// The data disc maker on the fake conversion control and the two fake disc
// writers, beside a main-window double: the MP3 and WMA CD Makers switched
// on, one writer per engine, helpers for rows with real source files and for
// running a job up to "Burn CD?".
#include "burning/frmDataBurner3.h"
#include "conversion/ConverterFixture.h"
#include "support/FakeDataBurners.h"
#include "support/MainWindowDouble.h"

#include <QStringList>
#include <memory>

namespace databurntest {

class DataBurnerBase : public convtest::JobWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the window with `rows` rows of sources a.wav, b.wav ... (files that exist).
    CfrmDataBurner3* Open(int rows = 0);
    FakeAudioDataBurner* First() const;
    FakeBurner* Second() const;
    QString Temp() const { return ProgramFolder() + "/datacdtmp/"; }
    // The files in the temporary folder, sorted.
    QStringList TempFiles() const;
    // Burn, answering "Burn CD?" with `answer`, then events until the window is idle.
    void Burn(int answer = platform::vbOK);
    // Events until neither engine burns and the window is idle.
    void WaitForBurn();

    CfrmDataBurner3* w = nullptr;
};

// The window alone, beside a main-window double.
class DataBurnerTest : public DataBurnerBase {
protected:
    support::MainWindowDouble main;
};

} // namespace databurntest
