// The Audio Converter window: its pages, lists, links and the unload rule.
#include "ConverterFixture.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/LinkLabel.h"
#include "core/Paths.h"
#include "core/RegistryRoutines.h"
#include "core/TextFiles.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"
#include "settings/StoredControls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"
#include "settings/mdlOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace convtest;

namespace {

const QString kOgg = "OGG - Ogg Media Format (*.ogg)";
const QString kMp3 = "MP3 - MPEG-1 Audio Layer 3 (*.mp3)";

class ConverterWindow : public ConverterTest {
protected:
    QString General(const QString& name)
    {
        RegistryRoutines reg;
        reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
        reg.KeyRoot = "SOFTWARE\\" + g_sAppCompany + "\\" + g_sAppName;
        reg.Subkey = "General";
        return reg.GetRegistryValue(name).toString();
    }
    QStringList Items(const QComboBox* box)
    {
        QStringList items;
        for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
        return items;
    }
    QString MainFolder() const { return ProgramFolder() + "/Main/"; }
};

TEST_F(ConverterWindow, LoadsWithItsPagesTabsListsAndBoxes)
{
    CfrmConverter* w = g_frmConverter.get();
    EXPECT_EQ(w->windowTitle(), "Audio Converter");
    EXPECT_EQ(w->lblTitle->text(), "Audio Converter");
    EXPECT_EQ(w->font().family(), "Tahoma");
    ASSERT_EQ(w->cTabControl1->TabCount(), 3);
    const QStringList captions = {"Converter        ", "Events        ", "Log             "};
    const QStringList keys = {"Settings", "Events", "Log"};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(w->cTabControl1->TabCaption(i), captions[i - 1]);
        EXPECT_EQ(w->cTabControl1->TabKey(i), keys[i - 1]);
    }
    EXPECT_TRUE(w->TabSettings->isVisibleTo(w));
    EXPECT_FALSE(w->TabEvents->isVisibleTo(w));
    EXPECT_FALSE(w->TabLog->isVisibleTo(w));
    EXPECT_FALSE(w->cGrid1->isVisibleTo(w));
    EXPECT_EQ(w->cGrid1->Columns(), 20);
    EXPECT_EQ(w->cGrid1->ColumnHeader("Time"), "Time-Length");

    EXPECT_EQ(w->lblCurrentTrack->text(), "Ready.");
    EXPECT_EQ(w->lblFilesToConvert->text(), "Files: 0/15");
    EXPECT_EQ(w->lblTimeLeft->text(), "Time Left: 00:00:00");
    EXPECT_EQ(w->cmdConvert->text(), "Convert");
    EXPECT_TRUE(w->cmdConvert->isDefault());
    EXPECT_TRUE(w->cmdConvert->font().bold());
    EXPECT_EQ(w->cmdAbort->text(), "Abort");
    EXPECT_EQ(w->cmdExit->text(), "Exit");
    EXPECT_EQ(w->cmdEditTargetFormat->toolTip(), "Edit Target Audio Formats");
    EXPECT_EQ(w->cmdSelectPath->toolTip(), "Select a new directory");
    EXPECT_EQ(w->chkNoticeApp->text(), "Execute external program ");
    EXPECT_EQ(w->chkCreateSubFolder->text(), "Under a new directory name:");
    EXPECT_EQ(w->chkOverWrite->text(), "Overwrite existing files");
    EXPECT_EQ(w->lblEventsSettings->text(), "Events Options...");
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(w->Timer1->interval(), 1000);

