// The duplicator window: its set-up, the source drives with the check and
// track list of the chosen one, the polling of the source, the writers with
// their speeds and disc facts, the tray buttons and closing. The copy itself
// is in frmAudioCDDuplicatorCopy.cpp.
#include "burning/frmAudioCDDuplicator.h"

#include "burning/DiscMakerShared.h"
#include "controls/widgets/PlainText.h"
#include "ripping/CDSourceDrive.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/Paths.h"
#include "core/Skin.h"
#include "core/TextFiles.h"
#include "lists/ItemRows.h"
#include "platform/AppInfo.h"
#include "platform/MessageBox.h"
#include "settings/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

DefaultInstance<CfrmAudioCDDuplicator> g_frmAudioCDDuplicator;

namespace {

constexpr int kPollMilliseconds = 3000;

JobWindowDesign duplicatorDesign()
{
    JobWindowDesign d;
    d.formName = "g_frmAudioCDDuplicator";
    d.caption = "Audio CD Duplicator";
    d.iconName = QString();
    d.firstTabCaption = "Duplicator Options    ";
    d.firstTabIcon = 83;
    d.startCaption = "Duplicate";
    d.jobVerb = "rip";
    d.noticeAppCaption = "Execute external program";
    d.eventBoxOrder = {EventBox::PlaySound, EventBox::TurnOffComputer, EventBox::NoticeApp, EventBox::OpenDestFolder};
    d.destinationFormats = false;
    d.fileNamePatterns = false;
    d.longTagPlaceholders = false;
    d.overwriteBox = false;
    d.timeLeft = false;
    d.destinationFolder = false;
    return d;
}

QString trackName(std::int32_t track) { return QString("Track%1.cda").arg(track, 2, 10, QChar('0')); }

} // namespace

void DuplicatorRipJob::SetDestinationFile(const QString& path)
{
    AudioCDRipperJob::SetDestinationFile(path);
    m_rippedFiles.append(path);
}

void DuplicatorRipJob::Abort()
{
    AudioCDRipperJob::Abort();
    m_burner.Abort();
}

CfrmAudioCDDuplicator::CfrmAudioCDDuplicator()
    : JobWindow(duplicatorDesign()), cAudioCDRipper1(CreateAudioCDRipper()), cAudioBurner1(CreateAudioBurner()),
      m_ripJob(std::make_unique<DuplicatorRipJob>(*cAudioCDRipper1, *cAudioBurner1, m_colRippedFiles))
{
    SetJobControl(m_ripJob.get());
    BuildSourceRows();
    BuildTargetRows();

    chkOpenCDdrive = new QCheckBox("Eject the CD door", TabEvents);
    SetCheckValue(chkOpenCDdrive, 1);
    ToolEventsArea->addWidget(chkOpenCDdrive);

    cmdConvert->setEnabled(false);
    tmrState = new QTimer(this);
    tmrState->setInterval(kPollMilliseconds);
    ConnectDrives();
}

CfrmAudioCDDuplicator::~CfrmAudioCDDuplicator() = default;

void CfrmAudioCDDuplicator::BuildSourceRows()
{
    Label1 = widgets::PlainLabel("Source Audio CD:", TabSettings);
    cboDevices = new QComboBox(TabSettings);
    cmdOpenCD = new QPushButton("Open", TabSettings);
    cmdCloseCD = new QPushButton("Close", TabSettings);
    lblCDStatus = widgets::PlainLabel("Ready.", TabSettings);
    auto* drive = new QHBoxLayout;
    drive->addWidget(cboDevices, 1);
    drive->addWidget(cmdOpenCD);
    drive->addWidget(cmdCloseCD);
    ToolSettingsArea->addWidget(Label1);
    ToolSettingsArea->addLayout(drive);
    ToolSettingsArea->addWidget(lblCDStatus);
}

