// The main window's "Audio Recorder" command on the real recorder control:
// ALSA's "default" device records a prepared raw file and plays into another
// (not paced in real time); the take is recorded, played, added to the open
// list and checked with ffprobe.
#include "MicRecorderFixture.h"

#include "controls/audio/AudioTestSupport.h"
#include "controls/audio/PlayerTestSupport.h"
#include "controls/widgets/Grid.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/TextFiles.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <alsa/asoundlib.h>

namespace {

constexpr int kSafetyMs = 60000; // a safety net for a broken build, never a measure
constexpr qint64 kBytesPerSecond = 44100 * 4;

// Noise in the sample type of `bits` (8: unsigned), interleaved.
QByteArray Noise(int rate, int bits, int channels, double seconds)
{
    QRandomGenerator random(11);
    QByteArray out;
    const qint64 samples = qint64(seconds * rate) * channels;
    for (qint64 i = 0; i < samples; ++i) {
        if (bits == 8) {
            out.append(char(random.bounded(20, 236)));
        } else {
            const auto s = std::int16_t(random.bounded(-20000, 20000));
            out.append(char(s & 0xFF)).append(char((s >> 8) & 0xFF));
        }
    }
    return out;
}

int SecondsOf(const QString& hhmmss)
{
    const QStringList parts = hhmmss.split(':');
    return parts.size() == 3 ? parts[0].toInt() * 3600 + parts[1].toInt() * 60 + parts[2].toInt() : -1;
}

class MicRecorderEndToEndTest : public rectest::MicRecorderTestBase {
protected:
    void SetUp() override
    {
        MicRecorderTestBase::SetUp();
        SetWaveFactory({});
        cSysTray::SetAvailableOverride(1);
        g_bSelectTheLastItem = true;
        m_home = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        // "default" records input.raw and plays into played.raw.
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        QDir().mkpath(config + "/alsa");
        audiotest::WriteFile(config + "/alsa/asoundrc",
                             QString("pcm.!default { type file slave.pcm \"null\" file \"%1\" infile \"%2\" "
                                     "format \"raw\" }\n")
                                 .arg(Played(), Input())
                                 .toUtf8());
        snd_config_update_free_global();
        Prepare(44100, 16, 2);
    }
    // The input "default" records from, in that format.
    void Prepare(int rate, int bits, int channels)
    {
        input = Noise(rate, bits, channels, 4);
        audiotest::WriteFile(Input(), input);
    }
    // Records until the meter has seen 3.5 s of the input, then presses Stop.
    void RecordAndStop()
    {
        int levels = 0;
        QObject context;
        QObject::connect(w->cWave1.get(), &cWave::Level, &context, [&] {
            if (++levels == 70) w->cmdStopRec->click();
        });
        w->cmdRecord->click();
        EXPECT_TRUE(Logged(": RecordStart Success.")) << Log().join('\n').toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->cmdRecord->isEnabled(); }, kSafetyMs));
        EXPECT_TRUE(Logged(": RecordStop Success.")) << Log().join('\n').toStdString();
        EXPECT_EQ(Log().last(), ": DoneRecord Event.");
    }
    // The take is a valid wave file of that format that starts with the input.
    void CheckTake(const char* codec, int rate, int channels, qint64 bytesPerSecond)
    {
        EXPECT_EQ(audiotest::ProbeStream(Take(), "codec_name"), codec);
        EXPECT_EQ(audiotest::ProbeStream(Take(), "sample_rate"), QString::number(rate));
        EXPECT_EQ(audiotest::ProbeStream(Take(), "channels"), QString::number(channels));
        const QByteArray data = playertest::WavData(Take());
        ASSERT_GE(data.size(), 3 * bytesPerSecond);
        EXPECT_TRUE(data.left(3 * bytesPerSecond) == input.left(3 * bytesPerSecond));
        EXPECT_TRUE(audiotest::LeftoverTempFiles(home.path()).isEmpty());
    }
    void TearDown() override
    {
        MicRecorderTestBase::TearDown();
        snd_config_update_free_global();
        qputenv("HOME", m_home);
        cSysTray::SetAvailableOverride(-1);
        g_bSelectTheLastItem = false;
    }
    QString Input() const { return home.filePath("input.raw"); }
    QString Played() const { return home.filePath("played.raw"); }
    QString Take() const { return home.filePath("wave_file.wav"); }
    QStringList Log() const { return LogLines(); }
    bool Logged(const QString& line) const { return LogLines().contains(line); }

    QTemporaryDir home;
    QByteArray input;

