// The speech control on espeak-ng: voices, outputs and formats, files in
// every speech format checked with ffprobe and sox, word boundaries, and
// speaking aloud through the test program's ALSA configuration.
#include "controls/audio/AudioTestSupport.h"
#include "controls/audio/PlayerTestSupport.h"
#include "controls/speech/TextToSpeech.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace audiotest;
using namespace playertest;

namespace {

constexpr int kSafetyMs = 60000; // a safety net for a broken build, never a measure
const QString kSentence = "The quick brown fox jumps over the lazy dog.";

// What one control raised.
struct SpeechEvents {
    explicit SpeechEvents(cWaveTTS& tts)
    {
        QObject::connect(&tts, &cWaveTTS::WordBoundary, &context,
                         [this](std::int32_t p, std::int32_t l) { words.emplace_back(p, l); });
        QObject::connect(&tts, &cWaveTTS::SpeakDone, &context, [this] { ++done; });
    }
    bool WaitDone(int expected = 1)
    {
        const bool ok = QTest::qWaitFor([&] { return done >= expected; }, kSafetyMs);
        DeliverPostedEvents();
        return ok;
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> words;
    int done = 0;
    QObject context;
};

// The starts and lengths of the runs of letters of a text.
std::vector<std::pair<std::int32_t, std::int32_t>> LetterRuns(const QString& text)
{
    std::vector<std::pair<std::int32_t, std::int32_t>> runs;
    static const QRegularExpression letters("\\p{L}+");
    for (auto it = letters.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        runs.emplace_back(std::int32_t(m.capturedStart()), std::int32_t(m.capturedLength()));
    }
    return runs;
}

// sox's RMS amplitude of a file (full scale 1.0); -1 when sox cannot tell.
double SoxRms(const QStringList& input)
{
    const ToolRun r = RunTool("sox", input + QStringList{"-n", "stat"});
    const QRegularExpressionMatch m = QRegularExpression("RMS\\s+amplitude:\\s+([0-9.]+)").match(r.out);
    return r.ok && m.hasMatch() ? m.captured(1).toDouble() : -1;
}

// What ffprobe reads from a file.
struct Probe {
    int sampleRate = 0, channels = 0;
    QString codec;
    double seconds = -1;
};

// Probes the files a few at a time (each ffprobe takes a while to start).
std::vector<Probe> ProbeAll(const QStringList& paths)
{
    constexpr int kAtOnce = 4;
    std::vector<Probe> probes(size_t(paths.size()));
    for (qsizetype first = 0; first < paths.size(); first += kAtOnce) {
        std::vector<std::unique_ptr<QProcess>> runs;
        for (qsizetype i = first; i < std::min(first + kAtOnce, paths.size()); ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start("ffprobe", {"-v", "error", "-select_streams", "a:0", "-show_entries",
                                           "stream=sample_rate,channels,codec_name:format=duration", "-of",
                                           "default=noprint_wrappers=1", paths[i]});
        }
        for (size_t k = 0; k < runs.size(); ++k) {
            if (!runs[k]->waitForFinished(kSafetyMs)) continue;
            Probe& p = probes[size_t(first) + k];
            for (const QString& line : QString::fromUtf8(runs[k]->readAllStandardOutput()).split('\n')) {
                const QString key = line.section('=', 0, 0), value = line.section('=', 1).trimmed();
                if (key == "sample_rate") p.sampleRate = value.toInt();
                else if (key == "channels") p.channels = value.toInt();
                else if (key == "codec_name") p.codec = value;
                else if (key == "duration") p.seconds = value.toDouble();
            }
        }
    }
    return probes;
}

const cWaveTTS::Format& FormatNamed(const QString& name)
{
    const auto& all = cWaveTTS::Formats();
    return *std::find_if(all.begin(), all.end(), [&](const cWaveTTS::Format& f) { return f.name == name; });
}

class TextToSpeech : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(PlayedFile()); }
    QString Path(const QString& name) const { return dir.filePath(name); }
    std::int32_t VoiceNamed(const QString& name)
    {
        for (std::int32_t i = 1; i <= tts.GetVoiceCount(); ++i)
            if (tts.GetVoiceName(i) == name) return i - 1;
        return -2;
    }
    std::int32_t OutputNamed(const QString& name)
    {
        for (std::int32_t i = 1; i <= tts.GetOutputCount(); ++i)
            if (tts.GetOutputName(i) == name) return i - 1;
        return -2;
    }
    std::vector<cWaveTTS::Format> Enumerated()
    {
        std::vector<cWaveTTS::Format> found;
        QObject context;
        QObject::connect(&tts, &cWaveTTS::FormatFound, &context,
                         [&](const QString& name, std::int32_t id) { found.push_back({name, id}); });
        tts.EnumFormats();
        return found;
    }
    void TearDown() override { EXPECT_TRUE(LeftoverTempFiles(dir.path()).isEmpty()); }

