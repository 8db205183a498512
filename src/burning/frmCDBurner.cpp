#include "burning/frmCDBurner.h"

#include "burning/DiscMakerShared.h"
#include "controls/widgets/Grid.h"
#include "controls/widgets/ImageList.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/ProgressBar.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/StatusBar.h"
#include "core/Edition.h"
#include "core/LinkLabel.h"
#include "core/Paths.h"
#include "platform/AppInfo.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "platform/UserSettings.h"
#include "platform/VbCompat.h"
#include "settings/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DefaultInstance<CfrmCDBurner> g_frmCDBurner;

namespace {

constexpr std::int32_t kDiscMinutes = 80;
constexpr std::int32_t kRed = 255;

JobWindowDesign burnerDesign()
{
    JobWindowDesign d;
    d.formName = "g_frmCDBurner";
    d.caption = "Audio CD Burner";
    d.iconName = "cd_music";
    d.firstTabCaption = "Burner Options   ";
    d.firstTabIcon = 73;
    d.startCaption = "Burn";
    d.jobVerb = "burn";
    d.destinationFormats = false;
    d.fileNamePatterns = false;
    d.overwriteBox = false;
    d.timeLeft = false;
    d.hourglass = false;
    return d;
}

void setBold(QWidget* widget, bool bold)
{
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

} // namespace

CfrmCDBurner::CfrmCDBurner() : JobWindow(burnerDesign()), cAudioBurner1(CreateAudioBurner())
{
    BuildSettingsRows();
    BuildEventsRows();
    ConnectBurner();
}

CfrmCDBurner::~CfrmCDBurner() = default;

void CfrmCDBurner::BuildSettingsRows()
{
    // No destination folder, sub-folder, format or name pattern here.
    for (QWidget* w : std::initializer_list<QWidget*>{Label4, txtToPath, cmdSelectPath, lblSetAsDefaultDestination,
                                                      chkCreateSubFolder, txtUndeForlder})
        w->hide();
    lblOpenDestinationDestinationFolder->setText("Browse with explorer");
    lblOpenDestinationDestinationFolder->setToolTip("Browse with the explorer.");
    disconnect(lblOpenDestinationDestinationFolder, nullptr, this, nullptr);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::Click, this,
            &CfrmCDBurner::lblOpenDestinationDestinationFolder_Click);

    auto* g = new QGridLayout;
    lblDrives = widgets::PlainLabel("CDs:", TabSettings);
    cboDrv = new QComboBox(TabSettings);
    cmdOpenCD = new QPushButton("Open CD", TabSettings);
    cmdClose = new QPushButton("Close CD", TabSettings);
    lblSpeeds = widgets::PlainLabel("Speeds:", TabSettings);
    cboSpeed = new QComboBox(TabSettings);
    lblDiskSize = widgets::PlainLabel("0", TabSettings);
    lblDiskCapacity = widgets::PlainLabel("0 Min", TabSettings);
    lblState = widgets::PlainLabel("", TabSettings);
    prgSize = new cProgressBar(TabSettings);
    lblDataSize = widgets::PlainLabel("Data Size:", TabSettings);
    g->addWidget(lblDrives, 0, 0);
    g->addWidget(cboDrv, 0, 1, 1, 3);
    g->addWidget(cmdOpenCD, 0, 4);
    g->addWidget(cmdClose, 0, 5);
    g->addWidget(lblSpeeds, 1, 0);
    g->addWidget(cboSpeed, 1, 1, 1, 3);
    g->addWidget(widgets::PlainLabel("Disk Size", TabSettings), 2, 0);
    g->addWidget(lblDiskSize, 2, 1);
    g->addWidget(widgets::PlainLabel("Disk Capacity", TabSettings), 2, 2);
    g->addWidget(lblDiskCapacity, 2, 3);
    g->addWidget(widgets::PlainLabel("Disk State", TabSettings), 3, 0);
    g->addWidget(lblState, 3, 1, 1, 5);
    g->addWidget(widgets::PlainLabel("0 MIN", TabSettings), 4, 0);
    g->addWidget(prgSize, 4, 1, 1, 4);
    g->addWidget(widgets::PlainLabel("80 MIN", TabSettings), 4, 5);
    g->addWidget(lblDataSize, 5, 0, 1, 6);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    ToolSettingsArea->addLayout(g);