private:
    QByteArray m_home;
};

TEST_F(MicRecorderEndToEndTest, RecordStopPlayAndAddThroughTheMainWindow)
{
    CfrmMain* main = frmMain.get();
    WaitForOpenList();
    ASSERT_TRUE(main->cTreeView1->SelectedItem());
    const QString listFile = main->cTreeView1->SelectedItem()->Key();
    ASSERT_FALSE(MainWindowServices::IsMainNode(listFile));
    const int rowsBefore = main->cGrid1->Rows();

    bool shown = false;
    modal->hook = [&](QWidget* window) {
        w = qobject_cast<CfrmMicRecorder*>(window);
        ASSERT_NE(w, nullptr);
        shown = true;
        EXPECT_EQ(w->txtAudioFile->text(), Take());
        ASSERT_GE(w->cboDevices->count(), 1);
        EXPECT_TRUE(w->cboDevices->itemText(0).startsWith("0 - default - "));

        RecordAndStop();
        EXPECT_GT(w->prgMeter->Value(), 0);

        // Play it back: what "default" plays is what was recorded.
        w->cmdPlay->click();
        EXPECT_TRUE(Logged(": PlayeStart Success.")) << Log().join('\n').toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return Logged(": DonePlay Event."); }, kSafetyMs));
        w->cmdStop->click();
        EXPECT_EQ(Log().last(), ": PlayStop Success.");
        const QByteArray data = playertest::WavData(Take());
        const QByteArray played = audiotest::ReadFile(Played());
        EXPECT_TRUE(played.left(3 * kBytesPerSecond) == data.left(3 * kBytesPerSecond));

        w->cmdAdd->click();
    };
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio Recorder"));
    ASSERT_TRUE(shown);
    EXPECT_FALSE(g_frmMicRecorder.IsLoaded());

    CheckTake("pcm_s16le", 44100, 2, kBytesPerSecond);

    // The list shows the take with its length, and its file holds it.
    ASSERT_EQ(main->cGrid1->Rows(), rowsBefore + 1);
    const int row = main->cGrid1->Rows();
    EXPECT_EQ(main->cGrid1->CellText(row, kColFile).toString(), Take());
    EXPECT_EQ(main->cGrid1->CellText(row, kColItemName).toString(), "wave_file.wav");
    const double duration = audiotest::ProbeDuration(Take());
    ASSERT_GT(duration, 3);
    EXPECT_NEAR(SecondsOf(main->cGrid1->CellText(row, kColTime).toString()), duration, 1);
    EXPECT_TRUE(audiotest::ReadFile(listFile).contains(Take().toUtf8()));
}

TEST_F(MicRecorderEndToEndTest, ATakeInAnotherFormatReplacesAnEarlierFileOnlyWhenAgreed)
{
    Prepare(22050, 8, 1);
    audiotest::WriteFile(Take(), "an earlier take");
    CfrmMain* main = frmMain.get();
    WaitForOpenList();
    const int rowsBefore = main->cGrid1->Rows();
    bool shown = false;
    modal->hook = [&](QWidget* window) {
        w = qobject_cast<CfrmMicRecorder*>(window);
        ASSERT_NE(w, nullptr);
        shown = true;
        w->cboBitPerSample->setCurrentText("8");
        w->cboSamplesPerSec->setCurrentText("22050");
        w->cboChannels->setCurrentText("Mono");
        msgBox->Expect("The file " + Take() + " is already exists, overwrite it?", platform::vbNo);
        w->cmdRecord->click();
        EXPECT_EQ(audiotest::ReadFile(Take()), "an earlier take");
        EXPECT_EQ(Log(), QStringList{": MeterIn=True."});
        msgBox->Expect("is already exists, overwrite it?", platform::vbYes);
        RecordAndStop();
        w->cmdExit->click();
    };
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio Recorder"));
    ASSERT_TRUE(shown);
    CheckTake("pcm_u8", 22050, 1, 22050);
    EXPECT_EQ(main->cGrid1->Rows(), rowsBefore);
}

} // namespace
