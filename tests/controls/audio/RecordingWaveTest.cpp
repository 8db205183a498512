// The real recorder control: it records through ALSA devices that read a
// prepared raw file ("recorded", not paced) or a pipe the test writes at its
// own pace ("pacedcapture"), and plays into a file or a pipe.
#include "controls/audio/AudioTestSupport.h"
#include "controls/audio/PlayerTestSupport.h"
#include "controls/audio/RecordingTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace playertest;
using namespace recordingtest;

namespace {

constexpr std::int16_t kBufferHint = 1600;
constexpr int kPeriodsPerSecond = 20; // the recorder reads the device in periods of 1/20 s

qint64 PeriodBytes(const WAVEFORMATEX& f) { return qint64(f.nSamplesPerSec / kPeriodsPerSecond) * f.nBlockAlign; }

class RealRecorder : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(audiotest::LeftoverTempFiles(dir.path()).isEmpty()); }
    QString Path(const QString& name) const { return dir.filePath(name); }

    // Records the raw input through "recorded" until the meter has seen
    // `periods` periods; StopRecord runs inside that Level event.
    std::int32_t RecordFromFile(const QString& dest, const WAVEFORMATEX& format, const QByteArray& input,
                                size_t periods, WaveEvents& ev)
    {
        audiotest::WriteFile(RecordedSource(), input);
        std::int32_t stopped = -1;
        ev.onLevel = [&](size_t n) {
            if (n == periods) stopped = wave.StopRecord();
        };
        EXPECT_EQ(wave.RecordStart(InputIndex("recorded"), dest, format, kBufferHint), 0)
            << wave.GetErrorText(1).toStdString();
        EXPECT_TRUE(ev.WaitRecordDone());
        return stopped;
    }

    // Starts recording from "pacedcapture" (44.1 kHz, 16 bits, stereo) and
    // waits until the first `periods` periods of the input are in the file.
    void StartPaced(PacedSource& source, const QString& dest, qint64 periods)
    {
        source.Allow(periods * period);
        ASSERT_EQ(wave.RecordStart(InputIndex("pacedcapture"), dest, paced, kBufferHint), 0);
        ASSERT_TRUE(WaitTempSize(44 + periods * period));
    }

    // Stops a recording from "pacedcapture": the device reads on until the
    // recorder has seen the stop, so the rest of the input is let through
    // and then the end of it (after which the device repeats its last period).
    template <class Stop>
    auto StopPaced(PacedSource& source, Stop stop)
    {
        source.Finish();
        return stop();
    }
    // What was recorded from the point where the input went on after a stop
    // or a pause, as far as the input goes.
    static bool RecordedFrom(const QByteArray& recorded, qint64 at, const QByteArray& input, qint64 from)
    {
        const qint64 n = std::min(recorded.size() - at, input.size() - from);
        return n >= 0 && recorded.mid(at, n) == input.mid(from, n);
    }

    // The temporary file of the running recording.
    QString TempFile() const
    {
        const QStringList temps = audiotest::LeftoverTempFiles(dir.path());
        return temps.size() == 1 ? dir.filePath(temps.first()) : QString();
    }
    bool WaitTempSize(qint64 bytes)
    {
        const bool ok = QTest::qWaitFor([&] { return QFileInfo(TempFile()).size() == bytes; }, 60000);
        if (!ok) ADD_FAILURE() << "the recording holds " << QFileInfo(TempFile()).size() << " bytes, not " << bytes;
        return ok;
    }

    QTemporaryDir dir;
    cWave wave;
    const WAVEFORMATEX paced = PcmFormat(44100, 16, 2);
    const qint64 period = PeriodBytes(paced);
};

