// The recorder window on the fake recorder control, beside a main-window double.
#include "MicRecorderFixture.h"

#include "controls/widgets/Grid.h"
#include "controls/widgets/ImageList.h"
#include "controls/widgets/ProgressBar.h"
#include "controls/widgets/Slider.h"
#include "controls/widgets/TreeView.h"
#include "core/Edition.h"
#include "core/mdlCommDialog.h"
#include "lists/ItemRows.h"
#include "lists/frmStat.h"
#include "mainwindow/GridSetup.h"
#include "platform/MessageBox.h"
#include "support/FakeWave.h"
#include "support/MainWindowDouble.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using platform::vbNo;
using platform::vbYes;

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A wave file of `bytes` bytes in all: 8-bit mono at 8000 Hz, its header and then samples.
void WriteSmallWave(const QString& path, qint64 bytes)
{
    const auto le = [](quint32 v, int n) {
        QByteArray b;
        for (int i = 0; i < n; ++i) b.append(char((v >> (8 * i)) & 0xFF));
        return b;
    };
    const quint32 data = quint32(bytes - 44);
    const QByteArray wav = "RIFF" + le(36 + data, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) +
                           le(8000, 4) + le(1, 2) + le(8, 2) + "data" + le(data, 4) + QByteArray(data, char(0x80));
    WriteBytes(path, wav);
    ASSERT_EQ(QFileInfo(path).size(), bytes);
}

class MicRecorderWindowTest : public rectest::MicRecorderTestBase {
protected:
    void SetUp() override
    {
        MicRecorderTestBase::SetUp();
        SetWaveFactory([] { return std::make_unique<FakeWave>(); });
        SetupFileGrid(main.cGrid1, main.imgGrid);
        take = Dir() + "take.wav";
        listFile = Dir() + "Takes.lst";
        listNode = main.cTreeView1->Nodes()->Add(nullptr, 0, listFile, "Takes");
        listNode->SetSelected(true);
    }
    void TearDown() override
    {
        MicRecorderTestBase::TearDown();
        SetWaveFactory({});
    }

    // Loads the window with `take` as its destination; `inputs` replaces the fake's devices.
    CfrmMicRecorder* Open(const std::vector<FakeWave::Device>* inputs = nullptr)
    {
        if (inputs) {
            const std::vector<FakeWave::Device> devices = *inputs;
            SetWaveFactory([devices] {
                auto fake = std::make_unique<FakeWave>();
                fake->inputs = devices;
                return fake;
            });
        }
        w = g_frmMicRecorder.get();
        fake = FakeWave::Last();
        w->txtAudioFile->setText(take);
        return w;
    }
    void Events() { QCoreApplication::processEvents(); }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i) w->tmrRec_Timer();
    }
    // The control's calls since the window loaded.
    QStringList CallsFrom(qsizetype first) const { return fake->calls.mid(first); }

    support::MainWindowDouble main;
    FakeWave* fake = nullptr;
    QString take;
    QString listFile;
    cTreeNode* listNode = nullptr;
};

TEST_F(MicRecorderWindowTest, LoadsWithTheFormatListsTheDevicesAndOneLogLine)
{
    g_frmMicRecorder.get();
    EXPECT_EQ(g_frmMicRecorder->txtAudioFile->text(), QDir::homePath() + "/wave_file.wav");
    Open();
    EXPECT_EQ(w->windowTitle(), "Audio Recorder");
    EXPECT_EQ(LogLines(), QStringList{": MeterIn=True."});
    EXPECT_TRUE(fake->MeterEnabled());
    ASSERT_EQ(w->cboDevices->count(), 2);
    EXPECT_EQ(w->cboDevices->itemText(0), "0 - default - 2");
    EXPECT_EQ(w->cboDevices->itemText(1), "1 - USB Microphone - 1"); // the device by its description
    EXPECT_EQ(w->cboDevices->currentIndex(), 0);
    EXPECT_EQ(w->cboBitPerSample->currentText(), "16");
    EXPECT_EQ(w->cboSamplesPerSec->currentText(), "44100");
    EXPECT_EQ(w->cboChannels->currentText(), "Stereo");
    EXPECT_EQ(w->cboSamplesPerSec->count(), 4);
    EXPECT_EQ(w->m_WaveFormat.nBlockAlign, 4);
    EXPECT_EQ(w->m_WaveFormat.nAvgBytesPerSec, 4u * 44100);
    EXPECT_EQ(w->Label6->text(), "0:00:30");
    EXPECT_TRUE(w->cmdRecord->isEnabled());
    EXPECT_FALSE(w->tmrRec->isActive());
    EXPECT_FALSE(w->tmSlider->isActive());
}

