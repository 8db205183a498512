#pragma once
// The Audio Analyser on the fake editor control: the window alone beside a
// main-window double, or reached through the real main window's command,
// with the Analyser switched on in the edition.
#include "recording/frmAudioEditor.h"
#include "support/FakeAudioConverter.h"
#include "support/FakeAudioEditor.h"
#include "support/MainWindowDouble.h"
#include "support/ProgramFixture.h"

#include <QMap>
#include <QPointer>
#include <QString>
#include <functional>

class CfrmMain;

namespace edtest {

// A 44.1 kHz stereo 16-bit file of that many seconds.
FakeAudioEditor::File Seconds(double seconds);

class EditorTestBase : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The window's fake control.
    FakeAudioEditor* Fake() const;
    // Runs events until the condition holds (false after a generous wait).
    static bool WaitFor(const std::function<bool()>& condition);
    // Clicks the toolbar button with that key.
    void Click(const QString& key);

    // The files every fake editor control knows.
    QMap<QString, FakeAudioEditor::File> knownFiles;
    QPointer<CfrmAudioEditor> w;
};

// The window loaded by itself beside a main-window double whose grid is an
// items grid and whose tree has one list selected.
class EditorWindowTest : public EditorTestBase {
protected:
    void SetUp() override;
    // Loads the window on `path` (a file its control knows) as the opener does.
    CfrmAudioEditor* Open(const QString& path, const FakeAudioEditor::File& file);
    QString Saved(const QString& name) const { return ProgramFolder() + "/" + name; }

    support::MainWindowDouble main;
};

// The real main window, its first list open; the converter is a fake too.
class EditorCommandTest : public EditorTestBase {
protected:
    void SetUp() override;
    void TearDown() override;
    CfrmMain* Main();
    // A row of the open list for `path`, marked or not, selected.
    void AddRow(const QString& path, bool marked = true);
    // Runs "Audio Analyser"; `inWindow` runs on the shown editor, which is then closed.
    void RunAnalyser(const std::function<void(CfrmAudioEditor*)>& inWindow = {});
    // The conversion of the next non-wave source ends so.
    void ConversionEnds(FakeAudioConverter::Ending ending);
    QString TemporaryWave() const;

    bool editorShown = false;
    bool converterShown = false;

private:
    std::unique_ptr<FakeAudioConverter::Script> m_conversion;
};

} // namespace edtest