    connect(cboDrv, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboDrv_Click();
    });
    connect(cmdOpenCD, &QPushButton::clicked, this, &CfrmCDBurner::cmdOpenCD_Click);
    connect(cmdClose, &QPushButton::clicked, this, &CfrmCDBurner::cmdClose_Click);
}

void CfrmCDBurner::BuildEventsRows()
{
    chkOpenCDdrive = new QCheckBox("Open the CD drive", TabEvents);
    ToolEventsArea->addWidget(chkOpenCDdrive);
}

void CfrmCDBurner::ConnectBurner()
{
    cAudioBurner& b = *cAudioBurner1;
    connect(&b, &cAudioBurner::TrackProgress, this, &CfrmCDBurner::cAudioBurner1_TrackProgress);
    connect(&b, &cAudioBurner::Progress, this, &CfrmCDBurner::cAudioBurner1_Progress);
    connect(&b, &cAudioBurner::CachingTrack, this, &CfrmCDBurner::cAudioBurner1_CachingTrack);
    connect(&b, &cAudioBurner::WritingTrack, this, &CfrmCDBurner::cAudioBurner1_WritingTrack);
    connect(&b, &cAudioBurner::ClosingTrack, this, &CfrmCDBurner::cAudioBurner1_ClosingTrack);
    connect(&b, &cAudioBurner::ClosingSession, this, &CfrmCDBurner::cAudioBurner1_ClosingSession);
    connect(&b, &cAudioBurner::Error, this, &CfrmCDBurner::cAudioBurner1_Error);
    connect(&b, &cAudioBurner::Finished, this, &CfrmCDBurner::cAudioBurner1_Finished);
}

// ---------------------------------------------------------------- loading and closing

void CfrmCDBurner::LoadToolSettings()
{
    FillBurnerDrives();
    const QString stored = platform::GetSetting(g_sAppName, "General", "chkOpenCDdrive", "0");
    SetCheckValue(chkOpenCDdrive, stored.trimmed() == "1" ? 1 : 0);
}

void CfrmCDBurner::Form_Unload(int& Cancel)
{
    // Also after a confirmed Abort, until the writer's call has returned.
    if (m_burnCall) {
        Cancel = 1;
        return;
    }
    JobWindow::Form_Unload(Cancel);
    if (Cancel) return;
    cAudioBurner1->ClearFiles();
    cAudioBurner1->Terminate();
    EraseTempFiles();
    platform::SaveSetting(g_sAppName, "General", "chkOpenCDdrive", QString::number(CheckValue(chkOpenCDdrive)));
}

// ---------------------------------------------------------------- drives

void CfrmCDBurner::FillBurnerDrives() { discmaker::FillDriveList(cboDrv, *cAudioBurner1); }

void CfrmCDBurner::FillSpeedList()
{
    discmaker::FillSpeedList(cboSpeed, *cAudioBurner1, discmaker::SelectedDriveLetter(cboDrv));
}

void CfrmCDBurner::cboDrv_Click()
{
    FillSpeedList();
    ShowDiscState();
}

void CfrmCDBurner::ShowDiscState()
{
    discmaker::ShowDiscFacts(*cAudioBurner1, discmaker::SelectedDriveLetter(cboDrv),
                             {lblDiskSize, lblDiskCapacity, lblState}, m_secondsToBurn);
}

void CfrmCDBurner::SetSecondsToBurn(std::int32_t seconds)
{
    m_secondsToBurn = seconds;
    ShowDiscState();
}

void CfrmCDBurner::MoveTray(bool open)
{
    if (discmaker::RefuseWithoutWriter(cboDrv)) return;
    const QString letter = discmaker::SelectedDriveLetter(cboDrv);
    const std::int32_t result = open ? cAudioBurner1->OpenTray(letter) : cAudioBurner1->CloseTray(letter);
    if (result != 0)
        platform::MsgBox(QString("The tray of drive %1: did not %2.").arg(letter, open ? "open" : "close"),
                         platform::vbInformation);
}

