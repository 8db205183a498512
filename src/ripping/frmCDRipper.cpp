#include "ripping/frmCDRipper.h"

#include "controls/widgets/PlainText.h"
#include "ripping/CDSourceDrive.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/Skin.h"
#include "core/TextFiles.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "settings/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DefaultInstance<CfrmCDRipper> g_frmCDRipper;

namespace {


JobWindowDesign ripperDesign()
{
    JobWindowDesign d;
    d.formName = "g_frmCDRipper";
    d.caption = "Audio CD Ripper";
    d.iconName = "cd_music";
    d.firstTabCaption = "Ripper Options    ";
    d.firstTabIcon = 25;
    d.startCaption = "Rip";
    d.jobVerb = "rip";
    d.noticeAppCaption = "Execute external program";
    d.linkToolTips = true;
    d.eventBoxOrder = {EventBox::PlaySound, EventBox::OpenDestFolder, EventBox::TurnOffComputer, EventBox::NoticeApp};
    d.longTagPlaceholders = false;
    d.gridIconsInJobGrid = true;
    return d;
}

// The control's failure as the end of a message: two line breaks, its text and code.
QString failureDetails(const cAudioCDRipper& cd, std::int32_t code)
{
    const QString text = cd.LastErrorText();
    return QString(kCrLf) + kCrLf + (text.isEmpty() ? QString("Error") : text) + " (" + QString::number(code) + ")";
}

} // namespace

CfrmCDRipper::CfrmCDRipper()
    : JobWindow(ripperDesign()), cAudioCDRipper1(CreateAudioCDRipper()),
      m_ripperJob(std::make_unique<AudioCDRipperJob>(*cAudioCDRipper1))
{
    SetJobControl(m_ripperJob.get());
    BuildDriveRow();

    chkOpenCDdrive = new QCheckBox("Eject the CD door", TabEvents);
    QFont bold = chkOpenCDdrive->font();
    bold.setBold(true);
    chkOpenCDdrive->setFont(bold);
    SetCheckValue(chkOpenCDdrive, 1);
    ToolEventsArea->addWidget(chkOpenCDdrive);

    cAudioCDRipper* c = cAudioCDRipper1.get();
    connect(c, &cAudioCDRipper::Progress, this, &CfrmCDRipper::cAudioCDRipper1_Progress);
    connect(c, &cAudioCDRipper::Done, this, &CfrmCDRipper::cAudioCDRipper1_Done);
    connect(c, &cAudioCDRipper::Error, this, &CfrmCDRipper::cAudioCDRipper1_Error);
    connect(c, &cAudioCDRipper::Aborted, this, &CfrmCDRipper::cAudioCDRipper1_Aborted);
    connect(cboDevices, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboDevices_Click();
    });
    connect(cmdOpenCD, &QPushButton::clicked, this, &CfrmCDRipper::cmdOpenCD_Click);
}

CfrmCDRipper::~CfrmCDRipper() = default;

void CfrmCDRipper::BuildDriveRow()
{
    Label1 = widgets::PlainLabel("Audio CD:", TabSettings);
    lblCDStatus = widgets::PlainLabel("Ready.", TabSettings);
    cboDevices = new QComboBox(TabSettings);
    cmdOpenCD = new QPushButton("Open", TabSettings);
    auto* status = new QHBoxLayout;
    status->addWidget(Label1);
    status->addWidget(lblCDStatus, 1);
    auto* drive = new QHBoxLayout;
    drive->addWidget(cboDevices, 1);
    drive->addWidget(cmdOpenCD);
    ToolSettingsArea->addLayout(status);
    ToolSettingsArea->addLayout(drive);
}

void CfrmCDRipper::Form_Load()
{
    JobWindow::Form_Load();
    FillCDDevices();
}

void CfrmCDRipper::FillCDDevices() { cdsource::FillDriveList(*cAudioCDRipper1, cboDevices); }

QString CfrmCDRipper::SelectedDrive() const { return cdsource::ChosenDrive(cboDevices); }

void CfrmCDRipper::cboDevices_Click()
{
    cdsource::ShowDiscCheck(lblCDStatus, cdsource::CheckChosenDisc(*cAudioCDRipper1, cboDevices), *cAudioCDRipper1);
}

void CfrmCDRipper::cmdOpenCD_Click()
{
    const std::int32_t code = cAudioCDRipper1->OpenTray();
    if (code == 0) return;
    platform::MsgBox("The tray of the CD drive " + SelectedDrive() + " did not open." + failureDetails(*cAudioCDRipper1, code),
                     platform::vbExclamation);
}

void CfrmCDRipper::BeforeQueue() { cAudioCDRipper1->SetDriveIndex(cboDevices->currentIndex()); }

bool CfrmCDRipper::RowInJob(std::int32_t row) const { return cGrid1->CellIconIndex(row, kColInc) == kIconMarked; }

void CfrmCDRipper::ToolEndEvents()
{
    if (CheckValue(chkOpenCDdrive) != 1) return;
    const std::int32_t code = cAudioCDRipper1->OpenTray();
    if (code == 0) return;
    const QString text = "The tray of the CD drive " + SelectedDrive() + " did not open.";
    Log("Error: " + text + " " + cAudioCDRipper1->LastErrorText() + "(" + QString::number(code) + ")");
    // The log tells it when the computer is about to be turned off: no question holds that up.
    if (!TurnOffFollows()) platform::MsgBox(text + failureDetails(*cAudioCDRipper1, code), platform::vbExclamation);
}
