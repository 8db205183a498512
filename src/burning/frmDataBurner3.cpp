#include "burning/frmDataBurner3.h"

#include "burning/DiscMakerShared.h"

#include "controls/burn/DiscWriter.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/LinkLabel.h"
#include "core/Paths.h"
#include "core/TextFiles.h"
#include "platform/AppInfo.h"
#include "platform/MessageBox.h"
#include "platform/UserSettings.h"
#include "settings/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QBoxLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DefaultInstance<CfrmDataBurner3> g_frmDataBurner3;

namespace {

const char* const kEngineSection = "BurnerEngine";
const char* const kEngineKey = "cmbEngine";

JobWindowDesign dataBurnerDesign()
{
    JobWindowDesign d;
    d.formName = "g_frmDataBurner3";
    d.caption = "Audio Data Burner";
    d.iconName = "cd_music";
    d.firstTabCaption = "Options        ";
    d.firstTabIcon = 72;
    d.startCaption = "Burn";
    d.jobVerb = "convert";
    d.longTagPlaceholders = false;
    d.overwriteBox = false;
    d.destinationFolder = false;
    d.ownFolderAsks = true;
    d.savedDefaults = false;
    d.itemDoneLine = false;
    d.startLineInStatus = true;
    // "Eject the CD door" comes first and "Erase Temp files" last; see BuildEventBoxes.
    d.eventBoxOrder = {EventBox::OpenDestFolder, EventBox::NoticeApp, EventBox::TurnOffComputer, EventBox::PlaySound};
    return d;
}

QCheckBox* box(const QString& caption, bool ticked, QWidget* parent)
{
    auto* b = new QCheckBox(caption, parent);
    SetCheckValue(b, ticked ? 1 : 0);
    return b;
}

} // namespace

CfrmDataBurner3::CfrmDataBurner3()
    : JobWindow(dataBurnerDesign()), cAudioConverter1(CreateAudioConverter()),
      cAudioDataBurner1(CreateAudioDataBurner()), cBurner1(CreateBurner()),
      m_burnerJob(std::make_unique<DataBurnerJob>(*cAudioConverter1, [this] { AbortWork(); }))
{
    SetJobControl(m_burnerJob.get());
    lblCDFormat = Label5;
    lblCDFormat->setText("CD / DVD Format:");
    chkOpenDestFolder->setText("Open destination folder");
    BuildSettingsRows();
    BuildEventBoxes();
    ConnectOwnControls();
}

CfrmDataBurner3::~CfrmDataBurner3() = default;

