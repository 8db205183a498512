#include "conversion/JobWindow.h"

#include "controls/widgets/PlainText.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/LinkLabel.h"
#include "core/MainWindowServices.h"
#include "core/NamingProcedures.h"
#include "core/Paths.h"
#include "core/RegistryRoutines.h"
#include "core/Skin.h"
#include "core/TextFiles.h"
#include "core/TimeSizeText.h"
#include "core/WindowProcedures.h"
#include "core/frmTurnOff.h"
#include "core/mdlCommDialog.h"
#include "lists/ItemRows.h"
#include "platform/AppInfo.h"
#include "platform/Clock.h"
#include "platform/FileIdentity.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "platform/VbCompat.h"
#include "settings/StoredControls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"
#include "settings/mdlOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <limits>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 524;

bool ticked(const QCheckBox* box) { return CheckValue(box) == 1; }

// A 16-bit record field; a value that does not fit leaves the field 0.
std::int16_t field16(std::int32_t value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        return 0;
    return std::int16_t(value);
}

std::int16_t flag16(std::int16_t setting) { return std::int16_t(platform::BoolToInt(setting != 0)); }

// "[file_name]": the name without its last extension; a name without a dot whole.
QString nameWithoutExtension(const QString& name) { return name.contains('.') ? RemoveExtension(name) : name; }


void selectEntry(QComboBox* box, const QString& text)
{
    const int at = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at >= 0) box->setCurrentIndex(at);
}

// The main window's 16 x 16 icons, which the tabs show.
cImageList* mainMenuImages()
{
    MainWindowServices* main = MainWindow();
    return main ? main->imgMenu : nullptr;
}

} // namespace

// ---------------------------------------------------------------- control adapter

void AudioOutputJob::SetTags(const JobTags& tags)
{
    m_out.SetTagAlbum(tags.album);
    m_out.SetTagArtist(tags.artist);
    m_out.SetTagComment(tags.comment);
    m_out.SetTagGenre(tags.genre);
    m_out.SetTagTitle(tags.title);
    m_out.SetTagTrack(tags.track);
    m_out.SetTagYear(tags.year);
}

void AudioOutputJob::SetRange(std::int32_t start, std::int32_t length)
{
    m_out.SetRangeStart(start);
    m_out.SetRangeLength(length);
}

// ---------------------------------------------------------------- format records

WAVFormatSettings WAVFormatFromSettings()
{
    WAVFormatSettings r;
    r.SampleRate = g_WAVSettings.lSamples;
    r.Channels = field16(g_WAVSettings.lChannels + 1);
    r.BitsPerSample = field16(g_WAVSettings.lBitrate);
    return r;
}

ACMFormatSettings ACMFormatFromSettings() { return {g_ACMSettings.sTags, g_ACMSettings.sFormats}; }

MP3FormatSettings MP3FormatFromSettings()
{
    const MP3SettingsRecord& s = g_MP3Settings;
    MP3FormatSettings r;
    r.ABRBitrate = s.lABRBitrate;
    r.Bitrate = s.lBitrate;
    r.Copyright = flag16(s.bCopyright);
    r.ErrorProtection = flag16(s.bErrorProtect);
    r.Mode = s.lMode;
    r.Original = flag16(s.bOriginal);
    r.SampleRate = s.lSamplerate;
    r.Quality = s.lQuality;
    r.StrictISO = flag16(s.bStrictISO);
    r.VBRMethod = 0;
    if (s.bVBRTag != 0) r.VBRMethod = 4;
    if (s.bABR != 0) r.VBRMethod = 3;
    r.VBRForceMinBitrate = flag16(s.bVBRForceMinBitrate);
    r.VBRMinBitrateIndex = s.lMinBitrate;
    r.VBRMaxBitrateIndex = s.lMaxBitrate;
    r.VBRQuality = s.lVBRQuality;
    r.WriteVBRTag = flag16(s.bVBRTag);
    return r;
}

WMAFormatSettings WMAFormatFromSettings() { return {g_WMASettings.lCodecs, g_WMASettings.lFormat}; }

OGGFormatSettings OGGFormatFromSettings()
{
    OGGFormatSettings r;
    if (g_OGGSettings.bBitrateMode != 0) {
        r.Mode = 2;
        r.NominalBitrate = g_OGGSettings.lBitNom;
    } else {
        r.Mode = 0;
        r.Quality = g_OGGSettings.lQuality;
    }
    return r;
}

APEFormatSettings APEFormatFromSettings() { return {g_APESettings.lLevel}; }

QString DestinationFormatLogLine(std::int32_t code)
{
    static const char* const names[] = {"WAV", "ACM WAV", "MP3", "WMA", "OGG", "APE"};
    if (code < 1 || code > 6) return {};
    return QString("Destination format: ") + names[code - 1];
}

void HandOverDestinationFormat(JobControl& control, std::int32_t code)
{
    control.SetDestinationFormat(code);
    switch (code) {
    case kDestFormatWAV: control.SetWAVFormat(WAVFormatFromSettings()); break;
    case kDestFormatACM: {
        const ACMFormatSettings acm = ACMFormatFromSettings();
        control.SetACMFormat(acm.FormatTagName, acm.FormatName);
        break;
    }
    case kDestFormatMP3: control.SetMP3Format(MP3FormatFromSettings()); break;
    case kDestFormatWMA: control.SetWMAFormat(WMAFormatFromSettings()); break;
    case kDestFormatOGG: control.SetOGGFormat(OGGFormatFromSettings()); break;
    case kDestFormatAPE: control.SetAPEFormat(APEFormatFromSettings().CompressionLevel); break;
    default: break;
    }
}

