#include "WaveTTSFixture.h"

#include "controls/audio/AudioConverter.h"
#include "controls/widgets/ImageList.h"
#include "controls/widgets/TreeView.h"
#include "conversion/frmAudioEditorProc.h"
#include "core/Edition.h"
#include "mainwindow/GridSetup.h"
#include "platform/Clock.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTextCursor>

namespace ttstest {

void WaveTTSTestBase::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    lAppIncTTS = 1;
    SeedRegistry();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    now = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
    platform::SetNowSource([this] { return now; });
    SetAudioConverterFactory({});
    // As at start-up: the settings dialogs are loaded before any tool window.
    frmOptions.get();
    g_frmAudioProp.get();
}

void WaveTTSTestBase::TearDown()
{
    ProgramFixture::TearDown();
    SetWaveTTSFactory({});
    platform::SetNowSource(nullptr);
    QLocale::setDefault(QLocale::c());
    SetEditionModes();
}

void WaveTTSTestBase::HookModals(const std::function<void(QWidget*)>& inWindow)
{
    modal->hook = [this, inWindow](QWidget* window) {
        if (auto* proc = qobject_cast<CfrmAudioEditorProc*>(window)) {
            QPointer<CfrmAudioEditorProc> w(proc);
            // Done closes the window; an error stays on show until the user closes it.
            const bool ended = QTest::qWaitFor(
                [&] { return !w || !w->IsLoaded() || w->lblCurrentTrack->text().endsWith(")"); }, 60000);
            EXPECT_TRUE(ended) << "the conversion ends";
            if (w) {
                conversionLabel = w->lblCurrentTrack->text();
                if (w->IsLoaded()) w->close();
            }
            return;
        }
        if (inWindow) inWindow(window);
    };
}

void WaveTTSWindowTest::SetUp()
{
    WaveTTSTestBase::SetUp();
    SetWaveTTSFactory([] { return std::make_unique<FakeWaveTTS>(); });
    SetupFileGrid(main.cGrid1, main.imgGrid);
    cTreeNode* list = main.cTreeView1->Nodes()->Add(nullptr, 0, ProgramFolder() + "/Main/Speech.lst", "Speech");
    list->SetSelected(true);
    HookModals();
}

void WaveTTSWindowTest::TearDown()
{
    WaveTTSTestBase::TearDown();
    w = nullptr;
}

CfrmWaveTTS* WaveTTSWindowTest::Open()
{
    w = g_frmWaveTTS.get();
    return w;
}

FakeWaveTTS* WaveTTSWindowTest::Fake() const { return dynamic_cast<FakeWaveTTS*>(w->cWaveTTS1.get()); }

void WaveTTSWindowTest::ChooseTarget(const QString& letters)
{
    const int i = w->cboTargetFormat->findText(letters, Qt::MatchStartsWith);
    ASSERT_GE(i, 0) << letters.toStdString();
    w->cboTargetFormat->setCurrentIndex(i);
}

void WaveTTSWindowTest::SetText(const QString& text) { w->txtSpeak->setPlainText(text); }

QString WaveTTSWindowTest::SelectedText() const
{
    // Paragraph breaks come back as U+2029.
    return w->txtSpeak->textCursor().selectedText().replace(QChar(0x2029), '\n');
}

QStringList WaveTTSWindowTest::ProgramFiles(const QString& pattern) const
{
    return QDir(ProgramFolder()).entryList({pattern}, QDir::Files, QDir::Name);
}

} // namespace ttstest
