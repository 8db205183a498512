#include "splitjoin/frmJoiner.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/NamingProcedures.h"
#include "core/Paths.h"
#include "lists/ItemRows.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

DefaultInstance<CfrmJoiner> g_frmJoiner;

namespace {

JobWindowDesign joinerDesign()
{
    JobWindowDesign d;
    d.formName = "g_frmJoiner";
    d.caption = "Audio Joiner";
    d.iconName = "colors";
    d.firstTabCaption = "Joiner Options        ";
    d.firstTabIcon = 64;
    d.startCaption = "Join";
    d.jobVerb = "join";
    d.playSoundCaption = "Play sound";
    d.noticeAppCaption = "Notice application ";
    d.linkToolTips = true;
    d.eventBoxOrder = {EventBox::PlaySound, EventBox::OpenDestFolder, EventBox::TurnOffComputer, EventBox::NoticeApp};
    d.fileNamePatterns = false;
    d.longTagPlaceholders = false;
    d.overwriteBox = false;
    d.timeLeft = false;
    return d;
}

} // namespace

CfrmJoiner::CfrmJoiner()
    : JobWindow(joinerDesign()), cAudioJoin1(CreateAudioJoin()),
      m_joinJob(std::make_unique<AudioJoinJob>(*cAudioJoin1))
{
    SetJobControl(m_joinJob.get());
    QFont bold = lblFilesToConvert->font();
    bold.setBold(true);
    lblFilesToConvert->setFont(bold);
    txtJoinedFileName = new QLineEdit("Joined_File-[date]-[time].[dest_extension]", TabSettings);
    UseNameTemplateBox(txtJoinedFileName);

    cAudioJoin* j = cAudioJoin1.get();
    connect(j, &cAudioJoin::Progress, this, &CfrmJoiner::cAudioJoin1_Progress);
    connect(j, &cAudioJoin::Done, this, &CfrmJoiner::cAudioJoin1_Done);
    connect(j, &cAudioJoin::Aborted, this, &CfrmJoiner::cAudioJoin1_Aborted);
    connect(j, &cAudioJoin::Error, this, &CfrmJoiner::cAudioJoin1_Error);
}

CfrmJoiner::~CfrmJoiner() = default;

bool CfrmJoiner::ToolSettingsRefused()
{
    if (!txtJoinedFileName->text().trimmed().isEmpty()) return false;
    platform::MsgBox("Type the name of the joined file.", platform::vbInformation);
    txtJoinedFileName->setFocus();
    return true;
}

void CfrmJoiner::LockToolSettings(bool locked) { txtJoinedFileName->setEnabled(!locked); }

// ---------------------------------------------------------------- the job

void CfrmJoiner::cmdConvert_Click()
{
    if (!PrepareJob("Preparing to join: " + QString::number(cGrid1->Rows()) + " tracks.")) return;
    m_lLastAnnouncedFile = 0;
    JoinFiles();
}

QString CfrmJoiner::ExpandJoinedFileName(const QString& pattern) const
{
    const QDateTime now = platform::Now();
    // "[source_extension]" is the pattern's own extension, which may itself be a macro.
    std::vector<std::pair<QString, QString>> macros = {{"[source_extension]", GetLastExtension(pattern).toLower()}};
    if (const auto extension = DestinationExtension(1)) macros.push_back({"[dest_extension]", *extension});
    macros.push_back({"[time]", TwoDigitTimeText(now.time()).replace(':', '-')});
    macros.push_back({"[date]", ShortDateText(now.date()).replace('/', '-')});
    return ExpandNameMacros(pattern, macros);
}

void CfrmJoiner::JoinFiles()
{
    const QString name = ExpandJoinedFileName(txtJoinedFileName->text());
    std::int32_t first = 1;
    SetID3Tags(first);
    const std::int32_t entries = cAudioJoin1->GetFileCount();
    for (std::int32_t i = 0; i < entries; ++i) cAudioJoin1->RemoveFile(1);
    const std::int32_t rows = cGrid1->Rows();
    QStringList sources;
    for (std::int32_t row = 1; row <= rows; ++row) {
        sources << CellText(row, kColFile);
        Job()->SetSource(row, sources.last());
        if (CellText(row, kColRangeAll) == "1")
            Job()->SetWholeSource();
        else
            Job()->SetRange(WholeNumberCell(row, kColRangeStart), WholeNumberCell(row, kColRangeLength));
    }
    const QString path = txtToPath->currentText() + GetSubFolder() + name;
    // No and Cancel alike leave the join unstarted.
    if (AskOverwrite(path, sources) != 0) return;
    m_joinedFile = path;
    Job()->SetDestinationFile(path);
    prgTotal->SetMax(rows * 100);
    SetRunning(true);
    lblCurrentTrack->setText("Processing...");
    m_joining = true;
    Job()->Start();
}

// ---------------------------------------------------------------- the control's events

void CfrmJoiner::cAudioJoin1_Progress(std::int32_t File, std::int32_t Percent)
{
    if (!m_joining || Percent <= 0) return;
    prgCurrnet->SetValue(Percent);
    prgTotal->SetValue((File - 1) * 100 + Percent);
    lblFilesToConvert->setText("Files: " + QString::number(File) + "/" + QString::number(cGrid1->Rows()));
    setWindowTitle(g_sAppName + " " + g_sAppVersion);
    if (File != m_lLastAnnouncedFile) {
        m_lLastAnnouncedFile = File;
        Log("Add " + GetFileName(cAudioJoin1->GetFileName(File)) + "...");
    }
}

bool CfrmJoiner::EndJoin()
{
    if (!m_joining) return false;
    m_joining = false;
    SetRunning(false);
    return true;
}

void CfrmJoiner::cAudioJoin1_Done()
{
    if (!EndJoin()) return;
    ShowJobBalloon("Done.");
    lblCurrentTrack->setText("Done.");
    DoEndEvents(m_joinedFile);
    Log("Done.");
    prgCurrnet->SetValue(100);
    prgTotal->SetValue((cGrid1->Rows() - 1) * 100 + 100);
}

void CfrmJoiner::cAudioJoin1_Error(std::int32_t Code, const QString& Description)
{
    if (!EndJoin()) return;
    g_bConvertError = true;
    const QString text = "Error: " + Description + "(" + QString::number(Code) + ")";
    Log(text);
    // The status line says why the join stopped, not "Processing...".
    lblCurrentTrack->setText(text);
}

void CfrmJoiner::cAudioJoin1_Aborted()
{
    if (!EndJoin()) return;
    Log("Aborted.");
    lblCurrentTrack->setText("Aborted.");
}