// ---------------------------------------------------------------- family helpers

QString ExpandNameMacros(const QString& pattern, const std::vector<std::pair<QString, QString>>& macros)
{
    QString name = pattern;
    for (const auto& [macro, value] : macros) name.replace(macro, QString(value).replace('/', '-'));
    // A part that macros made "." or ".." gets dashes; parts typed that way stay.
    QStringList parts = name.split('/');
    const QStringList typed = pattern.split('/');
    for (int i = 0; i < parts.size(); ++i) {
        if ((parts[i] == "." || parts[i] == "..") && typed.value(i) != parts[i]) parts[i].replace('.', '-');
    }
    return parts.join('/');
}

int BoolToCheckValue(bool flag) { return flag ? 1 : 0; }

void SetupJobGrid(cGrid* grid, cImageList* images)
{
    SetupItemsGrid(grid, images ? images : mainMenuImages(), ItemsGridKind::Job);
}

void ShowJobBalloon(const QString& text)
{
    MainWindowServices* main = MainWindow();
    if (main && main->cSysTray1) main->cSysTray1->ShowBalloon(text, g_sAppName + " " + g_sAppVersion, 1, 30);
}

// ---------------------------------------------------------------- the window

JobWindow::JobWindow(const JobWindowDesign& design) : Form(design.formName), m_design(design)
{
    BuildControls();
    ConnectControls();
}

JobWindow::~JobWindow() = default;

void JobWindow::BuildControls()
{
    setWindowTitle(m_design.caption);
    QFont tahoma = font();
    tahoma.setFamily("Tahoma");
    setFont(tahoma);
    setFixedSize(kWidth, kHeight);

    picTitle = new QFrame(this);
    picTitle->setGeometry(0, 0, kWidth, 48);
    lblTitle = widgets::PlainLabel(m_design.caption, picTitle);
    lblTitle->setGeometry(12, 0, kWidth - 24, 48);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 3);
    lblTitle->setFont(bold);

    cTabControl1 = new cTabControl(this);
    cTabControl1->setGeometry(8, 56, kWidth - 16, 300);
    TabSettings = new QFrame(this);
    TabEvents = new QFrame(this);
    TabLog = new QFrame(this);
    BuildSettingsPage();
    BuildEventsPage();
    txtLog = new QPlainTextEdit(TabLog);
    txtLog->setReadOnly(true);

    cGrid1 = new cGrid(this);
    cGrid1->hide();

    lblCurrentTrack = widgets::PlainLabel("Ready.", this);
    lblCurrentTrack->setGeometry(8, 362, kWidth - 16, 18);
    prgCurrnet = new XP_ProgressBar(this);
    prgCurrnet->setGeometry(8, 382, kWidth - 16, 14);
    lblFilesToConvert = widgets::PlainLabel("Files: 0/15", this);
    lblFilesToConvert->setGeometry(8, 402, 290, 18);
    lblTimeLeft = widgets::PlainLabel("Time Left: 00:00:00", this);
    lblTimeLeft->setGeometry(302, 402, kWidth - 310, 18);
    lblTimeLeft->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTimeLeft->setVisible(m_design.timeLeft);
    prgTotal = new XP_ProgressBar(this);
    prgTotal->setGeometry(8, 422, kWidth - 16, 14);

    cmdConvert = new QPushButton(m_design.startCaption, this);
    cmdConvert->setDefault(true);
    QFont boldButton = cmdConvert->font();
    boldButton.setBold(true);
    cmdConvert->setFont(boldButton);
    cmdConvert->setGeometry(kWidth - 308, 448, 96, 30);
    cmdAbort = new QPushButton("Abort", this);
    cmdAbort->setGeometry(kWidth - 206, 448, 96, 30);
    cmdExit = new QPushButton("Exit", this);
    SetKeyButtons(nullptr, cmdExit);
    cmdExit->setGeometry(kWidth - 104, 448, 96, 30);

    cStatusBar1 = new cStatusBar(this);
    cStatusBar1->setGeometry(0, kHeight - 26, kWidth, 26);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
}

