// The audio CD writer control on its image writer: the BIN/CUE image read
// back through libcdio, ffmpeg and the CD ripper control.
#include "controls/burn/BurnerTestSupport.h"

#include <QDir>
#include <QFileInfo>

using namespace burntest;

namespace {

constexpr int kSectorBytes = 2352;

std::int32_t SectorsOf(const QByteArray& pcm) { return std::int32_t((pcm.size() + kSectorBytes - 1) / kSectorBytes); }

// The bytes of a track past the source's samples: silence.
bool IsSilence(const QByteArray& bytes) { return bytes.count('\0') == bytes.size(); }

class AudioBurnTest : public BurnerTest {
protected:
    // Burns the files on the image writer D: and returns Burn's result.
    std::int32_t BurnImage(const QStringList& files, bool decode = true)
    {
        for (const QString& f : files) EXPECT_TRUE(burner.AddFile(f)) << f.toStdString();
        burner.SetDecodeSources(decode);
        return burner.Burn("D", kBurnSpeedMax);
    }

    cAudioBurner burner;
    EventLog log{burner};
};

TEST_F(AudioBurnTest, TheImageWriterIsListedWithItsLetterAndHoldsAnEightyMinuteBlankCD)
{
    ASSERT_EQ(burner.GetDriveCount(), 1);
    EXPECT_EQ(burner.GetDriveName(1), "D: " + Path("out.cue"));
    EXPECT_EQ(burner.GetDriveName(0), "");
    EXPECT_EQ(burner.GetDriveName(2), "");
    EXPECT_EQ(burner.GetMediaState("D"), "");
    EXPECT_EQ(burner.GetSpeedCount("D:"), 0);
    EXPECT_EQ(burner.GetSpeed(1), "");
    EXPECT_EQ(burner.GetDiskSize("D"), 80 * 60 * 75 * 2048);
    EXPECT_EQ(burner.GetDiskCapacity("d"), 80 * 60 * 75 * 2048);
    EXPECT_EQ(burner.OpenTray("D"), 0);
    EXPECT_EQ(burner.CloseTray("D"), 0);
    EXPECT_NE(burner.GetMediaState("X"), "");
    EXPECT_EQ(burner.OpenTray("X"), kBurnErrNoDrive);
}

TEST_F(AudioBurnTest, NoImageWriterWithoutAName)
{
    optical::SetImageWriters(optical::ImageWriters{});
    EXPECT_EQ(burner.GetDriveCount(), 0);
    qputenv("TARVELLO_AUDIO_CD_IMAGE", Path("env.cue").toLocal8Bit());
    optical::SetImageWriters(std::nullopt); // back to the machine's drives and the environment
    const std::int32_t n = burner.GetDriveCount();
    qunsetenv("TARVELLO_AUDIO_CD_IMAGE");
    ASSERT_GE(n, 1);
    EXPECT_TRUE(burner.GetDriveName(n).endsWith(" " + Path("env.cue")));
    optical::SetImageWriters(optical::ImageWriters{});
}

TEST_F(AudioBurnTest, DriveLettersAreSharedWithTheRipper)
{
    WriteFile(Path("disc.cue"), {});
    SetCDDriveImages(QStringList{Path("disc.cue")});
    optical::SetImageWriters(optical::ImageWriters{Path("out.cue"), Path("out.iso")});
    cAudioCDRipper ripper;
    cAudioDataBurner data;
    cBurner disc;
    ASSERT_EQ(ripper.GetDriveCount(), 1);
    EXPECT_EQ(ripper.GetDriveName(0), "D: " + Path("disc.cue"));
    EXPECT_EQ(burner.GetDriveName(1), "E: " + Path("out.cue"));
    EXPECT_EQ(data.GetDriveName(1), "F: " + Path("out.iso"));
    EXPECT_EQ(disc.GetDriveLetter(0), "F:");
    EXPECT_EQ(disc.GetDeviceName(0), Path("out.iso"));
}

TEST_F(AudioBurnTest, WavMp3AndOggBurnToAnImageThatLibcdioReadsAsTheirAudio)
{
    if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    const QStringList files{Wav("one.wav", 5.3, 440), Compressed("two.mp3", kDestFormatMP3, 4.6, 550),
                            Compressed("three.ogg", kDestFormatOGG, 6.15, 660)};
    ASSERT_EQ(BurnImage(files), 0) << log.events.join("\n").toStdString();
    EXPECT_EQ(burner.GetFileCount(), 3); // the list stays until ClearFiles

    const std::vector<CdTrack> tracks = ReadCdImage(Path("out.cue"));
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_EQ(tracks[0].firstSector, 0); // INDEX 01 of track 1 is the BIN's first sector
    for (size_t i = 0; i < tracks.size(); ++i) {
        SCOPED_TRACE(files[int(i)].toStdString());
        const QByteArray source = FfmpegPcm(files[int(i)]);
        ASSERT_FALSE(source.isEmpty());
        const CdTrack& t = tracks[i];
        EXPECT_TRUE(t.audio);
        EXPECT_EQ(t.sectors, SectorsOf(source));
        ASSERT_EQ(t.pcm.size(), qsizetype(t.sectors) * kSectorBytes);
        if (i == 0) {
            EXPECT_TRUE(t.pcm.startsWith(source)); // WAV samples exactly
        } else {
            // Compressed sources: equal but for up to a frame at the ends.
            const qsizetype frame = 1152 * 4, middle = source.size() - 2 * frame;
            EXPECT_EQ(t.pcm.mid(frame, middle), source.mid(frame, middle));
        }
        EXPECT_TRUE(IsSilence(t.pcm.mid(source.size())));
        if (i > 0) {
            EXPECT_EQ(t.firstSector, tracks[i - 1].firstSector + tracks[i - 1].sectors);
        }
    }
    const QString cue = QString::fromUtf8(ReadFile(Path("out.cue")));
    EXPECT_TRUE(cue.startsWith("FILE \"out.bin\" BINARY")) << cue.toStdString();
    EXPECT_TRUE(cue.contains("TRACK 01 AUDIO\r\n    PREGAP 00:02:00\r\n    INDEX 01 00:00:00")) << cue.toStdString();
    EXPECT_EQ(cue.count("PREGAP"), 1);
    EXPECT_EQ(QFileInfo(Path("out.bin")).size(), qint64(tracks[0].sectors + tracks[1].sectors + tracks[2].sectors) * kSectorBytes);
}

TEST_F(AudioBurnTest, TheImageRipsBackToTheSameSamples)
{
    const QStringList files{Wav("a.wav", 4.2, 440), Wav("b.wav", 4.5, 880)};
    ASSERT_EQ(BurnImage(files), 0) << log.events.join("\n").toStdString();
    const std::vector<CdTrack> tracks = ReadCdImage(Path("out.cue"));
    ASSERT_EQ(tracks.size(), 2u);

    SetCDDriveImages(QStringList{Path("out.cue")});
    cAudioCDRipper ripper;
    ASSERT_TRUE(ripper.SelectDrive(0));
    ASSERT_TRUE(ripper.IsAudioCD());
    ASSERT_EQ(ripper.GetTrackCount(), 2);
    for (int t = 1; t <= 2; ++t) {
        const QString out = Path(QString("rip%1.wav").arg(t));
        ripper.SetDriveIndex(0);
        ripper.SetTrackNumber(t);
        ripper.SetDestinationFile(out);
        ripper.SetDestinationFormat(kDestFormatWAV);
        ripper.SetWAVFormat({44100, 2, 16});
        const JobEvents ev = RunJob(ripper, &cAudioCDRipper::Rip, &cAudioCDRipper::Progress, &cAudioCDRipper::Done,
                                    &cAudioCDRipper::Aborted, &cAudioCDRipper::Error);
        ASSERT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();
        EXPECT_EQ(FfmpegPcm(out), tracks[size_t(t - 1)].pcm) << t;
        const QByteArray source = FfmpegPcm(files[t - 1]);
        EXPECT_TRUE(FfmpegPcm(out).startsWith(source)) << t;
    }
}

TEST_F(AudioBurnTest, EventsComeInsideTheCallInTheirOrder)
{
    const QStringList files{Wav("a.wav", 4.5), Wav("b.wav", 1.0)};
    QStringList seenBeforeReturn;
    QObject::connect(&burner, &cAudioBurner::Finished, &burner, [&] { seenBeforeReturn = log.events; });
    ASSERT_EQ(BurnImage(files), 0);
    EXPECT_EQ(seenBeforeReturn, log.events); // nothing arrives after Finished
    QCoreApplication::processEvents();
    EXPECT_EQ(log.Phases(), (QStringList{"CachingTrack", "CachingTrack", "WritingTrack", "ClosingTrack 1",
                                         "WritingTrack", "ClosingTrack 2", "ClosingSession", "Finished"}));
    // Percents rise within each track, and the total with them.
    int lastTrack = 0, lastPercent = -1, lastTotal = -1;
    for (const QString& e : log.events) {
        const QStringList parts = e.split(' ');
        if (parts[0] == "TrackProgress") {
            const int track = parts[2].toInt(), percent = parts[1].toInt();
            if (track != lastTrack) lastPercent = -1;
            EXPECT_GT(percent, lastPercent) << e.toStdString();
            EXPECT_GE(track, lastTrack);
            lastTrack = track;
            lastPercent = percent;
        } else if (parts[0] == "Progress") {
            EXPECT_EQ(parts[1].toInt(), lastPercent);
            EXPECT_GE(parts[2].toInt(), lastTotal);
            lastTotal = parts[2].toInt();
        }
    }
    EXPECT_EQ(lastTrack, 2);
    EXPECT_EQ(lastPercent, 100);
    EXPECT_EQ(lastTotal, 100);
}

TEST_F(AudioBurnTest, AShortTrackIsPaddedToFourSeconds)
{
    ASSERT_EQ(BurnImage({Wav("short.wav", 1.0)}), 0);
    const std::vector<CdTrack> tracks = ReadCdImage(Path("out.cue"));
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].sectors, 4 * 75);
    EXPECT_TRUE(IsSilence(tracks[0].pcm.mid(44100 * 4)));
}