void CfrmCDBurner::cmdOpenCD_Click() { MoveTray(true); }

void CfrmCDBurner::cmdClose_Click() { MoveTray(false); }

void CfrmCDBurner::lblOpenDestinationDestinationFolder_Click()
{
    if (discmaker::RefuseWithoutWriter(cboDrv)) return;
    discmaker::OpenDiscRoot(this, discmaker::SelectedDriveLetter(cboDrv));
}

// ---------------------------------------------------------------- the burn

void CfrmCDBurner::SetBurning(bool burning)
{
    cmdConvert->setEnabled(!burning);
    cmdExit->setEnabled(!burning);
}

void CfrmCDBurner::cmdConvert_Click()
{
    if (m_burnCall) {
        platform::MsgBox("The last burn is still stopping. Try again in a moment.", platform::vbInformation);
        return;
    }
    if (discmaker::RefuseWithoutWriter(cboDrv)) return;
    StartLogSection();
    Log("Preparing to burn: " + QString::number(cGrid1->Rows()) + " tracks.");
    ShowLogPage();
    Log("List the files to burn...");
    m_burnCall = true;
    SetBurning(true);
    m_lastTrackFile.clear();
    for (std::int32_t row = 1; row <= cGrid1->Rows(); ++row) {
        const QString file = FileToBurn(row);
        if (cmdConvert->isEnabled()) break;
        if (!file.isEmpty() && cAudioBurner1->AddFile(file))
            m_lastTrackFile = CellText(row, kColFile);
        else
            Log("Cannot add " + GetFileName(CellText(row, kColFile)));
    }
    m_burnCall = false;
    // A confirmed Abort while ranges were cut ends the job here.
    if (cmdConvert->isEnabled()) {
        cAudioBurner1->ClearFiles();
        EraseTempFiles();
        return;
    }
    BurnDisk();
}

QString CfrmCDBurner::TempFolder() { return platform::AppPath() + "/cdburntmp"; }

QString CfrmCDBurner::FileToBurn(std::int32_t row)
{
    if (CellText(row, kColRangeAll) == "0") return CutRange(row);
    return CellText(row, kColFile);
}

QString CfrmCDBurner::CutRange(std::int32_t row)
{
    const QString source = CellText(row, kColFile);
    const QString out = TempFolder() + QString("/range%1.wav").arg(row);
    QDir().mkpath(TempFolder());
    Log("Cutting the range of " + GetFileName(source) + "...");
    m_cutter = CreateAudioConverter();
    cAudioConverter& c = *m_cutter;
    c.SetSourceFile(source);
    c.SetRangeStart(WholeNumberCell(row, kColRangeStart));
    c.SetRangeLength(WholeNumberCell(row, kColRangeLength));
    c.SetDestinationFormat(kDestFormatWAV);
    c.SetWAVFormat({44100, 2, 16});
    c.SetDestinationFile(out);
    QEventLoop loop;
    bool ended = false, done = false;
    auto end = [&](bool ok) {
        ended = true;
        done = ok;
        loop.quit();
    };
    connect(&c, &cAudioConverter::ConvertDone, &loop, [&] { end(true); });
    connect(&c, &cAudioConverter::ConvertAborted, &loop, [&] { end(false); });
    connect(&c, &cAudioConverter::ConvertError, &loop, [&](std::int32_t code, const QString& text) {
        Log("Error:" + text + "(" + QString::number(code) + ")");
        end(false);
    });
    c.Convert();
    if (!ended) loop.exec();
    m_cutter.reset();
    return done ? out : QString();
}

void CfrmCDBurner::EraseTempFiles() { discmaker::EraseFolderFiles(TempFolder()); }

