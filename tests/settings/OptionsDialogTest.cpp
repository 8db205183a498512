#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/LinkLabel.h"
#include "core/RegistryRoutines.h"
#include "core/TextFiles.h"
#include "mainwindow/frmMain.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "SettingsFixture.h"
#include "support/FakePlayer.h"
#include "controls/audio/AlsaDevice.h"
#include "controls/audio/Player.h"

#include <alsa/asoundlib.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// The player's devices are the fake's: "default" and "null".
class OptionsDialog : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        SetPlayerFactory([] { return std::make_unique<FakePlayer>(); });
    }
    void TearDown() override
    {
        SettingsFixture::TearDown();
        SetPlayerFactory({});
    }
};

TEST_F(OptionsDialog, EmptyKeyGivesTheDefaults)
{
    CfrmOptions* dlg = frmOptions.get();
    const QString mainFolder = ProgramFolder() + "/Main/";
    EXPECT_EQ(g_sToPath, mainFolder);
    EXPECT_TRUE(QDir(mainFolder).exists());
    EXPECT_EQ(dlg->txtToPath->itemText(0), mainFolder);
    QStringList history;
    ASSERT_TRUE(ReadTextLines(PathHistoryFile(), history));
    EXPECT_EQ(history.value(0), mainFolder);
    EXPECT_EQ(dlg->txtPlayAtEnd->text(), "notify.wav");
    EXPECT_EQ(dlg->txtPlayAtEnd->toolTip(), ProgramFolder() + "/sound/notify.wav");
    EXPECT_EQ(g_sPlayAtEnd, ProgramFolder() + "/sound/notify.wav");
    EXPECT_EQ(g_lDevices, -1);
    EXPECT_EQ(g_sTargetFormat, "");
    EXPECT_EQ(g_sFileName, "");
    EXPECT_EQ(g_lColor, 0);
    EXPECT_EQ(g_lTextColor, 0);
    EXPECT_TRUE(g_bCopyID3FromSource);
    for (QCheckBox* box : dlg->findChildren<QCheckBox*>())
        EXPECT_EQ(box->isChecked(), box == dlg->chkCopyID3FromSource) << box->objectName().toStdString();
    EXPECT_FALSE(g_bPlaySound);
    EXPECT_FALSE(g_bDisplayMSGWhenExit);
    // The General page is shown first, and the play-sound controls follow their box.
    EXPECT_EQ(dlg->lblTitle->text(), "General");
    EXPECT_TRUE(dlg->froGeneral->isVisibleTo(dlg));
    EXPECT_FALSE(dlg->froEvents->isVisibleTo(dlg));
    EXPECT_FALSE(dlg->txtPlayAtEnd->isEnabled());
    EXPECT_FALSE(dlg->cmdTestSound->isEnabled());
    EXPECT_FALSE(dlg->txtTagArtist->isEnabled());
    EXPECT_EQ(dlg->cboTargetFormat->count(), 5);
    EXPECT_FALSE(dlg->chkAutoFreeDB->isVisibleTo(dlg)); // no CD ripper in this edition
}