    QTemporaryDir dir;
    cWaveTTS tts;
};

// ---------------------------------------------------------------------------
// Voices, outputs, formats and settings

TEST_F(TextToSpeech, VoicesComeFromEspeakWithTheSystemsLanguageFirst)
{
    const std::int32_t n = tts.GetVoiceCount();
    ASSERT_GT(n, 50);
    QStringList names;
    for (std::int32_t i = 1; i <= n; ++i) names << tts.GetVoiceName(i);
    const QLocale::Language language = QLocale::system().language();
    if (language == QLocale::C || language == QLocale::English) {
        EXPECT_THAT(names.first().toStdString(), ::testing::StartsWith("English"));
    } else if (language == QLocale::German) {
        EXPECT_EQ(names.first(), "German");
    }
    EXPECT_TRUE(names.contains("German"));
    EXPECT_FALSE(names.contains(QString()));
    EXPECT_EQ(tts.GetVoiceName(0), QString());
    EXPECT_EQ(tts.GetVoiceName(n + 1), QString());
}

TEST_F(TextToSpeech, OutputsAreAlsasWithDefaultFirst)
{
    ASSERT_GT(tts.GetOutputCount(), 1);
    EXPECT_EQ(tts.GetOutputName(1), "default");
    EXPECT_GE(OutputNamed("paced"), 0);
    // A bare plugin is no output: speech played into "null" goes nowhere.
    EXPECT_LT(OutputNamed("null"), 0);
    EXPECT_EQ(tts.GetOutputName(0), QString());
}

TEST_F(TextToSpeech, FormatsAreAllReportedBeforeEnumFormatsReturns)
{
    const std::vector<cWaveTTS::Format> found = Enumerated();
    ASSERT_EQ(found.size(), cWaveTTS::Formats().size());
    ASSERT_EQ(found.size(), 36u);
    QStringList names;
    for (const cWaveTTS::Format& f : found) names << f.name;
    EXPECT_EQ(names.removeDuplicates(), 0);
    EXPECT_TRUE(names.contains("SAFT8kHz8BitMono"));
    EXPECT_TRUE(names.contains("SAFT44kHz16BitStereo"));
    const auto def = std::find_if(found.begin(), found.end(), [](const auto& f) { return f.name == kTTSDefaultFormat; });
    ASSERT_NE(def, found.end());
    EXPECT_EQ(tts.AudioFormat(), def->id);
}

TEST_F(TextToSpeech, RefusedSettingsChangeNothingAndRangesAreClamped)
{
    const std::int32_t format = tts.AudioFormat();
    EXPECT_FALSE(tts.SetAudioFormat(0));
    EXPECT_FALSE(tts.SetAudioFormat(999));
    EXPECT_EQ(tts.AudioFormat(), format);
    EXPECT_TRUE(tts.SetVoiceIndex(1));
    EXPECT_FALSE(tts.SetVoiceIndex(tts.GetVoiceCount()));
    EXPECT_FALSE(tts.SetVoiceIndex(-2));
    EXPECT_EQ(tts.VoiceIndex(), 1);
    EXPECT_TRUE(tts.SetVoiceIndex(-1));
    EXPECT_FALSE(tts.SetOutputIndex(tts.GetOutputCount()));
    EXPECT_TRUE(tts.SetOutputIndex(-1));
    tts.SetRate(-25);
    EXPECT_EQ(tts.Rate(), -10);
    tts.SetRate(11);
    EXPECT_EQ(tts.Rate(), 10);
    tts.SetVolume(101);
    EXPECT_EQ(tts.Volume(), 100);
    tts.SetVolume(-1);
    EXPECT_EQ(tts.Volume(), 0);
}