TEST_F(AudioBurnTest, WithoutDecodingOnlyCDAudioWavFilesAreTakenAsTheyAre)
{
    const QString cd = Wav("cd.wav", 4.0);
    ASSERT_EQ(BurnImage({cd}, false), 0) << log.events.join("\n").toStdString();
    const std::vector<CdTrack> tracks = ReadCdImage(Path("out.cue"));
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].pcm, WavData(cd));

    struct Case {
        const char* name;
        int rate, channels, bits;
    };
    for (const Case c : {Case{"48k.wav", 48000, 2, 16}, Case{"mono.wav", 44100, 1, 16}, Case{"24bit.wav", 44100, 2, 24}}) {
        SCOPED_TRACE(c.name);
        QFile::remove(Path("out.cue"));
        QFile::remove(Path("out.bin"));
        WriteWav(Path(c.name), c.rate, c.channels, c.bits, 4.0);
        burner.ClearFiles();
        log.events.clear();
        EXPECT_EQ(BurnImage({Path(c.name)}, false), kBurnErrSource);
        ASSERT_EQ(log.events.size(), 2);
        EXPECT_EQ(log.events[0], "CachingTrack");
        EXPECT_TRUE(log.events[1].startsWith(QString("Error %1 ").arg(kBurnErrSource))) << log.events[1].toStdString();
        EXPECT_FALSE(QFile::exists(Path("out.cue")));
        EXPECT_FALSE(QFile::exists(Path("out.bin")));
        // Decoded, the same file burns.
        log.events.clear();
        EXPECT_EQ(burner.Burn("D", kBurnSpeedMax), kBurnErrSource);
        burner.SetDecodeSources(true);
        EXPECT_EQ(burner.Burn("D", kBurnSpeedMax), 0);
    }
}

