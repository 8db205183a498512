// The real program, started offscreen on a program folder, settings and home
// of the test's own, ended by a real signal (SIGTERM as a desktop sends at
// log-out, SIGINT, SIGHUP) while it works: it ends as its Exit command ends
// it, by itself, with exit code 0, whatever window is open. A running job
// stops as its Abort button stops it (no part file left, finished outputs
// kept), an open question is answered as Cancel, and the list and settings
// are kept.
//
// The program is driven through its windows as a user clicks them, by the
// library in driver/, which the tests load into it with LD_PRELOAD: the
// program itself holds nothing for tests.
#include "controls/audio/AudioTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <ostream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kSafetyMs = 60000; // a safety net for a broken build, never a measure
// How long an ended program may take to be gone: "within a few seconds",
// with room for a loaded machine and the sanitizers.
constexpr int kEndMs = 20000;
constexpr int kSongs = 3;
constexpr int kSongSeconds = 120;

QString SongName(int i) { return QString("song%1").arg(i); }

// Three two-minute WAVs made by ffmpeg, for every test.
class Songs {
public:
    static const Songs& Get()
    {
        static Songs songs;
        return songs;
    }
    QString Path(int i) const { return m_dir.filePath(SongName(i) + ".wav"); }
    bool Made() const { return m_made; }

private:
    Songs()
    {
        m_made = audiotest::HaveTool("ffmpeg");
        for (int i = 1; m_made && i <= kSongs; ++i) {
            const audiotest::ToolRun run = audiotest::RunTool(
                "ffmpeg", {"-nostdin", "-v", "error", "-f", "lavfi", "-i",
                           QString("sine=frequency=%1:duration=%2").arg(220 * i).arg(kSongSeconds), "-ac", "2",
                           "-ar", "44100", "-c:a", "pcm_s16le", Path(i)});
            m_made = run.ok && run.exitCode == 0;
        }
    }
    QTemporaryDir m_dir;
    bool m_made = false;
};