TEST_F(RealRecorder, RecordsTheInputInTheFormatAskedFor)
{
    struct Case {
        int rate, bits, channels;
        const char* codec;
    } cases[] = {{44100, 16, 2, "pcm_s16le"}, {22050, 8, 1, "pcm_u8"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codec);
        const WAVEFORMATEX format = PcmFormat(c.rate, c.bits, c.channels);
        const QByteArray input = NoiseRaw(format, 3.2);
        const QString dest = Path(QString("take-%1.wav").arg(c.rate));
        audiotest::WriteFile(dest, "an earlier take");
        WaveEvents ev(wave);
        EXPECT_EQ(RecordFromFile(dest, format, input, 75, ev), 0);
        QCoreApplication::processEvents();
        EXPECT_EQ(ev.recordDone, 1);

        EXPECT_EQ(audiotest::ProbeStream(dest, "codec_name"), c.codec);
        EXPECT_EQ(audiotest::ProbeStream(dest, "sample_rate"), QString::number(c.rate));
        EXPECT_EQ(audiotest::ProbeStream(dest, "channels"), QString::number(c.channels));
        const QByteArray data = WavData(dest);
        const qint64 threeSeconds = qint64(3) * format.nAvgBytesPerSec;
        ASSERT_GE(data.size(), threeSeconds);
        EXPECT_TRUE(data.left(threeSeconds) == input.left(threeSeconds));
        const Header h = ReadHeader(audiotest::ReadFile(dest));
        EXPECT_EQ(qint64(h.dataSize), data.size());
        EXPECT_EQ(qint64(h.riffSize), QFileInfo(dest).size() - 8);
    }
}

TEST_F(RealRecorder, TheMeterFollowsTheInputLevel)
{
    const WAVEFORMATEX format = PcmFormat(44100, 16, 2);
    WaveEvents ev(wave);
    EXPECT_EQ(RecordFromFile(Path("steps.wav"), format, SineRaw(format, 1, -20) + SineRaw(format, 1, 0), 45, ev), 0);
    ASSERT_GE(ev.levels.size(), 40u);
    // One period of slack on each side of the step.
    for (size_t i = 0; i < 19; ++i) EXPECT_NEAR(ev.levels[i], 67, 1) << i; // -20 dB on a 60 dB scale
    for (size_t i = 21; i < 40; ++i) EXPECT_EQ(ev.levels[i], 100) << i;
}

TEST_F(RealRecorder, SilenceReadsZero)
{
    const WAVEFORMATEX format = PcmFormat(22050, 8, 1);
    WaveEvents ev(wave);
    EXPECT_EQ(RecordFromFile(Path("quiet.wav"), format, QByteArray(22050, char(0x80)), 10, ev), 0);
    ASSERT_GE(ev.levels.size(), 10u);
    EXPECT_EQ(ev.levels[0], 0);
}

TEST_F(RealRecorder, TheHeaderIsUpToDateEverySecondWhileRecording)
{
    const QByteArray input = NoiseRaw(paced, 3);
    PacedSource source(input, period);
    const QString dest = Path("growing.wav");
    ASSERT_NO_FATAL_FAILURE(StartPaced(source, dest, 30));

    // The file as a crash would leave it: its header counts the first second.
    const QString snapshot = Path("snapshot.bin");
    ASSERT_TRUE(QFile::copy(TempFile(), snapshot));
    const Header h = ReadHeader(audiotest::ReadFile(snapshot));
    EXPECT_TRUE(h.riff);
    EXPECT_EQ(h.dataSize, quint32(paced.nAvgBytesPerSec));
    EXPECT_EQ(h.riffSize, 36 + h.dataSize);
    EXPECT_EQ(audiotest::ProbeStream(snapshot, "codec_name"), "pcm_s16le");
    const audiotest::Decoded decoded = audiotest::Decode(snapshot);
    EXPECT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.samples, 44100);
    EXPECT_FALSE(QFileInfo::exists(dest));

    EXPECT_EQ(StopPaced(source, [&] { return wave.StopRecord(); }), 0);
    const QByteArray data = WavData(dest);
    EXPECT_GE(data.size(), 30 * period);
    EXPECT_TRUE(RecordedFrom(data, 0, input, 0));
    EXPECT_EQ(qint64(ReadHeader(audiotest::ReadFile(dest)).dataSize), data.size());
}

