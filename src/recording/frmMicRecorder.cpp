#include "recording/frmMicRecorder.h"

#include "controls/audio/AlsaDevice.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/ProgressBar.h"
#include "controls/widgets/Slider.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/LinkLabel.h"
#include "core/MainWindowServices.h"
#include "core/Paths.h"
#include "core/Skin.h"
#include "core/TextFiles.h"
#include "core/TimeSizeText.h"
#include "core/WindowProcedures.h"
#include "core/mdlCommDialog.h"
#include "lists/OpenListAdding.h"
#include "platform/AppInfo.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

DefaultInstance<CfrmMicRecorder> g_frmMicRecorder;

namespace {

constexpr int kTitleHeight = 36;
constexpr std::int32_t kRecordLimitSeconds = 30;
constexpr std::int16_t kRecordBuffer = 1600;
constexpr std::int16_t kPlayBuffer = 8000;
// A wave file of no more than its header holds no sound.
constexpr qint64 kSmallestWave = 65;

QPushButton* button(const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

QComboBox* formatList(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    return box;
}

QString DefaultWaveFile() { return DefaultDestination(QDir::homePath() + "/") + "wave_file.wav"; }

} // namespace

CfrmMicRecorder::CfrmMicRecorder() : Form("g_frmMicRecorder"), cWave1(CreateWave())
{
    setWindowTitle("Audio Recorder");
    MakeTitleStrip(this, kTitleHeight, picTitle, lblTitle, "Audio Recorder");
    picTitle->setFixedHeight(kTitleHeight);

    cboDevices = new QComboBox(this);
    txtAudioFile = new QLineEdit(DefaultWaveFile(), this);
    cmdPath = button("...", this);
    cmdPath->setFixedWidth(32);
    cboBitPerSample = formatList(this);
    cboSamplesPerSec = formatList(this);
    cboChannels = formatList(this);
    cmdRecord = button("Record", this);
    cmdStopRec = button("Stop", this);
    cmdPauseIn = button("Pause Record", this);
    cmdUnPauseIn = button("Unpause Record", this);
    lblRecTime = widgets::PlainLabel("0:00:00", this);
    Label6 = widgets::PlainLabel("0:00:30", this);
    prgMeter = new cProgressBar(this);
    cmdPlay = button("Play", this);
    cmdStop = button("Stop", this);
    cmdPauseOut = button("Pause Play", this);
    cmdUnPauseOut = button("Unpause Play", this);
    cSlider1 = new cSlider(this);
    lblCurrentPositionSec = widgets::PlainLabel("0:00:00", this);
    lbTotalLengthSec = widgets::PlainLabel("0:00:00", this);
    txtResults = new QPlainTextEdit(this);
    txtResults->setReadOnly(true);
    txtResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cmdAdd = button("Add", this);
    cmdExit = button("Exit", this);
    SetKeyButtons(nullptr, cmdExit);
    lblNoticParameters = new LinkLabel("Visit the web site", this);
    tmrRec = new QTimer(this);
    tmrRec->setInterval(1000);
    tmSlider = new QTimer(this);
    tmSlider->setInterval(100);

    BuildLayout();
    ConnectHandlers();
}

CfrmMicRecorder::~CfrmMicRecorder() = default;

void CfrmMicRecorder::BuildLayout()
{
    auto* source = new QGridLayout;
    source->addWidget(widgets::PlainLabel("Devices:", this), 0, 0, 1, 2);
    source->addWidget(cboDevices, 1, 0, 1, 2);
    source->addWidget(widgets::PlainLabel("Destination Wave File:", this), 2, 0, 1, 2);
    source->addWidget(txtAudioFile, 3, 0);
    source->addWidget(cmdPath, 3, 1);
    auto* formats = new QGridLayout;
    formats->addWidget(widgets::PlainLabel("Bits per sample:", this), 0, 0);
    formats->addWidget(widgets::PlainLabel("Samples per second:", this), 0, 1);
    formats->addWidget(widgets::PlainLabel("Channels:", this), 0, 2);
    formats->addWidget(cboBitPerSample, 1, 0);
    formats->addWidget(cboSamplesPerSec, 1, 1);
    formats->addWidget(cboChannels, 1, 2);

    auto* recorder = new QGridLayout;
    recorder->addWidget(widgets::PlainLabel("Recorder:", this), 0, 0, 1, 4);
    recorder->addWidget(cmdRecord, 1, 0);
    recorder->addWidget(cmdStopRec, 1, 1);
    recorder->addWidget(cmdPauseIn, 1, 2);
    recorder->addWidget(cmdUnPauseIn, 1, 3);
    auto* clock = new QHBoxLayout;
    clock->addWidget(lblRecTime);
    clock->addWidget(widgets::PlainLabel("/", this));
    clock->addWidget(Label6);
    clock->addWidget(prgMeter, 1);
    recorder->addLayout(clock, 2, 0, 1, 4);

    auto* player = new QGridLayout;
    player->addWidget(widgets::PlainLabel("Player:", this), 0, 0, 1, 4);
    player->addWidget(cmdPlay, 1, 0);
    player->addWidget(cmdStop, 1, 1);
    player->addWidget(cmdPauseOut, 1, 2);
    player->addWidget(cmdUnPauseOut, 1, 3);
    auto* position = new QHBoxLayout;
    position->addWidget(lblCurrentPositionSec);
    position->addWidget(cSlider1, 1);
    position->addWidget(lbTotalLengthSec);
    player->addLayout(position, 2, 0, 1, 4);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdExit);
    auto* foot = new QHBoxLayout;
    foot->addWidget(widgets::PlainLabel("More sound tools:", this));
    foot->addWidget(lblNoticParameters);
    foot->addStretch();

    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 6, 10, 0);
    body->addLayout(source);
    body->addLayout(formats);
    body->addLayout(recorder);
    body->addLayout(player);
    body->addWidget(txtResults, 1);
    body->addLayout(buttons);
    body->addLayout(foot);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->addWidget(picTitle);
    layout->addLayout(body, 1);
    resize(480, 560);
}