TEST_F(OptionsDialog, StoredValuesShapeTheSettingsThroughTheirControls)
{
    Store("General", "cboDevices", "3");
    Store("General", "cboTargetFormat", "APE - Monkey 's Audio (*.ape)"); // not offered here
    Store("General", "cboFileName", "[nothing].[like_this]");
    Store("General", "chkClearOnExit", "1");
    Store("General", "chkDisplayTitle", "0");
    Store("General", "chkGoToNextItem", "x"); // not a state: the box keeps what it had
    Store("General", "picColor", "255");
    Store("General", "txtToPath", "/no/such/folder/");
    Store("Events", "txtPlayAtEnd", "/sounds/");
    Store("Events", "chkNoticeApp", "1");
    Store("Events", "txtAppNotice", "notify-send [FILE_RECORDED]");
    Store("ID3 Tags", "chkCopyID3FromSource", "0");
    Store("ID3 Tags", "txtTagArtist", "[PROG_NAME]");
    CfrmOptions* dlg = frmOptions.get();
    EXPECT_EQ(g_lDevices, -1);
    EXPECT_EQ(g_sTargetFormat, "");
    EXPECT_EQ(g_sFileName, "");
    EXPECT_TRUE(g_bClearOnExit);
    EXPECT_FALSE(g_bDisplayTitle);
    EXPECT_FALSE(g_bGoToNextItem);
    EXPECT_EQ(g_lColor, 255);
    EXPECT_EQ(g_sToPath, "/no/such/folder/");
    EXPECT_FALSE(QDir("/no/such/folder/").exists());
    EXPECT_EQ(dlg->txtPlayAtEnd->text(), "notify.wav"); // a path ending in "/" names no file
    EXPECT_TRUE(g_bNoticeApp);
    EXPECT_EQ(g_sAppNotice, "notify-send [FILE_RECORDED]");
    EXPECT_TRUE(dlg->txtAppNotice->isEnabled());
    EXPECT_FALSE(g_bCopyID3FromSource);
    EXPECT_TRUE(dlg->txtTagArtist->isEnabled());
    EXPECT_EQ(g_sTagArtist, "[PROG_NAME]");

    Store("General", "cboTargetFormat", "OGG - Ogg Media Format (*.ogg)");
    dlg->GetOptions();
    EXPECT_EQ(g_sTargetFormat, "OGG - Ogg Media Format (*.ogg)");
}

TEST_F(OptionsDialog, OkSavesEveryPageAndCancelRestores)
{
    CfrmOptions* dlg = frmOptions.get();
    dlg->chkClearOnExit->setChecked(true);
    dlg->cboFileName->setCurrentIndex(2);
    dlg->cboTargetFormat->setCurrentIndex(4);
    dlg->chkPlaySound->setChecked(true);
    dlg->txtAppNotice->setPlainText("echo done");
    dlg->chkDisplayGridLine->setChecked(true);
    dlg->chkCopyID3FromSource->setChecked(false);
    dlg->txtTagAlbum->setText("Album [YEAR]");
    dlg->chkDisplayMSGWhenErase->setChecked(true);
    dlg->cmdOk_Click();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(g_bClearOnExit);
    EXPECT_EQ(g_sFileName, "[file_name]_[123].[dest_extension]");
    EXPECT_EQ(g_sTargetFormat, "OGG - Ogg Media Format (*.ogg)");
    EXPECT_TRUE(g_bPlaySound);
    EXPECT_EQ(g_sAppNotice, "echo done");
    EXPECT_TRUE(g_bDisplayGridLine);
    EXPECT_FALSE(g_bCopyID3FromSource);
    EXPECT_EQ(g_sTagAlbum, "Album [YEAR]");
    EXPECT_TRUE(g_bDisplayMSGWhenErase);
    EXPECT_EQ(Stored("General", "chkClearOnExit"), "1");
    EXPECT_EQ(Stored("General", "cboDevices"), "default");
    EXPECT_EQ(Stored("Events", "txtPlayAtEnd"), ProgramFolder() + "/sound/notify.wav");
    EXPECT_EQ(Stored("ID3 Tags", "chkCopyID3FromSource"), "0");

    // Edits dropped by Cancel come back from the registry.
    dlg->chkClearOnExit->setChecked(false);
    dlg->txtTagAlbum->setText("changed");
    dlg->cmdCancel_Click();
    EXPECT_TRUE(dlg->chkClearOnExit->isChecked());
    EXPECT_EQ(dlg->txtTagAlbum->text(), "Album [YEAR]");
    // The close box keeps unsaved edits in the controls, not in the settings.
    dlg->chkGoToNextItem->setChecked(true);
    dlg->close();
    EXPECT_TRUE(frmOptions.IsLoaded());
    EXPECT_TRUE(dlg->chkGoToNextItem->isChecked());
    EXPECT_FALSE(g_bGoToNextItem);
}