TEST_F(MicRecorderWindowTest, ARecordingLeftRunningStopsAtThirtySeconds)
{
    Open();
    w->cmdRecord->click();
    EXPECT_EQ(LogLines(),
              (QStringList{": MeterIn=True.", ": MeterIn=True.", ": PreScreenClose.", ": RecordStart Success."}));
    EXPECT_TRUE(fake->calls.contains("RecordStart 0 " + take + " 1600"));
    EXPECT_FALSE(w->cmdRecord->isEnabled());
    EXPECT_TRUE(w->tmrRec->isActive());
    EXPECT_EQ(w->tmrRec->interval(), 1000);
    for (int s = 1; s < 30; ++s) {
        w->tmrRec_Timer();
        EXPECT_EQ(w->lblRecTime->text(), QString("0:00:%1").arg(s, 2, 10, QChar('0')));
    }
    EXPECT_TRUE(fake->IsRecording());
    w->tmrRec_Timer();
    EXPECT_EQ(w->lblRecTime->text(), "0:00:30");
    EXPECT_FALSE(fake->IsRecording());
    EXPECT_EQ(LogLines().last(), ": RecordStop Success.");
    EXPECT_TRUE(w->cmdRecord->isEnabled());
    EXPECT_FALSE(w->tmrRec->isActive());
    EXPECT_EQ(w->m_lRecSeconds, 0);
    Events();
    EXPECT_EQ(LogLines().last(), ": DoneRecord Event.");
    EXPECT_EQ(w->lblRecTime->text(), "0:00:30");
    EXPECT_TRUE(QFileInfo(take).size() > 44);
}

TEST_F(MicRecorderWindowTest, PausedTimeCountsTowardsTheLimit)
{
    Open();
    w->cmdRecord_Click();
    Ticks(10);
    // Unpause while nothing is paused writes nothing.
    const QStringList before = LogLines();
    w->cmdUnPauseIn_Click();
    EXPECT_EQ(LogLines(), before);
    EXPECT_FALSE(fake->calls.contains("ResumeRecord"));
    w->cmdPauseIn_Click();
    EXPECT_EQ(LogLines().last(), ": RecordPause.");
    EXPECT_TRUE(fake->IsRecordPaused());
    Ticks(19);
    EXPECT_TRUE(fake->IsRecording());
    w->cmdUnPauseIn_Click();
    EXPECT_EQ(LogLines().last(), ": RecordUnPause.");
    EXPECT_FALSE(fake->IsRecordPaused());
    Ticks(1);
    EXPECT_FALSE(fake->IsRecording());
    EXPECT_EQ(LogLines().last(), ": RecordStop Success.");
}

TEST_F(MicRecorderWindowTest, RecordsInTheFormatTheListsShowWhenRecordIsPressed)
{
    struct Case {
        const char *bits, *rate, *channels;
        std::uint16_t nChannels, nBlockAlign;
    } cases[] = {{"8", "22050", "Mono", 1, 1}, {"16", "8000", "Stereo", 2, 4}, {"8", "11025", "Stereo", 2, 2}};
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        w->cboBitPerSample->setCurrentText(c.bits);
        w->cboSamplesPerSec->setCurrentText(c.rate);
        w->cboChannels->setCurrentText(c.channels);
        w->cmdRecord_Click();
        const WAVEFORMATEX& f = fake->lastFormat;
        EXPECT_EQ(f.wFormatTag, 1);
        EXPECT_EQ(f.wBitsPerSample, QString(c.bits).toUInt());
        EXPECT_EQ(f.nSamplesPerSec, QString(c.rate).toUInt());
        EXPECT_EQ(f.nChannels, c.nChannels);
        EXPECT_EQ(f.nBlockAlign, c.nBlockAlign);
        EXPECT_EQ(f.nAvgBytesPerSec, c.nBlockAlign * QString(c.rate).toUInt());
        EXPECT_EQ(f.cbSize, 0);
        w->cmdStopRec_Click();
        Events();
        QFile::remove(take);
    }
}