void CfrmMicRecorder::ConnectHandlers()
{
    connect(cmdRecord, &QPushButton::clicked, this, &CfrmMicRecorder::cmdRecord_Click);
    connect(cmdStopRec, &QPushButton::clicked, this, &CfrmMicRecorder::cmdStopRec_Click);
    connect(cmdPauseIn, &QPushButton::clicked, this, &CfrmMicRecorder::cmdPauseIn_Click);
    connect(cmdUnPauseIn, &QPushButton::clicked, this, &CfrmMicRecorder::cmdUnPauseIn_Click);
    connect(cmdPlay, &QPushButton::clicked, this, &CfrmMicRecorder::cmdPlay_Click);
    connect(cmdStop, &QPushButton::clicked, this, &CfrmMicRecorder::cmdStop_Click);
    connect(cmdPauseOut, &QPushButton::clicked, this, &CfrmMicRecorder::cmdPauseOut_Click);
    connect(cmdUnPauseOut, &QPushButton::clicked, this, &CfrmMicRecorder::cmdUnPauseOut_Click);
    connect(cmdPath, &QPushButton::clicked, this, &CfrmMicRecorder::cmdPath_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &CfrmMicRecorder::cmdAdd_Click);
    connect(cmdExit, &QPushButton::clicked, this, &CfrmMicRecorder::cmdExit_Click);
    connect(lblNoticParameters, &LinkLabel::Click, this, &CfrmMicRecorder::lblNoticParameters_Click);
    connect(tmrRec, &QTimer::timeout, this, &CfrmMicRecorder::tmrRec_Timer);
    connect(tmSlider, &QTimer::timeout, this, &CfrmMicRecorder::tmSlider_Timer);
    connect(cWave1.get(), &cWave::RecordDone, this, &CfrmMicRecorder::cWave1_RecordDone);
    connect(cWave1.get(), &cWave::PlayDone, this, &CfrmMicRecorder::cWave1_PlayDone);
    connect(cWave1.get(), &cWave::Level, this, &CfrmMicRecorder::cWave1_Level);
}

void CfrmMicRecorder::Form_Load()
{
    SetFormIcon32(this, "microphone2", true);
    ApplyWindowSkin(this, picTitle, lblTitle);
    bool ok = false;
    const std::int32_t skin = std::int32_t(g_sAppColor.toLongLong(&ok));
    if (ok) cSlider1->SetBackColor(skin);
    prgMeter->SetBarColor(g_lColor);
    if (!g_sAppBackPicture.isEmpty()) {
        const QPixmap picture(platform::AppPath() + "/View/" + g_sAppBackPicture);
        if (!picture.isNull()) prgMeter->SetBarPicture(picture);
    }
    FillFormatLists();
    cWave1->SetMeterEnabled(true);
    Log(": MeterIn=True.");
    FillWaveFormat();
    FillDevices();
}