    // The settings' defaults: OGG, the first pattern, the lists folder, only the sound ticked.
    EXPECT_EQ(Items(w->cboTargetFormat).size(), 5);
    EXPECT_EQ(w->cboTargetFormat->currentText(), kOgg);
    EXPECT_EQ(Items(w->cboFileName), BuiltInFileNameFormats());
    EXPECT_EQ(w->cboFileName->currentIndex(), 0);
    EXPECT_EQ(w->txtToPath->currentText(), MainFolder());
    for (LinkLabel* link : {w->lblSetAsDefaultFormat, w->lblSetAsDefaultFileName, w->lblSetAsDefaultDestination})
        EXPECT_FALSE(link->isEnabled()) << link->toolTip().toStdString();
    EXPECT_EQ(CheckValue(w->chkPlaySound), 1);
    for (QCheckBox* box : {w->chkOpenDestFolder, w->chkNoticeApp, w->chkTurnOffComputer, w->chkCreateSubFolder,
                           w->chkOverWrite})
        EXPECT_EQ(CheckValue(box), 0) << box->text().toStdString();
    EXPECT_FALSE(w->txtUndeForlder->isEnabled());

    EXPECT_EQ(w->cStatusBar1->PanelCount(), 2);
    EXPECT_EQ(w->cStatusBar1->PanelKey(1), "Total Size");
    EXPECT_EQ(w->cStatusBar1->PanelKey(2), "Total Time");
    EXPECT_EQ(w->g_ltmrItemSecsTotal, 0);
    EXPECT_EQ(w->g_ltmrSces, 0);
}

TEST_F(ConverterWindow, ATabShowsExactlyItsPage)
{
    CfrmConverter* w = g_frmConverter.get();
    const std::pair<const char*, QFrame*> tabs[] = {
        {"Events", w->TabEvents}, {"Log", w->TabLog}, {"Settings", w->TabSettings}};
    for (const auto& [key, page] : tabs) {
        w->cTabControl1->SetSelectedTab(w->cTabControl1->TabIndex(key));
        w->cTabControl1_TabClick(0);
        for (QFrame* p : {w->TabSettings, w->TabEvents, w->TabLog}) EXPECT_EQ(p->isVisibleTo(w), p == page) << key;
    }
    // The pages cover the tab control's page area; the log keeps a 100-twip margin.
    const int margin = platform::TwipsToPixels(100);
    EXPECT_EQ(w->txtLog->geometry(),
              QRect(margin, margin, w->TabLog->width() - 2 * margin, w->TabLog->height() - 2 * margin));
    EXPECT_EQ(w->TabLog->x(), platform::TwipsToPixels(w->cTabControl1->ClientLeft() - 50));
    EXPECT_EQ(w->TabLog->y(), platform::TwipsToPixels(w->cTabControl1->ClientTop()));
}

TEST_F(ConverterWindow, AnEmptyHistoryShowsTheMainFolderUntilSetAsDefault)
{
    QFile::remove(PathHistoryFile());
    CfrmConverter* w = g_frmConverter.get();
    EXPECT_EQ(w->txtToPath->currentText(), MainFolder());
    EXPECT_EQ(w->txtToPath->count(), 0);
    EXPECT_TRUE(w->lblSetAsDefaultDestination->isEnabled());
    w->lblSetAsDefaultDestination_Click();
    QStringList history;
    ASSERT_TRUE(ReadTextLines(PathHistoryFile(), history));
    EXPECT_EQ(history, QStringList{MainFolder()});
    EXPECT_FALSE(w->lblSetAsDefaultDestination->isEnabled());
    EXPECT_EQ(General("txtToPath"), "") << "no registry value is written";
}

// An installed program keeps its lists hidden among its data files: with no
// destination chosen yet, its jobs write into the user's music folder, or his
// home when he has none.
TEST_F(ConverterWindow, AnInstalledProgramsJobsWriteIntoTheUsersMusicFolder)
{
    const QString prefix = ProgramFolder() + "/prefix", music = ProgramFolder() + "/My Music";
    ASSERT_TRUE(QDir().mkpath(prefix + "/bin"));
    ASSERT_TRUE(QDir().mkpath(prefix + "/share/tarvello/Main"));
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(ProgramFolder() + "/data"));
    struct Restore {
        QString folder;
        QByteArray dataHome;
        ~Restore()
        {
            SetUpProgramFolder(folder);
            qputenv("XDG_DATA_HOME", dataHome);
        }
    } restore{ProgramFolder(), dataHome};
    SetUpProgramFolder(prefix + "/bin");
    ASSERT_TRUE(IsInstalledProgram());
    {
        QFile dirs(qEnvironmentVariable("XDG_CONFIG_HOME") + "/user-dirs.dirs");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(dirs).path()) && dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_MUSIC_DIR=\"" + QFile::encodeName(music) + "\"\n");
    }
    for (const bool hasMusic : {true, false}) {
        if (hasMusic) {
            ASSERT_TRUE(QDir().mkpath(music));
        } else {
            ASSERT_TRUE(QDir(music).removeRecursively());
        }
        QFile::remove(PathHistoryFile());
        CfrmConverter* w = g_frmConverter.get();
        EXPECT_EQ(w->txtToPath->currentText(), hasMusic ? music + "/" : QDir::homePath() + "/");
        w->Unload();
    }
}