TEST_F(MicRecorderWindowTest, AFailingStartIsLoggedAndRecordStaysEnabled)
{
    Open();
    fake->FailNextRecordStart(kWaveErrDeviceBusy, "The sound input device is busy.");
    w->cmdRecord_Click();
    EXPECT_EQ(LogLines(), (QStringList{": MeterIn=True.", ": MeterIn=True.", ": PreScreenClose.",
                                       ": Error RecordStart .The sound input device is busy."}));
    EXPECT_TRUE(w->cmdRecord->isEnabled());
    EXPECT_FALSE(w->tmrRec->isActive());
}

TEST_F(MicRecorderWindowTest, AStopThatFailsIsReportedAsAFailure)
{
    Open();
    WriteBytes(take, "an earlier take");
    msgBox->Expect("The file " + take + " is already exists, overwrite it?", vbYes);
    w->cmdRecord_Click();
    fake->FailNextStopRecord(kWaveErrFile, "The disk is full; the recording was not kept.");
    w->cmdStopRec_Click();
    Events();
    const QStringList lines = LogLines();
    EXPECT_FALSE(lines.contains(": RecordStop Success."));
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{": Error RecordStop .The disk is full; the recording was not kept.",
                                                        ": DoneRecord Event."}));
    EXPECT_EQ(ReadBytes(take), "an earlier take");
    EXPECT_TRUE(w->cmdRecord->isEnabled());
}

TEST_F(MicRecorderWindowTest, ARecordingThatEndsByItselfSaysHowItEnded)
{
    Open();
    w->cmdRecord_Click();
    fake->EndRecording(kWaveErrDevice, "The sound input device stopped working.");
    Events();
    const QStringList lines = LogLines();
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{": Error RecordStop .The sound input device stopped working.",
                                                        ": DoneRecord Event."}));
    EXPECT_TRUE(w->cmdRecord->isEnabled());
    EXPECT_FALSE(w->tmrRec->isActive());
}

TEST_F(MicRecorderWindowTest, RecordingOverAnExistingFileAsksFirst)
{
    Open();
    WriteBytes(take, "an earlier take");
    const qsizetype loaded = fake->calls.size();
    msgBox->Expect("The file " + take + " is already exists, overwrite it?", vbNo);
    w->cmdRecord_Click();
    EXPECT_EQ(CallsFrom(loaded), QStringList{});
    EXPECT_EQ(LogLines(), QStringList{": MeterIn=True."});
    EXPECT_EQ(ReadBytes(take), "an earlier take");
    EXPECT_EQ(msgBox->shown.back().flags, platform::vbInformation | platform::vbYesNo);

    msgBox->Expect("is already exists, overwrite it?", vbYes);
    w->cmdRecord_Click();
    EXPECT_TRUE(fake->IsRecording());
    w->cmdStopRec_Click();
    EXPECT_NE(ReadBytes(take), "an earlier take");
}

TEST_F(MicRecorderWindowTest, ChoosingTheFile)
{
    Open();
    const QString chosen = Dir() + "chosen.wav";
    // A new file.
    dialogs->ExpectSave(chosen);
    w->cmdPath->click();
    EXPECT_EQ(w->txtAudioFile->text(), chosen);
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(dialogs->saveRequests[0].title, "Save as WAV file");
    EXPECT_EQ(dialogs->saveRequests[0].defaultSuffix, "wav");
    EXPECT_TRUE(dialogs->saveRequests[0].nameFilter.contains("Audio Wav File (*.wav)"));
    // Cancelled: nothing changes.
    dialogs->ExpectSave("");
    w->cmdPath_Click();
    EXPECT_EQ(w->txtAudioFile->text(), chosen);
    // An existing file, answered No: the old path stays.
    WriteBytes(take, "an earlier take");
    dialogs->ExpectSave(take);
    msgBox->Expect("The file " + take + " is already exists, overwrite it?", vbNo);
    w->cmdPath_Click();
    EXPECT_EQ(w->txtAudioFile->text(), chosen);
    // Answered Yes: it becomes the destination, untouched, and Record does not ask again.
    dialogs->ExpectSave(take);
    msgBox->Expect("is already exists, overwrite it?", vbYes);
    w->cmdPath_Click();
    EXPECT_EQ(w->txtAudioFile->text(), take);
    EXPECT_EQ(ReadBytes(take), "an earlier take");
    w->cmdRecord_Click();
    EXPECT_TRUE(fake->IsRecording());
    w->cmdStopRec_Click();
    Events();
    // The next take over it asks again.
    msgBox->Expect("is already exists, overwrite it?", vbNo);
    w->cmdRecord_Click();
    EXPECT_FALSE(fake->IsRecording());
}

