// The duplicator's copy: every track of the source ripped into the temporary
// folder as PCM WAV, one at a time, then the ripped files burned to the
// target in one blocking call of the writer, and the end of the copy.
#include "burning/frmAudioCDDuplicator.h"

#include "burning/DiscMakerShared.h"

#include "controls/widgets/WindowWidgets.h"
#include "controls/widgets/ProgressBars.h"
#include "core/Paths.h"
#include "core/TextFiles.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "settings/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

bool CfrmAudioCDDuplicator::DoOnFly() const { return chkOnTheFly->isEnabled() && CheckValue(chkOnTheFly) == 1; }

// ---------------------------------------------------------------- the rip

void CfrmAudioCDDuplicator::cmdConvert_Click()
{
    if (JobRunning() || cGrid1->Rows() < 1) return;
    if (discmaker::RefuseWithoutWriter(cboDrv)) return;
    if (!PrepareJob("Preparing to copy: " + QString::number(cGrid1->Rows()) + " tracks.")) return;
    QString folder = TemporaryFolder();
    folder.chop(1);
    if (const std::int32_t result = CreateFolderPath(folder); result != 0) {
        Log("Error: The path: " + folder + " cannot be created.(" + QString::number(result) + ")");
        lblCurrentTrack->setText("The temporary folder cannot be created.");
        return;
    }
    g_lCurRow = 1;
    g_ltmrUpToItemSecs = 0;
    g_ltmrSces = 1;
    m_colRippedFiles.clear();
    m_trackCount = cGrid1->Rows();
    cAudioCDRipper1->SetDriveIndex(cboDevices->currentIndex());
    tmrState->stop();
    ConvertTracks();
}

void CfrmAudioCDDuplicator::SetDestination()
{
    m_ripJob->SetDestinationFormat(kDestFormatWAV);
    WAVFormatSettings wav;
    wav.SampleRate = 44100;
    wav.Channels = 2;
    wav.BitsPerSample = 16;
    m_ripJob->SetWAVFormat(wav);
    Log("Destination format: PCM WAV 44100 16 Stereo.");
}

void CfrmAudioCDDuplicator::cAudioCDRipper1_Error(std::int32_t Code, const QString& Description)
{
    // A track that failed to rip is left off the copy.
    if (!m_colRippedFiles.isEmpty()) m_colRippedFiles.removeLast();
    JobError(Code, Description);
}

void CfrmAudioCDDuplicator::cAudioCDRipper1_Aborted()
{
    JobAborted();
    cboDevices_Click();
    tmrState->start();
}

void CfrmAudioCDDuplicator::EndRunDone()
{
    lblCurrentTrack->setText("Done.");
    setWindowTitle(lblCurrentTrack->text());
    prgTotal->SetValue(cGrid1->Rows() * 100);
    prgCurrnet->SetValue(100);
    Timer1->stop();
    SetHourglass(false);
    RebuildGridFromRippedFiles(m_colRippedFiles, cGrid1);
    EndCopy(BurnDisk());
}

void CfrmAudioCDDuplicator::RebuildGridFromRippedFiles(const QStringList& list, cGrid* grid)
{
    grid->Clear();
    grid->SetRedraw(false);
    for (const QString& path : list) {
        const QFileInfo file(path);
        if (file.exists() && file.size() == 0) continue;
        const int row = grid->Rows() + 1;
        grid->CellDetails(row, kColItemName, GetFileName(path));
        grid->CellDetails(row, kColFile, path);
    }
    grid->SetRedraw(true);
}

// ---------------------------------------------------------------- the burn

bool CfrmAudioCDDuplicator::DrivesReadyToBurn()
{
    for (;;) {
        // On a machine whose one drive both reads and writes, the writer
        // cannot take the drive while the reader holds it.
        cAudioCDRipper1->Terminate();
        const QString letter = TargetLetter();
        if (cAudioBurner1->GetMediaState(letter).isEmpty()) return true;
        EjectTarget();
        const int answer = platform::MsgBox("Insert an empty media to drive " + letter + " then click on 'OK'." +
                                                kCrLf + kCrLf + "Click on cancel in order to cancel the burn proccess.",
                                            platform::vbOKCancel | platform::vbInformation);
        if (answer != platform::vbOK) return false;
    }
}