TEST_F(OptionsDialog, WritesIntoAMissingSectionAreLost)
{
    reg.Subkey = "Events";
    ASSERT_EQ(reg.DeleteKey("Events"), 0);
    CfrmOptions* dlg = frmOptions.get();
    dlg->chkPlaySound->setChecked(true);
    dlg->cmdOk_Click();
    EXPECT_FALSE(dlg->chkPlaySound->isChecked());
    EXPECT_FALSE(g_bPlaySound);
}

TEST_F(OptionsDialog, ColourPickersWriteDisplayAtOnceAndCancelKeepsGeneral)
{
    CfrmOptions* dlg = frmOptions.get();
    dialogs->ExpectColor(QColor(0x10, 0x20, 0x30));
    dlg->picTextColor_Click();
    const std::int32_t picked = 0x302010;
    EXPECT_EQ(Stored("Display", "picTextColor"), QString::number(picked));
    EXPECT_EQ(dlg->lblTitle->palette().color(QPalette::WindowText), QColor(0x10, 0x20, 0x30));
    dlg->cmdCancel_Click();
    EXPECT_EQ(Stored("General", "picTextColor"), "");
    EXPECT_EQ(g_lTextColor, 0);
    dialogs->ExpectColor(std::nullopt); // cancelled: nothing changes
    dlg->picColor_Click();
    EXPECT_EQ(Stored("Display", "picColor"), "");
}

TEST_F(OptionsDialog, PagesFollowTheTreeAndTagFieldsFollowTheirBox)
{
    CfrmOptions* dlg = frmOptions.get();
    const struct {
        const char* key;
        QGroupBox* page;
        const char* title;
    } pages[] = {{"General", dlg->froGeneral, "General"},   {"Events", dlg->froEvents, "Events"},
                 {"View", dlg->froView, "View"},            {"ID3 Tags", dlg->froTags, "Default ID3 Tags"},
                 {"Advanced", dlg->froAdvanced, "Advanced"}};
    for (const auto& p : pages) {
        cTreeNode* node = dlg->cTreeView1->Nodes()->Item(QString(p.key));
        ASSERT_NE(node, nullptr) << p.key;
        node->SetSelected(true);
        dlg->cTreeView1_NodeClick(node);
        EXPECT_EQ(dlg->lblTitle->text(), p.title);
        for (const auto& other : pages) EXPECT_EQ(other.page->isVisibleTo(dlg), other.page == p.page) << p.key;
    }
    dlg->lblMoreAdvancedOptions->Click();
    EXPECT_TRUE(dlg->froAdvanced->isVisibleTo(dlg));

    dlg->chkCopyID3FromSource->setChecked(true);
    EXPECT_FALSE(dlg->txtTagComment->isEnabled());
    EXPECT_FALSE(dlg->lblTagComment->isEnabled());
    dlg->chkCopyID3FromSource->setChecked(false);
    EXPECT_TRUE(dlg->txtTagComment->isEnabled());
}

TEST_F(OptionsDialog, AHistoryThatCannotBeWrittenKeepsTheChosenListsFolder)
{
    CfrmOptions* dlg = frmOptions.get();
    QFile::remove(PathHistoryFile());
    ASSERT_TRUE(QDir().mkpath(PathHistoryFile())); // a folder where the history file belongs
    const QString chosen = ProgramFolder() + "/Lists";
    QDir().mkpath(chosen);
    dialogs->ExpectFolder(chosen);
    dlg->cmdSelectPath_Click();
    EXPECT_EQ(dlg->txtToPath->currentText(), chosen + "/");

    const QString created = ProgramFolder() + "/Created Lists/";
    dlg->txtToPath->setEditText(created);
    msgBox->Expect("does not exist.", platform::vbYes);
    dlg->lblOpenDestinationDestinationFolder_Click();
    EXPECT_EQ(dlg->txtToPath->currentText(), created);
}

