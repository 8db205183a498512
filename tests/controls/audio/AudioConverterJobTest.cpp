// How a conversion runs and ends: events, ranges, abort, the files the user
// owns, and the errors a user meets.
#include "controls/audio/AudioTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace audiotest;

namespace {

class JobTest : public ConverterTest {
protected:
    void SetUp() override
    {
        source = Wav("in.wav", 44100, 2, 16, 3);
        conv.SetSourceFile(source);
        conv.SetDestinationFile(Path("out.wav"));
        conv.SetDestinationFormat(kDestFormatWAV);
        conv.SetWAVFormat({44100, 2, 16});
    }
    QString source;
};

TEST_F(JobTest, ConvertReturnsAtOnceThenProgressThenOneDone)
{
    const ConvertEvents ev = RunConvert(conv);
    EXPECT_FALSE(ev.eventBeforeReturn);
    ASSERT_EQ(ev.endings, QStringList{"Done"});
    ASSERT_FALSE(ev.progress.empty());
    for (size_t i = 1; i < ev.progress.size(); ++i) EXPECT_GT(ev.progress[i], ev.progress[i - 1]);
    EXPECT_GE(ev.progress.front(), 1);
    EXPECT_EQ(ev.progress.back(), 100);
    EXPECT_FALSE(conv.IsConverting());
    EXPECT_EQ(Decode(Path("out.wav")).samples, 3 * 44100);
}

// The temporary file of a conversion that was killed (no program holds it)
// goes with the next output made in its folder.
TEST_F(JobTest, APartLeftByAKilledWriterGoesWithTheNextOutputInItsFolder)
{
    WriteFile(Path(".tarvello-0000dead.part"), QByteArray(100000, 'x'));
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    EXPECT_TRUE(LeftoverTempFiles(dir.path()).isEmpty()) << LeftoverTempFiles(dir.path()).join(' ').toStdString();
    EXPECT_EQ(Decode(Path("out.wav")).samples, 3 * 44100);
}

TEST_F(JobTest, AnErrorAlsoEndsExactlyOnceWithoutProgress)
{
    conv.SetSourceFile(Path("missing.wav"));
    ConvertEvents ev = RunConvert(conv);
    EXPECT_FALSE(ev.eventBeforeReturn);
    EXPECT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_TRUE(ev.progress.empty());
}

TEST_F(JobTest, ASecondConvertFromInsideConvertDoneRuns)
{
    QStringList endings;
    QEventLoop loop;
    QObject context;
    QObject::connect(&conv, &cAudioConverter::ConvertError, &context, [&](std::int32_t, const QString& text) {
        endings << "Error " + text;
        loop.quit();
    });
    QObject::connect(&conv, &cAudioConverter::ConvertDone, &context, [&] {
        endings << "Done";
        if (endings.size() == 2) return loop.quit();
        conv.SetSourceFile(Path("out.wav"));
        conv.SetDestinationFile(Path("second.ogg"));
        conv.SetDestinationFormat(kDestFormatOGG);
        conv.SetOGGFormat({0, 0, 40});
        conv.Convert();
    });
    conv.Convert();
    QTimer::singleShot(120000, &loop, &QEventLoop::quit); // a safety net, not a measure
    loop.exec();
    EXPECT_EQ(endings, (QStringList{"Done", "Done"}));
    const Decoded d = Decode(Path("second.ogg"));
    EXPECT_EQ(d.codec, "vorbis");
    EXPECT_NEAR(double(d.samples), 3 * 44100, 4096);
}

TEST_F(JobTest, ConvertWhileConvertingIsRefusedAndTheFirstGoesOn)
{
    QStringList endings;
    QObject context;
    QEventLoop loop;
    QObject::connect(&conv, &cAudioConverter::ConvertDone, &context, [&] {
        endings << "Done";
        loop.quit();
    });
    QObject::connect(&conv, &cAudioConverter::ConvertError, &context,
                     [&](std::int32_t code, const QString&) { endings << QString("Error %1").arg(code); });
    conv.Convert();
    conv.Convert();
    loop.exec();
    EXPECT_EQ(endings, (QStringList{QString("Error %1").arg(kConvertErrBusy), "Done"}));
    EXPECT_EQ(Decode(Path("out.wav")).samples, 3 * 44100);
}

TEST_F(JobTest, TheSameControlReadsFilesWhileItConverts)
{
    const QString other = Wav("other.wav", 22050, 1, 8, 1);
    std::int32_t opened = -1;
    const ConvertEvents ev = RunConvert(conv, [&](std::int32_t) {
        if (opened < 0) opened = conv.OpenSourceFile(other);
    });
    ASSERT_EQ(ev.endings, QStringList{"Done"});
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(conv.SourceSampleRate(), 22050);
    EXPECT_EQ(Decode(Path("out.wav")).samples, 3 * 44100);
}

// Sources in the formats the program writes convert back to WAV.
TEST_F(JobTest, EncodedSourcesConvertToWav)
{
    struct Source {
        std::int32_t format;
        const char* name;
    };
    conv.SetACMFormat("Microsoft ADPCM", "22.050 kHz, 4 Bit, Stereo");
    MP3FormatSettings mp3;
    mp3.Bitrate = 128;
    mp3.Quality = 5;
    mp3.WriteVBRTag = -1;
    conv.SetMP3Format(mp3);
    conv.SetWMAFormat({1, 2});
    conv.SetOGGFormat({0, 0, 40});
    for (const Source& src : {Source{kDestFormatACM, "adpcm.wav"}, Source{kDestFormatMP3, "a.mp3"},
                              Source{kDestFormatWMA, "a.wma"}, Source{kDestFormatOGG, "a.ogg"}}) {
        conv.SetSourceFile(source);
        conv.SetDestinationFile(Path(src.name));
        conv.SetDestinationFormat(src.format);
        ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"}) << src.name;

        conv.SetSourceFile(Path(src.name));
        conv.SetDestinationFile(Path(QString(src.name) + ".wav"));
        conv.SetDestinationFormat(kDestFormatWAV);
        const ConvertEvents ev = RunConvert(conv);
        ASSERT_EQ(ev.endings, QStringList{"Done"}) << src.name << ": " << ev.errorText.toStdString();
        const Decoded d = Decode(Path(QString(src.name) + ".wav"));
        EXPECT_EQ(d.codec, "pcm_s16le");
        EXPECT_NEAR(double(d.samples), 3 * 44100, 4200) << src.name;
        EXPECT_GT(d.rms, 0.2) << src.name;
    }
}

// ---------------------------------------------------------------------------
// Ranges

class RangeTest : public JobTest {
protected:
    void SetUp() override
    {
        JobTest::SetUp();
        // Second 0 quiet, second 1 loud, second 2 quiet: the loud part shows where a range lands.
        source = Wav("steps.wav", 44100, 1, 16, 3, Signal{440, {0.05, 0.8, 0.05}});
        conv.SetSourceFile(source);
        conv.SetWAVFormat({44100, 1, 16});
    }
};

TEST_F(RangeTest, ConvertsOnlyTheRange)
{
    conv.SetRangeStart(1);
    conv.SetRangeLength(1);
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    const Decoded d = Decode(Path("out.wav"));
    EXPECT_EQ(d.samples, 44100);
    EXPECT_NEAR(d.rms, 0.8 / std::sqrt(2.0), 0.01);
}

TEST_F(RangeTest, RangeThroughAnEncoder)
{
    conv.SetDestinationFile(Path("out.mp3"));
    conv.SetDestinationFormat(kDestFormatMP3);
    MP3FormatSettings mp3;
    mp3.Bitrate = 128;
    mp3.Quality = 5;
    mp3.SampleRate = 44100;
    mp3.Mode = 3;
    mp3.WriteVBRTag = -1;
    conv.SetMP3Format(mp3);
    conv.SetRangeStart(1);
    conv.SetRangeLength(1);
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    const Decoded d = Decode(Path("out.mp3"));
    EXPECT_NEAR(double(d.samples), 44100, 1152);
    EXPECT_NEAR(d.rms, 0.8 / std::sqrt(2.0), 0.05);
}

TEST_F(RangeTest, ClampedToTheEndOfTheSource)
{
    conv.SetRangeStart(2);
    conv.SetRangeLength(10);
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    EXPECT_EQ(Decode(Path("out.wav")).samples, 44100);
}

TEST_F(RangeTest, ARangeStartingPastTheEndIsAnError)
{
    conv.SetRangeStart(5);
    conv.SetRangeLength(1);
    const ConvertEvents ev = RunConvert(conv);
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kConvertErrRange);
    EXPECT_FALSE(QFile::exists(Path("out.wav")));
}

