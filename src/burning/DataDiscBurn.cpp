// The data disc maker's burn: the files the job wrote handed to one of the
// two engines, and the engines' events.
#include "burning/frmDataBurner3.h"

#include "burning/DiscMakerShared.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/LinkLabel.h"
#include "core/Paths.h"
#include "core/TextFiles.h"
#include "platform/MessageBox.h"
#include "settings/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

bool CfrmDataBurner3::BurnMayStart()
{
    if (!m_written.isEmpty()) return true;
    Status("There is no file to burn.");
    platform::MsgBox("There is no file to burn: no item was converted or copied.", platform::vbInformation);
    return false;
}

void CfrmDataBurner3::ResetBars()
{
    for (XP_ProgressBar* bar : {prgCurrnet, prgTotal}) {
        bar->SetMin(0);
        bar->SetMax(100);
        bar->SetValue(0);
    }
}

void CfrmDataBurner3::EnableBurnControls(bool enabled)
{
    SetRunning(!enabled);
    lblOpenCDDoor->setEnabled(enabled);
    lblCloseCDDoor->setEnabled(enabled);
}

void CfrmDataBurner3::CheckBurnStarted(bool started)
{
    m_burning = started;
    if (!started) BurnFailed("The burn did not start.");
}

void CfrmDataBurner3::BurnWithDataBurner()
{
    if (!BurnMayStart()) return;
    cAudioDataBurner& burner = *cAudioDataBurner1;
    EnableBurnControls(false);
    Log("Add files to burn.");
    for (const QString& path : m_written) {
        if (burner.AddFile(path)) continue;
        platform::MsgBox("Couldn't add the file " + path, platform::vbExclamation, "Error");
        Log("Couldn't add the file " + GetFileName(path));
    }
    ResetBars();
    burner.SetVolumeLabel(txtCDName->text());
    burner.SetFileSystem("CDFS");
    burner.SetPublisherName(g_sAppName);
    burner.SetApplicationName(g_sAppName);
    burner.SetBurnFlag(false);
    burner.Burn(DriveLetter(), discmaker::SelectedSpeed(cboSpeed));
    CheckBurnStarted(burner.IsBurning());
}

void CfrmDataBurner3::BurnWithImapiBurner()
{
    if (!CheckImapi2Installed() || !BurnMayStart()) return;
    cBurner& burner = *cBurner1;
    burner.ClearFiles();
    burner.SetUseISO(false);
    burner.SetUseJoliet(false);
    burner.SetUseUDF(false);
    if (CheckValue(chkISO) == 1) burner.SetUseISO(true);
    if (CheckValue(chkJOLIET) == 1) burner.SetUseJoliet(true);
    if (CheckValue(chkUDF) == 1) burner.SetUseUDF(true);
    burner.SetVolumeName(txtCDName->text());
    for (const QString& path : m_written) burner.AddFile(path);
    ResetBars();
    EnableBurnControls(false);
    burner.Burn(cboDrv->currentIndex());
    CheckBurnStarted(burner.IsBurning());
}

void CfrmDataBurner3::Status(const QString& text)
{
    Log(text);
    lblCurrentTrack->setText(text);
}

void CfrmDataBurner3::BurnFailed(const QString& text)
{
    m_burning = false;
    EnableBurnControls(true);
    Status(text);
}

void CfrmDataBurner3::BurnSucceeded()
{
    m_burning = false;
    DoEndEvents(MadeFile());
    EnableBurnControls(true);
    ShowJobBalloon("Done.");
    Status("Done.");
}

// ---------------------------------------------------------------- the first engine's events

void CfrmDataBurner3::cAudioDataBurner1_BurnStarted() { Status("Start the burning process..."); }

void CfrmDataBurner3::cAudioDataBurner1_Progress(std::int16_t Percent)
{
    lblCurrentTrack->setText(QString::number(Percent) + "%");
    prgTotal->SetValue(Percent);
    prgCurrnet->SetValue(Percent);
}

void CfrmDataBurner3::cAudioDataBurner1_ClosingSession() { Status("Closing session..."); }

void CfrmDataBurner3::cAudioDataBurner1_Finished()
{
    Status("Finished");
    BurnSucceeded();
}

void CfrmDataBurner3::cAudioDataBurner1_Error(std::int32_t, const QString& Description) { BurnFailed(Description); }

// ---------------------------------------------------------------- the second engine's events

void CfrmDataBurner3::cBurner1_BurnerInitializing() { Status("BurnerInitializing..."); }

void CfrmDataBurner3::cBurner1_BurnerWarning(const QString& Message) { Status(Message); }

void CfrmDataBurner3::cBurner1_AddingFile(const QString& Path) { Status("Adding:" + GetFileName(Path)); }

void CfrmDataBurner3::cBurner1_FilesToBurn(std::int32_t Files, std::int32_t Folders)
{
    Log(QString::number(Files) + " files to burn." + kCrLf + QString::number(Folders) + " dirs to burn.");
}

void CfrmDataBurner3::cBurner1_StartBurning() { Status("StartBurning..."); }

void CfrmDataBurner3::cBurner1_BurnerProgress(std::int32_t Percent)
{
    lblCurrentTrack->setText(QString::number(Percent) + "%");
    prgTotal->SetValue(Percent);
    prgCurrnet->SetValue(Percent);
}

void CfrmDataBurner3::cBurner1_BurnerFinalization()
{
    Log("BurnerFinalization - Please wait...");
    lblCurrentTrack->setText("BurnerFinalization");
}

void CfrmDataBurner3::cBurner1_BurnerDoneBurn() { Status("BurnerDoneBurn."); }

void CfrmDataBurner3::cBurner1_BurnerCompleted() { Status("BurnerCompleted."); }

void CfrmDataBurner3::cBurner1_BurnerCanceled() { Status("BurnerCanceled..."); }

void CfrmDataBurner3::cBurner1_BurnerEnd()
{
    Status("BurnerEnd.");
    BurnSucceeded();
}

void CfrmDataBurner3::cBurner1_BurnerError(const QString& Message, const QString& Detail)
{
    BurnFailed(Message + " (" + Detail + ")");
}