void JobWindow::BuildSettingsPage()
{
    auto* page = new QVBoxLayout(TabSettings);
    ToolSettingsArea = new QVBoxLayout;
    page->addLayout(ToolSettingsArea);
    auto* g = new QGridLayout;
    m_settingsGrid = g;
    page->addLayout(g);
    page->addStretch(1);

    Label5 = widgets::PlainLabel("Audio Format:", TabSettings);
    cboTargetFormat = new QComboBox(TabSettings);
    cmdEditTargetFormat = new QPushButton("Edit", TabSettings);
    cmdEditTargetFormat->setToolTip("Edit Target Audio Formats");
    lblSetAsDefaultFormat = new LinkLabel("Set as default", TabSettings);
    lblSetAsDefaultFormat->setToolTip("Set as default format");

    Label4 = widgets::PlainLabel("Destination:", TabSettings);
    txtToPath = new QComboBox(TabSettings);
    txtToPath->setEditable(true);
    txtToPath->setInsertPolicy(QComboBox::NoInsert);
    cmdSelectPath = new QPushButton("...", TabSettings);
    cmdSelectPath->setToolTip("Select a new directory");
    cmdSelectPath->setFixedWidth(32);
    lblSetAsDefaultDestination = new LinkLabel("Set as default", TabSettings);
    lblSetAsDefaultDestination->setToolTip("Set as default destination");
    lblOpenDestinationDestinationFolder = new LinkLabel("Open destination folder", TabSettings);

    Label21 = widgets::PlainLabel("File Name Format:", TabSettings);
    cboFileName = new QComboBox(TabSettings);
    cboFileName->addItems(BuiltInFileNameFormats());
    cboFileName->setCurrentIndex(-1);
    lblSetAsDefaultFileName = new LinkLabel("Set as default", TabSettings);
    lblSetAsDefaultFileName->setToolTip("Set as default file name format");
    lblParameters = new LinkLabel("Parameters", TabSettings);
    if (m_design.linkToolTips) {
        lblOpenDestinationDestinationFolder->setToolTip("Open destination folder");
        lblParameters->setToolTip("Parameters");
    }

    chkCreateSubFolder = new QCheckBox("Under a new directory name:", TabSettings);
    txtUndeForlder = new QLineEdit(TabSettings);
    chkOverWrite = new QCheckBox("Overwrite existing files", TabSettings);

    g->addWidget(Label5, 0, 0);
    g->addWidget(cboTargetFormat, 0, 1);
    g->addWidget(cmdEditTargetFormat, 0, 2);
    g->addWidget(lblSetAsDefaultFormat, 0, 3);
    g->addWidget(Label4, 1, 0);
    g->addWidget(txtToPath, 1, 1);
    g->addWidget(cmdSelectPath, 1, 2);
    g->addWidget(lblSetAsDefaultDestination, 1, 3);
    g->addWidget(lblOpenDestinationDestinationFolder, 2, 1);
    g->addWidget(Label21, 3, 0);
    g->addWidget(cboFileName, 3, 1);
    g->addWidget(lblParameters, 3, 2);
    g->addWidget(lblSetAsDefaultFileName, 3, 3);
    auto* subFolder = new QHBoxLayout;
    subFolder->addWidget(chkCreateSubFolder);
    subFolder->addWidget(txtUndeForlder, 1);
    g->addLayout(subFolder, 4, 0, 1, 3);
    g->addWidget(chkOverWrite, 5, 0, 1, 3);
    g->setColumnStretch(1, 1);

    for (QWidget* w : std::initializer_list<QWidget*>{Label5, cboTargetFormat, cmdEditTargetFormat,
                                                      lblSetAsDefaultFormat})
        w->setVisible(m_design.destinationFormats);
    for (QWidget* w : std::initializer_list<QWidget*>{Label21, cboFileName, lblSetAsDefaultFileName, lblParameters})
        w->setVisible(m_design.fileNamePatterns);
    chkOverWrite->setVisible(m_design.overwriteBox);
    if (!m_design.destinationFolder)
        for (QWidget* w : std::initializer_list<QWidget*>{Label4, txtToPath, cmdSelectPath, lblSetAsDefaultDestination,
                                                          lblOpenDestinationDestinationFolder, chkCreateSubFolder,
                                                          txtUndeForlder, chkOverWrite})
            w->setVisible(false);
    if (!m_design.savedDefaults) {
        lblSetAsDefaultFormat->hide();
        lblSetAsDefaultFileName->hide();
    }
}

void JobWindow::UseNameTemplateBox(QLineEdit* box)
{
    box->setParent(TabSettings);
    m_settingsGrid->addWidget(box, 3, 1);
    Label21->setVisible(true);
    lblParameters->setVisible(true);
}

void JobWindow::BuildEventsPage()
{
    auto* page = new QVBoxLayout(TabEvents);
    Label20 = widgets::PlainLabel("Events When Done:", TabEvents);
    chkPlaySound = new QCheckBox(m_design.playSoundCaption, TabEvents);
    chkOpenDestFolder = new QCheckBox("Open the destination folder", TabEvents);
    chkNoticeApp = new QCheckBox(m_design.noticeAppCaption, TabEvents);
    chkTurnOffComputer = new QCheckBox("Turn off computer", TabEvents);
    lblEventsSettings = new LinkLabel("Events Options...", TabEvents);
    lblEventsSettings->setToolTip("Parameters");
    page->addWidget(Label20);
    // The window's own order, for the eye and for the Tab key alike.
    QWidget* previous = nullptr;
    for (const EventBox which : m_design.eventBoxOrder) {
        QCheckBox* box = EventBoxOf(which);
        page->addWidget(box);
        if (previous) setTabOrder(previous, box);
        previous = box;
    }
    ToolEventsArea = new QVBoxLayout;
    page->addLayout(ToolEventsArea);
    page->addStretch(1);
    page->addWidget(lblEventsSettings, 0, Qt::AlignRight);
}

QCheckBox* JobWindow::EventBoxOf(EventBox box) const
{
    switch (box) {
    case EventBox::PlaySound: return chkPlaySound;
    case EventBox::OpenDestFolder: return chkOpenDestFolder;
    case EventBox::NoticeApp: return chkNoticeApp;
    case EventBox::TurnOffComputer: return chkTurnOffComputer;
    }
    return nullptr;
}