TEST_F(ConverterWindow, PickingAnOlderDestinationEnablesItsLink)
{
    QDir().mkpath(Out());
    CfrmConverter* w = g_frmConverter.get();
    w->txtToPath->setEditText(Out());
    w->lblSetAsDefaultDestination_Click(); // history: Out, Main
    w->txtToPath->setCurrentIndex(1);
    EXPECT_TRUE(w->lblSetAsDefaultDestination->isEnabled());
    w->txtToPath->setEditText("/typed/");
    EXPECT_TRUE(w->lblSetAsDefaultDestination->isEnabled()) << "typing changes nothing";
    w->txtToPath->setCurrentIndex(0);
    EXPECT_FALSE(w->lblSetAsDefaultDestination->isEnabled());
}

TEST_F(ConverterWindow, WithoutADefaultPatternTheSecondIsShownAndCanBeSaved)
{
    g_sFileName.clear();
    CfrmConverter* w = g_frmConverter.get();
    EXPECT_EQ(w->cboFileName->currentIndex(), 1);
    EXPECT_TRUE(w->lblSetAsDefaultFileName->isEnabled());
    w->lblSetAsDefaultFileName_Click();
    const QString pattern = BuiltInFileNameFormats()[1];
    EXPECT_EQ(General("cboFileName"), pattern);
    EXPECT_EQ(g_sFileName, pattern);
    EXPECT_EQ(frmOptions->cboFileName->currentText(), pattern);
    EXPECT_FALSE(w->lblSetAsDefaultFileName->isEnabled());
    w->cboFileName->setCurrentIndex(4);
    EXPECT_TRUE(w->lblSetAsDefaultFileName->isEnabled());
}

TEST_F(ConverterWindow, TheFormatLinkFollowsTheChoiceAndSavesTheWholeText)
{
    CfrmConverter* w = g_frmConverter.get();
    EXPECT_FALSE(w->lblSetAsDefaultFormat->isEnabled());
    w->cboTargetFormat->setCurrentText(kMp3);
    EXPECT_TRUE(w->lblSetAsDefaultFormat->isEnabled());
    w->lblSetAsDefaultFormat_Click();
    EXPECT_EQ(General("cboTargetFormat"), kMp3);
    EXPECT_EQ(g_sTargetFormat, kMp3);
    EXPECT_EQ(frmOptions->cboTargetFormat->currentText(), kMp3);
    EXPECT_FALSE(w->lblSetAsDefaultFormat->isEnabled());
}

TEST_F(ConverterWindow, FileNameFormatsTxtReplacesThePatterns)
{
    QFile f(ProgramFolder() + "/FileNameFormats.txt");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[123] [item_name]\r\n\r\n[file_name]_x.[dest_extension]\r\n\r\n\r\n  spaced \r\n");
    f.close();
    g_sFileName = "[file_name]_x.[dest_extension]";
    CfrmConverter* w = g_frmConverter.get();
    EXPECT_EQ(Items(w->cboFileName),
              (QStringList{"[123] [item_name]", "[file_name]_x.[dest_extension]", "  spaced "}));
    EXPECT_EQ(w->cboFileName->currentIndex(), 1);
}