TEST_F(RealRecorder, PausedPeriodsStayOutOfTheFile)
{
    const QByteArray input = NoiseRaw(paced, 3);
    PacedSource source(input, period);
    WaveEvents ev(wave);
    ASSERT_NO_FATAL_FAILURE(StartPaced(source, Path("paused.wav"), 10));
    EXPECT_FALSE(wave.IsRecordPaused());

    wave.PauseRecord();
    EXPECT_TRUE(wave.IsRecordPaused());
    source.Allow(20 * period);
    ASSERT_TRUE(ev.WaitLevels(20)); // the meter goes on while paused
    wave.ResumeRecord();
    EXPECT_FALSE(wave.IsRecordPaused());
    source.Allow(30 * period);
    ASSERT_TRUE(WaitTempSize(44 + 20 * period));

    EXPECT_EQ(StopPaced(source, [&] { return wave.StopRecord(); }), 0);
    EXPECT_FALSE(wave.IsRecordPaused());
    const QByteArray data = WavData(Path("paused.wav"));
    EXPECT_GE(data.size(), 20 * period);
    EXPECT_TRUE(data.left(10 * period) == input.left(10 * period));
    EXPECT_TRUE(RecordedFrom(data, 10 * period, input, 20 * period));
    ASSERT_TRUE(ev.WaitRecordDone());
}

TEST_F(RealRecorder, WithoutTheMeterNoLevelArrives)
{
    PacedSource source(NoiseRaw(paced, 1), period);
    WaveEvents ev(wave);
    wave.SetMeterEnabled(false);
    ASSERT_NO_FATAL_FAILURE(StartPaced(source, Path("unmetered.wav"), 5));
    EXPECT_EQ(StopPaced(source, [&] { return wave.StopRecord(); }), 0);
    ASSERT_TRUE(ev.WaitRecordDone());
    EXPECT_TRUE(ev.levels.empty());
}

TEST_F(RealRecorder, ASecondStartWhileRecordingIsRefused)
{
    PacedSource source(NoiseRaw(paced, 1), period);
    ASSERT_NO_FATAL_FAILURE(StartPaced(source, Path("first.wav"), 1));
    EXPECT_EQ(wave.RecordStart(InputIndex("recorded"), Path("second.wav"), paced, kBufferHint), kWaveErrBusy);
    EXPECT_EQ(StopPaced(source, [&] { return wave.StopRecord(); }), 0);
    EXPECT_EQ(wave.StopRecord(), kWaveErrNotRecording);
    EXPECT_EQ(wave.GetErrorText(kWaveErrNotRecording), "No recording is running.");
    EXPECT_FALSE(QFileInfo::exists(Path("second.wav")));
}