void CfrmMicRecorder::Form_Unload(int&)
{
    tmrRec->stop();
    tmSlider->stop();
    cWave1->StopPlay();
    // Whatever was recorded so far is kept under the file's name.
    cWave1->StopRecord();
    m_bRecording = false;
    cWave1->Terminate();
}

void CfrmMicRecorder::FillFormatLists()
{
    const auto fill = [](QComboBox* box, const QStringList& items, const QString& text) {
        box->clear();
        box->addItems(items);
        box->setCurrentText(text);
    };
    fill(cboBitPerSample, {"8", "16"}, "16");
    fill(cboSamplesPerSec, {"8000", "11025", "22050", "44100"}, "44100");
    fill(cboChannels, {"Mono", "Stereo"}, "Stereo");
}

void CfrmMicRecorder::FillWaveFormat()
{
    WAVEFORMATEX& f = m_WaveFormat;
    f.wFormatTag = 1;
    f.nChannels = cboChannels->currentText() == "Stereo" ? 2 : 1;
    f.wBitsPerSample = std::uint16_t(cboBitPerSample->currentText().trimmed().toUInt());
    f.nSamplesPerSec = cboSamplesPerSec->currentText().trimmed().toUInt();
    f.nBlockAlign = std::uint16_t(std::nearbyint(f.wBitsPerSample / 8.0 * f.nChannels));
    f.nAvgBytesPerSec = std::uint32_t(f.nBlockAlign) * f.nSamplesPerSec;
    f.cbSize = 0;
}

void CfrmMicRecorder::FillDevices()
{
    cboDevices->clear();
    const std::int32_t count = cWave1->GetDeviceCount(kWaveInputDevices);
    for (std::int32_t i = 0; i < count; ++i) {
        WaveDeviceCaps caps;
        cWave1->GetDeviceCaps(i, caps, kWaveInputDevices);
        const QString shown = alsa::DisplayName({caps.sName, caps.sDescription});
        cboDevices->addItem(QString("%1 - %2 - %3").arg(i).arg(shown).arg(caps.lChannels));
    }
    cboDevices->setCurrentIndex(count > 0 ? 0 : -1);
}

void CfrmMicRecorder::Log(const QString& step, bool blankLineBefore)
{
    txtResults->moveCursor(QTextCursor::End);
    const QString line = TimeOfDayText(platform::Now().time()) + step + kCrLf;
    txtResults->insertPlainText(blankLineBefore ? kCrLf + line : line);
    txtResults->moveCursor(QTextCursor::End);
    txtResults->ensureCursorVisible();
}

// ---- recording ----

bool CfrmMicRecorder::MayOverwrite(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path) || path == m_sOverwriteAgreed) return true;
    return platform::MsgBox("The file " + path + " is already exists, overwrite it?",
                            platform::vbInformation | platform::vbYesNo) == platform::vbYes;
}

void CfrmMicRecorder::cmdRecord_Click()
{
    const QString path = txtAudioFile->text();
    if (!MayOverwrite(path)) return;
    cWave1->SetMeterEnabled(true);
    Log(": MeterIn=True.");
    cWave1->PreScreenClose();
    Log(": PreScreenClose.");
    // What the lists show is what is recorded.
    FillWaveFormat();
    const std::int32_t code = cWave1->RecordStart(cboDevices->currentIndex(), path, m_WaveFormat, kRecordBuffer);
    if (code != 0) {
        Log(": Error RecordStart ." + cWave1->GetErrorText(code));
        return;
    }
    m_sOverwriteAgreed.clear();
    m_bRecording = true;
    m_lRecSeconds = 0;
    tmrRec->start();
    cmdRecord->setEnabled(false);
    Log(": RecordStart Success.");
}

void CfrmMicRecorder::tmrRec_Timer()
{
    cmdRecord->setEnabled(false);
    ++m_lRecSeconds;
    lblRecTime->setText(cWave1->FormatSeconds(m_lRecSeconds));
    if (m_lRecSeconds < kRecordLimitSeconds) return;
    cmdStopRec_Click();
    m_lRecSeconds = 0;
    tmrRec->stop();
    cmdRecord->setEnabled(true);
}

void CfrmMicRecorder::cmdStopRec_Click()
{
    const std::int32_t code = cWave1->StopRecord();
    m_bRecording = false;
    ReportStop(code);
}

void CfrmMicRecorder::ReportStop(std::int32_t code)
{
    if (code == 0) Log(": RecordStop Success.");
    else Log(": Error RecordStop ." + cWave1->GetErrorText(code));
}

void CfrmMicRecorder::cmdPauseIn_Click()
{
    cWave1->PauseRecord();
    Log(": RecordPause.");
}