TEST_F(ConverterWindow, ADefaultPatternNotInTheListLeavesNoSelection)
{
    g_sFileName = "[nothing]";
    CfrmConverter* w = g_frmConverter.get();
    EXPECT_EQ(w->cboFileName->currentIndex(), -1);
    EXPECT_TRUE(w->lblSetAsDefaultFileName->isEnabled());
}

TEST_F(ConverterWindow, TheSubFolderBoxFollowsItsCheckBox)
{
    CfrmConverter* w = g_frmConverter.get();
    w->txtUndeForlder->setText("Items");
    SetCheckValue(w->chkCreateSubFolder, 1);
    EXPECT_TRUE(w->txtUndeForlder->isEnabled());
    EXPECT_EQ(w->txtUndeForlder->selectedText(), "Items");
    EXPECT_EQ(w->GetSubFolder(), "Items/");
    SetCheckValue(w->chkCreateSubFolder, 0);
    EXPECT_FALSE(w->txtUndeForlder->isEnabled());
    EXPECT_EQ(w->GetSubFolder(), "");
    SetCheckValue(w->chkCreateSubFolder, 1);
    w->txtUndeForlder->clear();
    EXPECT_EQ(w->GetSubFolder(), "");
}

TEST_F(ConverterWindow, OpenDestinationFolder)
{
    CfrmConverter* w = g_frmConverter.get();
    // An existing sub-folder opens at once.
    QDir().mkpath(Out() + "Sub");
    w->txtToPath->setEditText(Out().chopped(1));
    SetCheckValue(w->chkCreateSubFolder, 1);
    w->txtUndeForlder->setText("Sub");
    w->lblOpenDestinationDestinationFolder_Click();
    EXPECT_EQ(w->txtToPath->currentText(), Out());
    EXPECT_EQ(shell->opened, QStringList{Out() + "Sub/"});
    EXPECT_TRUE(msgBox->shown.empty());

    // A missing one asks; No opens nothing.
    const QString missing = Out() + "New/";
    w->txtUndeForlder->setText("New");
    const QString question = "The folder " + missing + " does not exist." + QString(44, ' ') +
                             "\r\n\r\nWould you like to create it?";
    msgBox->Expect(question, platform::vbNo);
    w->lblOpenDestinationDestinationFolder_Click();
    EXPECT_EQ(msgBox->shown.back().text, question);
    EXPECT_EQ(msgBox->shown.back().flags, platform::vbYesNo | platform::vbInformation);
    EXPECT_EQ(shell->opened.size(), 1);

    // Yes creates it, remembers the destination and opens it.
    msgBox->Expect(question, platform::vbYes);
    w->lblOpenDestinationDestinationFolder_Click();
    EXPECT_TRUE(QDir(missing).exists());
    EXPECT_EQ(shell->opened.last(), missing);
    EXPECT_EQ(w->txtToPath->itemText(0), Out());

    // A path that cannot be created says so, and is still handed to the shell.
    QFile blocker(Out() + "file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w->txtUndeForlder->setText("file/inner");
    msgBox->Expect("does not exist.", platform::vbYes);
    msgBox->Expect("The path: " + Out() + "file/inner/ cannot be created.");
    w->lblOpenDestinationDestinationFolder_Click();
    EXPECT_EQ(shell->opened.last(), Out() + "file/inner/");
}

TEST_F(ConverterWindow, TheFolderBrowserStoresItsChoiceWithASlash)
{
    CfrmConverter* w = g_frmConverter.get();
    dialogs->ExpectFolder(Out().chopped(1));
    w->cmdSelectPath_Click();
    ASSERT_EQ(dialogs->folderRequests.size(), 1u);
    EXPECT_EQ(dialogs->folderRequests[0].title, "Select a new directory");
    EXPECT_EQ(dialogs->folderRequests[0].startFolder, MainFolder());
    EXPECT_EQ(w->txtToPath->currentText(), Out());
    EXPECT_EQ(w->txtToPath->itemText(0), Out());
    dialogs->ExpectFolder(""); // cancelled: nothing changes
    w->cmdSelectPath_Click();
    EXPECT_EQ(w->txtToPath->currentText(), Out());
}

TEST_F(ConverterWindow, EventsOptionsRefreshTheEventBoxes)
{
    CfrmConverter* w = g_frmConverter.get();
    modal->hook = [](QWidget* window) {
        auto* dlg = qobject_cast<CfrmOptions*>(window);
        ASSERT_NE(dlg, nullptr);
        EXPECT_TRUE(dlg->froEvents->isVisibleTo(dlg)) << "opens on its Events page";
        dlg->chkTurnOffComputer->setChecked(true);
        dlg->chkPlaySound->setChecked(false);
        dlg->cmdOk_Click();
    };
    w->lblEventsSettings_Click();
    EXPECT_EQ(modal->shown, QStringList{"frmOptions"});
    EXPECT_EQ(CheckValue(w->chkTurnOffComputer), 1);
    EXPECT_EQ(CheckValue(w->chkPlaySound), 0);
}

TEST_F(ConverterWindow, EditOpensTheFormatPageAndSavesTheFormatShown)
{
    CfrmConverter* w = g_frmConverter.get();
    modal->hook = [](QWidget* window) {
        auto* dlg = qobject_cast<CfrmAudioProp*>(window);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->cTabControl1->TabKey(dlg->cTabControl1->SelectedTab()), "OGG");
        EXPECT_TRUE(dlg->froToOGG->isVisibleTo(dlg));
        dlg->cTabControl1->SelectTab("MP3");
        dlg->cmdOk_Click();
    };
    w->cmdEditTargetFormat_Click();
    EXPECT_EQ(w->cboTargetFormat->currentText(), kMp3);
    EXPECT_EQ(General("cboTargetFormat"), kMp3);
    EXPECT_EQ(g_sTargetFormat, kMp3);
    EXPECT_FALSE(w->lblSetAsDefaultFormat->isEnabled());
}