TEST_F(OptionsDialog, ListsFolderChoiceAndCreation)
{
    CfrmOptions* dlg = frmOptions.get();
    const QString chosen = ProgramFolder() + "/Lists";
    QDir().mkpath(chosen);
    dialogs->ExpectFolder(chosen);
    dlg->cmdSelectPath_Click();
    EXPECT_EQ(dlg->txtToPath->currentText(), chosen + "/");
    dialogs->ExpectFolder(""); // cancelled
    dlg->cmdSelectPath_Click();
    EXPECT_EQ(dlg->txtToPath->currentText(), chosen + "/");

    const QString missing = ProgramFolder() + "/New Lists";
    dlg->txtToPath->setEditText(missing);
    msgBox->Expect("Would you like to create it?", platform::vbNo);
    dlg->lblOpenDestinationDestinationFolder_Click();
    EXPECT_EQ(dlg->txtToPath->currentText(), missing + "/");
    EXPECT_TRUE(shell->opened.isEmpty());
    msgBox->Expect("The folder " + missing + "/ does not exist.", platform::vbYes);
    dlg->lblOpenDestinationDestinationFolder_Click();
    EXPECT_TRUE(QDir(missing).exists());
    EXPECT_EQ(shell->opened.size(), 1);
}

TEST_F(OptionsDialog, TestButtonsPlayTheSoundAndStartTheLiteralCommand)
{
    CfrmOptions* dlg = frmOptions.get();
    dlg->txtAppNotice->setPlainText("[FILE_RECORDED]");
    dlg->cmdTestApp_Click();
    EXPECT_EQ(shell->started, QStringList({"[FILE_RECORDED]"}));
    dlg->cmdTestSound_Click();
    EXPECT_EQ(sound->played, QStringList({ProgramFolder() + "/sound/notify.wav"}));
    dialogs->ExpectOpen({ProgramFolder() + "/bell.wav"});
    dlg->cmdAddSound_Click();
    EXPECT_EQ(dlg->txtPlayAtEnd->text(), "bell.wav");
    EXPECT_EQ(dlg->txtPlayAtEnd->toolTip(), ProgramFolder() + "/bell.wav");
}

} // namespace

namespace {

class OptionsAndMainWindow : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        frmOptions.get();
        g_frmAudioProp.get();
        frmMain.get();
        WaitForOpenList();
    }
};

TEST_F(OptionsAndMainWindow, AChangedListsFolderRebuildsTheTreeOnce)
{
    CfrmOptions* dlg = frmOptions.get();
    QPointer<cTreeNode> before = frmMain->cTreeView1->Nodes()->Item(2);
    ASSERT_FALSE(before.isNull());
    dlg->cmdOk_Click(); // nothing changed: the tree stays as it is
    EXPECT_FALSE(before.isNull());

    const QString other = ProgramFolder() + "/Other Lists/";
    QDir().mkpath(other);
    QFile list(other + "Songs.flst");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.close();
    dlg->txtToPath->setEditText(other);
    dlg->cmdOk_Click();
    WaitForOpenList();
    EXPECT_TRUE(before.isNull()) << "the tree was not rebuilt";
    EXPECT_EQ(g_sToPath, other);
    EXPECT_EQ(Stored("General", "txtToPath"), other);
    cTreeNode* first = frmMain->cTreeView1->Nodes()->Item(2);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Key(), other + "Songs.flst");
    EXPECT_EQ(frmMain->cTreeView1->SelectedItem(), first);
}

} // namespace