// ---------------------------------------------------------------------------
// Files

TEST_F(TextToSpeech, EveryFormatRendersASentenceThatIsHeard)
{
    if (!HaveTool("ffprobe") || !HaveTool("sox")) GTEST_SKIP() << "ffprobe and sox are needed";
    QStringList paths;
    std::vector<cWaveTTS::Format> formats;
    for (const cWaveTTS::Format& found : Enumerated()) {
        const QString path = Path(found.name + ".wav");
        ASSERT_TRUE(tts.SetAudioFormat(found.id));
        ASSERT_EQ(tts.SpeakToFile(kSentence, path), 0) << tts.ErrorText(tts.LastError()).toStdString();
        paths << path;
        formats.push_back(FormatNamed(found.name));
    }
    const std::vector<Probe> probes = ProbeAll(paths);
    for (size_t i = 0; i < formats.size(); ++i) {
        const cWaveTTS::Format& f = formats[i];
        SCOPED_TRACE(f.name.toStdString());
        EXPECT_EQ(probes[i].sampleRate, f.sampleRate);
        EXPECT_EQ(probes[i].channels, f.channels);
        EXPECT_EQ(probes[i].codec, f.bitsPerSample == 8 ? "pcm_u8" : "pcm_s16le");
        EXPECT_GT(probes[i].seconds, 0.5);
        EXPECT_LT(probes[i].seconds, 10.0);
        EXPECT_GT(SoxRms({paths[qsizetype(i)]}), 0.02);
    }
}

TEST_F(TextToSpeech, RateAndVolumeShapeTheFile)
{
    struct Case {
        std::int32_t rate, volume;
    } cases[] = {{-10, 100}, {0, 100}, {10, 100}, {0, 20}, {0, 0}};
    std::vector<Decoded> d;
    for (const Case& c : cases) {
        tts.SetRate(c.rate);
        tts.SetVolume(c.volume);
        const QString path = Path(QString("r%1v%2.wav").arg(c.rate).arg(c.volume));
        ASSERT_EQ(tts.SpeakToFile(kSentence, path), 0);
        d.push_back(Decode(path));
        ASSERT_TRUE(d.back().ok);
    }
    EXPECT_GT(d[0].samples, d[1].samples * 3 / 2); // slowest
    EXPECT_LT(d[2].samples, d[1].samples * 2 / 3); // fastest
    EXPECT_GT(d[1].rms, 0.05);
    EXPECT_LT(d[3].rms, d[1].rms * 0.5);
    EXPECT_GT(d[3].rms, 0.0);
    EXPECT_EQ(d[4].rms, 0.0);
}

TEST_F(TextToSpeech, AFileIsWrittenWholeAndReplacesAnOlderOne)
{
    const QString path = Path("speech.wav");
    WriteFile(path, "older");
    ASSERT_EQ(tts.SpeakToFile("", path), 0); // an empty text gives a short, valid file
    EXPECT_TRUE(Decode(path).ok);
    ASSERT_EQ(tts.SpeakToFile(kSentence, path), 0);
    const Decoded d = Decode(path);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.sampleRate, 22050);
    EXPECT_EQ(d.channels, 1);
    EXPECT_GT(d.samples, 22050);
    EXPECT_EQ(tts.LastError(), 0);
}