// The writing end of a pipe that ALSA's "default" device records from, fed
// at about the pace of a sound card until the object goes.
class PacedCapture {
public:
    explicit PacedCapture(const QString& fifo)
    {
        if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0) return;
        // Read and write: the pipe has a reader from the start, so neither end waits for the other.
        m_fd = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0) return;
        m_feeder = std::thread([this] {
            const QByteArray tenth(44100 * 4 / 10, '\x10');
            while (!m_stop) {
                [[maybe_unused]] const ssize_t n = ::write(m_fd, tenth.constData(), size_t(tenth.size()));
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
    }
    ~PacedCapture()
    {
        m_stop = true;
        if (m_feeder.joinable()) m_feeder.join();
        if (m_fd >= 0) ::close(m_fd);
    }
    bool Open() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_feeder;
};

struct Ending {
    int signal;
    const char* name;
};
void PrintTo(const Ending& ending, std::ostream* out) { *out << "SIG" << ending.name; }

class EndOnSignal : public ::testing::TestWithParam<Ending> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        if (!Songs::Get().Made()) GTEST_SKIP() << "ffmpeg is not installed";
        for (const char* folder : {"program/registry", "settings", "lists", "out", "home/.config/alsa"})
            ASSERT_TRUE(QDir().mkpath(Folder(folder)));
        MakeProgramFolder();
        WriteSettings();
        // The converter writes into the first folder of the path history.
        audiotest::WriteFile(Folder("program/PathHistory"), QFile::encodeName(Out()) + "/\r\n");
        QByteArray list;
        for (int i = 1; i <= kSongs; ++i)
            list += "<ITEM><Inc>1</Inc><Type>Audio</Type><Item Name>" + SongName(i).toUtf8() +
                    "</Item Name><COL_FILE>" + QFile::encodeName(Songs::Get().Path(i)) +
                    "</COL_FILE><COL_RANGE_ALL>1</COL_RANGE_ALL></ITEM>\r\n";
        audiotest::WriteFile(ListFile(), list);
        m_list = list;
    }
    void TearDown() override
    {
        if (m_program && m_program->state() != QProcess::NotRunning) {
            m_program->kill();
            m_program->waitForFinished();
        }
    }

    // A copy of the program in a folder of its own, which it takes as its
    // data folder (as a portable copy does): nothing lands beside the build's.
    void MakeProgramFolder()
    {
        const QString exe = Folder("program/tarvello");
        if (::link(TARVELLO_EXE, QFile::encodeName(exe).constData()) != 0) {
            ASSERT_TRUE(QFile::copy(TARVELLO_EXE, exe));
        }
    }
    // The installed settings, with the lists in the test's folder and no
    // saved window size: the exit writes one.
    void WriteSettings()
    {
        QByteArray hive = audiotest::ReadFile(QString(TARVELLO_SOURCE_DIR) + "/data/registry/HKEY_LOCAL_MACHINE.reg");
        const QByteArray general = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Brenmark\\Tarvello\\General]\r\n";
        ASSERT_TRUE(hive.contains(general));
        QByteArrayList lines = hive.split('\n');
        lines.removeIf([](const QByteArray& line) { return line.startsWith("\"lWidth\"") || line.startsWith("\"lHeight\""); });
        hive = lines.join('\n');
        hive.replace(general, general + "\"txtToPath\"=\"" + QFile::encodeName(Folder("lists")) + "/\"\r\n");
        audiotest::WriteFile(Hive(), hive);
    }

    QString Folder(const QString& name) const { return m_dir.filePath(name); }
    QString Out() const { return Folder("out"); }
    QString Hive() const { return Folder("settings/HKEY_LOCAL_MACHINE.reg"); }
    QString ListFile() const { return Folder("lists/Songs.flst"); }
    QString Log() const { return Folder("program.log"); }

    // Starts the program offscreen with the driver making the clicks.
    void Start(const QString& clicks)
    {
        m_program = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TARVELLO_REGISTRY_DIR", Folder("settings"));
        env.insert("HOME", Folder("home"));
        env.insert("XDG_CONFIG_HOME", Folder("home/.config"));
        env.insert("XDG_DATA_HOME", Folder("home/.local/share"));
        env.insert("LD_PRELOAD", TARVELLO_DRIVER);
        env.insert("TARVELLO_DRIVE_CLICKS", clicks);
        // Under AddressSanitizer the driver stands before the sanitizer's library.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        m_program->setProcessEnvironment(env);
        m_program->setProcessChannelMode(QProcess::MergedChannels);
        m_program->setStandardOutputFile(Log());
        m_program->start(Folder("program/tarvello"), {});
        ASSERT_TRUE(m_program->waitForStarted(kSafetyMs)) << m_program->errorString().toStdString();
    }
    // Waits until `ready` holds while the program runs.
    bool WaitUntil(const std::function<bool()>& ready)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < kSafetyMs && m_program->state() == QProcess::Running) {
            if (ready()) return true;
            QThread::msleep(10);
        }
        ADD_FAILURE() << "the program did not come where the test needs it:\n" << ProgramLog();
        return false;
    }
    bool WaitForLine(const QByteArray& text)
    {
        return WaitUntil([&] { return audiotest::ReadFile(Log()).contains(text); });
    }
    std::string ProgramLog() const { return audiotest::ReadFile(Log()).toStdString(); }

    // Sends the signal of the test; the program ends by itself, without a crash, with exit code 0.
    void EndBySignal()
    {
        ASSERT_EQ(::kill(pid_t(m_program->processId()), GetParam().signal), 0);
        ASSERT_TRUE(m_program->waitForFinished(kEndMs)) << "still running " << kEndMs << " ms after the signal\n"
                                                        << ProgramLog();
        EXPECT_EQ(m_program->exitStatus(), QProcess::NormalExit) << ProgramLog();
        EXPECT_EQ(m_program->exitCode(), 0) << ProgramLog();
    }
    // What its exit keeps: the list as it was, the window size in the settings.
    void ExpectListAndSettingsKept()
    {
        EXPECT_EQ(audiotest::ReadFile(ListFile()), m_list);
        const QByteArray hive = audiotest::ReadFile(Hive());
        EXPECT_TRUE(hive.contains("\"lWidth\"=\"") && hive.contains("\"lHeight\"=\""))
            << "the exit saves the window size:\n" << hive.toStdString();
    }

    // The converter's outputs in place (final names only).
    QStringList Outputs() const { return QDir(Out()).entryList({"*.ogg"}, QDir::Files, QDir::Name); }

    std::unique_ptr<QProcess> m_program;