namespace {

TEST_F(OptionsAndMainWindow, AChangedListsFolderAlwaysHasAListOpenThere)
{
    CfrmOptions* dlg = frmOptions.get();
    const QString base = ProgramFolder() + "/Folders/";
    QDir().mkpath(base + "empty");
    QDir().mkpath(base + "others");
    QFile(base + "others/notes.txt").open(QIODevice::WriteOnly);
    QDir().mkpath(base + "lists");
    QFile(base + "lists/Songs.flst").open(QIODevice::WriteOnly);
    QFile(base + "a file").open(QIODevice::WriteOnly);
    const struct {
        const char* what;
        QString folder;
        QString list; // the list opened there; none when no list can be made there
    } cases[] = {
        {"a folder that does not exist", base + "missing/", "New Items List 1"},
        {"an empty folder", base + "empty/", "New Items List 1"},
        {"a folder holding other files", base + "others/", "New Items List 1"},
        {"a folder holding a list", base + "lists/", "Songs"},
        {"a folder that cannot be made", base + "a file/sub/", ""},
        {"back to a folder holding a list", base + "lists/", "Songs"},
    };
    for (const auto& c : cases) {
        // The list open before holds a row, which must neither stay in the
        // grid nor be written over.
        cGrid* grid = frmMain->cGrid1;
        grid->CellDetails(grid->Rows() + 1, "Inc", QVariant(), 0x40020, 1);
        grid->CellDetails(grid->Rows(), "Item Name", "old row");
        frmMain->SaveGridToFile();
        cTreeNode* before = frmMain->cTreeView1->SelectedItem();
        const QString oldList = before ? before->Key() : QString();
        QFile oldFile(oldList);
        const QByteArray oldBytes = oldFile.open(QIODevice::ReadOnly) ? oldFile.readAll() : QByteArray();
        oldFile.close();

        dlg->txtToPath->setEditText(c.folder);
        dlg->cmdOk_Click();
        WaitForOpenList();
        EXPECT_EQ(g_sToPath, c.folder) << c.what;
        EXPECT_EQ(grid->Rows(), 0) << c.what;
        cTreeNode* selected = frmMain->cTreeView1->SelectedItem();
        ASSERT_NE(selected, nullptr) << c.what;
        if (c.list.isEmpty()) {
            EXPECT_EQ(selected, frmMain->g_nodMainItems.data()) << c.what;
        } else {
            EXPECT_EQ(selected->Key(), c.folder + c.list + ".flst") << c.what;
            EXPECT_EQ(frmMain->lblListName->text(), c.list) << c.what;
        }
        frmMain->SetAllMarked(false);
        if (!oldList.isEmpty() && QFile::exists(oldList)) {
            QFile after(oldList);
            ASSERT_TRUE(after.open(QIODevice::ReadOnly)) << c.what;
            EXPECT_EQ(after.readAll(), oldBytes) << c.what;
        }
        if (!c.list.isEmpty()) {
            EXPECT_TRUE(QFile::exists(c.folder + c.list + ".flst")) << c.what;
        }
    }
}

TEST_F(OptionsDialog, TheDeviceListHoldsThePlayersOutputDevices)
{
    SetPlayerFactory([] {
        auto player = std::make_unique<FakePlayer>();
        player->devices = QStringList({"default", "hw:CARD=USB,DEV=0", "hw:CARD=PCH,DEV=0"});
        return player;
    });
    Store("General", "cboDevices", "hw:CARD=USB,DEV=0");
    CfrmOptions* dlg = frmOptions.get();
    ASSERT_EQ(dlg->cboDevices->count(), 3);
    EXPECT_EQ(dlg->cboDevices->itemData(1, Qt::ToolTipRole).toString(), "hw:CARD=USB,DEV=0");
    EXPECT_TRUE(dlg->cboDevices->isVisibleTo(dlg->froGeneral));
    EXPECT_EQ(g_lDevices, 1);
    EXPECT_EQ(g_sOutputDevice, "hw:CARD=USB,DEV=0");
    dlg->cboDevices->setCurrentIndex(2);
    dlg->cmdOk_Click();
    EXPECT_EQ(g_lDevices, 2);
    EXPECT_EQ(g_sOutputDevice, "hw:CARD=PCH,DEV=0");
    // Stored by its name: a list that changes cannot make it another device.
    EXPECT_EQ(Stored("General", "cboDevices"), "hw:CARD=PCH,DEV=0");
}

// The real player's devices on an ALSA configuration of the test's own: a
// card with two output devices and a microphone, plugins, and "default".
class OptionsDevices : public OptionsDialog {
protected:
    void SetUp() override
    {
        OptionsDialog::SetUp();
        SetPlayerFactory([] { return std::make_unique<cPlayer>(); });
        const QString config = QFileInfo(RegistryFolder()).path() + "/config";
        ASSERT_TRUE(QDir().mkpath(config + "/alsa"));
        QFile rc(config + "/alsa/asoundrc");
        ASSERT_TRUE(rc.open(QIODevice::WriteOnly));
        QString text = "pcm.!default { type null }\n"
                       "pcm.testrate { type null hint { show on description \"Rate Converter Plugin\" } }\n";
        for (const char* device : {"speakers", "headphones", "mic"})
            text += QString("pcm.%1 { @args [ CARD DEV ] @args.CARD { type string } @args.DEV { type integer } "
                            "type null }\n")
                        .arg(device);
        text += "namehint.pcm {\n"
                " a \"speakers:CARD=Test,DEV=0|Test Card, Speakers|IOIDOutput\"\n"
                " b \"headphones:CARD=Test,DEV=1|Test Card, Headphones|IOIDOutput\"\n"
                " c \"mic:CARD=Test,DEV=2|Test Card, Microphone|IOIDInput\"\n"
                "}\n";
        rc.write(text.toUtf8());
        rc.close();
        snd_config_update_free_global();
        logged().clear();
        m_previousHandler = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            logged() << text;
        });
    }
    void TearDown() override
    {
        qInstallMessageHandler(m_previousHandler);
        OptionsDialog::TearDown();
        snd_config_update_free_global();
    }
    static QStringList& logged()
    {
        static QStringList lines;
        return lines;
    }
    static QString OldPosition(const QString& name)
    {
        for (int i = 0; i < 100; ++i)
            if (alsa::DeviceAtOldPosition(alsa::Direction::Playback, i) == name) return QString::number(i);
        ADD_FAILURE() << "no old position for " << name.toStdString();
        return {};
    }

