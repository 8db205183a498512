#pragma once
// The speech window in an edition that has it, a seeded settings key, a fixed
// clock and an English (US) locale. WaveTTSWindowTest loads the window alone
// on the fake speech control beside a main-window double whose tree has an
// items list selected; renderings go through the real conversion control.
#include "recording/frmWaveTTS.h"
#include "support/FakeWaveTTS.h"
#include "support/MainWindowDouble.h"
#include "support/ProgramFixture.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace ttstest {

class WaveTTSTestBase : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs every modal show: the conversion window is left to end by itself
    // (closed when it stays open on an error), the others go to `inWindow`.
    void HookModals(const std::function<void(QWidget*)>& inWindow = {});
    // The label the conversion window showed last when it ended.
    QString conversionLabel;

    QDateTime now;
};

class WaveTTSWindowTest : public WaveTTSTestBase {
protected:
    void SetUp() override;
    void TearDown() override;

    CfrmWaveTTS* Open();
    FakeWaveTTS* Fake() const;
    // The destination format whose text begins with the letters.
    void ChooseTarget(const QString& letters);
    void SetText(const QString& text);
    QString SelectedText() const;
    // The program folder's files whose names match the pattern.
    QStringList ProgramFiles(const QString& pattern) const;

    support::MainWindowDouble main;
    CfrmWaveTTS* w = nullptr;
};

} // namespace ttstest