TEST_F(ConverterWindow, ParametersOpenTheFileNameSection)
{
    CfrmConverter* w = g_frmConverter.get();
    modal->hook = [](QWidget* window) {
        auto* dlg = qobject_cast<CfrmProgParameters*>(window);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->cboSections->currentIndex(), 2);
        EXPECT_EQ(dlg->cboSections->currentText(), "File Name Format");
    };
    w->lblParameters_Click();
    EXPECT_EQ(modal->shown, QStringList{"g_frmProgParameters"});
}

TEST_F(ConverterWindow, EachLoadStartsAfresh)
{
    CfrmConverter* w = g_frmConverter.get();
    SetCheckValue(w->chkOverWrite, 1);
    w->g_ltmrItemSecsTotal = 300;
    w->cboTargetFormat->setCurrentText(kMp3);
    w->cmdExit_Click();
    support::ProgramFixture::ProcessEvents();
    w = g_frmConverter.get();
    EXPECT_EQ(CheckValue(w->chkOverWrite), 0);
    EXPECT_EQ(w->g_ltmrItemSecsTotal, 0);
    EXPECT_EQ(w->cboTargetFormat->currentText(), kOgg);
}

// Enter starts the job as Convert does; Esc closes the window as Exit does,
// so not while the job runs.
TEST_F(ConverterTest, EscWaitsForARunningJobThatEnterStarted)
{
    Open();
    AddFileRows(1);
    FakeAudioConverter::Script hang;
    hang.ending = FakeAudioConverter::Ending::Hang;
    Fake()->QueueScript(hang);
    w->Show();
    QTest::keyClick(w, Qt::Key_Return);
    support::ProgramFixture::ProcessEvents();
    ASSERT_FALSE(w->cmdExit->isEnabled()) << "the job runs";
    QTest::keyClick(w, Qt::Key_Escape);
    support::ProgramFixture::ProcessEvents();
    EXPECT_TRUE(g_frmConverter.IsLoaded());
    EXPECT_TRUE(w->isVisible());

    Fake()->Finish(FakeAudioConverter::Ending::Done);
    WaitUntilIdle();
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_FALSE(g_frmConverter.IsLoaded());
}

} // namespace