void CfrmDataBurner3::BuildSettingsRows()
{
    auto* g = new QGridLayout;
    Label1 = widgets::PlainLabel("Burning Engine:", TabSettings);
    cmbEngine = new QComboBox(TabSettings);
    cmbEngine->addItems({"IMAPI V1 - CDs only.", "IMAPI V2 - CDs / DVDs!"});
    cmbEngine->setCurrentIndex(-1);
    Label2 = widgets::PlainLabel("Destination CD:", TabSettings);
    cboDrv = new QComboBox(TabSettings);
    lblOpenCDDoor = new LinkLabel("Open", TabSettings);
    lblOpenCDDoor->setToolTip("Open CD");
    lblCloseCDDoor = new LinkLabel("Close", TabSettings);
    lblCloseCDDoor->setToolTip("Close CD");
    lblRefreshCDInfo = new LinkLabel("Refresh", TabSettings);
    lblRefreshCDInfo->setToolTip("Refresh CD Information");
    lblRefreshCDInfo->hide(); // the drive's state is not read here
    lblCDStatus = widgets::PlainLabel("Ready.", TabSettings);
    Label3 = widgets::PlainLabel("Speeds:", TabSettings);
    cboSpeed = new QComboBox(TabSettings);
    Label6 = widgets::PlainLabel("CD Name:", TabSettings);
    txtCDName = new QLineEdit(TabSettings);
    lblFileSys = widgets::PlainLabel("File Sytem:", TabSettings);
    chkJOLIET = box("JOLIET", true, TabSettings);
    chkISO = box("ISO", true, TabSettings);
    chkUDF = box("UDF", false, TabSettings);
    chkDoNotConvertSource = box(
        "Do not convert the source files - Burn the files with the same format as they are.", false, TabSettings);

    g->addWidget(Label1, 0, 0);
    g->addWidget(cmbEngine, 0, 1, 1, 3);
    g->addWidget(Label2, 1, 0);
    g->addWidget(cboDrv, 1, 1, 1, 3);
    auto* tray = new QHBoxLayout;
    tray->addWidget(lblOpenCDDoor);
    tray->addWidget(lblCloseCDDoor);
    tray->addWidget(lblRefreshCDInfo);
    tray->addWidget(lblCDStatus, 1);
    g->addLayout(tray, 2, 1, 1, 3);
    g->addWidget(Label3, 3, 0);
    g->addWidget(cboSpeed, 3, 1);
    g->addWidget(Label6, 3, 2);
    g->addWidget(txtCDName, 3, 3);
    auto* fileSystems = new QHBoxLayout;
    fileSystems->addWidget(lblFileSys);
    fileSystems->addWidget(chkJOLIET);
    fileSystems->addWidget(chkISO);
    fileSystems->addWidget(chkUDF);
    fileSystems->addStretch(1);
    g->addLayout(fileSystems, 4, 0, 1, 4);
    g->addWidget(chkDoNotConvertSource, 5, 0, 1, 4);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    ToolSettingsArea->addLayout(g);
}

void CfrmDataBurner3::BuildEventBoxes()
{
    chkOpenCDdrive = box("Eject the CD door", true, TabEvents);
    chkEraseTempfiles = box("Erase Temp files", true, TabEvents);
    lblErasetempfilesnow = new LinkLabel("Erase temp files now.", TabEvents);
    // The eject box heads the family's boxes, under the page's label.
    auto* page = static_cast<QBoxLayout*>(TabEvents->layout());
    page->insertWidget(page->indexOf(Label20) + 1, chkOpenCDdrive);
    ToolEventsArea->addWidget(chkEraseTempfiles);
    QWidget* const tabOrder[] = {chkOpenCDdrive, chkOpenDestFolder, chkNoticeApp,
                                       chkTurnOffComputer, chkPlaySound, chkEraseTempfiles};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    ToolEventsArea->addWidget(lblErasetempfilesnow, 0, Qt::AlignLeft);
}