private:
    QTemporaryDir m_dir;
    QByteArray m_list;
};

TEST_P(EndOnSignal, AnIdleProgram)
{
    Start({});
    ASSERT_TRUE(WaitForLine("drive: shown frmMain"));
    EndBySignal();
    ExpectListAndSettingsKept();
}

// The signal comes while the second song is converted: that one stops and
// leaves no part file, the first stays, the third is not begun.
TEST_P(EndOnSignal, TheAudioConverterWithAJobRunning)
{
    Start("frmMain/Audio Converter;g_frmConverter/Convert");
    ASSERT_TRUE(WaitUntil([&] { return Outputs().size() == 1 && !audiotest::LeftoverTempFiles(Out()).isEmpty(); }));
    const QStringList finished = Outputs();
    EndBySignal();

    EXPECT_EQ(audiotest::LeftoverTempFiles(Out()), QStringList()) << "the stopped song's part file";
    const QStringList kept = Outputs();
    for (const QString& name : finished) {
        ASSERT_TRUE(kept.contains(name)) << name.toStdString();
        const audiotest::Probe probe = audiotest::ProbeFile(QDir(Out()).filePath(name));
        if (!probe.ok) continue; // no ffprobe
        EXPECT_EQ(probe.codec, "vorbis");
        EXPECT_NEAR(probe.duration, kSongSeconds, 0.1);
    }
    EXPECT_LT(kept.size(), kSongs) << "the job ran on to its end";
    ExpectListAndSettingsKept();
}

// The first song's output is there already: the signal comes while the
// converter asks whether to overwrite it, and the question is answered as
// Cancel, which ends the job.
TEST_P(EndOnSignal, TheAudioConverterAskingToOverwrite)
{
    const QString earlier = QDir(Out()).filePath(SongName(1) + ".ogg");
    audiotest::WriteFile(earlier, "an earlier output");
    Start("frmMain/Audio Converter;g_frmConverter/Convert");
    ASSERT_TRUE(WaitForLine("already exists"));
    EndBySignal();

    EXPECT_EQ(audiotest::ReadFile(earlier), "an earlier output");
    EXPECT_EQ(Outputs(), QStringList{SongName(1) + ".ogg"});
    EXPECT_EQ(audiotest::LeftoverTempFiles(Out()), QStringList());
    ExpectListAndSettingsKept();
}

// The Audio Recorder records from a device that delivers at a sound card's
// pace: the recording stops with the program and is kept whole.
TEST_P(EndOnSignal, TheAudioRecorderRecording)
{
    PacedCapture capture(Folder("capture.fifo"));
    ASSERT_TRUE(capture.Open());
    audiotest::WriteFile(Folder("home/.config/alsa/asoundrc"),
                         "pcm.!default { type file slave.pcm \"null\" file \"/dev/null\" infile \"" +
                             QFile::encodeName(Folder("capture.fifo")) + "\" format \"raw\" }\n");
    Start("frmMain/Audio Recorder;g_frmMicRecorder/Record");
    const QString home = Folder("home");
    ASSERT_TRUE(WaitUntil([&] {
        const QStringList parts = audiotest::LeftoverTempFiles(home);
        return parts.size() == 1 && QFileInfo(QDir(home).filePath(parts.first())).size() > 44;
    }));
    EndBySignal();

    EXPECT_EQ(audiotest::LeftoverTempFiles(home), QStringList());
    const QString take = QDir(home).filePath("wave_file.wav");
    ASSERT_TRUE(QFileInfo::exists(take));
    const audiotest::Probe probe = audiotest::ProbeFile(take);
    if (probe.ok) {
        EXPECT_EQ(probe.codec, "pcm_s16le");
        EXPECT_GT(probe.duration, 0);
    }
    ExpectListAndSettingsKept();
}

INSTANTIATE_TEST_SUITE_P(Signals, EndOnSignal,
                         ::testing::Values(Ending{SIGTERM, "TERM"}, Ending{SIGINT, "INT"}, Ending{SIGHUP, "HUP"}),
                         [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

} // namespace