void JobWindow::ConnectControls()
{
    // The list rules run whenever an entry gets selected, by the user or by code.
    auto onSelection = [this](QComboBox* box, void (JobWindow::*rule)()) {
        connect(box, &QComboBox::currentIndexChanged, this, [this, rule](int index) {
            if (index >= 0) (this->*rule)();
        });
    };
    onSelection(cboTargetFormat, &JobWindow::cboTargetFormat_Click);
    onSelection(txtToPath, &JobWindow::txtToPath_Click);
    onSelection(cboFileName, &JobWindow::cboFileName_Click);

    connect(cTabControl1, &cTabControl::TabClick, this, &JobWindow::cTabControl1_TabClick);
    connect(chkCreateSubFolder, &QCheckBox::stateChanged, this, &JobWindow::CheckUnderFolderEna);
    connect(cmdConvert, &QPushButton::clicked, this, &JobWindow::cmdConvert_Click);
    connect(cmdAbort, &QPushButton::clicked, this, &JobWindow::cmdAbort_Click);
    connect(cmdExit, &QPushButton::clicked, this, &JobWindow::cmdExit_Click);
    connect(cmdEditTargetFormat, &QPushButton::clicked, this, &JobWindow::cmdEditTargetFormat_Click);
    connect(cmdSelectPath, &QPushButton::clicked, this, &JobWindow::cmdSelectPath_Click);
    connect(lblSetAsDefaultFormat, &LinkLabel::Click, this, &JobWindow::lblSetAsDefaultFormat_Click);
    connect(lblSetAsDefaultDestination, &LinkLabel::Click, this, &JobWindow::lblSetAsDefaultDestination_Click);
    connect(lblSetAsDefaultFileName, &LinkLabel::Click, this, &JobWindow::lblSetAsDefaultFileName_Click);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::Click, this,
            &JobWindow::lblOpenDestinationDestinationFolder_Click);
    connect(lblParameters, &LinkLabel::Click, this, &JobWindow::lblParameters_Click);
    connect(lblEventsSettings, &LinkLabel::Click, this, &JobWindow::lblEventsSettings_Click);
    connect(Timer1, &QTimer::timeout, this, &JobWindow::Timer1_Timer);
}

// ---------------------------------------------------------------- loading

void JobWindow::Form_Load()
{
    SetFormIcon32(this, m_design.iconName, true);
    ApplySkin();
    cTabControl1->SetImageList(mainMenuImages());
    cTabControl1->AddTab(m_design.firstTabCaption, m_design.firstTabIcon, -1, "Settings");
    cTabControl1->AddTab("Events        ", 10, -1, "Events");
    cTabControl1->AddTab("Log             ", 36, -1, "Log");
    PlacePages();
    HideTabPages();
    TabSettings->setVisible(true);
    const int margin = platform::TwipsToPixels(100);
    txtLog->setGeometry(margin, margin, TabLog->width() - 2 * margin, TabLog->height() - 2 * margin);
    MainWindowServices* main = MainWindow();
    SetupJobGrid(cGrid1, m_design.gridIconsInJobGrid && main ? main->imgGrid : nullptr);

    if (m_design.destinationFolder) {
        LoadPathHistory(txtToPath);
        if (txtToPath->currentText().isEmpty())
            txtToPath->setEditText(DefaultDestination(platform::AppPath() + "/Main/"));
    }
    if (m_design.fileNamePatterns) {
        LoadFileNameFormats();
        if (!m_design.savedDefaults)
            cboFileName->setCurrentIndex(0);
        else if (!g_sFileName.isEmpty())
            selectEntry(cboFileName, g_sFileName);
        else
            cboFileName->setCurrentIndex(1);
    }
    if (m_design.destinationFormats) {
        FillDestinationFormats(cboTargetFormat);
        selectEntry(cboTargetFormat, frmOptions->cboTargetFormat->currentText());
    }
    SetEventBoxesFromSettings();

    cStatusBar1->AddPanel(0, "", "", -1, 200, false, false, 0, "Total Size");
    cStatusBar1->AddPanel(0, "", "", -1, 64, false, false, 0, "Total Time");
    LoadToolSettings();
    CheckUnderFolderEna();

    g_ltmrItemSecsTotal = 0;
    g_ltmrCurItemSecs = 0;
    g_ltmrSces = 0;
    g_ltmrItemSecs = 0;
    g_ltmrUpToItemSecs = 0;
}

void JobWindow::ApplySkin()
{
    ApplyWindowSkin(this, picTitle, lblTitle, {TabSettings, TabEvents, TabLog});
    bool ok = false;
    const std::int32_t skin = std::int32_t(g_sAppColor.toLongLong(&ok));
    if (ok && !g_sAppColor.isEmpty())
        for (QAbstractButton* box : findChildren<QAbstractButton*>())
            if (qobject_cast<QCheckBox*>(box) || qobject_cast<QRadioButton*>(box))
                SetBackColor(box, ColorFromNumber(skin));
    prgCurrnet->SetColor(g_lColor);
    prgTotal->SetColor(g_lColor);
}

void JobWindow::PlacePages()
{
    PlaceTabPages(cTabControl1, {TabSettings, TabEvents, TabLog}, 50);
}

void JobWindow::SetEventBoxesFromSettings()
{
    SetCheckValue(chkNoticeApp, BoolToCheckValue(g_bNoticeApp));
    SetCheckValue(chkOpenDestFolder, BoolToCheckValue(g_bOpenDestFolder));
    SetCheckValue(chkPlaySound, BoolToCheckValue(g_bPlaySound));
    SetCheckValue(chkTurnOffComputer, BoolToCheckValue(g_bTurnOffComputer));
}