void CfrmDataBurner3::ConnectOwnControls()
{
    connect(cmbEngine, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cmbEngine_Click();
    });
    connect(cboDrv, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) cboDrv_Click();
    });
    connect(chkDoNotConvertSource, &QCheckBox::stateChanged, this, &CfrmDataBurner3::chkDoNotConvertSource_Click);
    connect(lblOpenCDDoor, &LinkLabel::Click, this, &CfrmDataBurner3::lblOpenCDDoor_Click);
    connect(lblCloseCDDoor, &LinkLabel::Click, this, &CfrmDataBurner3::lblCloseCDDoor_Click);
    connect(lblRefreshCDInfo, &LinkLabel::Click, this, &CfrmDataBurner3::lblRefreshCDInfo_Click);
    connect(lblErasetempfilesnow, &LinkLabel::Click, this, &CfrmDataBurner3::lblErasetempfilesnow_Click);

    cAudioConverter* c = cAudioConverter1.get();
    connect(c, &cAudioConverter::Progress, this, &CfrmDataBurner3::cAudioConverter1_Progress);
    connect(c, &cAudioConverter::ConvertDone, this, &CfrmDataBurner3::cAudioConverter1_ConvertDone);
    connect(c, &cAudioConverter::ConvertError, this, &CfrmDataBurner3::cAudioConverter1_ConvertError);
    connect(c, &cAudioConverter::ConvertAborted, this, &CfrmDataBurner3::cAudioConverter1_ConvertAborted);

    cAudioDataBurner* first = cAudioDataBurner1.get();
    connect(first, &cAudioDataBurner::BurnStarted, this, &CfrmDataBurner3::cAudioDataBurner1_BurnStarted);
    connect(first, &cAudioDataBurner::Progress, this, &CfrmDataBurner3::cAudioDataBurner1_Progress);
    connect(first, &cAudioDataBurner::ClosingSession, this, &CfrmDataBurner3::cAudioDataBurner1_ClosingSession);
    connect(first, &cAudioDataBurner::Finished, this, &CfrmDataBurner3::cAudioDataBurner1_Finished);
    connect(first, &cAudioDataBurner::Error, this, &CfrmDataBurner3::cAudioDataBurner1_Error);

    cBurner* second = cBurner1.get();
    connect(second, &cBurner::BurnerInitializing, this, &CfrmDataBurner3::cBurner1_BurnerInitializing);
    connect(second, &cBurner::BurnerWarning, this, &CfrmDataBurner3::cBurner1_BurnerWarning);
    connect(second, &cBurner::AddingFile, this, &CfrmDataBurner3::cBurner1_AddingFile);
    connect(second, &cBurner::FilesToBurn, this, &CfrmDataBurner3::cBurner1_FilesToBurn);
    connect(second, &cBurner::StartBurning, this, &CfrmDataBurner3::cBurner1_StartBurning);
    connect(second, &cBurner::BurnerProgress, this, &CfrmDataBurner3::cBurner1_BurnerProgress);
    connect(second, &cBurner::BurnerFinalization, this, &CfrmDataBurner3::cBurner1_BurnerFinalization);
    connect(second, &cBurner::BurnerDoneBurn, this, &CfrmDataBurner3::cBurner1_BurnerDoneBurn);
    connect(second, &cBurner::BurnerCompleted, this, &CfrmDataBurner3::cBurner1_BurnerCompleted);
    connect(second, &cBurner::BurnerCanceled, this, &CfrmDataBurner3::cBurner1_BurnerCanceled);
    connect(second, &cBurner::BurnerEnd, this, &CfrmDataBurner3::cBurner1_BurnerEnd);
    connect(second, &cBurner::BurnerError, this, &CfrmDataBurner3::cBurner1_BurnerError);
}

// ---------------------------------------------------------------- loading and closing

void CfrmDataBurner3::LoadToolSettings()
{
    FillDataBurnerDriveList();
    // A stored value that is no engine's position selects the first engine.
    bool ok = false;
    const int stored = platform::GetSetting(g_sAppName, kEngineSection, kEngineKey, "0").toInt(&ok);
    cmbEngine->setCurrentIndex(ok && stored >= 0 && stored < cmbEngine->count() ? stored : 0);
    UpdateTargetFormatControls();
}

void CfrmDataBurner3::Form_Unload(int& Cancel)
{
    if (!cmdConvert->isEnabled()) {
        Cancel = 1;
        return;
    }
    EraseTempFiles();
    platform::SaveSetting(g_sAppName, kEngineSection, kEngineKey, QString::number(cmbEngine->currentIndex()));
    JobWindow::Form_Unload(Cancel);
    cAudioDataBurner1->Terminate();
}

// ---------------------------------------------------------------- engines, drives, speeds

void CfrmDataBurner3::cmbEngine_Click()
{
    const bool second = !FirstEngine();
    for (QWidget* w : std::initializer_list<QWidget*>{lblFileSys, chkJOLIET, chkISO, chkUDF}) w->setVisible(second);
    if (!second) {
        FillDataBurnerDriveList();
        return;
    }
    if (CheckImapi2Installed())
        FillImapiDriveList();
    else
        cmbEngine->setCurrentIndex(0);
}

void CfrmDataBurner3::FillDataBurnerDriveList()
{
    cAudioDataBurner* burner = cAudioDataBurner1.get();
    discmaker::FillDriveList(cboDrv, burner->GetDriveCount(), [burner](std::int32_t i) { return burner->GetDriveName(i); });
}

