#include "AudioEditorFixture.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "conversion/ConverterFixture.h"
#include "conversion/frmAudioEditorProc.h"
#include "core/Edition.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QLocale>
#include <QTest>
#include <QToolButton>

namespace edtest {

FakeAudioEditor::File Seconds(double seconds)
{
    FakeAudioEditor::File f;
    f.samples = std::int64_t(seconds * f.sampleRate);
    return f;
}

void EditorTestBase::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    lAppIncEditor = 1;
    SeedRegistry();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    SetAudioEditorFactory([this](QWidget* parent) {
        auto* fake = new FakeAudioEditor(parent);
        for (auto it = knownFiles.cbegin(); it != knownFiles.cend(); ++it) fake->AddFile(it.key(), it.value());
        return fake;
    });
}

void EditorTestBase::TearDown()
{
    ProgramFixture::TearDown();
    SetAudioEditorFactory({});
    QLocale::setDefault(QLocale::c());
    SetEditionModes();
}

FakeAudioEditor* EditorTestBase::Fake() const { return w ? dynamic_cast<FakeAudioEditor*>(w->cAudioEditor1) : nullptr; }

bool EditorTestBase::WaitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 10000); }

void EditorTestBase::Click(const QString& key)
{
    ASSERT_TRUE(w);
    const int index = w->tlbrList->ButtonIndex(key);
    ASSERT_GE(index, 0) << key.toStdString();
    QToolButton* button = w->tlbrList->ButtonWidget(index);
    ASSERT_NE(button, nullptr);
    button->click();
}

void EditorWindowTest::SetUp()
{
    EditorTestBase::SetUp();
    SetupItemsGrid(main.cGrid1, main.imgGrid, ItemsGridKind::Main);
    cTreeNode* list = main.cTreeView1->Nodes()->Add(nullptr, 0, ProgramFolder() + "/list.lst", "List");
    list->SetSelected(true);
}

CfrmAudioEditor* EditorWindowTest::Open(const QString& path, const FakeAudioEditor::File& file)
{
    knownFiles.insert(path, file);
    w = g_frmAudioEditor.get();
    w->txtWavFile->setText(path);
    EXPECT_EQ(w->cAudioEditor1->LoadFile(path), 0);
    EXPECT_TRUE(WaitFor([this] { return Fake() && Fake()->calls.contains("LoadFile " + w->txtWavFile->text()); }));
    ProcessEvents();
    return w;
}

void EditorCommandTest::SetUp()
{
    EditorTestBase::SetUp();
    SetAudioConverterFactory([this] {
        auto fake = std::make_unique<FakeAudioConverter>();
        if (m_conversion) fake->QueueScript(*m_conversion);
        return fake;
    });
    cSysTray::SetAvailableOverride(1);
    frmOptions.get();
    g_frmAudioProp.get();
}

void EditorCommandTest::TearDown()
{
    EditorTestBase::TearDown();
    SetAudioConverterFactory({});
    cSysTray::SetAvailableOverride(-1);
}

CfrmMain* EditorCommandTest::Main()
{
    CfrmMain* main = frmMain.get();
    WaitForOpenList();
    return main;
}

void EditorCommandTest::AddRow(const QString& path, bool marked)
{
    const QFileInfo info(path);
    convtest::AddListItem(Main()->cGrid1, info.absolutePath(), info.fileName(), marked, "00:00:10", "1000");
    Main()->cGrid1->SetSelectedRow(Main()->cGrid1->Rows());
}

void EditorCommandTest::RunAnalyser(const std::function<void(CfrmAudioEditor*)>& inWindow)
{
    modal->hook = [this, inWindow](QWidget* window) {
        if (auto* proc = qobject_cast<CfrmAudioEditorProc*>(window)) {
            converterShown = true;
            QPointer<CfrmAudioEditorProc> p(proc);
            // An error keeps the converter open until the user closes it.
            ASSERT_TRUE(WaitFor([&] { return !p || !p->isVisible() || p->Ending() == AudioEditorProcEnding::Failed; }));
            if (p && p->isVisible()) p->close();
            return;
        }
        w = qobject_cast<CfrmAudioEditor*>(window);
        ASSERT_TRUE(w);
        editorShown = true;
        ProcessEvents();
        if (inWindow) inWindow(w);
        if (w && w->isVisible()) w->cmdExit->click();
    };
    Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey("Audio Analyser"));
}

void EditorCommandTest::ConversionEnds(FakeAudioConverter::Ending ending)
{
    m_conversion = std::make_unique<FakeAudioConverter::Script>();
    m_conversion->ending = ending;
}

QString EditorCommandTest::TemporaryWave() const { return platform::AppPath() + "/tmpeditor.wav"; }

} // namespace edtest
