// Splitting and joining from end to end, through the main window's commands
// on the real conversion and join controls: generated files are added to the
// list, split or joined, and the outputs decoded back.
#include "SplitJoinFixture.h"

#include "controls/audio/AudioTestSupport.h"
#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>
#include <functional>

using namespace sjtest;

namespace {

class SplitJoinEndToEnd : public MainWithSplitJoin {
protected:
    void SetUp() override
    {
        MainWithSplitJoin::SetUp();
        SetAudioConverterFactory({});
        SetAudioJoinFactory({});
        QDir().mkpath(SourceFolder());
        QDir().mkpath(OutFolder());
        LoadMain();
        ASSERT_NE(main->cTreeView1->SelectedItem(), nullptr);
    }
    QString SourceFolder() const { return QDir::cleanPath(ProgramFolder() + "/../sources"); }
    QString OutFolder() const { return QDir::cleanPath(ProgramFolder() + "/../out") + "/"; }
    QString Source(const QString& name) const { return SourceFolder() + "/" + name; }

    // "Add Files" with the files picked, all rows marked.
    void AddToList(const QStringList& files)
    {
        dialogs->ExpectOpen(files);
        Command("Add Files");
        main->SetAllMarked(true);
    }
    // Runs the tool of `key` on the list: `set` chooses its settings, then
    // its start button runs the job to its end and Exit closes the window.
    void RunTool(const QString& key, const std::function<void(JobWindow*)>& set)
    {
        bool ran = false;
        modal->hook = [&](QWidget* window) {
            auto* w = qobject_cast<JobWindow*>(window);
            ASSERT_NE(w, nullptr);
            w->txtToPath->setEditText(OutFolder());
            set(w);
            QTest::mouseClick(w->cmdConvert, Qt::LeftButton);
            QElapsedTimer waited;
            waited.start();
            while (!w->cmdConvert->isEnabled() && waited.elapsed() < 120000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            ASSERT_TRUE(w->cmdConvert->isEnabled()) << "the job did not end";
            EXPECT_EQ(w->lblCurrentTrack->text(), "Done.");
            QTest::mouseClick(w->cmdExit, Qt::LeftButton);
            ran = true;
        };
        Command(key);
        EXPECT_TRUE(ran);
        modal->hook = nullptr;
    }
    static void ChooseFormat(JobWindow* w, const QString& letters)
    {
        w->cboTargetFormat->setCurrentIndex(w->cboTargetFormat->findText(letters, Qt::MatchStartsWith));
    }
    // The joined file of the folder with that extension.
    QString Output(const QString& extension) const
    {
        const QStringList found = QDir(OutFolder()).entryList({"Joined_File-*." + extension}, QDir::Files);
        EXPECT_EQ(found.size(), 1) << found.join(", ").toStdString();
        return found.isEmpty() ? QString() : OutFolder() + found.first();
    }
};

std::vector<float> Concatenated(const std::vector<audiotest::Decoded>& parts)
{
    std::vector<float> all;
    for (const auto& p : parts) all.insert(all.end(), p.pcm.begin(), p.pcm.end());
    return all;
}

// ---------------------------------------------------------------- splitting

struct SplitCase {
    const char* name;
    bool byParts;
    const char* value;
    const char* format;
    std::vector<int> seconds; // of each part
};
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitSixtySeconds : public SplitJoinEndToEnd, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitSixtySeconds, GivesPartsThatAddUpToTheSource)
{
    const SplitCase& c = GetParam();
    const QString source = Source("source.wav");
    audiotest::WriteWav(source, 44100, 2, 16, 60.0, audiotest::Signal{440, {0.2, 0.4, 0.6, 0.3, 0.5}});
    AddToList({source});
    RunTool("Audio Splitter", [&](JobWindow* window) {
        auto* w = qobject_cast<CfrmSplitter*>(window);
        ASSERT_NE(w, nullptr);
        ChooseFormat(w, c.format);
        (c.byParts ? w->ptnSplitByParts : w->ptnSplitBySecs)->click();
        (c.byParts ? w->txtSplitParts : w->txtSplitSecs)->setText(c.value);
    });

    const audiotest::Decoded whole = audiotest::Decode(source, true);
    const bool wav = QString(c.format) == "WAV";
    std::vector<audiotest::Decoded> parts;
    std::int64_t samples = 0;
    QStringList names;
    for (size_t i = 0; i < c.seconds.size(); ++i) {
        const QString name = QString("Part_%1_source.%2").arg(i + 1).arg(c.format);
        names << name;
        parts.push_back(audiotest::Decode(OutFolder() + name, wav));
        const audiotest::Decoded& d = parts.back();
        ASSERT_TRUE(d.ok) << name.toStdString();
        EXPECT_EQ(d.codec, wav ? "pcm_s16le" : "vorbis");
        EXPECT_NEAR(double(d.samples), c.seconds[i] * 44100.0, wav ? 0 : d.maxFrame) << name.toStdString();
        samples += d.samples;
    }
    EXPECT_EQ(QDir(OutFolder()).entryList(QDir::Files), names) << "no other part, no temporary file";
    EXPECT_NEAR(double(samples), double(whole.samples), wav ? 0 : c.seconds.size() * parts.front().maxFrame);
    if (!wav) return;
    EXPECT_TRUE(Concatenated(parts) == whole.pcm) << "the parts hold the source sample for sample";

    // The WAV parts joined again give back the source.
    main->SetAllMarked(false);
    const int first = main->cGrid1->Rows() + 1;
    QStringList paths;
    for (const QString& name : names) paths << OutFolder() + name;
    dialogs->ExpectOpen(paths);
    Command("Add Files");
    ASSERT_EQ(main->cGrid1->Rows(), first + int(paths.size()) - 1);
    RunTool("Audio Joiner", [](JobWindow* w) { ChooseFormat(w, "WAV"); });
    const audiotest::Decoded joined = audiotest::Decode(Output("wav"), true);
    EXPECT_EQ(joined.sampleRate, 44100);
    EXPECT_EQ(joined.channels, 2);
    EXPECT_TRUE(joined.pcm == whole.pcm) << "joined: " << joined.samples << " samples, source " << whole.samples;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitSixtySeconds,
    ::testing::Values(SplitCase{"SixOggParts", true, "6", "OGG", {10, 10, 10, 10, 10, 10}},
                      SplitCase{"SixWavParts", true, "6", "WAV", {10, 10, 10, 10, 10, 10}},
                      SplitCase{"OggPartsOf25Seconds", false, "25", "OGG", {25, 25, 10}},
                      SplitCase{"WavPartsOf25Seconds", false, "25", "WAV", {25, 25, 10}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

// A coded source split each second into WAV parts: each part holds the
// samples of the whole file's decode at its place, none lost between them.
struct CodedSplit {
    const char* name;
    const char* tool;
    QStringList options; // the tool's, besides its input and output
    const char* extension;
    double seconds;
    std::vector<std::int64_t> samples; // of each part
};
void PrintTo(const CodedSplit& c, std::ostream* os) { *os << c.name; }

class SplitCodedEachSecond : public SplitJoinEndToEnd, public ::testing::WithParamInterface<CodedSplit> {};

TEST_P(SplitCodedEachSecond, GivesPartsHoldingTheWholeDecodeAtTheirPlaces)
{
    const CodedSplit& c = GetParam();
    if (!audiotest::HaveTool(c.tool)) GTEST_SKIP() << c.tool << " is not installed";
    const QString wav = Source("generated.wav");
    const QString source = Source(QString("source.") + c.extension);
    audiotest::WriteWav(wav, 44100, 2, 16, c.seconds, audiotest::Signal{0, {0.2, 0.3, 0.1}});
    ASSERT_TRUE(audiotest::EncodeWith(c.tool, c.options, wav, source));
    AddToList({source});
    RunTool("Audio Splitter", [](JobWindow* window) {
        auto* w = qobject_cast<CfrmSplitter*>(window);
        ASSERT_NE(w, nullptr);
        ChooseFormat(w, "WAV");
        w->ptnSplitBySecs->click();
        w->txtSplitSecs->setText("1");
    });

    const audiotest::Decoded whole = audiotest::Decode(source, true);
    ASSERT_TRUE(whole.ok);
    std::int64_t at = 0;
    for (size_t i = 0; i < c.samples.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const audiotest::Decoded part = audiotest::Decode(OutFolder() + QString("Part_%1_source.WAV").arg(i + 1), true);
        ASSERT_TRUE(part.ok);
        EXPECT_EQ(part.samples, c.samples[i]);
        // The parts are 16-bit: each sample within a step of the whole decode's.
        double worst = 0;
        for (size_t k = 0; k < part.pcm.size() && (at * 2 + std::int64_t(k)) < std::int64_t(whole.pcm.size()); ++k)
            worst = std::max(worst, double(std::abs(part.pcm[k] - whole.pcm[size_t(at * 2) + k])));
        EXPECT_LE(worst, 1.0 / 32768) << "the part is not the whole decode's samples at its place";
        at += part.samples;
    }
    EXPECT_EQ(at, whole.samples);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, SplitCodedEachSecond,
    ::testing::Values(CodedSplit{"LameMp3", "lame", {"-b", "128"}, "mp3", 1.234, {44100, 10319}},
                      CodedSplit{"Wma", "ffmpeg", {"-c:a", "wmav2"}, "wma", 2.345, {44100, 44100, 14200}}),
    [](const ::testing::TestParamInfo<CodedSplit>& info) { return info.param.name; });

// ---------------------------------------------------------------- joining

class JoinThreeKinds : public SplitJoinEndToEnd, public ::testing::WithParamInterface<const char*> {};

TEST_P(JoinThreeKinds, HaveTheSummedLength)
{
    const QString format = GetParam();
    const QString mono = Source("mono.wav");
    const QString stereo = Source("stereo.wav");
    const QString mp3 = Source("third.mp3");
    audiotest::WriteWav(mono, 22050, 1, 16, 1.5, audiotest::Signal{300, {0.4}});
    audiotest::WriteWav(stereo, 44100, 2, 16, 2.0, audiotest::Signal{500, {0.4}});
    ASSERT_TRUE(audiotest::WriteMp3(mp3, 1.0));
    AddToList({mono, stereo, mp3});
    ASSERT_EQ(main->GetMarkedCount(), 3);
    RunTool("Audio Joiner", [&](JobWindow* w) { ChooseFormat(w, format); });
    const audiotest::Decoded d = audiotest::Decode(Output(format.toLower()));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.codec, format == "WAV" ? "pcm_s16le" : "vorbis");
    EXPECT_NEAR(double(d.samples) / d.sampleRate, 4.5, 0.01);
    EXPECT_GT(d.rms, 0.2);
    if (audiotest::HaveTool("ffprobe")) {
        EXPECT_NEAR(audiotest::ProbeDuration(Output(format.toLower())), 4.5, 0.02);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, JoinThreeKinds, ::testing::Values("OGG", "WAV"));

TEST_F(SplitJoinEndToEnd, ARangedRowJoinsOnlyItsRange)
{
    const QString whole = Source("whole.wav");
    const QString steps = Source("steps.wav");
    audiotest::WriteWav(whole, 44100, 2, 16, 2.0, audiotest::Signal{440, {0.5}});
    audiotest::WriteWav(steps, 44100, 2, 16, 5.0, audiotest::Signal{440, {0.1, 0.2, 0.3, 0.4, 0.5}});
    AddToList({whole, steps});
    // The second row stands for its seconds 1 to 3.
    cGrid* grid = main->cGrid1;
    const int row = grid->Rows();
    grid->CellDetails(row, kColRangeAll, "0");
    grid->CellDetails(row, kColRangeStart, "1");
    grid->CellDetails(row, kColRangeLength, "2");
    grid->CellDetails(row, kColRange, "00:00:01 - 00:00:03");
    RunTool("Audio Joiner", [](JobWindow* w) { ChooseFormat(w, "WAV"); });

    const audiotest::Decoded joined = audiotest::Decode(Output("wav"), true);
    audiotest::Decoded range = audiotest::Decode(steps, true);
    range.pcm = std::vector<float>(range.pcm.begin() + 44100 * 2, range.pcm.begin() + 3 * 44100 * 2);
    EXPECT_TRUE(joined.pcm == Concatenated({audiotest::Decode(whole, true), range}))
        << "joined: " << joined.samples << " samples";
}

// MP3 parts and an MP3 joined from them carry LAME's information frame:
// ffmpeg decodes each to exactly its seconds, CBR with no VBR tag asked for.
TEST_F(SplitJoinEndToEnd, Mp3PartsAndTheirJoinDecodeToExactlyTheirSamples)
{
    if (!audiotest::HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    g_MP3Settings = {};
    g_MP3Settings.lBitrate = 128;
    g_MP3Settings.lSamplerate = 44100;
    g_MP3Settings.lQuality = 5;
    g_MP3Settings.lMode = 1;
    const QString source = Source("source.wav");
    audiotest::WriteWav(source, 44100, 2, 16, 12.0, audiotest::Signal{440, {0.3, 0.5}});
    AddToList({source});
    RunTool("Audio Splitter", [](JobWindow* window) {
        auto* w = qobject_cast<CfrmSplitter*>(window);
        ASSERT_NE(w, nullptr);
        ChooseFormat(w, "MP3");
        w->ptnSplitBySecs->click();
        w->txtSplitSecs->setText("5");
    });
    const int seconds[] = {5, 5, 2};
    QStringList parts;
    for (int i = 0; i < 3; ++i) {
        parts << OutFolder() + QString("Part_%1_source.MP3").arg(i + 1);
        EXPECT_EQ(audiotest::FfmpegDecodedSamples(parts.back()), seconds[i] * 44100) << parts.back().toStdString();
    }

    main->SetAllMarked(false);
    dialogs->ExpectOpen(parts);
    Command("Add Files");
    RunTool("Audio Joiner", [](JobWindow* w) { ChooseFormat(w, "MP3"); });
    EXPECT_EQ(audiotest::FfmpegDecodedSamples(Output("mp3")), 12 * 44100);
}

} // namespace