void CfrmDataBurner3::FillImapiDriveList()
{
    cBurner* burner = cBurner1.get();
    discmaker::FillDriveList(cboDrv, burner->DeviceCount(), [burner](std::int32_t i) {
        return burner->GetDriveLetter(i - 1) + " - " + burner->GetDeviceName(i - 1);
    });
}

void CfrmDataBurner3::cboDrv_Click()
{
    if (FirstEngine()) FillSpeedList();
}

void CfrmDataBurner3::FillSpeedList()
{
    cAudioDataBurner* burner = cAudioDataBurner1.get();
    discmaker::FillSpeedList(cboSpeed, burner->GetSpeedCount(DriveLetter()),
                             [burner](std::int32_t i) { return burner->GetSpeed(i); });
}

bool CfrmDataBurner3::CheckImapi2Installed()
{
    if (cBurner1->IsEngineInstalled()) return true;
    platform::MsgBox("The engine \"IMAPI V2 - CDs / DVDs!\" needs the disc writing libraries libburn and libisofs, "
                     "which are missing or cannot be used on this system." +
                         QString(kCrLf) + kCrLf + "The engine \"IMAPI V1 - CDs only.\" is used instead.",
                     platform::vbInformation);
    return false;
}

bool CfrmDataBurner3::FirstEngine() const { return cmbEngine->currentIndex() == 0; }

QString CfrmDataBurner3::DriveLetter() const { return discmaker::SelectedDriveLetter(cboDrv); }

QString CfrmDataBurner3::DriveRoot() const { return discmaker::SelectedDriveRoot(cboDrv); }

// ---------------------------------------------------------------- settings and links

bool CfrmDataBurner3::CopyOnly() const { return CheckValue(chkDoNotConvertSource) == 1; }

void CfrmDataBurner3::chkDoNotConvertSource_Click() { UpdateTargetFormatControls(); }

void CfrmDataBurner3::UpdateTargetFormatControls()
{
    const bool convert = !CopyOnly() && cmdConvert->isEnabled();
    cboTargetFormat->setEnabled(convert);
    cmdEditTargetFormat->setEnabled(convert);
    lblCDFormat->setEnabled(convert);
}

void CfrmDataBurner3::LockToolSettings(bool locked)
{
    for (QWidget* w : std::initializer_list<QWidget*>{cmbEngine, cboDrv, cboSpeed, txtCDName, chkJOLIET, chkISO,
                                                      chkUDF, chkDoNotConvertSource, lblErasetempfilesnow})
        w->setEnabled(!locked);
    UpdateTargetFormatControls();
}

void CfrmDataBurner3::MoveTray(bool open)
{
    const QString letter = DriveLetter();
    const std::int32_t code = open ? cAudioDataBurner1->OpenTray(letter) : cAudioDataBurner1->CloseTray(letter);
    if (code == 0) return;
    const QString drive = letter.isEmpty() ? QString("(none)") : DriveRoot();
    platform::MsgBox("The tray of the CD drive " + drive + " did not " + (open ? "open" : "close") + ". (" +
                         QString::number(code) + ")",
                     platform::vbExclamation);
}

void CfrmDataBurner3::lblOpenCDDoor_Click() { MoveTray(true); }

void CfrmDataBurner3::lblCloseCDDoor_Click() { MoveTray(false); }

void CfrmDataBurner3::lblErasetempfilesnow_Click()
{
    EraseTempFiles();
    platform::MsgBox("Done." + QString(28, ' '), platform::vbInformation);
}

QString CfrmDataBurner3::GetTempFolder() { return platform::AppPath() + "/datacdtmp/"; }

void CfrmDataBurner3::EraseTempFiles() { discmaker::EraseFolderFiles(GetTempFolder()); }

void CfrmDataBurner3::OpenEndFolder() { discmaker::OpenDiscRoot(this, DriveLetter()); }