void CfrmAudioCDDuplicator::BuildTargetRows()
{
    Label2 = widgets::PlainLabel("Destination Audio CD:", TabSettings);
    cboDrv = new QComboBox(TabSettings);
    Label3 = widgets::PlainLabel("Speeds:", TabSettings);
    cboSpeed = new QComboBox(TabSettings);
    cmdOpenDestCD = new QPushButton("Open CD", TabSettings);
    cmdClose = new QPushButton("Close CD", TabSettings);
    Label6 = widgets::PlainLabel("Disk Size", TabSettings);
    lblDiskSize = widgets::PlainLabel("Disk Size", TabSettings);
    Label7 = widgets::PlainLabel("Disk Capacity", TabSettings);
    lblDiskCapacity = widgets::PlainLabel("Disk Capacity", TabSettings);
    Label8 = widgets::PlainLabel("Disk State", TabSettings);
    lblState = widgets::PlainLabel("State", TabSettings);
    chkOnTheFly = new QCheckBox("On The Fly - Duplicate without using a temp folder", TabSettings);

    auto* g = new QGridLayout;
    g->addWidget(cboDrv, 0, 0, 1, 2);
    g->addWidget(Label3, 0, 2);
    g->addWidget(cboSpeed, 0, 3);
    g->addWidget(cmdOpenDestCD, 1, 2);
    g->addWidget(cmdClose, 1, 3);
    g->addWidget(Label6, 2, 0);
    g->addWidget(lblDiskSize, 2, 1);
    g->addWidget(Label7, 3, 0);
    g->addWidget(lblDiskCapacity, 3, 1);
    g->addWidget(Label8, 4, 0);
    g->addWidget(lblState, 4, 1, 1, 3);
    g->setColumnStretch(1, 1);
    ToolSettingsArea->addWidget(Label2);
    ToolSettingsArea->addLayout(g);
    ToolSettingsArea->addWidget(chkOnTheFly);
    Label8->hide();
    lblState->hide();
    chkOnTheFly->hide();
}

void CfrmAudioCDDuplicator::ConnectDrives()
{
    connect(cboDevices, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboDevices_Click();
    });
    connect(cboDrv, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboDrv_Click();
    });
    connect(cmdOpenCD, &QPushButton::clicked, this, &CfrmAudioCDDuplicator::cmdOpenCD_Click);
    connect(cmdCloseCD, &QPushButton::clicked, this, &CfrmAudioCDDuplicator::cmdCloseCD_Click);
    connect(cmdOpenDestCD, &QPushButton::clicked, this, &CfrmAudioCDDuplicator::cmdOpenDestCD_Click);
    connect(cmdClose, &QPushButton::clicked, this, &CfrmAudioCDDuplicator::cmdClose_Click);
    connect(tmrState, &QTimer::timeout, this, &CfrmAudioCDDuplicator::tmrState_Timer);

    cAudioCDRipper* r = cAudioCDRipper1.get();
    connect(r, &cAudioCDRipper::Progress, this, &CfrmAudioCDDuplicator::cAudioCDRipper1_Progress);
    connect(r, &cAudioCDRipper::Done, this, &CfrmAudioCDDuplicator::cAudioCDRipper1_Done);
    connect(r, &cAudioCDRipper::Error, this, &CfrmAudioCDDuplicator::cAudioCDRipper1_Error);
    connect(r, &cAudioCDRipper::Aborted, this, &CfrmAudioCDDuplicator::cAudioCDRipper1_Aborted);

    cAudioBurner* b = cAudioBurner1.get();
    connect(b, &cAudioBurner::TrackProgress, this, &CfrmAudioCDDuplicator::cAudioBurner1_TrackProgress);
    connect(b, &cAudioBurner::Progress, this, &CfrmAudioCDDuplicator::cAudioBurner1_Progress);
    connect(b, &cAudioBurner::CachingTrack, this, &CfrmAudioCDDuplicator::cAudioBurner1_CachingTrack);
    connect(b, &cAudioBurner::WritingTrack, this, &CfrmAudioCDDuplicator::cAudioBurner1_WritingTrack);
    connect(b, &cAudioBurner::ClosingTrack, this, &CfrmAudioCDDuplicator::cAudioBurner1_ClosingTrack);
    connect(b, &cAudioBurner::ClosingSession, this, &CfrmAudioCDDuplicator::cAudioBurner1_ClosingSession);
    connect(b, &cAudioBurner::Finished, this, &CfrmAudioCDDuplicator::cAudioBurner1_Finished);
    connect(b, &cAudioBurner::Error, this, &CfrmAudioCDDuplicator::cAudioBurner1_Error);
}

void CfrmAudioCDDuplicator::Form_Load()
{
    JobWindow::Form_Load();
    txtToPath->setEditText(platform::AppPath() + "/duptmp/");
    // The rip files are named after their rows: 1.wav, 2.wav, ...
    cboFileName->setEditable(true);
    cboFileName->setEditText("[123].wav");
    FillBurnerDrives();
    FillCDDevices();
    tmrState->start();
}

QString CfrmAudioCDDuplicator::TemporaryFolder() const { return txtToPath->currentText(); }

// ---------------------------------------------------------------- the source

void CfrmAudioCDDuplicator::FillCDDevices() { cdsource::FillDriveList(*cAudioCDRipper1, cboDevices); }

QString CfrmAudioCDDuplicator::SourceDrive() const { return cdsource::ChosenDrive(cboDevices); }

