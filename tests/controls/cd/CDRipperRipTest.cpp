// Ripping tracks of a generated disc image: exact PCM, ranges, the encoders
// of every format, abort, unreadable sectors and the files the user owns.
#include "controls/cd/CDRipperTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace audiotest;
using support::CdImage;
using support::WriteCdImage;

namespace {

class RipTest : public RipperTest {
protected:
    void SetUp() override
    {
        image = UseTestDisc();
        cd.SetDriveIndex(0);
        cd.SetDestinationFormat(kDestFormatWAV);
        cd.SetWAVFormat({44100, 2, 16});
    }
    JobEvents Rip(int track, const QString& name)
    {
        cd.SetTrackNumber(track);
        cd.SetDestinationFile(Path(name));
        return RunRip(cd);
    }
    // Samples decoded by the ffmpeg command line; -1 when it is not installed.
    std::int64_t FfmpegSamples(const QString& path)
    {
        const ToolRun run = RunTool("ffmpeg", {"-v", "error", "-i", path, "-f", "s16le", "-ac", "2", "-ar", "44100",
                                               "-y", Path("decoded.raw")});
        if (!run.ok) return -1;
        EXPECT_EQ(run.exitCode, 0) << run.out.toStdString();
        const std::int64_t samples = QFileInfo(Path("decoded.raw")).size() / 4;
        QFile::remove(Path("decoded.raw"));
        return samples;
    }

    CdImage image;
    cAudioCDRipper cd;
};

TEST_F(RipTest, AWavRipHoldsTheTracksSamplesExactly)
{
    const JobEvents ev = Rip(2, "two.wav");
    ASSERT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();
    EXPECT_FALSE(ev.eventBeforeReturn);
    ASSERT_FALSE(ev.progress.empty());
    for (size_t i = 1; i < ev.progress.size(); ++i) EXPECT_GT(ev.progress[i], ev.progress[i - 1]);
    EXPECT_EQ(ev.progress.back(), 100);
    EXPECT_FALSE(cd.IsRipping());
    const QByteArray pcm = WavData(Path("two.wav"));
    EXPECT_EQ(pcm.size(), 4 * kCDBytesPerSecond);
    EXPECT_TRUE(pcm == image.TrackBytes(2)) << "the WAV differs from the disc's samples";
}

TEST_F(RipTest, EveryAudioTrackRipsToItsOwnSamples)
{
    for (int t = 1; t <= 3; ++t) {
        const QString name = QString("track%1.wav").arg(t);
        ASSERT_EQ(Rip(t, name).endings, QStringList{"Done"});
        EXPECT_TRUE(WavData(Path(name)) == image.TrackBytes(t)) << t;
    }
}

TEST_F(RipTest, ARangeRipsThatPartAndANewTrackNumberForgetsIt)
{
    cd.SetTrackNumber(1);
    cd.SetRangeStart(1);
    cd.SetRangeLength(1);
    cd.SetDestinationFile(Path("part.wav"));
    ASSERT_EQ(RunRip(cd).endings, QStringList{"Done"});
    EXPECT_TRUE(WavData(Path("part.wav")) == image.TrackBytes(1, 75, 75));

    cd.SetRangeStart(2); // no length: to the end of the track
    cd.SetRangeLength(0);
    cd.SetDestinationFile(Path("tail.wav"));
    ASSERT_EQ(RunRip(cd).endings, QStringList{"Done"});
    EXPECT_TRUE(WavData(Path("tail.wav")) == image.TrackBytes(1, 150));

    cd.SetRangeStart(2);
    cd.SetRangeLength(60); // clamped to the end of the track
    ASSERT_EQ(Rip(1, "whole.wav").endings, QStringList{"Done"});
    EXPECT_TRUE(WavData(Path("whole.wav")) == image.TrackBytes(1)) << "the range of the earlier row was kept";
}

TEST_F(RipTest, ARangeAfterTheEndOfTheTrackIsAnError)
{
    cd.SetTrackNumber(3);
    cd.SetRangeStart(2);
    cd.SetRangeLength(1);
    cd.SetDestinationFile(Path("late.wav"));
    const JobEvents ev = RunRip(cd);
    EXPECT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kConvertErrRange);
    EXPECT_FALSE(QFile::exists(Path("late.wav")));
}