TEST_F(MicRecorderWindowTest, WithNoDeviceTheListStaysEmptyAndTheControlGetsMinusOne)
{
    const std::vector<FakeWave::Device> none;
    Open(&none);
    EXPECT_EQ(w->cboDevices->count(), 0);
    EXPECT_EQ(w->cboDevices->currentIndex(), -1);
    fake->FailNextRecordStart(kWaveErrNoDevice, "No input device.");
    w->cmdRecord_Click();
    EXPECT_TRUE(fake->calls.contains("RecordStart -1 " + take + " 1600"));
    EXPECT_EQ(LogLines().last(), ": Error RecordStart .No input device.");
    WriteSmallWave(take, 100);
    fake->FailNextPlay(kWaveErrNoDevice, "No output device.");
    w->cmdPlay_Click();
    EXPECT_TRUE(fake->calls.contains("Play " + take + " -1 8000"));
    EXPECT_EQ(LogLines().last(), ": Error Play Start:No output device.");
    EXPECT_FALSE(w->tmSlider->isActive());
}

TEST_F(MicRecorderWindowTest, PlayingTheFile)
{
    Open();
    // A missing file: a message, and nothing asked of the control.
    const qsizetype loaded = fake->calls.size();
    msgBox->Expect("The audio file " + take + " doesn't exists");
    w->cmdPlay_Click();
    EXPECT_EQ(CallsFrom(loaded), QStringList{});
    EXPECT_EQ(msgBox->shown.back().flags, platform::vbInformation);

    WriteSmallWave(take, 1000);
    WaveFileInfo info;
    info.SecondsLength = 75;
    fake->files[take] = info;
    w->cmdPlay->click();
    EXPECT_TRUE(fake->calls.contains("Play " + take + " 0 8000"));
    EXPECT_EQ(w->lbTotalLengthSec->text(), "0:01:15");
    EXPECT_TRUE(w->tmSlider->isActive());
    EXPECT_EQ(w->tmSlider->interval(), 100);
    EXPECT_EQ(LogLines().mid(1), (QStringList{"", ": PlayeStart Success."}));
    EXPECT_TRUE(w->txtResults->toPlainText().contains("MeterIn=True.\n\n"));

    // Play while playing does nothing and writes nothing.
    const qsizetype playing = fake->calls.size();
    w->cmdPlay_Click();
    EXPECT_EQ(CallsFrom(playing), (QStringList{"IsPlaying"}));
    EXPECT_EQ(LogLines().size(), 3);

    fake->MoveTo(45, 75);
    w->tmSlider_Timer();
    EXPECT_EQ(w->cSlider1->Value(), 6);
    EXPECT_EQ(w->lblCurrentPositionSec->text(), "0:00:45");

    w->cmdPauseOut->click();
    w->cmdUnPauseOut->click();
    EXPECT_EQ(LogLines().mid(3), (QStringList{": PlayPause.", ": PlayUnPause."}));
    fake->FinishPlay();
    Events();
    EXPECT_EQ(LogLines().last(), ": DonePlay Event.");
    // The position display runs until Stop.
    EXPECT_TRUE(w->tmSlider->isActive());
    w->cmdStop->click();
    EXPECT_EQ(LogLines().last(), ": PlayStop Success.");
    EXPECT_FALSE(w->tmSlider->isActive());
    EXPECT_EQ(w->cSlider1->Value(), 0);
}

TEST_F(MicRecorderWindowTest, AStopOfPlaybackTheControlRefusesIsLoggedAsAnError)
{
    Open();
    WriteSmallWave(take, 1000);
    w->cmdPlay_Click();
    fake->MoveTo(1, 2);
    w->tmSlider_Timer();
    ASSERT_GT(w->cSlider1->Value(), 0);
    fake->FailNextStopPlay(kWaveErrDevice, "The sound output device stopped working.");
    w->cmdStop_Click();
    EXPECT_EQ(LogLines().last(), ": Error PlayStop .The sound output device stopped working.");
    EXPECT_FALSE(LogLines().contains(": PlayStop Success."));
    EXPECT_FALSE(w->tmSlider->isActive());
    EXPECT_EQ(w->cSlider1->Value(), 0);
}