private:
    QtMessageHandler m_previousHandler = nullptr;
};

TEST_F(OptionsDevices, ShowsDefaultThenTheCardsDevicesByDescription)
{
    CfrmOptions* dlg = frmOptions.get();
    QStringList shown;
    for (int i = 0; i < dlg->cboDevices->count(); ++i) shown << dlg->cboDevices->itemText(i);
    EXPECT_EQ(shown, QStringList({"default", "Test Card, Speakers", "Test Card, Headphones"}));
    EXPECT_EQ(dlg->cboDevices->currentIndex(), -1);
    EXPECT_EQ(dlg->cboDevices->currentText(), "");
    EXPECT_EQ(dlg->cboDevices->placeholderText(), "default");
}

TEST_F(OptionsDevices, AStoredDeviceIsChosenByNameAndAGoneOneFallsBackToDefaultWithALogLine)
{
    const struct {
        QString what, stored, shown, chosen, storedAfter;
        bool logged;
    } cases[] = {
        {"an old position of a card's device", OldPosition("headphones:CARD=Test,DEV=1"), "Test Card, Headphones",
         "headphones:CARD=Test,DEV=1", "headphones:CARD=Test,DEV=1", false},
        {"an old position of a plugin", OldPosition("testrate"), "", "", "default", true},
        {"an old position past the list", "40", "", "", "default", false},
        {"an old -1", "-1", "", "", "default", false},
        {"a name", "speakers:CARD=Test,DEV=0", "Test Card, Speakers", "speakers:CARD=Test,DEV=0",
         "speakers:CARD=Test,DEV=0",
         false},
        {"a device that is gone", "plughw:CARD=Gone,DEV=0", "", "", "plughw:CARD=Gone,DEV=0", true},
        {"default", "default", "", "", "default", false},
    };
    for (const auto& c : cases) {
        logged().clear();
        Store("General", "cboDevices", c.stored);
        CfrmOptions* dlg = frmOptions.get();
        EXPECT_EQ(dlg->cboDevices->currentText(), c.shown) << c.what.toStdString();
        EXPECT_EQ(g_sOutputDevice, c.chosen) << c.what.toStdString();
        EXPECT_EQ(g_lDevices, dlg->cboDevices->currentIndex()) << c.what.toStdString();
        // An old position is read once: stored again as the device it meant.
        EXPECT_EQ(Stored("General", "cboDevices"), c.storedAfter) << c.what.toStdString();
        EXPECT_EQ(logged().filter("is not there: playing on \"default\"").size(), c.logged ? 1 : 0)
            << c.what.toStdString() << ": " << logged().join(" | ").toStdString();
        support::UnloadAllForms();
    }
}

} // namespace