TEST_F(RipTest, OggAndMp3RipsDecodeToTheTracksLengthWithTheirTags)
{
    struct Case {
        std::int32_t format;
        const char* name;
        std::int64_t tolerance;
    };
    cd.SetOGGFormat({0, 0, 50});
    MP3FormatSettings mp3;
    mp3.Bitrate = 128;
    mp3.WriteVBRTag = -1;
    cd.SetMP3Format(mp3);
    cd.SetTagTitle("Second Tone");
    cd.SetTagArtist("Test Disc");
    cd.SetTagTrack("2");
    for (const Case& c : {Case{kDestFormatOGG, "two.ogg", 0}, Case{kDestFormatMP3, "two.mp3", 1152}}) {
        cd.SetDestinationFormat(c.format);
        const JobEvents ev = Rip(2, c.name);
        ASSERT_EQ(ev.endings, QStringList{"Done"}) << c.name << ": " << ev.errorText.toStdString();
        const Decoded d = Decode(Path(c.name));
        ASSERT_TRUE(d.ok) << c.name;
        EXPECT_NEAR(double(d.samples), 4.0 * 44100, double(c.tolerance)) << c.name;
        EXPECT_EQ(d.tags.value("title"), "Second Tone") << c.name;
        EXPECT_EQ(d.tags.value("artist"), "Test Disc") << c.name;
        const std::int64_t samples = FfmpegSamples(Path(c.name));
        if (samples >= 0) {
            EXPECT_NEAR(double(samples), 4.0 * 44100, double(c.tolerance)) << c.name;
        }
    }
}

// MP3 rips carry LAME's information frame whatever the VBR tag setting:
// ffmpeg decodes a track, and a range of one, to exactly its samples.
TEST_F(RipTest, Mp3RipsDecodeToExactlyTheTracksSamples)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    MP3FormatSettings cbr;
    cbr.Bitrate = 128; // CBR with no VBR tag asked for, as the ripper's settings give it
    cd.SetMP3Format(cbr);
    cd.SetDestinationFormat(kDestFormatMP3);
    ASSERT_EQ(Rip(2, "two.mp3").endings, QStringList{"Done"});
    EXPECT_EQ(FfmpegDecodedSamples(Path("two.mp3")), image.TrackBytes(2).size() / 4);

    cd.SetTrackNumber(1);
    cd.SetRangeStart(1);
    cd.SetRangeLength(2);
    cd.SetDestinationFile(Path("part.mp3"));
    ASSERT_EQ(RunRip(cd).endings, QStringList{"Done"});
    EXPECT_EQ(FfmpegDecodedSamples(Path("part.mp3")), image.TrackBytes(1, 75, 150).size() / 4);
}

TEST_F(RipTest, WrongTracksAreErrors)
{
    for (int track : {4, 5, 0}) {
        const JobEvents ev = Rip(track, "out.wav");
        EXPECT_EQ(ev.endings, QStringList{"Error"}) << track;
        EXPECT_EQ(ev.errorCode, kRipErrNoTrack) << track;
    }
    EXPECT_FALSE(QFile::exists(Path("out.wav")));
}

TEST_F(RipTest, AbortStopsTheRipAndLeavesNoFile)
{
    const CdImage longDisc = WriteCdImage(dir.path(), "long", {{120, 440}});
    SetCDDriveImages(QStringList{longDisc.cue});
    cd.SetDestinationFormat(kDestFormatOGG);
    cd.SetOGGFormat({0, 0, 50});
    cd.SetTrackNumber(1);
    cd.SetDestinationFile(Path("long.ogg"));
    const JobEvents ev = RunRip(cd, [this](std::int32_t) { cd.Abort(); });
    EXPECT_EQ(ev.endings, QStringList{"Aborted"});
    EXPECT_FALSE(QFile::exists(Path("long.ogg")));
    EXPECT_FALSE(cd.IsRipping());
    cd.Abort(); // nothing to stop
    ASSERT_EQ(Rip(1, "again.wav").endings, QStringList{"Done"}); // the control rips again
}