TEST_F(AudioBurnTest, FailuresReportAnErrorInsideTheCallAndReturnItsCode)
{
    // No files.
    EXPECT_EQ(burner.Burn("D", kBurnSpeedMax), kBurnErrNoFiles);
    ASSERT_EQ(log.events.size(), 1);
    EXPECT_TRUE(log.events[0].startsWith(QString("Error %1 ").arg(kBurnErrNoFiles)));

    // No such writer.
    ASSERT_TRUE(burner.AddFile(Wav("a.wav", 4.0)));
    log.events.clear();
    EXPECT_EQ(burner.Burn("Q", kBurnSpeedMax), kBurnErrNoDrive);
    ASSERT_EQ(log.events.size(), 1);
    EXPECT_TRUE(log.events[0].startsWith(QString("Error %1 ").arg(kBurnErrNoDrive)));

    // A file gone since it was added.
    ASSERT_TRUE(burner.AddFile(Wav("gone.wav", 4.0)));
    QFile::remove(Path("gone.wav"));
    log.events.clear();
    burner.SetDecodeSources(true);
    EXPECT_EQ(burner.Burn("D", kBurnSpeedMax), kBurnErrSource);
    EXPECT_EQ(log.events.filter("Finished").size(), 0);
    EXPECT_EQ(log.events.last().left(9), QString("Error %1 ").arg(kBurnErrSource).left(9));
    EXPECT_FALSE(QFile::exists(Path("out.cue")));
}