TEST_F(MicRecorderWindowTest, TheMeterShowsTheInputLevel)
{
    Open();
    fake->SendLevel(67);
    Events();
    EXPECT_EQ(w->prgMeter->Value(), 67);
    fake->SendLevel(100);
    Events();
    EXPECT_EQ(w->prgMeter->Value(), 100);
}

TEST_F(MicRecorderWindowTest, AddRefusesAMissingOrEmptyFile)
{
    struct Case {
        const char* name; // "": an empty destination box
        qint64 bytes;     // -1: no file
        const char* message;
    } cases[] = {{"", -1, " was not found."}, {"missing.wav", -1, " was not found."}, {"header.wav", 64, " is empty."}};
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = QString(c.name).isEmpty() ? QString() : Dir() + c.name;
        if (c.bytes >= 0) WriteSmallWave(path, c.bytes);
        w->txtAudioFile->setText(path);
        msgBox->Expect(c.message);
        w->cmdAdd_Click();
        EXPECT_EQ(msgBox->shown.back().text, "The file:" + path + c.message);
        EXPECT_EQ(msgBox->shown.back().flags, platform::vbInformation);
    }
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_FALSE(main.calls.contains("SaveGridToFile"));
    EXPECT_TRUE(g_frmMicRecorder.IsLoaded());
}

TEST_F(MicRecorderWindowTest, AddPutsTheFileInTheOpenListAndItsFileAndCloses)
{
    Open();
    WriteSmallWave(take, 65);
    w->cmdAdd->click();
    ASSERT_EQ(main.cGrid1->Rows(), 1);
    EXPECT_EQ(main.cGrid1->CellText(1, kColFile).toString(), take);
    EXPECT_EQ(main.cGrid1->CellText(1, kColItemName).toString(), "take.wav");
    EXPECT_EQ(main.calls.mid(main.calls.size() - 2), (QStringList{"SaveGridToFile", "DisplayGridInfoStatusBar"}));
    EXPECT_FALSE(g_frmMicRecorder.IsLoaded());
    EXPECT_FALSE(g_frmStat.IsLoaded());
}

TEST_F(MicRecorderWindowTest, AddWaitsForTheRecordingAndForAList)
{
    Open();
    WriteSmallWave(take, 1000);
    msgBox->Expect("is already exists, overwrite it?", vbYes);
    w->cmdRecord_Click();
    msgBox->Expect("The recording is still running. Stop it first, then add the file.");
    w->cmdAdd_Click();
    w->cmdStopRec_Click();
    Events();

    cTreeNode* cd = main.cTreeView1->Nodes()->Add(nullptr, 0, "##CDD: /dev/sr0", "D:");
    cd->SetSelected(true);
    msgBox->Expect("Adding new items to the Audio CD List is not possible.");
    w->cmdAdd_Click();
    cTreeNode* root = main.cTreeView1->Nodes()->Add(nullptr, 0, "##MAINLists", "Items Lists");
    root->SetSelected(true);
    msgBox->Expect("Select the Items List to add the recording to.");
    w->cmdAdd_Click();
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_TRUE(main.calls.isEmpty());
    EXPECT_TRUE(g_frmMicRecorder.IsLoaded());
}

TEST_F(MicRecorderWindowTest, AFileThatCannotBeReadIsNotAddedAndTheWindowStays)
{
    Open();
    WriteBytes(take, QByteArray(200, 'x'));
    msgBox->Expect("Cannot add " + take);
    w->cmdAdd_Click();
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_FALSE(main.calls.contains("SaveGridToFile"));
    EXPECT_TRUE(g_frmMicRecorder.IsLoaded());
}

TEST_F(MicRecorderWindowTest, ClosingStopsPlayingAndRecordingAndReleasesTheControl)
{
    Open();
    w->cmdRecord_Click();
    const qsizetype before = fake->calls.size();
    w->cmdExit->click();
    EXPECT_FALSE(g_frmMicRecorder.IsLoaded());
    ASSERT_NE(FakeWave::Last(), nullptr); // deleted later
    EXPECT_EQ(fake->calls.mid(before), (QStringList{"StopPlay", "StopRecord", "Terminate"}));
    EXPECT_TRUE(QFileInfo(take).size() > 44);
}

TEST_F(MicRecorderWindowTest, TheLinkOpensTheWebSite)
{
    Open();
    w->lblNoticParameters_Click();
    EXPECT_EQ(shell->opened, QStringList{g_sAppSiteRoot});
}

} // namespace