TEST_F(RealRecorder, AFailedStartSaysWhyAndLeavesTheEarlierFileAlone)
{
    const QString dest = Path("keep.wav");
    audiotest::WriteFile(dest, "an earlier take");
    struct Case {
        const char* what;
        std::int32_t device;
        QString path;
        WAVEFORMATEX format;
        std::int32_t code;
        const char* text;
    } cases[] = {
        {"24 bits", -1, dest, PcmFormat(44100, 24, 2), kWaveErrFormat, "cannot be recorded (format 1, 2 channels, 44100 Hz, 24 bits)"},
        {"3 channels", -1, dest, PcmFormat(44100, 16, 3), kWaveErrFormat, "3 channels"},
        {"500 Hz", -1, dest, PcmFormat(500, 16, 1), kWaveErrFormat, "500 Hz"},
        {"no file name", -1, "", PcmFormat(44100, 16, 2), kWaveErrNoFileName, "No file to record into"},
        {"no such device", 99, dest, PcmFormat(44100, 16, 2), kWaveErrNoDevice, "no sound input device number 99"},
        {"no such card", InputIndex("missingcard"), dest, PcmFormat(44100, 16, 2), kWaveErrNoDevice,
         "\"missingcard\" cannot be found"},
        {"a folder", -1, dir.path(), PcmFormat(44100, 16, 2), kWaveErrFile, "it is not a file"},
        {"no folder", -1, Path("gone/take.wav"), PcmFormat(44100, 16, 2), kWaveErrFile, "does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(wave.RecordStart(c.device, c.path, c.format, kBufferHint), c.code);
        EXPECT_TRUE(wave.GetErrorText(c.code).contains(c.text)) << wave.GetErrorText(c.code).toStdString();
        EXPECT_EQ(audiotest::ReadFile(dest), "an earlier take");
    }
    EXPECT_EQ(wave.StopRecord(), kWaveErrNotRecording);
}

TEST_F(RealRecorder, WithoutASoundDeviceRecordAndPlaySayWhy)
{
    QTemporaryDir empty;
    UseAlsaConfigFolder(empty.path());
    EXPECT_EQ(wave.GetDeviceCount(kWaveInputDevices), wave.GetDeviceCount(kWaveInputDevices));
    WaveDeviceCaps caps;
    for (std::int32_t i = 0; i < wave.GetDeviceCount(kWaveInputDevices); ++i) {
        ASSERT_EQ(wave.GetDeviceCaps(i, caps, kWaveInputDevices), 0);
        EXPECT_NE(caps.sName, "default");
    }
    EXPECT_EQ(wave.RecordStart(-1, Path("none.wav"), PcmFormat(44100, 16, 2), kBufferHint), kWaveErrNoDevice);
    EXPECT_TRUE(wave.GetErrorText(kWaveErrNoDevice).startsWith("The sound input device \"default\" cannot be found"));
    audiotest::WriteWav(Path("some.wav"), 8000, 1, 16, 0.1);
    EXPECT_EQ(wave.Play(Path("some.wav"), -1, 8000), kWaveErrNoDevice);
    EXPECT_TRUE(wave.GetErrorText(kWaveErrNoDevice).contains("output device \"default\" cannot be found"));
    EXPECT_FALSE(wave.IsPlaying());
    UseAlsaConfigFolder({});
    EXPECT_FALSE(QFileInfo::exists(Path("none.wav")));
}

TEST_F(RealRecorder, ListsTheDevicesOfEachKind)
{
    audiotest::WriteFile(RecordedSource(), QByteArray(4096, '\0')); // "recorded" opens only with its file
    const std::int32_t inputs = wave.GetDeviceCount(kWaveInputDevices);
    ASSERT_GT(inputs, 0);
    WaveDeviceCaps caps;
    ASSERT_EQ(wave.GetDeviceCaps(0, caps, kWaveInputDevices), 0);
    EXPECT_EQ(caps.sName, "default");
    ASSERT_EQ(wave.GetDeviceCaps(InputIndex("recorded"), caps, kWaveInputDevices), 0);
    EXPECT_EQ(caps.sName, "recorded");
    EXPECT_EQ(caps.lKind, kWaveInputDevices);
    EXPECT_EQ(caps.lChannels, 2);
    ASSERT_EQ(wave.GetDeviceCaps(InputIndex("missingcard"), caps, kWaveInputDevices), 0);
    EXPECT_EQ(caps.lChannels, 0);
    EXPECT_EQ(wave.GetDeviceCaps(inputs, caps, kWaveInputDevices), kWaveErrNoDevice);
    EXPECT_TRUE(caps.sName.isEmpty());

    ASSERT_GT(wave.GetDeviceCount(kWaveOutputDevices), 0);
    ASSERT_EQ(wave.GetDeviceCaps(0, caps, kWaveOutputDevices), 0);
    EXPECT_EQ(caps.sName, "default");
    EXPECT_EQ(caps.lKind, kWaveOutputDevices);
}

TEST_F(RealRecorder, ReadsTheFactsOfAWaveFile)
{
    audiotest::WriteWav(Path("facts.wav"), 22050, 1, 8, 2.5);
    WaveFileInfo info;
    ASSERT_EQ(wave.GetFileInfo(Path("facts.wav"), info), 0);
    EXPECT_EQ(info.wFormatTag, 1);
    EXPECT_EQ(info.nChannels, 1);
    EXPECT_EQ(info.nSamplesPerSec, 22050u);
    EXPECT_EQ(info.nAvgBytesPerSec, 22050u);
    EXPECT_EQ(info.nBlockAlign, 1);
    EXPECT_EQ(info.wBitsPerSample, 8);
    EXPECT_EQ(info.FileName, "facts.wav");
    EXPECT_EQ(info.FilePath, dir.path());
    EXPECT_EQ(info.SecondsLength, 2);

    EXPECT_EQ(wave.GetFileInfo(Path("missing.wav"), info), kWaveErrFileMissing);
    EXPECT_EQ(info.SecondsLength, 0);
    audiotest::WriteFile(Path("text.wav"), "not a wave file at all, only some text");
    EXPECT_EQ(wave.GetFileInfo(Path("text.wav"), info), kWaveErrNotAudio);
    EXPECT_TRUE(wave.GetErrorText(kWaveErrNotAudio).contains("not a wave file"));
}

TEST_F(RealRecorder, PlaysTheFileBackOnTheDeviceOfTheSameName)
{
    QFile::remove(PlayedFile());
    audiotest::Signal noise;
    noise.frequency = 0;
    audiotest::WriteWav(Path("back.wav"), 22050, 2, 16, 0.5, noise);
    WaveEvents ev(wave);
    ASSERT_EQ(wave.Play(Path("back.wav"), std::int16_t(InputIndex("default")), 8000), 0);
    EXPECT_TRUE(wave.IsPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ev.playDone == 1; }, 60000));
    EXPECT_FALSE(wave.IsPlaying());
    EXPECT_EQ(wave.GetPlayPosition(), 0);
    EXPECT_TRUE(ReadAll(PlayedFile()) == WavData(Path("back.wav")));
    EXPECT_EQ(wave.StopPlay(), 0); // nothing to stop is no failure
}