TEST_F(RangeTest, SettingTheSourceForgetsTheRange)
{
    conv.SetRangeStart(1);
    conv.SetRangeLength(1);
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    conv.SetSourceFile(source); // the next item, a whole file
    EXPECT_EQ(conv.RangeStart(), 0);
    EXPECT_EQ(conv.RangeLength(), 0);
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    EXPECT_EQ(Decode(Path("out.wav")).samples, 3 * 44100);
}

// ---------------------------------------------------------------------------
// Sources that end early

using D = const QDir&;
using C = cAudioConverter&;

QString WavDeclaring(D d, const QString& name, double held, quint32 declaredBytes)
{
    WriteWavDeclaring(d.filePath(name), held, declaredBytes);
    return d.filePath(name);
}

// The control's own encoding of a 3-second WAV, then the bytes of the file
// changed by `damage`.
QString Encoded(D d, C conv, const QString& name, std::int32_t format,
                const std::function<void(QByteArray&)>& damage)
{
    conv.SetSourceFile(d.filePath("in.wav"));
    conv.SetDestinationFile(d.filePath(name));
    conv.SetDestinationFormat(format);
    if (RunConvert(conv).endings != QStringList{"Done"}) return {};
    QByteArray bytes = ReadFile(d.filePath(name));
    damage(bytes);
    WriteFile(d.filePath(name), bytes);
    return d.filePath(name);
}