TEST_F(AudioBurnTest, AnImageFolderThatCannotBeWrittenIsNoBlankDisc)
{
    QDir(dir.path()).mkdir("locked");
    optical::SetImageWriters(optical::ImageWriters{Path("locked/out.cue"), {}});
    LockedFolder locked(Path("locked"));
    if (!locked.Locked()) GTEST_SKIP() << "this system cannot lock a folder";
    EXPECT_NE(burner.GetMediaState("D"), "");
    ASSERT_TRUE(burner.AddFile(Wav("a.wav", 4.0)));
    burner.SetDecodeSources(true);
    EXPECT_EQ(burner.Burn("D", kBurnSpeedMax), kBurnErrNoDrive);
    EXPECT_TRUE(log.events.last().startsWith(QString("Error %1 ").arg(kBurnErrNoDrive)));

    optical::SetImageWriters(optical::ImageWriters{Path("missing/out.cue"), {}});
    EXPECT_TRUE(burner.GetMediaState("D").contains("does not exist")) << burner.GetMediaState("D").toStdString();
}

TEST_F(AudioBurnTest, AbortStopsTheBurnLeavesNoImageAndRaisesNoMoreEvents)
{
    WriteFile(Path("out.cue"), "an older image");
    const QStringList files{Wav("a.wav", 30.0), Wav("b.wav", 30.0)};
    for (const QString& f : files) ASSERT_TRUE(burner.AddFile(f));
    burner.SetDecodeSources(true);
    const QMetaObject::Connection abortAtStart =
        QObject::connect(&burner, &cAudioBurner::WritingTrack, &burner, [&] { burner.Abort(); });
    EXPECT_EQ(burner.Burn("D", kBurnSpeedMax), kBurnErrAborted);
    QObject::disconnect(abortAtStart);
    EXPECT_EQ(log.Phases().last(), "WritingTrack");
    EXPECT_FALSE(burner.IsBurning());
    QCoreApplication::processEvents();
    EXPECT_EQ(log.Phases().last(), "WritingTrack");
    EXPECT_EQ(ReadFile(Path("out.cue")), "an older image"); // untouched
    EXPECT_FALSE(QFile::exists(Path("out.bin")));
    // The control burns again afterwards.
    log.events.clear();
    EXPECT_EQ(burner.Burn("D", kBurnSpeedMax), 0);
    EXPECT_EQ(log.Phases().last(), "Finished");
    EXPECT_EQ(ReadCdImage(Path("out.cue")).size(), 2u);
}

TEST_F(AudioBurnTest, ASecondBurnDuringABurnIsRefusedWithoutAnEvent)
{
    ASSERT_TRUE(burner.AddFile(Wav("a.wav", 4.0)));
    burner.SetDecodeSources(true);
    std::int32_t inner = -1;
    int innerEvents = 0;
    QObject::connect(&burner, &cAudioBurner::WritingTrack, &burner, [&] {
        const int before = int(log.events.size());
        inner = burner.Burn("D", kBurnSpeedMax);
        innerEvents = int(log.events.size()) - before;
    });
    EXPECT_TRUE(!burner.IsBurning());
    EXPECT_EQ(burner.Burn("D", kBurnSpeedMax), 0);
    EXPECT_EQ(inner, kBurnErrBusy);
    EXPECT_EQ(innerEvents, 0);
}

TEST_F(AudioBurnTest, AddFileTakesAudioOnly)
{
    EXPECT_FALSE(burner.AddFile(Path("missing.wav")));
    WriteFile(Path("text.wav"), "not audio at all");
    EXPECT_FALSE(burner.AddFile(Path("text.wav")));
    EXPECT_TRUE(burner.AddFile(Wav("a.wav", 1.0)));
    EXPECT_EQ(burner.GetFileCount(), 1);
    burner.ClearFiles();
    EXPECT_EQ(burner.GetFileCount(), 0);
    burner.AddFile(Path("a.wav"));
    burner.Terminate();
    EXPECT_EQ(burner.GetFileCount(), 0);
}

} // namespace