CfrmAudioCDDuplicator::BurnEnd CfrmAudioCDDuplicator::BurnDisk()
{
    EnableControls(false);
    if (!DrivesReadyToBurn()) return BurnEnd::Cancelled;
    cAudioBurner& writer = *cAudioBurner1;
    QString lastTrackFile;
    for (std::int32_t row = 1; row <= cGrid1->Rows(); ++row) {
        const QString file = CellText(row, kColFile);
        if (writer.AddFile(file))
            lastTrackFile = file;
        else
            Log("Cannot add " + GetFileName(file));
    }
    if (writer.GetFileCount() < 1) {
        platform::MsgBox("Nothing to burn.", platform::vbInformation);
        return BurnEnd::NothingToBurn;
    }
    prgTotal->SetMax(writer.GetFileCount());
    writer.SetDecodeSources(false);
    m_burnFailed = false;
    m_burning = true;
    const std::int32_t result = writer.Burn(TargetLetter(), discmaker::SelectedSpeed(cboSpeed));
    m_burning = false;
    writer.ClearFiles();
    writer.Terminate();
    if (result == 0) {
        DoEndEvents(lastTrackFile);
        EjectTarget();
        discmaker::EraseFolderFiles(TemporaryFolder());
        return BurnEnd::Finished;
    }
    if (result == kBurnErrAborted) return BurnEnd::Aborted;
    if (!m_burnFailed) StageStep("Error: The disc was not written.(" + QString::number(result) + ")");
    return BurnEnd::Failed;
}

void CfrmAudioCDDuplicator::ToolEndEvents()
{
    if (CheckValue(chkOpenCDdrive) != 1) return;
    const std::int32_t code = cAudioCDRipper1->OpenTray();
    if (code != 0)
        Log("Error: The tray of the CD drive " + SourceDrive() + " did not open. " + cAudioCDRipper1->LastErrorText() +
            "(" + QString::number(code) + ")");
}

void CfrmAudioCDDuplicator::EndCopy(BurnEnd end)
{
    switch (end) {
    case BurnEnd::Finished: {
        const QString text = EndText(m_trackCount, "tracks");
        ShowJobBalloon(text);
        const bool whole = text == "Done.";
        if (!whole) Log(text);
        platform::MsgBox(whole ? text + QString(19, ' ') : text, platform::vbInformation);
        // A copy without every track stays on show with its log.
        if (!whole) return EndCopyInWindow(text);
        EnableControls(true);
        Unload();
        return;
    }
    case BurnEnd::Failed: return EndCopyInWindow(lblCurrentTrack->text());
    case BurnEnd::Aborted:
    case BurnEnd::Cancelled: Log("Aborted."); return EndCopyInWindow("Aborted.");
    case BurnEnd::NothingToBurn: return EndCopyInWindow("Nothing to burn.");
    }
}

void CfrmAudioCDDuplicator::EndCopyInWindow(const QString& text)
{
    lblCurrentTrack->setText(text);
    setWindowTitle(text);
    SetHourglass(false);
    EnableControls(true);
    // The grid holds the rip files now: a next copy starts from the source's tracks again.
    cboDevices_Click();
    tmrState->start();
}

// ---------------------------------------------------------------- the writer's events

void CfrmAudioCDDuplicator::StageStep(const QString& text)
{
    Log(text);
    lblCurrentTrack->setText(text);
}

void CfrmAudioCDDuplicator::cAudioBurner1_TrackProgress(std::int16_t Percent, std::int16_t Track)
{
    prgCurrnet->SetValue(Percent);
    prgTotal->SetValue(Track);
    tmrState->stop();
    lblFilesToConvert->setText("Files: " + QString::number(Track) + "/" + QString::number(cGrid1->Rows()));
}

void CfrmAudioCDDuplicator::cAudioBurner1_Progress(std::int16_t Percent, std::int16_t) { prgCurrnet->SetValue(Percent); }

void CfrmAudioCDDuplicator::cAudioBurner1_CachingTrack() { StageStep("Caching track..."); }

void CfrmAudioCDDuplicator::cAudioBurner1_WritingTrack() { StageStep("Writing track..."); }

void CfrmAudioCDDuplicator::cAudioBurner1_ClosingTrack(std::int16_t) { StageStep("Closing track..."); }

void CfrmAudioCDDuplicator::cAudioBurner1_ClosingSession()
{
    StageStep("Closing session, please wait...");
    prgCurrnet->SetValue(prgCurrnet->Max());
    prgTotal->SetValue(prgTotal->Max());
}

void CfrmAudioCDDuplicator::cAudioBurner1_Finished()
{
    prgTotal->SetValue(prgTotal->Max());
    StageStep("Finished.");
}

void CfrmAudioCDDuplicator::cAudioBurner1_Error(std::int32_t Code, const QString& Description)
{
    m_burnFailed = true;
    StageStep("Error:" + Description + "(" + QString::number(Code) + ")");
}