// Removes the first frame of an MP3 without tags, the information frame
// that declares the frame count, as MP3s of other encoders lack it.
void DropInformationFrame(QByteArray& b)
{
    static const int kMpeg1Kbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int kMpeg1Rates[] = {44100, 48000, 32000};
    ASSERT_GE(b.size(), 4);
    const auto h = [&](int i) { return quint8(b[i]); };
    ASSERT_TRUE(h(0) == 0xFF && (h(1) & 0xF8) == 0xF8) << "an MPEG-1 frame first";
    const int kbps = kMpeg1Kbps[(h(2) >> 4) & 15], rate = kMpeg1Rates[(h(2) >> 2) & 3];
    b.remove(0, 144 * kbps * 1000 / rate + ((h(2) >> 1) & 1));
}

struct EarlyEndCase {
    const char* name;
    // Makes the source in the folder.
    std::function<QString(D, C)> source;
    bool breaksOff;
    double outputSeconds;       // when it does not break off
    std::int32_t rangeLength{}; // seconds from the start; 0: the whole file
};
void PrintTo(const EarlyEndCase& c, std::ostream* os) { *os << c.name; }

class EarlyEnd : public JobTest, public ::testing::WithParamInterface<EarlyEndCase> {};

TEST_P(EarlyEnd, OnlyAnExactDeclaredLengthOrAReadErrorBreaksTheSourceOff)
{
    MP3FormatSettings mp3;
    mp3.Bitrate = 128;
    mp3.Quality = 5;
    conv.SetMP3Format(mp3); // CBR without the frame-count header
    conv.SetOGGFormat({0, 0, 40});
    const QString src = GetParam().source(QDir(dir.path()), conv);
    ASSERT_FALSE(src.isEmpty());
    conv.SetSourceFile(src);
    if (GetParam().rangeLength > 0) {
        conv.SetRangeStart(0);
        conv.SetRangeLength(GetParam().rangeLength);
    }
    conv.SetDestinationFile(Path("out.wav"));
    conv.SetDestinationFormat(kDestFormatWAV);
    WriteFile(Path("out.wav"), "the user's file");
    const ConvertEvents ev = RunConvert(conv);
    if (GetParam().breaksOff) {
        ASSERT_EQ(ev.endings, QStringList{"Error"});
        EXPECT_EQ(ev.errorCode, kConvertErrDecode);
        EXPECT_TRUE(ev.errorText.startsWith("The source file breaks off mid-file: ")) << ev.errorText.toStdString();
        EXPECT_TRUE(ev.errorText.endsWith(src)) << ev.errorText.toStdString();
        EXPECT_TRUE(ev.progress.empty() || ev.progress.back() < 100);
        EXPECT_EQ(ReadFile(Path("out.wav")), "the user's file") << "no output is kept";
    } else {
        ASSERT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();
        EXPECT_NEAR(double(Decode(Path("out.wav")).samples) / 44100, GetParam().outputSeconds, 0.1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EarlyEnd,
    ::testing::Values(
        EarlyEndCase{"WavCutShort",
                     [](D d, C) { return WavDeclaring(d, "cut.wav", 0.25, kTenSecondsOfWav); }, true, 0},
        EarlyEndCase{"WavCutShortMidFrame",
                     [](D d, C) { return WavDeclaring(d, "odd.wav", 0.25, kTenSecondsOfWav + 2); }, true,
                     0},
        EarlyEndCase{"OggWithGarbageMidFile",
                     [](D d, C c) {
                         return Encoded(d, c, "gap.ogg", kDestFormatOGG,
                                        [](QByteArray& b) { b.insert(b.size() * 3 / 4, QByteArray(70000, '\0')); });
                     },
                     true, 0},
        EarlyEndCase{"AWavCutShortAfterTheRange",
                     [](D d, C) { return WavDeclaring(d, "part.wav", 2, kTenSecondsOfWav); }, false, 1, 1},
        EarlyEndCase{"WavOfUnknownLengthZero", [](D d, C) { return WavDeclaring(d, "z.wav", 0.25, 0); },
                     false, 0.25},
        EarlyEndCase{"WavOfUnknownLengthMax",
                     [](D d, C) { return WavDeclaring(d, "m.wav", 0.25, 0xFFFFFFFFu); }, false, 0.25},
        EarlyEndCase{"WavWithAChunkAfterItsData",
                     [](D d, C) {
                         const QString path = d.filePath("list.wav");
                         WriteWav(path, 44100, 2, 16, 0.5);
                         QFile f(path);
                         EXPECT_TRUE(f.open(QIODevice::Append));
                         f.write(QByteArray("LIST\x04\0\0\0INFO", 12));
                         return path;
                     },
                     false, 0.5},
        EarlyEndCase{"Mp3WithoutFrameCountCutShort",
                     [](D d, C c) {
                         return Encoded(d, c, "half.mp3", kDestFormatMP3, [](QByteArray& b) {
                             DropInformationFrame(b);
                             EXPECT_FALSE(b.contains("Xing") || b.contains("Info")) << "no frame-count header";
                             b.truncate(b.size() / 2);
                         });
                     },
                     false, 1.5}),
    [](const ::testing::TestParamInfo<EarlyEndCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Abort and Terminate

class AbortTest : public JobTest {
protected:
    void SetUp() override
    {
        JobTest::SetUp();
        // Long enough that the conversion is still running when the window
        // thread sees its first progress.
        source = Wav("long.wav", 44100, 2, 16, 60, Signal{0, {0.5}});
        conv.SetSourceFile(source);
        conv.SetDestinationFile(Path("out.ogg"));
        conv.SetDestinationFormat(kDestFormatOGG);
        conv.SetOGGFormat({0, 0, 100});
    }
};

TEST_F(AbortTest, AbortMidFileLeavesNoFileAndKeepsAnExistingOne)
{
    WriteFile(Path("out.ogg"), "the user's file");
    const ConvertEvents ev = RunConvert(conv, [&](std::int32_t p) {
        if (p >= 2) conv.Abort();
    });
    ASSERT_EQ(ev.endings, QStringList{"Aborted"});
    EXPECT_LT(ev.progress.back(), 100);
    EXPECT_EQ(ReadFile(Path("out.ogg")), "the user's file");

    QFile::remove(Path("out.ogg"));
    const ConvertEvents again = RunConvert(conv, [&](std::int32_t p) {
        if (p >= 2) conv.Abort();
    });
    ASSERT_EQ(again.endings, QStringList{"Aborted"});
    EXPECT_FALSE(QFile::exists(Path("out.ogg")));
}

TEST_F(AbortTest, AbortWhenIdleDoesNothing)
{
    conv.Abort();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    conv.SetSourceFile(Wav("short.wav", 44100, 2, 16, 1));
    EXPECT_EQ(RunConvert(conv).endings, QStringList{"Done"});
}

TEST_F(AbortTest, TerminateStopsTheConversionSilentlyAndTheControlServesAgain)
{
    int events = 0;
    QObject context;
    for (auto signal : {&cAudioConverter::ConvertDone, &cAudioConverter::ConvertAborted})
        QObject::connect(&conv, signal, &context, [&] { ++events; });
    QObject::connect(&conv, &cAudioConverter::ConvertError, &context, [&] { ++events; });
    conv.Convert();
    conv.Terminate();
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(conv.IsConverting());
    EXPECT_FALSE(QFile::exists(Path("out.ogg")));
    EXPECT_TRUE(LeftoverTempFiles(dir.path()).isEmpty());

    QObject::disconnect(&conv, nullptr, &context, nullptr);
    conv.SetSourceFile(Wav("short.wav", 44100, 2, 16, 1));
    EXPECT_EQ(RunConvert(conv).endings, QStringList{"Done"});
}

TEST_F(AbortTest, DestroyingARunningControlIsSafe)
{
    auto c = std::make_unique<cAudioConverter>();
    c->SetSourceFile(source);
    c->SetDestinationFile(Path("gone.ogg"));
    c->SetDestinationFormat(kDestFormatOGG);
    c->Convert();
    c.reset();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_FALSE(QFile::exists(Path("gone.ogg")));
}

// ---------------------------------------------------------------------------
// Errors a user meets

// Each case gets the test's folder, the source and the control, set up for a
// WAV conversion of the source into the folder.
struct ErrorCase {
    const char* name;
    std::function<void(const QDir&, const QString&, cAudioConverter&)> arrange;
    std::int32_t code;
    const char* mentions;
};

class JobErrors : public JobTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(JobErrors, EndInAClearConvertErrorAndNoFile)
{
    GetParam().arrange(QDir(dir.path()), source, conv);
    const QString dest = conv.DestinationFile();
    const bool existed = QFileInfo(dest).isFile();
    const QByteArray before = ReadFile(dest);
    const ConvertEvents ev = RunConvert(conv);
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, GetParam().code) << ev.errorText.toStdString();
    EXPECT_TRUE(ev.errorText.contains(GetParam().mentions)) << ev.errorText.toStdString();
    EXPECT_EQ(QFileInfo(dest).isFile(), existed);
    EXPECT_EQ(ReadFile(dest), before);
}

using S = const QString&;

INSTANTIATE_TEST_SUITE_P(
    Cases, JobErrors,
    ::testing::Values(
        ErrorCase{"MissingSource", [](D d, S, C c) { c.SetSourceFile(d.filePath("nope.wav")); },
                  kConvertErrSourceMissing, "does not exist"},
        ErrorCase{"SourceNotAudio",
                  [](D d, S, C c) {
                      WriteFile(d.filePath("notes.txt"), "just some words, not audio\n");
                      c.SetSourceFile(d.filePath("notes.txt"));
                  },
                  kConvertErrSourceNotAudio, "notes.txt"},
        ErrorCase{"SourceIsAFolder", [](D d, S, C c) { c.SetSourceFile(d.path()); }, kConvertErrSourceNotAudio,
                  "not a file"},
        ErrorCase{"NoSource", [](D, S, C c) { c.SetSourceFile(""); }, kConvertErrNoFileName, "No source"},
        ErrorCase{"DestinationFolderMissing", [](D d, S, C c) { c.SetDestinationFile(d.filePath("no/such/out.wav")); },
                  kConvertErrDestinationFolder, "does not exist"},
        ErrorCase{"DestinationUnderAFile", [](D, S s, C c) { c.SetDestinationFile(s + "/out.wav"); },
                  kConvertErrDestinationFolder, "does not exist"},
        ErrorCase{"DestinationIsAFolder",
                  [](D d, S, C c) {
                      d.mkdir("sub");
                      c.SetDestinationFile(d.filePath("sub"));
                  },
                  kConvertErrDestinationWrite, "folder"},
        ErrorCase{"DestinationIsTheSource", [](D, S s, C c) { c.SetDestinationFile(s); },
                  kConvertErrDestinationIsSource, "source"},
        ErrorCase{"DestinationIsTheSourceByAnotherName",
                  [](D d, S s, C c) {
                      QFile::link(s, d.filePath("alias.wav"));
                      c.SetDestinationFile(d.path() + "/./alias.wav");
                  },
                  kConvertErrDestinationIsSource, "source"},
        ErrorCase{"NoDestination", [](D, S, C c) { c.SetDestinationFile(""); }, kConvertErrNoFileName,
                  "No destination"},
        ErrorCase{"UnknownFormat", [](D, S, C c) { c.SetDestinationFormat(9); }, kConvertErrFormatUnavailable, "9"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

TEST_F(JobTest, UnwritableDestinationFolder)
{
    LockedFolder locked(Path("locked"));
    if (!locked.Locked()) GTEST_SKIP() << "no way to make a folder unwritable here";
    conv.SetDestinationFile(Path("locked/out.wav"));
    const ConvertEvents ev = RunConvert(conv);
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kConvertErrDestinationWrite);
    EXPECT_TRUE(ev.errorText.contains("not writable")) << ev.errorText.toStdString();
}

TEST_F(JobTest, DiskFullMidFileLeavesNothing)
{
    // A file size limit makes writes fail as on a full disk.
    WriteFile(Path("out.wav"), "the user's file");
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ConvertEvents ev = RunConvert(conv);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kConvertErrDiskFull) << ev.errorText.toStdString();
    EXPECT_EQ(ReadFile(Path("out.wav")), "the user's file");
}

TEST_F(JobTest, AnExistingDestinationIsReplacedOnlyWhenDone)
{
    WriteFile(Path("out.wav"), "old");
    ASSERT_EQ(RunConvert(conv).endings, QStringList{"Done"});
    EXPECT_EQ(Decode(Path("out.wav")).samples, 3 * 44100);
    // The output gets the permissions of any new file, not the temporary file's.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(Path("out.wav")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

} // namespace