TEST_F(RipTest, TerminateDropsTheEventsOfTheRunningRip)
{
    const CdImage longDisc = WriteCdImage(dir.path(), "long", {{120, 440}});
    SetCDDriveImages(QStringList{longDisc.cue});
    cd.SetDestinationFormat(kDestFormatOGG);
    int events = 0;
    QObject::connect(&cd, &cAudioCDRipper::Done, [&] { ++events; });
    QObject::connect(&cd, &cAudioCDRipper::Aborted, [&] { ++events; });
    QObject::connect(&cd, &cAudioCDRipper::Error, [&] { ++events; });
    cd.SetTrackNumber(1);
    cd.SetDestinationFile(Path("long.ogg"));
    cd.Rip();
    cd.Terminate();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(cd.IsRipping());
    EXPECT_FALSE(QFile::exists(Path("long.ogg")));
}

TEST_F(RipTest, AnUnreadableSectorEndsTheTrackWithItsTime)
{
    const CdImage::Track& two = image.tracks[1];
    image.TruncateAt(two.firstSector + 112); // 1.49 s into track 2
    const JobEvents ev = Rip(2, "two.wav");
    ASSERT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kRipErrRead);
    EXPECT_TRUE(ev.errorText.contains("Track 2")) << ev.errorText.toStdString();
    EXPECT_TRUE(ev.errorText.contains("0:01")) << ev.errorText.toStdString();
    EXPECT_FALSE(QFile::exists(Path("two.wav")));
    // The sound part of the disc still rips.
    ASSERT_EQ(Rip(1, "one.wav").endings, QStringList{"Done"});
    EXPECT_TRUE(WavData(Path("one.wav")) == image.TrackBytes(1));
}

TEST_F(RipTest, AFailedRipLeavesTheUsersFileAlone)
{
    QFile f(Path("two.wav"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("MY FILE");
    f.close();
    image.TruncateAt(image.tracks[1].firstSector + 10);
    EXPECT_EQ(Rip(2, "two.wav").errorCode, kRipErrRead);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "MY FILE");
}

TEST_F(RipTest, NoDiscInTheDrive)
{
    QFile::remove(image.cue);
    const JobEvents ev = Rip(1, "one.wav");
    EXPECT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kRipErrNoDisc);
}

TEST_F(RipTest, DestinationErrorsAreTheConvertersErrors)
{
    EXPECT_EQ(Rip(1, "missing/one.wav").errorCode, kConvertErrDestinationFolder);
    cd.SetDestinationFile("");
    EXPECT_EQ(RunRip(cd).errorCode, kConvertErrNoFileName);
    cd.SetDestinationFormat(kDestFormatAPE);
    EXPECT_EQ(Rip(1, "one.ape").errorCode, kConvertErrFormatUnavailable);
}

TEST_F(RipTest, RipWhileRippingIsRefused)
{
    cd.SetTrackNumber(1);
    cd.SetDestinationFile(Path("one.wav"));
    QStringList events;
    QObject::connect(&cd, &cAudioCDRipper::Done, [&] { events << "Done"; });
    QObject::connect(&cd, &cAudioCDRipper::Error,
                     [&](std::int32_t code) { events << QString("Error %1").arg(code); });
    cd.Rip();
    cd.Rip();
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() == 2; }, 60000));
    EXPECT_TRUE(events.contains("Done"));
    EXPECT_TRUE(events.contains(QString("Error %1").arg(kConvertErrBusy)));
    EXPECT_TRUE(WavData(Path("one.wav")) == image.TrackBytes(1));
}

} // namespace