void CfrmMicRecorder::cmdUnPauseIn_Click()
{
    if (!cWave1->IsRecordPaused()) return;
    cWave1->ResumeRecord();
    Log(": RecordUnPause.");
}

void CfrmMicRecorder::cWave1_RecordDone()
{
    // A recording that ended by itself (a device that failed) says how it went now.
    if (m_bRecording) {
        m_bRecording = false;
        ReportStop(cWave1->StopRecord());
    }
    Log(": DoneRecord Event.");
    cmdRecord->setEnabled(true);
    tmrRec->stop();
}

void CfrmMicRecorder::cWave1_Level(std::int16_t level) { prgMeter->SetValue(level); }

// ---- playing ----

void CfrmMicRecorder::cmdPlay_Click()
{
    const QString path = txtAudioFile->text();
    if (!QFileInfo(path).isFile()) {
        platform::MsgBox("The audio file " + path + " doesn't exists", platform::vbInformation);
        return;
    }
    if (cWave1->IsPlaying()) return;
    WaveFileInfo info;
    cWave1->GetFileInfo(path, info);
    const std::int32_t code = cWave1->Play(path, std::int16_t(cboDevices->currentIndex()), kPlayBuffer);
    if (code != 0) {
        Log(": Error Play Start:" + cWave1->GetErrorText(code));
        return;
    }
    lbTotalLengthSec->setText(cWave1->FormatSeconds(info.SecondsLength));
    tmSlider->start();
    Log(": PlayeStart Success.", true);
}

void CfrmMicRecorder::tmSlider_Timer()
{
    cSlider1->SetValue(cWave1->GetPlayPosition());
    lblCurrentPositionSec->setText(cWave1->FormatSeconds(cWave1->GetPlaySeconds()));
}

void CfrmMicRecorder::cmdStop_Click()
{
    const std::int32_t code = cWave1->StopPlay();
    if (code != 0) Log(": Error PlayStop ." + cWave1->GetErrorText(code));
    tmSlider->stop();
    cSlider1->SetValue(0);
    if (code == 0) Log(": PlayStop Success.");
}

void CfrmMicRecorder::cmdPauseOut_Click()
{
    cWave1->PausePlay();
    Log(": PlayPause.");
}

void CfrmMicRecorder::cmdUnPauseOut_Click()
{
    cWave1->ResumePlay();
    Log(": PlayUnPause.");
}

void CfrmMicRecorder::cWave1_PlayDone() { Log(": DonePlay Event."); }

// ---- the file ----

void CfrmMicRecorder::cmdPath_Click()
{
    g_OFN.lpstrFilter = QString("Audio Wav File (*.wav)") + QChar(0) + "*.wav" + QChar(0);
    g_OFN.lpstrTitle = "Save as WAV file";
    // The dialog appends it to a name typed without one.
    g_OFN.lpstrDefExt = "wav";
    QString name;
    const FileDialogResult result = ShowSave(this, name, true);
    if (result.bCancelled) return;
    const QString path = result.asFiles.value(1);
    if (QFileInfo::exists(path)) {
        if (platform::MsgBox("The file " + path + " is already exists, overwrite it?",
                             platform::vbInformation | platform::vbYesNo) != platform::vbYes)
            return;
        m_sOverwriteAgreed = path;
    }
    txtAudioFile->setText(path);
}

void CfrmMicRecorder::cmdAdd_Click()
{
    const QString path = txtAudioFile->text();
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile()) {
        platform::MsgBox("The file:" + path + " was not found.", platform::vbInformation);
        return;
    }
    if (file.size() < kSmallestWave) {
        platform::MsgBox("The file:" + path + " is empty.", platform::vbInformation);
        return;
    }
    if (m_bRecording) {
        platform::MsgBox("The recording is still running. Stop it first, then add the file.",
                         platform::vbInformation);
        return;
    }
    if (!OpenListTakesNewFiles("recording")) return;
    // The file could not be read: the user was told, and the window stays.
    if (!AddFileToOpenList(path, this)) return;
    Unload();
}

void CfrmMicRecorder::cmdExit_Click() { Unload(); }

void CfrmMicRecorder::lblNoticParameters_Click() { OpenDocument(this, g_sAppSiteRoot); }

void ShowMicRecorder(QWidget* main)
{
    if (main) main->setCursor(Qt::WaitCursor);
    CfrmMicRecorder* recorder = g_frmMicRecorder.get();
    if (main) main->unsetCursor();
    recorder->ShowModal();
}