void JobWindow::LoadFileNameFormats()
{
    const QString file = platform::AppPath() + "/FileNameFormats.txt";
    if (FileExists(file)) LoadComboFromFile(file, cboFileName);
}

void JobWindow::Form_Unload(int& Cancel)
{
    if (JobRunning()) {
        Cancel = 1;
        return;
    }
    if (m_job) m_job->Terminate();
}

bool JobWindow::JobRunning() const { return !cmdConvert->isEnabled(); }

void JobWindow::cmdExit_Click() { Unload(); }

// ---------------------------------------------------------------- pages

void JobWindow::HideTabPages()
{
    TabSettings->hide();
    TabEvents->hide();
    TabLog->hide();
}

void JobWindow::cTabControl1_TabClick(int)
{
    HideTabPages();
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    if (key == "Settings") TabSettings->show();
    if (key == "Events") TabEvents->show();
    if (key == "Log") TabLog->show();
}

// ---------------------------------------------------------------- set-as-default links

void JobWindow::cboTargetFormat_Click()
{
    lblSetAsDefaultFormat->setEnabled(false);
    if (cboTargetFormat->currentText() != g_sTargetFormat) lblSetAsDefaultFormat->setEnabled(true);
}

void JobWindow::cboFileName_Click()
{
    lblSetAsDefaultFileName->setEnabled(false);
    if (cboFileName->currentText() != g_sFileName) lblSetAsDefaultFileName->setEnabled(true);
}

void JobWindow::txtToPath_Click()
{
    lblSetAsDefaultDestination->setEnabled(false);
    if (txtToPath->currentIndex() >= 1) lblSetAsDefaultDestination->setEnabled(true);
}

void JobWindow::WriteGeneralValue(const QString& name, const QString& text)
{
    RegistryRoutines reg;
    reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
    reg.KeyRoot = "SOFTWARE\\" + g_sAppCompany + "\\" + g_sAppName;
    reg.Subkey = "General";
    reg.SetRegistryValue(name, text, platform::reg::REG_SZ);
}

void JobWindow::lblSetAsDefaultFormat_Click()
{
    const QString text = cboTargetFormat->currentText();
    WriteGeneralValue("cboTargetFormat", text);
    ApplyItemText(frmOptions->cboTargetFormat, text);
    g_sTargetFormat = text;
    lblSetAsDefaultFormat->setEnabled(false);
}

void JobWindow::lblSetAsDefaultFileName_Click()
{
    const QString text = cboFileName->currentText();
    WriteGeneralValue("cboFileName", text);
    ApplyItemText(frmOptions->cboFileName, text);
    g_sFileName = text;
    lblSetAsDefaultFileName->setEnabled(false);
}

void JobWindow::lblSetAsDefaultDestination_Click()
{
    RememberPath(txtToPath);
    lblSetAsDefaultDestination->setEnabled(false);
}

// ---------------------------------------------------------------- other links and buttons

void JobWindow::cmdEditTargetFormat_Click()
{
    if (EditTargetFormat(cboTargetFormat) && m_design.savedDefaults) lblSetAsDefaultFormat_Click();
}

void JobWindow::cmdSelectPath_Click()
{
    QString folder =
        BrowseForFolder("Select a new directory", txtToPath->currentText(), this, true, QVariant(), true, false);
    if (folder.isEmpty()) return;
    if (!folder.endsWith('/')) folder += '/';
    txtToPath->setEditText(folder);
    RememberPath(txtToPath);
}

void JobWindow::lblOpenDestinationDestinationFolder_Click()
{
    EnsureDestinationEndsWithSlash();
    const QString folder = txtToPath->currentText() + GetSubFolder();
    if (!QFileInfo(folder).isDir()) {
        const int answer = platform::MsgBox("The folder " + folder + " does not exist." + QString(44, ' ') + kCrLf +
                                                kCrLf + "Would you like to create it?",
                                            platform::vbYesNo | platform::vbInformation);
        if (answer != platform::vbYes) return;
        if (CreateFolderPath(folder) != 0) {
            platform::MsgBox("The path: " + folder + " cannot be created.", platform::vbOKOnly);
        } else {
            RememberPath(txtToPath);
        }
    }
    OpenDocument(this, folder);
}

void JobWindow::lblParameters_Click() { ShowProgParameters(2); }

void JobWindow::lblEventsSettings_Click()
{
    ShowOptionsPage("Events");
    SetEventBoxesFromSettings();
}

// ---------------------------------------------------------------- names, sub-folder, tags

QString JobWindow::CellText(std::int32_t row, const QString& columnKey) const
{
    return cGrid1->CellText(row, columnKey).toString();
}

std::int32_t JobWindow::WholeNumberCell(std::int32_t row, const char* columnKey) const
{
    return platform::CLng(CellNumber(cGrid1, row, columnKey));
}

QString JobWindow::GetSubFolder() const
{
    if (!ticked(chkCreateSubFolder) || txtUndeForlder->text().isEmpty()) return {};
    // The sub-folder stays inside the destination: "." and ".." become dashes.
    QStringList parts = txtUndeForlder->text().split('/');
    for (QString& part : parts)
        if (part == "." || part == "..") part.replace('.', '-');
    return parts.join('/') + "/";
}

void JobWindow::CheckUnderFolderEna()
{
    if (ticked(chkCreateSubFolder)) {
        txtUndeForlder->setEnabled(true);
        txtUndeForlder->setFocus();
        txtUndeForlder->setSelection(0, int(txtUndeForlder->text().size()));
    } else {
        txtUndeForlder->setEnabled(false);
    }
}