void CfrmAudioCDDuplicator::cboDevices_Click()
{
    cGrid1->Clear();
    cmdConvert->setEnabled(false);
    const cdsource::DiscCheck check = cdsource::CheckChosenDisc(*cAudioCDRipper1, cboDevices);
    cdsource::ShowDiscCheck(lblCDStatus, check, *cAudioCDRipper1);
    if (check.ok) {
        cmdConvert->setEnabled(true);
        ListCDTracks(SourceDrive());
    }
    lblFilesToConvert->setText(lblCDStatus->text());
    SetOnTheFly();
}

void CfrmAudioCDDuplicator::ListCDTracks(const QString& drive)
{
    cAudioCDRipper& cd = *cAudioCDRipper1;
    cGrid1->Clear();
    cGrid1->SetRedraw(false);
    const bool listed = cd.SelectDrive(cboDevices->currentIndex()) && cd.IsAudioCD();
    if (listed) {
        const std::int32_t count = cd.GetTrackCount();
        for (std::int32_t i = 1; i <= count; ++i) {
            cGrid1->CellDetails(i, kColItemName, trackName(i));
            cGrid1->CellDetails(i, kColFile, drive + "/" + trackName(i));
        }
    }
    cGrid1->SetRedraw(true);
    if (!listed || cGrid1->Rows() < 1) {
        // A disc that cannot be listed whole is not copied.
        cGrid1->Clear();
        lblCDStatus->setText("Insert an Audio CD to the CD drive.");
        cmdConvert->setEnabled(false);
        return;
    }
    cGrid1->SetSelectedRow(1);
}

void CfrmAudioCDDuplicator::cmdOpenCD_Click()
{
    if (cAudioCDRipper1->OpenTray() == 0) return;
    platform::MsgBox("The tray of the CD drive " + SourceDrive() + " did not open." + kCrLf + kCrLf +
                         cAudioCDRipper1->LastErrorText(),
                     platform::vbExclamation);
}

void CfrmAudioCDDuplicator::cmdCloseCD_Click()
{
    if (cAudioCDRipper1->CloseTray() == 0) return;
    platform::MsgBox("The tray of the CD drive " + SourceDrive() + " did not close." + kCrLf + kCrLf +
                         cAudioCDRipper1->LastErrorText(),
                     platform::vbExclamation);
}

// ---------------------------------------------------------------- the target

QString CfrmAudioCDDuplicator::TargetLetter() const { return discmaker::SelectedDriveLetter(cboDrv); }

void CfrmAudioCDDuplicator::FillBurnerDrives() { discmaker::FillDriveList(cboDrv, *cAudioBurner1); }

void CfrmAudioCDDuplicator::FillSpeedList() { discmaker::FillSpeedList(cboSpeed, *cAudioBurner1, TargetLetter()); }

void CfrmAudioCDDuplicator::cboDrv_Click()
{
    SetOnTheFly();
    FillSpeedList();
    discmaker::ShowDiscFacts(*cAudioBurner1, TargetLetter(), {lblDiskSize, lblDiskCapacity, lblState});
}

QString CfrmAudioCDDuplicator::TargetTrayFailure(const QString& move, std::int32_t code) const
{
    return "The tray of the CD writer " + TargetLetter() + ": did not " + move + ".(" + QString::number(code) + ")";
}

void CfrmAudioCDDuplicator::cmdOpenDestCD_Click()
{
    const std::int32_t code = cAudioBurner1->OpenTray(TargetLetter());
    if (code != 0) platform::MsgBox(TargetTrayFailure("open", code), platform::vbExclamation);
}

void CfrmAudioCDDuplicator::cmdClose_Click()
{
    const std::int32_t code = cAudioBurner1->CloseTray(TargetLetter());
    if (code != 0) platform::MsgBox(TargetTrayFailure("close", code), platform::vbExclamation);
}

void CfrmAudioCDDuplicator::EjectTarget()
{
    const std::int32_t code = cAudioBurner1->OpenTray(TargetLetter());
    if (code != 0) Log("Error: " + TargetTrayFailure("open", code));
}

// ---------------------------------------------------------------- switching and closing

void CfrmAudioCDDuplicator::LockToolSettings(bool locked)
{
    m_controlsOff = locked;
    for (QWidget* w : std::initializer_list<QWidget*>{cboDevices, cmdOpenCD, cmdCloseCD, cboDrv, cboSpeed,
                                                      cmdOpenDestCD, cmdClose})
        w->setEnabled(!locked);
}

void CfrmAudioCDDuplicator::Form_Unload(int& Cancel)
{
    JobWindow::Form_Unload(Cancel);
    if (Cancel != 0) return;
    tmrState->stop();
    cAudioBurner1->ClearFiles();
    cAudioBurner1->Terminate();
    const QString folder = TemporaryFolder();
    discmaker::EraseFolderFiles(folder);
    QDir().rmdir(folder);
}