void CfrmCDBurner::BurnDisk()
{
    const std::int16_t files = cAudioBurner1->GetFileCount();
    if (files < 1) {
        SetBurning(false);
        platform::MsgBox("Nothing to burn.", platform::vbInformation);
        return;
    }
    prgTotal->SetMax(files);
    const QString letter = discmaker::SelectedDriveLetter(cboDrv);
    cAudioBurner1->SetDecodeSources(true);
    g_bConvertError = false;
    SetBurning(true);
    m_burnCall = true;
    const std::int32_t result = cAudioBurner1->Burn(letter, discmaker::SelectedSpeed(cboSpeed));
    m_burnCall = false;
    // Neither Finished, Error nor a confirmed Abort ended it: the writer failed silently.
    if (!cmdConvert->isEnabled()) cAudioBurner1_Error(result, "The burn did not finish.");
    cAudioBurner1->ClearFiles();
    EraseTempFiles();
}

void CfrmCDBurner::AbortJob()
{
    if (m_cutter) m_cutter->Abort();
    cAudioBurner1->Abort();
    SetBurning(false);
    ShowJobBalloon("Aborted.");
}

void CfrmCDBurner::ShowPhase(const QString& text)
{
    Log(text);
    lblCurrentTrack->setText(text);
}

void CfrmCDBurner::cAudioBurner1_TrackProgress(std::int16_t Percent, std::int16_t Track)
{
    prgCurrnet->SetValue(Percent);
    prgTotal->SetValue(Track);
    if (Track == m_lastTrack) return;
    lblFilesToConvert->setText("Files: " + QString::number(Track) + "/" + QString::number(cGrid1->Rows()));
    m_lastTrack = Track;
}

void CfrmCDBurner::cAudioBurner1_Progress(std::int16_t Percent, std::int16_t)
{
    prgCurrnet->SetValue(Percent);
    QCoreApplication::processEvents();
}

void CfrmCDBurner::cAudioBurner1_CachingTrack() { ShowPhase("Caching track..."); }

void CfrmCDBurner::cAudioBurner1_WritingTrack() { ShowPhase("Writing track..."); }

void CfrmCDBurner::cAudioBurner1_ClosingTrack(std::int16_t) { ShowPhase("Closing track..."); }

void CfrmCDBurner::cAudioBurner1_ClosingSession() { ShowPhase("Closing session..."); }

void CfrmCDBurner::cAudioBurner1_Error(std::int32_t Code, const QString& Description)
{
    g_bConvertError = true;
    ShowPhase("Error:" + Description + "(" + QString::number(Code) + ")");
    SetBurning(false);
}

void CfrmCDBurner::cAudioBurner1_Finished()
{
    prgTotal->SetValue(prgTotal->Max());
    ShowPhase("Finished.");
    SetBurning(false);
    DoEndEvents(m_lastTrackFile);
}

// ---------------------------------------------------------------- end of the job

void CfrmCDBurner::OpenEndFolder() { discmaker::OpenDiscRoot(this, discmaker::SelectedDriveLetter(cboDrv)); }

void CfrmCDBurner::ToolEndEvents()
{
    if (CheckValue(chkOpenCDdrive) == 1) cAudioBurner1->OpenTray(discmaker::SelectedDriveLetter(cboDrv));
}

// ---------------------------------------------------------------- the opener's figures

void ShowBurnTotals(CfrmCDBurner* window, std::int32_t items, std::int32_t seconds)
{
    window->SetSecondsToBurn(seconds);
    const double minutes = seconds / 60.0;
    const QString m = QString::number(platform::CLng(minutes));
    const QString disc = QString::number(kDiscMinutes);
    window->lblFilesToConvert->setText(QString::number(items) + " items to burn (" + m + " minutes).");
    window->cStatusBar1->SetPanelText("Total Size", m + " Min / " + disc + " Min.");
    window->cStatusBar1->SetPanelText("Total Time", "");
    window->prgSize->SetMin(0);
    window->prgSize->SetMax(83);
    window->prgSize->SetValue(platform::CLng(minutes));
    if (minutes > kDiscMinutes) {
        window->prgSize->SetBarColor(kRed);
        window->lblDataSize->setText("Data is to big (more then 80 min). Please remove some tracks.");
        setBold(window->lblDataSize, true);
    } else {
        window->lblDataSize->setText("Data Size: " + QString::number(items) + " files, " + m + " Min / " + disc +
                                     " Min.");
    }
}