TEST_F(RealRecorder, ThePlayPositionRunsOnTheSlidersScale)
{
    WritePatternWav(Path("long.wav"), 44100, 4, 4);
    auto sink = std::make_unique<PacedSink>();
    sink->Allow(2 * 44100 * 4);
    WaveEvents ev(wave);
    ASSERT_EQ(wave.Play(Path("long.wav"), std::int16_t(InputIndex("paced")), 8000), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wave.GetPlaySeconds() >= 1; }, 60000));
    // Four seconds make ten steps; what the pipe holds counts as heard.
    EXPECT_GE(wave.GetPlayPosition(), 3);
    EXPECT_LE(wave.GetPlayPosition(), 8);
    wave.PausePlay();
    wave.ResumePlay();
    EXPECT_TRUE(wave.IsPlaying());
    sink->AllowAll(); // a write the pipe holds up would hold up the stop
    EXPECT_EQ(wave.StopPlay(), 0);
    EXPECT_FALSE(wave.IsPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ev.playDone == 1; }, 60000));
}

TEST_F(RealRecorder, TerminateKeepsWhatWasRecordedWithoutAnEvent)
{
    const QByteArray input = NoiseRaw(paced, 1);
    PacedSource source(input, period);
    WaveEvents ev(wave);
    ASSERT_NO_FATAL_FAILURE(StartPaced(source, Path("kept.wav"), 4));
    StopPaced(source, [&] {
        wave.Terminate();
        return 0;
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(ev.recordDone, 0);
    const QByteArray data = WavData(Path("kept.wav"));
    EXPECT_GE(data.size(), 4 * period);
    EXPECT_TRUE(RecordedFrom(data, 0, input, 0));
    EXPECT_EQ(wave.StopRecord(), kWaveErrNotRecording);
}

TEST(WaveFormatText, IsHoursMinutesSeconds)
{
    cWave wave;
    EXPECT_EQ(wave.FormatSeconds(0), "0:00:00");
    EXPECT_EQ(wave.FormatSeconds(30), "0:00:30");
    EXPECT_EQ(wave.FormatSeconds(3725), "1:02:05");
}

} // namespace
