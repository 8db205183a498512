#include "controls/burn/BurnerTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QtTest/QTest>

#include <cdio/cdio.h>
#include <cdio/logging.h>

namespace burntest {

namespace {
QString Num(std::int64_t n) { return QString::number(n); }
} // namespace

EventLog::EventLog(cAudioBurner& b)
{
    connect(&b, &cAudioBurner::TrackProgress, this,
            [this](std::int16_t p, std::int16_t t) { events << "TrackProgress " + Num(p) + " " + Num(t); });
    connect(&b, &cAudioBurner::Progress, this,
            [this](std::int16_t p, std::int16_t d) { events << "Progress " + Num(p) + " " + Num(d); });
    connect(&b, &cAudioBurner::CachingTrack, this, [this] { events << "CachingTrack"; });
    connect(&b, &cAudioBurner::WritingTrack, this, [this] { events << "WritingTrack"; });
    connect(&b, &cAudioBurner::ClosingTrack, this, [this](std::int16_t t) { events << "ClosingTrack " + Num(t); });
    connect(&b, &cAudioBurner::ClosingSession, this, [this] { events << "ClosingSession"; });
    connect(&b, &cAudioBurner::Finished, this, [this] { events << "Finished"; });
    connect(&b, &cAudioBurner::Error, this,
            [this](std::int32_t code, const QString& text) { events << "Error " + Num(code) + " " + text; });
}

EventLog::EventLog(cAudioDataBurner& b)
{
    connect(&b, &cAudioDataBurner::BurnStarted, this, [this] { events << "BurnStarted"; });
    connect(&b, &cAudioDataBurner::Progress, this, [this](std::int16_t p) { events << "Progress " + Num(p); });
    connect(&b, &cAudioDataBurner::ClosingSession, this, [this] { events << "ClosingSession"; });
    connect(&b, &cAudioDataBurner::Finished, this, [this] { events << "Finished"; });
    connect(&b, &cAudioDataBurner::Error, this,
            [this](std::int32_t code, const QString& text) { events << "Error " + Num(code) + " " + text; });
}

EventLog::EventLog(cBurner& b)
{
    connect(&b, &cBurner::BurnerInitializing, this, [this] { events << "BurnerInitializing"; });
    connect(&b, &cBurner::BurnerWarning, this, [this](const QString& m) { events << "BurnerWarning " + m; });
    connect(&b, &cBurner::AddingFile, this, [this](const QString& p) { events << "AddingFile " + p; });
    connect(&b, &cBurner::FilesToBurn, this,
            [this](std::int32_t f, std::int32_t d) { events << "FilesToBurn " + Num(f) + " " + Num(d); });
    connect(&b, &cBurner::StartBurning, this, [this] { events << "StartBurning"; });
    connect(&b, &cBurner::BurnerProgress, this, [this](std::int32_t p) { events << "BurnerProgress " + Num(p); });
    connect(&b, &cBurner::BurnerFinalization, this, [this] { events << "BurnerFinalization"; });
    connect(&b, &cBurner::BurnerDoneBurn, this, [this] { events << "BurnerDoneBurn"; });
    connect(&b, &cBurner::BurnerCompleted, this, [this] { events << "BurnerCompleted"; });
    connect(&b, &cBurner::BurnerCanceled, this, [this] { events << "BurnerCanceled"; });
    connect(&b, &cBurner::BurnerEnd, this, [this] { events << "BurnerEnd"; });
    connect(&b, &cBurner::BurnerError, this,
            [this](const QString& m, const QString& d) { events << "BurnerError " + m + " (" + d + ")"; });
}

QStringList EventLog::Phases() const
{
    QStringList phases;
    for (const QString& e : events)
        if (!e.startsWith("Progress ") && !e.startsWith("TrackProgress ") && !e.startsWith("BurnerProgress "))
            phases << e;
    return phases;
}

void WaitForDataBurn(EventLog& log, const QString& lastEvent)
{
    auto ended = [&] {
        for (const QString& e : log.events)
            if (e.startsWith(lastEvent) || e.startsWith("Error ") || e.startsWith("BurnerError ")) return true;
        return false;
    };
    EXPECT_TRUE(QTest::qWaitFor(ended, 120000));
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::vector<CdTrack> ReadCdImage(const QString& cue)
{
    std::vector<CdTrack> tracks;
    cdio_log_set_handler([](cdio_log_level_t, const char*) {});
    CdIo_t* cdio = cdio_open(QFile::encodeName(cue).constData(), DRIVER_BINCUE);
    if (!cdio) return tracks;
    const track_t first = cdio_get_first_track_num(cdio), count = cdio_get_num_tracks(cdio);
    for (int t = first; first != CDIO_INVALID_TRACK && t < first + count; ++t) {
        CdTrack track;
        track.audio = cdio_get_track_format(cdio, track_t(t)) == TRACK_FORMAT_AUDIO;
        track.firstSector = cdio_get_track_lsn(cdio, track_t(t));
        const track_t following = t + 1 < first + count ? track_t(t + 1) : track_t(CDIO_CDROM_LEADOUT_TRACK);
        const lsn_t next = cdio_get_track_lsn(cdio, following);
        track.sectors = next - track.firstSector;
        track.pcm.resize(qsizetype(track.sectors) * CDIO_CD_FRAMESIZE_RAW);
        if (cdio_read_audio_sectors(cdio, track.pcm.data(), track.firstSector, track.sectors) != DRIVER_OP_SUCCESS)
            track.pcm.clear();
        tracks.push_back(track);
    }
    cdio_destroy(cdio);
    return tracks;
}

QByteArray FfmpegPcm(const QString& path)
{
    QTemporaryDir dir;
    const QString raw = dir.filePath("pcm.raw");
    const ToolRun r = RunTool("ffmpeg", {"-v", "error", "-i", path, "-f", "s16le", "-ar", "44100", "-ac", "2", raw});
    return r.ok && r.exitCode == 0 ? ReadFile(raw) : QByteArray();
}

QStringList IsoRootNames(const QString& image, bool isoNamesOnly)
{
    QStringList args;
    if (isoNamesOnly) args << "-read_fs" << "ecma119";
    args << "-indev" << image << "-ls";
    const ToolRun r = RunTool("xorriso", args);
    QStringList names;
    if (!r.ok || r.exitCode != 0) return names;
    for (const QString& line : r.out.split('\n')) {
        // xorriso lists each name in single quotes
        if (line.startsWith('\'') && line.endsWith('\'') && line.size() >= 2) names << line.mid(1, line.size() - 2);
    }
    return names;
}

QString IsoVolumeFact(const QString& image, const QString& fact)
{
    const ToolRun r = RunTool("xorriso", {"-indev", image, "-pvd_info"});
    for (const QString& line : r.out.split('\n'))
        if (line.startsWith(fact)) return line.mid(line.indexOf(':') + 1).trimmed();
    return {};
}

bool ExtractIso(const QString& image, const QString& folder)
{
    const ToolRun r = RunTool("xorriso", {"-osirrox", "on", "-indev", image, "-extract", "/", folder});
    return r.ok && r.exitCode == 0;
}

QString BurnerTest::Wav(const QString& name, double seconds, double frequency)
{
    Signal s;
    s.frequency = frequency;
    WriteWav(Path(name), 44100, 2, 16, seconds, s);
    return Path(name);
}

void EncodeTestSource(const QString& wav, const QString& dest, std::int32_t format)
{
    cAudioConverter conv;
    conv.SetSourceFile(wav);
    conv.SetDestinationFile(dest);
    conv.SetDestinationFormat(format);
    MP3FormatSettings mp3;
    mp3.Bitrate = 160;
    mp3.Quality = 5;
    mp3.SampleRate = 44100;
    mp3.Mode = 1;
    conv.SetMP3Format(mp3);
    conv.SetOGGFormat({0, 0, 50});
    const ConvertEvents ev = RunConvert(conv);
    EXPECT_EQ(ev.endings, QStringList{"Done"}) << ev.errorText.toStdString();
}

QString BurnerTest::Compressed(const QString& name, std::int32_t format, double seconds, double frequency)
{
    const QString wav = Wav(name + ".source.wav", seconds, frequency);
    EncodeTestSource(wav, Path(name), format);
    QFile::remove(wav);
    return Path(name);
}

} // namespace burntest