TEST_F(TextToSpeech, AFolderThatCannotBeWrittenGetsNothing)
{
    LockedFolder locked(Path("locked"));
    if (!locked.Locked()) GTEST_SKIP() << "no folder can be locked here";
    const QString path = Path("locked/speech.wav");
    EXPECT_EQ(tts.SpeakToFile(kSentence, path), kTTSErrFile);
    EXPECT_EQ(tts.LastError(), kTTSErrFile);
    EXPECT_TRUE(tts.ErrorText(kTTSErrFile).contains(path));
    EXPECT_TRUE(QDir(Path("locked")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(tts.SpeakToFile(kSentence, QString()), kTTSErrFile);
    EXPECT_EQ(tts.SpeakToFile(kSentence, Path("no-such-folder/speech.wav")), kTTSErrFile);
}

// ---------------------------------------------------------------------------
// Speaking aloud

// What "default" played (raw frames of the format) holds the same speech as a
// file of the format: about as long, and about as loud. espeak-ng varies its
// voicing a little from one synthesis to the next, so no two are equal.
void ExpectSameSpeech(const cWaveTTS::Format& f, const QString& file)
{
    const qint64 frameBytes = f.channels * f.bitsPerSample / 8;
    const qint64 played = ReadAll(PlayedFile()).size() / frameBytes;
    const qint64 written = WavData(file).size() / frameBytes;
    const double seconds = double(played) / f.sampleRate;
    EXPECT_GT(seconds, 0.5);
    EXPECT_LT(seconds, 10.0);
    EXPECT_NEAR(double(played), double(written), written * 0.05);
    if (!HaveTool("sox")) return;
    const QStringList raw{"-t", "raw", "-r", QString::number(f.sampleRate), "-e",
                          f.bitsPerSample == 8 ? "unsigned" : "signed", "-b", QString::number(f.bitsPerSample),
                          "-c", QString::number(f.channels), PlayedFile()};
    const double playedRms = SoxRms(raw), writtenRms = SoxRms({file});
    EXPECT_GT(playedRms, 0.02);
    EXPECT_NEAR(playedRms, writtenRms, writtenRms * 0.2);
}

TEST_F(TextToSpeech, SpeakPlaysTheSpeechOnTheDevice)
{
    SpeechEvents events(tts);
    ASSERT_EQ(tts.Speak(kSentence), 0);
    EXPECT_TRUE(tts.IsBusy());
    EXPECT_EQ(events.done, 0); // nothing arrives before Speak returns
    ASSERT_TRUE(events.WaitDone());
    EXPECT_FALSE(tts.IsBusy());
    EXPECT_EQ(events.done, 1);
    EXPECT_EQ(tts.LastError(), 0);
    ASSERT_EQ(tts.SpeakToFile(kSentence, Path("same.wav")), 0);
    ExpectSameSpeech(FormatNamed(kTTSDefaultFormat), Path("same.wav"));
}

TEST_F(TextToSpeech, SpeakPlaysInTheChosenFormat)
{
    const cWaveTTS::Format& f = FormatNamed("SAFT8kHz8BitStereo");
    ASSERT_TRUE(tts.SetAudioFormat(f.id));
    SpeechEvents events(tts);
    ASSERT_EQ(tts.Speak(kSentence), 0);
    ASSERT_TRUE(events.WaitDone());
    ASSERT_EQ(tts.SpeakToFile(kSentence, Path("same.wav")), 0);
    ExpectSameSpeech(f, Path("same.wav"));
}

TEST_F(TextToSpeech, WordBoundariesPointAtTheWordsInOrder)
{
    struct Case {
        QString voice, text;
    } cases[] = {{"", kSentence},
                 {"German", "Grüße aus München: süße Straße, große Füße."},
                 {"", "  Two lines\nand\r\nthree ß words ü."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        ASSERT_TRUE(tts.SetVoiceIndex(c.voice.isEmpty() ? -1 : VoiceNamed(c.voice)));
        SpeechEvents events(tts);
        ASSERT_EQ(tts.Speak(c.text), 0);
        ASSERT_TRUE(events.WaitDone());
        EXPECT_EQ(events.words, LetterRuns(c.text));
    }
}

TEST_F(TextToSpeech, WordsAfterCharactersOutsideTheBasicPlaneAreFoundToo)
{
    const QString text = QString::fromUtf8("Look \xF0\x9F\x98\x80 here now");
    SpeechEvents events(tts);
    ASSERT_EQ(tts.Speak(text), 0);
    ASSERT_TRUE(events.WaitDone());
    std::vector<std::int32_t> starts;
    for (const auto& w : events.words) starts.push_back(w.first);
    EXPECT_TRUE(std::is_sorted(starts.begin(), starts.end()));
    for (const auto& run : LetterRuns(text)) EXPECT_THAT(events.words, ::testing::Contains(run));
}

TEST_F(TextToSpeech, WithMarkupTheElementsAreNotWordsAndPositionsStayInTheText)
{
    const QString text = "Say <emphasis>this</emphasis> and that.";
    tts.SetSpeakFlags(kTTSFlagAsync | kTTSFlagPurge | kTTSFlagMarkup);
    SpeechEvents events(tts);
    ASSERT_EQ(tts.Speak(text), 0);
    ASSERT_TRUE(events.WaitDone());
    const std::vector<std::pair<std::int32_t, std::int32_t>> expected{{0, 3}, {14, 4}, {30, 3}, {34, 4}};
    EXPECT_EQ(events.words, expected);
}

TEST_F(TextToSpeech, AnEmptyTextEndsWithoutWords)
{
    SpeechEvents events(tts);
    ASSERT_EQ(tts.Speak(""), 0);
    ASSERT_TRUE(events.WaitDone());
    EXPECT_TRUE(events.words.empty());
}

TEST_F(TextToSpeech, AMissingDeviceIsReportedAtOnceAndRaisesNothing)
{
    ASSERT_TRUE(tts.SetOutputIndex(OutputNamed("missingcard")));
    SpeechEvents events(tts);
    EXPECT_EQ(tts.Speak(kSentence), kTTSErrNoDevice);
    EXPECT_FALSE(tts.IsBusy());
    EXPECT_TRUE(tts.ErrorText(kTTSErrNoDevice).contains("missingcard"));
    DeliverPostedEvents();
    EXPECT_EQ(events.done, 0);
    EXPECT_TRUE(events.words.empty());
    // Files do not need the device.
    EXPECT_EQ(tts.SpeakToFile(kSentence, Path("speech.wav")), 0);
}

TEST_F(TextToSpeech, WithoutASoundCardSpeakSaysSo)
{
    QTemporaryDir empty;
    UseAlsaConfigFolder(empty.path());
    EXPECT_EQ(tts.Speak(kSentence), kTTSErrNoDevice);
    EXPECT_FALSE(tts.ErrorText(kTTSErrNoDevice).isEmpty());
    UseAlsaConfigFolder({});
}

// The speech window chooses the first output: on a machine without sound
// that was "null", and speech then went nowhere without a word.
TEST_F(TextToSpeech, WithoutASoundCardNoOutputIsOfferedAndSpeakingOnDefaultSaysSo)
{
    QTemporaryDir empty;
    UseAlsaConfigFolder(empty.path());
    {
        cWaveTTS fresh;
        EXPECT_EQ(fresh.GetOutputCount(), 0) << fresh.GetOutputName(1).toStdString();
        EXPECT_TRUE(fresh.SetOutputIndex(-1));
        EXPECT_EQ(fresh.Speak(kSentence), kTTSErrNoDevice);
        EXPECT_TRUE(fresh.ErrorText(kTTSErrNoDevice).startsWith("The sound output device \"default\" cannot be found"))
            << fresh.ErrorText(kTTSErrNoDevice).toStdString();
    }
    UseAlsaConfigFolder({});
}

TEST_F(TextToSpeech, StopDuringALongSynthesisLeavesTheEngineReady)
{
    ASSERT_TRUE(tts.SetOutputIndex(OutputNamed("default"))); // a file: takes speech at once
    SpeechEvents events(tts);
    ASSERT_EQ(tts.Speak(QStringList(100, kSentence).join(' ')), 0);
    tts.Stop();
    ASSERT_TRUE(events.WaitDone());
    events.words.clear();
    ASSERT_EQ(tts.Speak(kSentence), 0);
    ASSERT_TRUE(events.WaitDone(2));
    EXPECT_EQ(events.words, LetterRuns(kSentence));
    ASSERT_EQ(tts.SpeakToFile(kSentence, Path("after.wav")), 0);
    EXPECT_GT(Decode(Path("after.wav")).samples, 22050);
}

// A speech held on the "paced" device, which takes bytes only as the test allows.
class HeldSpeech : public TextToSpeech {
protected:
    void SetUp() override
    {
        TextToSpeech::SetUp();
        sink = std::make_unique<PacedSink>();
        ASSERT_TRUE(tts.SetOutputIndex(OutputNamed("paced")));
    }
    void TearDown() override
    {
        tts.Terminate();
        sink.reset();
        TextToSpeech::TearDown();
    }
    // Starts speaking and waits until the device has taken a little.
    void StartHeld(const QString& text)
    {
        sink->Allow(4096);
        ASSERT_EQ(tts.Speak(text), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sink->Received() >= 4096; }, kSafetyMs));
    }
    std::unique_ptr<PacedSink> sink;
};

TEST_F(HeldSpeech, StopEndsTheSpeechWithOneSpeakDone)
{
    SpeechEvents events(tts);
    StartHeld(kSentence + " " + kSentence);
    EXPECT_TRUE(tts.IsBusy());
    sink->AllowAll(); // a pipe that takes nothing more would hold the device's last write
    tts.Stop();
    EXPECT_FALSE(tts.IsBusy());
    const size_t wordsAtStop = events.words.size();
    ASSERT_TRUE(events.WaitDone());
    EXPECT_EQ(events.done, 1);
    EXPECT_EQ(events.words.size(), wordsAtStop); // the stopped speech's words are dropped
    tts.Stop();                                  // idle: nothing
    DeliverPostedEvents();
    EXPECT_EQ(events.done, 1);
}

TEST_F(HeldSpeech, ANewSpeakReplacesTheSpeechInProgress)
{
    SpeechEvents events(tts);
    StartHeld(kSentence + " " + kSentence);
    sink->AllowAll();
    ASSERT_TRUE(tts.SetOutputIndex(OutputNamed("default"))); // a file: takes speech at once
    const QString second = "Second text.";
    ASSERT_EQ(tts.Speak(second), 0);
    events.words.clear();
    ASSERT_TRUE(events.WaitDone());
    EXPECT_EQ(events.done, 1);
    EXPECT_EQ(events.words, LetterRuns(second));
}

TEST_F(HeldSpeech, TerminateEndsTheSpeechSilentlyAndTheControlSpeaksAgain)
{
    SpeechEvents events(tts);
    StartHeld(kSentence);
    sink->AllowAll();
    tts.Terminate();
    EXPECT_FALSE(tts.IsBusy());
    DeliverPostedEvents();
    EXPECT_EQ(events.done, 0);
    ASSERT_TRUE(tts.SetOutputIndex(-1));
    ASSERT_EQ(tts.Speak(kSentence), 0);
    ASSERT_TRUE(events.WaitDone());
    EXPECT_EQ(ReadAll(PlayedFile()).size() % 2, 0);
    EXPECT_GT(ReadAll(PlayedFile()).size(), 22050);
}

TEST_F(HeldSpeech, AFileCanBeWrittenWhileSpeaking)
{
    SpeechEvents events(tts);
    StartHeld(kSentence);
    ASSERT_EQ(tts.SpeakToFile(kSentence, Path("meanwhile.wav")), 0);
    EXPECT_TRUE(Decode(Path("meanwhile.wav")).ok);
    EXPECT_TRUE(tts.IsBusy());
    sink->AllowAll();
    ASSERT_TRUE(events.WaitDone());
    EXPECT_EQ(events.words, LetterRuns(kSentence));
}

TEST(TextToSpeechFactory, WindowsGetTheRealControlUnlessTestsSayOtherwise)
{
    EXPECT_NE(CreateWaveTTS(), nullptr);
    bool made = false;
    SetWaveTTSFactory([&] {
        made = true;
        return std::make_unique<cWaveTTS>();
    });
    EXPECT_NE(CreateWaveTTS(), nullptr);
    EXPECT_TRUE(made);
    SetWaveTTSFactory({});
}

} // namespace