std::optional<QString> JobWindow::DestinationExtension(std::int32_t) const
{
    const QString text = cboTargetFormat->currentText();
    const qsizetype at = text.indexOf(" -");
    if (at < 0) return std::nullopt;
    return text.left(at).toLower();
}

QString JobWindow::BuildDestFileName(std::int32_t& row)
{
    // Without a pattern every output would be named after the folder: fall back to the first built-in one.
    const QString pattern =
        cboFileName->currentText().isEmpty() ? BuiltInFileNameFormats().first() : cboFileName->currentText();
    const QDateTime now = platform::Now();
    std::vector<std::pair<QString, QString>> macros = {
        {"[123]", QString::number(row)},
        {"[file_name]", nameWithoutExtension(GetFileName(CellText(row, kColFile)))},
        {"[source_extension]", GetLastExtension(CellText(row, kColItemName)).toLower()}};
    if (const auto extension = DestinationExtension(row)) {
        macros.push_back({"[dest_extension]", *extension});
        macros.push_back({"[convert_extension]", *extension});
    }
    macros.push_back({"[time]", TwoDigitTimeText(now.time()).replace(':', '-')});
    macros.push_back({"[date]", ShortDateText(now.date()).replace('/', '-')});
    macros.push_back({"[item_name]", CellText(row, kColItemName)});
    QString name = ExpandNameMacros(pattern, macros);
    // Outputs without a destination row stay in their one folder.
    if (!m_design.destinationFolder) name.replace('/', '-');
    return name;
}

QString JobWindow::OutputFolder() const { return txtToPath->currentText() + GetSubFolder(); }

QString FillTagPlaceholders(QString text, std::int32_t track, const TagRowTexts* row)
{
    const QDateTime now = platform::Now();
    text.replace("[DATE]", ShortDateText(now.date()));
    text.replace("[TIME]", TimeOfDayText(now.time()));
    text.replace("[TRACK_NUM]", QString::number(track));
    text.replace("[PROG_NAME]", g_sAppName);
    text.replace("[PROG_VERSION]", g_sAppVersion);
    if (row) {
        text.replace("[SOURCE_NAME]", row->sourceName);
        text.replace("[ITEM_NAME]", row->itemName);
        text.replace("[RANGE]", row->range);
    }
    text.replace("[YEAR]", now.date().toString("yyyy"));
    return text;
}

QString JobWindow::CreateID3TagsString(QString text) const
{
    const std::int32_t selected = cGrid1->SelectedRow();
    const std::int32_t track = selected >= 1 ? selected : 1;
    if (!m_design.longTagPlaceholders || selected < 1 || selected > cGrid1->Rows())
        return FillTagPlaceholders(text, track);
    const TagRowTexts row{GetFileName(CellText(selected, kColFile)), CellText(selected, kColItemName),
                          CellText(selected, kColRange)};
    return FillTagPlaceholders(text, track, &row);
}

void JobWindow::SetID3Tags(std::int32_t& row)
{
    if (!m_job) return;
    JobTags tags;
    tags.album = CreateID3TagsString(CellText(row, kColTagAlbum));
    tags.artist = CreateID3TagsString(CellText(row, kColTagArtist));
    tags.comment = CreateID3TagsString(CellText(row, kColTagComment));
    tags.genre = CreateID3TagsString(CellText(row, kColTagGenre));
    tags.title = CreateID3TagsString(CellText(row, kColTagTitle));
    tags.track = CreateID3TagsString(CellText(row, kColTagTrack));
    tags.year = CreateID3TagsString(CellText(row, kColTagYear));
    m_job->SetTags(tags);
}

void JobWindow::SetDestination()
{
    const std::int32_t code = GetDestinationFormatIndex(cboTargetFormat->currentText()) + 1;
    if (m_job) HandOverDestinationFormat(*m_job, code);
    Log(DestinationFormatLogLine(code));
}

// ---------------------------------------------------------------- the run

void JobWindow::Log(const QString& message) { AddLogLine(message, txtLog); }

