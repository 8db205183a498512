// The data disc maker's job: every row converted (or copied) into the
// temporary folder, then the question whether to burn.
#include "burning/frmDataBurner3.h"

#include "burning/DiscMakerShared.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Paths.h"
#include "core/TextFiles.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "settings/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

void CfrmDataBurner3::cmdConvert_Click()
{
    m_bAbortJob = false;
    prgCurrnet->SetValue(0);
    prgTotal->SetValue(0);
    if (!PrepareJob("Preparing to burn: " + QString::number(cGrid1->Rows()) + " tracks.")) return;
    CreateFolderPath(GetTempFolder());
    g_lCurRow = 1;
    g_ltmrUpToItemSecs = 0;
    g_ltmrSces = 1;
    m_written.clear();
    EraseTempFiles();
    if (CopyOnly())
        CopySources();
    else
        ConvertTracks();
}

bool CfrmDataBurner3::StartChecksFailed()
{
    if (discmaker::RefuseWithoutWriter(cboDrv)) {
        Log("No CD writer was found.");
        Log("Aborted.");
        return true;
    }
    if (!FirstEngine()) return false;
    const QString drive = DriveRoot();
    if (!cAudioDataBurner1->IsDriveReady(DriveLetter()))
        return DriveRefused("The CD drive '" + drive + "' is not ready.",
                            "Please insert an empty media into drive: " + drive);
    if (!cAudioDataBurner1->IsDiscEmpty(DriveLetter()))
        return DriveRefused("The CD drive '" + drive + "' is not empty.",
                            "Please insert an empty media into drive: " + drive);
    return false;
}

bool CfrmDataBurner3::DriveRefused(const QString& logLine, const QString& message)
{
    Log(logLine);
    platform::MsgBox(message, platform::vbInformation);
    Log("Aborted.");
    return true;
}

std::optional<QString> CfrmDataBurner3::DestinationExtension(std::int32_t row) const
{
    // A copy keeps its own format, so it keeps its own extension.
    if (CopyOnly()) return GetLastExtension(CellText(row, kColFile)).toLower();
    return JobWindow::DestinationExtension(row);
}

void CfrmDataBurner3::cAudioConverter1_ConvertDone()
{
    if (cmdConvert->isEnabled()) return; // a late event after the job ended
    Remember(m_burnerJob->Destination());
    JobDone();
}

void CfrmDataBurner3::Remember(const QString& path)
{
    if (!m_written.contains(path)) m_written << path;
}

void CfrmDataBurner3::CopySources()
{
    const std::int32_t rows = cGrid1->Rows();
    SetRunning(true);
    Timer1->start();
    prgTotal->SetMax(rows);
    bool aborted = false;
    for (std::int32_t row = 1; row <= rows; ++row) {
        QCoreApplication::processEvents(); // lets Abort in between files
        if (m_bAbortJob) {
            EraseTempFiles();
            m_written.clear();
            Log("Aborted.");
            aborted = true;
            break;
        }
        const QString name = BuildDestFileName(row);
        const QString target = GetTempFolder() + name;
        if (QFileInfo(target).isFile()) {
            const int answer = platform::MsgBox("The file name " + name + " is already existed in the list to be burn. " +
                                                    kCrLf + kCrLf + "Overwtie it?",
                                                platform::vbYesNoCancel | platform::vbInformation);
            if (answer == platform::vbYes) CopyRow(row, target);
            if (answer != platform::vbYes && answer != platform::vbNo) break;
        } else {
            CopyRow(row, target);
        }
        prgTotal->SetValue(row);
        lblFilesToConvert->setText("Files: " + QString::number(row) + "/" + QString::number(rows));
    }
    SetRunning(false);
    if (aborted)
        EndRunCancelled();
    else
        EndRunDone();
}

void CfrmDataBurner3::CopyRow(std::int32_t row, const QString& target)
{
    const QString source = CellText(row, kColFile);
    QFile::remove(target);
    if (QFile::copy(source, target)) {
        Remember(target);
        CountItemMade(target);
        return;
    }
    m_written.removeAll(target);
    g_bConvertError = true;
    CountItemFailed();
    Log("Error: The file " + source + " could not be copied to " + target + ".");
}

void CfrmDataBurner3::EndRunDone()
{
    SetHourglass(false);
    setWindowTitle(lblCurrentTrack->text());
    prgCurrnet->SetValue(100);
    Timer1->stop();
    prgTotal->SetValue(0);
    if (platform::MsgBox("Burn CD?" + QString(46, ' '), platform::vbOKCancel) != platform::vbOK) return;
    if (FirstEngine())
        BurnWithDataBurner();
    else
        BurnWithImapiBurner();
}

void CfrmDataBurner3::AbortWork()
{
    m_bAbortJob = true;
    if (m_burning) {
        if (FirstEngine())
            cAudioDataBurner1->Abort();
        else
            cBurner1->Abort();
        return;
    }
    m_burnerJob->AbortConversion();
}

void CfrmDataBurner3::ToolEndEvents()
{
    if (CheckValue(chkEraseTempfiles) == 1) {
        Log("Erase temp files...");
        EraseTempFiles();
    }
    if (CheckValue(chkOpenCDdrive) != 1) return;
    const std::int32_t code = cAudioDataBurner1->OpenTray(DriveLetter());
    if (code != 0)
        Log("Error: The tray of the CD drive " + DriveRoot() + " did not open.(" + QString::number(code) + ")");
}