void JobWindow::SetHourglass(bool on)
{
    if (!m_design.hourglass) return;
    if (on)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void JobWindow::EnsureDestinationEndsWithSlash()
{
    const QString destination = txtToPath->currentText();
    if (!destination.isEmpty() && !destination.endsWith('/')) txtToPath->setEditText(destination + "/");
}

bool JobWindow::CreateOutputFolder()
{
    // A window that keeps its destination row hidden writes nothing there.
    if (!ticked(chkCreateSubFolder) && (!m_design.destinationFolder || txtToPath->isHidden())) return true;
    QString folder = OutputFolder();
    folder.chop(1);
    const std::int32_t result = CreateFolderPath(folder);
    if (result == 0) return true;
    Log("Error: The path: " + folder + " cannot be created.(" + QString::number(result) + ")");
    return false;
}

// Outputs go only where the user said: an empty or relative destination
// would put them in the working folder.
bool JobWindow::DestinationRefused()
{
    const QString destination = txtToPath->currentText();
    QString message;
    if (destination.trimmed().isEmpty())
        message = "Choose the destination folder first.";
    else if (!QDir::isAbsolutePath(destination))
        message = "The destination must be a full folder path, beginning with \"/\": " + destination;
    if (message.isEmpty()) return false;
    platform::MsgBox(message, platform::vbInformation);
    return true;
}

bool JobWindow::PrepareJob(const QString& preparingLine)
{
    if ((m_design.destinationFolder && DestinationRefused()) || ToolSettingsRefused()) return false;
    StartLogSection();
    EnsureDestinationEndsWithSlash();
    if (m_design.destinationFolder) RememberPath(txtToPath);
    Log(preparingLine);
    if (StartChecksFailed()) return false;
    SetDestination();
    // Said once here rather than by every item.
    if (!CreateOutputFolder()) {
        g_bConvertError = true;
        ShowLogPage();
        return false;
    }
    g_bConvertError = false;
    m_itemsDone = 0;
    m_itemsFailed = 0;
    m_madeFile.clear();
    ShowLogPage();
    return true;
}

void JobWindow::StartLogSection()
{
    if (txtLog->toPlainText().isEmpty()) return;
    txtLog->moveCursor(QTextCursor::End);
    txtLog->insertPlainText(kCrLf);
}

void JobWindow::ShowLogPage()
{
    cTabControl1->SelectTab("Log");
    cTabControl1_TabClick(cTabControl1->TabIndex("Log"));
}

void JobWindow::cmdConvert_Click()
{
    if (!PrepareJob("Preparing to " + m_design.jobVerb + ": " + QString::number(cGrid1->Rows()) + " tracks.")) return;
    g_lCurRow = 1;
    g_ltmrUpToItemSecs = 0;
    g_ltmrSces = 1;
    BeforeQueue();
    ConvertTracks();
}

void JobWindow::ConvertTracks()
{
    const std::int32_t rows = cGrid1->Rows();
    prgTotal->SetMax(rows * 100);
    SetRunning(true);
    Timer1->start();
    bool cancelled = false;
    for (std::int32_t row = g_lCurRow; row <= rows; ++row) {
        g_lCurRow = row;
        SetHourglass(true);
        if (!RowInJob(row)) continue;
        const std::int32_t result = ConvertTask(g_lCurRow);
        if (result == 0) return;
        if (result == 2) {
            Log("Aborted.");
            cancelled = true;
            break;
        }
    }
    SetRunning(false);
    if (cancelled)
        EndRunCancelled();
    else
        EndRunDone();
}

void JobWindow::SetRunning(bool running)
{
    cmdConvert->setEnabled(!running);
    cmdExit->setEnabled(!running);
    for (QWidget* setting : std::initializer_list<QWidget*>{cboTargetFormat, cmdEditTargetFormat, txtToPath,
                                                            cmdSelectPath, cboFileName, chkCreateSubFolder,
                                                            chkOverWrite})
        setting->setEnabled(!running);
    txtUndeForlder->setEnabled(!running && ticked(chkCreateSubFolder));
    LockToolSettings(running);
}

std::int32_t JobWindow::JobItemCount() const
{
    std::int32_t count = 0;
    for (std::int32_t row = 1; row <= cGrid1->Rows(); ++row)
        if (RowInJob(row)) ++count;
    return count;
}

void JobWindow::CountItemMade(const QString& file)
{
    ++m_itemsDone;
    m_madeFile = file;
}

void JobWindow::CountItemFailed() { ++m_itemsFailed; }

QString JobWindow::EndText(std::int32_t items, const QString& noun) const
{
    if (m_itemsFailed == 0) return "Done.";
    return QString("Done, with errors: %1 of %2 %3 failed.").arg(m_itemsFailed).arg(items).arg(noun);
}

void JobWindow::EndRunDone()
{
    const QString text = EndText(JobItemCount());
    ShowJobBalloon(text);
    lblCurrentTrack->setText(text);
    ShowInCaption(CaptionMoment::RunDone, lblCurrentTrack->text());
    prgTotal->SetValue((cGrid1->Rows() - 1) * 100 + 100);
    prgCurrnet->SetValue(100);
    Timer1->stop();
    SetHourglass(false);
    DoEndEvents(m_madeFile);
}

void JobWindow::EndRunCancelled()
{
    SetHourglass(false);
    lblCurrentTrack->setText("Aborted.");
    ShowInCaption(CaptionMoment::RunCancelled, lblCurrentTrack->text());
    ShowJobBalloon("Aborted.");
}

void JobWindow::ShowInCaption(CaptionMoment, const QString& text) { setWindowTitle(text); }

void JobWindow::ShowItemError(const QString& text)
{
    lblCurrentTrack->setText(text);
    setWindowTitle(lblCurrentTrack->text());
}

bool JobWindow::RowIsWholeFile(std::int32_t row) const { return CellText(row, kColRangeAll) == "1"; }

std::int32_t JobWindow::ItemSeconds(std::int32_t row) const
{
    if (RowIsWholeFile(row)) return TimeToSeconds(CellText(row, kColTime));
    return WholeNumberCell(row, kColRangeLength);
}

std::int32_t JobWindow::ConvertTask(std::int32_t& row)
{
    const QString name = BuildDestFileName(row);
    cGrid1->SetSelectedRow(row);
    g_ltmrItemSecs = ItemSeconds(row);
    g_ltmrCurItemSecs = 0;
    SetID3Tags(row);
    const QString file = GetFileName(CellText(row, kColFile));
    lblCurrentTrack->setText(file);
    lblFilesToConvert->setText("Files: " + QString::number(row) + "/" + QString::number(cGrid1->Rows()));
    const QString startLine = "Start to " + m_design.jobVerb + ": " + file + "...";
    Log(startLine);
    if (m_design.startLineInStatus) lblCurrentTrack->setText(startLine);
    const QString source = CellText(row, kColFile);
    if (m_job) m_job->SetSource(row, source);
    const QString path = OutputFolder() + name;
    if (const std::int32_t answer = AskOverwrite(path, {source}); answer != 0) return answer;
    if (!m_job) return 1;
    if (RowIsWholeFile(row))
        m_job->SetWholeSource();
    else
        m_job->SetRange(WholeNumberCell(row, kColRangeStart), WholeNumberCell(row, kColRangeLength));
    m_itemFile = path;
    m_job->SetDestinationFile(path);
    m_job->Start();
    return 0;
}

std::int32_t JobWindow::AskOverwrite(const QString& path, const QStringList& sources)
{
    // Any file already there is asked about, hidden ones too.
    if ((!m_design.destinationFolder && !m_design.ownFolderAsks) || ticked(chkOverWrite) || !QFileInfo(path).isFile())
        return 0;
    for (const QString& source : sources)
        if (platform::IsSameFile(source, path)) return 0;
    Log("File already exists.");
    const int answer = platform::MsgBox("The file: '" + path + "' already exists." + kCrLf + kCrLf + "Overwrite it?",
                                        platform::vbYesNoCancel | platform::vbInformation);
    if (answer == platform::vbNo) return 1;
    if (answer != platform::vbYes) return 2;
    Log("Overwrite it...");
    return 0;
}

void JobWindow::JobProgress(std::int32_t percent)
{
    if (percent < 1) return;
    SetHourglass(false);
    prgCurrnet->SetValue(percent);
    prgTotal->SetValue((g_lCurRow - 1) * 100 + percent);
    if (prgTotal->Max() != 0) {
        const double total = double(prgTotal->Value()) / prgTotal->Max() * 100;
        ShowInCaption(CaptionMoment::Progress, "Converting... [ " + QString::number(prgCurrnet->Value()) + "% / " +
                                                   platform::RealToText(total) + "% ]");
    }
    g_ltmrCurItemSecs = platform::CLng(percent / 100.0 * g_ltmrItemSecs);
}

void JobWindow::JobDone()
{
    if (m_design.itemDoneLine) {
        Log("Done.");
        lblCurrentTrack->setText("Done.");
    }
    CountItemMade(m_itemFile);
    g_ltmrUpToItemSecs += g_ltmrItemSecs;
    g_lCurRow += 1;
    ConvertTracks();
}

void JobWindow::JobError(std::int32_t code, const QString& description)
{
    g_bConvertError = true;
    CountItemFailed();
    const QString text = "Error: " + description + "(" + QString::number(code) + ")";
    Log(text);
    ShowItemError(text);
    SetRunning(false);
    g_lCurRow += 1;
    ConvertTracks();
    SetHourglass(false);
}

void JobWindow::JobAborted()
{
    SetRunning(false);
    Log("Aborted.");
    lblCurrentTrack->setText("Aborted.");
    SetHourglass(false);
    ShowInCaption(CaptionMoment::ItemAborted, lblCurrentTrack->text());
}

void JobWindow::cmdAbort_Click()
{
    if (!JobRunning()) return;
    const int answer =
        platform::MsgBox("Abort operation?" + QString(38, ' '), platform::vbYesNo | platform::vbInformation);
    // The job may have ended while the question was open.
    if (answer != platform::vbYes || !JobRunning()) return;
    AbortJob();
}

void JobWindow::AbortJob()
{
    if (m_job) m_job->Abort();
    ShowJobBalloon("Aborted.");
    Timer1->stop();
}

void JobWindow::AbortForExit()
{
    if (JobRunning()) AbortJob();
}

void JobWindow::Timer1_Timer()
{
    g_ltmrSces += 1;
    std::int32_t estimate = 0;
    if (g_ltmrCurItemSecs > 0) {
        const double done = double(g_ltmrCurItemSecs) + g_ltmrUpToItemSecs;
        estimate = platform::CLng(g_ltmrSces / done * (g_ltmrItemSecsTotal - done));
    }
    if (estimate < 0) estimate = 0;
    if (estimate == 0) return;
    lblTimeLeft->setText("Time Left: " + TwoDigitTime(estimate));
    if (!JobRunning()) {
        Timer1->stop();
        lblTimeLeft->setText("Time Left: 00:00:00");
    }
}

void JobWindow::DoEndEvents(const QString& madeFile)
{
    // Items failed and none was made: there is nothing to open or hand on.
    const bool nothingMade = m_itemsFailed > 0 && m_itemsDone == 0;
    if (ticked(chkPlaySound)) platform::Sounds().PlayAsync(g_sPlayAtEnd);
    if (!nothingMade && ticked(chkOpenDestFolder)) OpenEndFolder();
    if (!nothingMade && ticked(chkNoticeApp)) {
        if (MainWindowServices* main = MainWindow()) {
            QStringList words = main->GetNoticAppArguments(madeFile);
            if (!words.isEmpty()) {
                const QString program = words.takeFirst();
                platform::Shell().StartProcess(program, words, QString());
            }
        }
    }
    ToolEndEvents();
    if (TurnOffFollows()) ShowTurnOff(30);
}

void JobWindow::OpenEndFolder() { OpenDocument(this, txtToPath->currentText() + GetSubFolder()); }

bool JobWindow::TurnOffFollows() const { return !g_bConvertError && ticked(chkTurnOffComputer); }
