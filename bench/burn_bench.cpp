// Speed of the disc writer controls on their image writers.
//
// Run from the build tree: build/<dir>/bench/burn_bench [--runs N] [--seconds S]
// Generates three music-like 44.1 kHz stereo WAVs of S seconds each (300 by
// default) and the same as MP3 (ffmpeg, libmp3lame 192 kbit/s), then, N runs
// each (3 by default), alternating:
// - burns the WAVs, and the MP3s, as an audio CD image with cAudioBurner;
// - decodes the MP3s to raw PCM with ffmpeg (the same decoding work);
// - writes the WAVs as an ISO 9660 + Joliet image with cAudioDataBurner, and
//   with `xorriso -as mkisofs -J`.
// It prints the medians, then on a line each burn_wav_x_realtime=N (the audio
// time over the WAV burn's median), burn_mp3_ratio=R (the MP3 burn's median
// over ffmpeg's decoding) and iso_ratio=R (the ISO burn's median over
// xorriso's).
#include "AudioBenchSupport.h"
#include "controls/burn/AudioCDBurner.h"
#include "controls/burn/DataCDBurner.h"
#include "controls/cd/OpticalDrives.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

using namespace bench;

double BurnAudioOnce(const QStringList& files)
{
    cAudioBurner burner;
    for (const QString& f : files) burner.AddFile(f);
    burner.SetDecodeSources(true);
    QObject::connect(&burner, &cAudioBurner::Error, [](std::int32_t, const QString& text) {
        std::fprintf(stderr, "burn failed: %s\n", qPrintable(text));
    });
    QElapsedTimer timer;
    timer.start();
    return burner.Burn("D", kBurnSpeedMax) == 0 ? timer.nsecsElapsed() / 1e9 : -1;
}

double BurnIsoOnce(const QStringList& files)
{
    cAudioDataBurner burner;
    for (const QString& f : files) burner.AddFile(f);
    burner.SetVolumeLabel("BENCH");
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&burner, &cAudioDataBurner::Finished, &loop, [&] {
        ok = true;
        loop.quit();
    });
    QObject::connect(&burner, &cAudioDataBurner::Error, &loop, [&](std::int32_t, const QString& text) {
        std::fprintf(stderr, "burn failed: %s\n", qPrintable(text));
        loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    burner.Burn("E", kBurnSpeedMax);
    loop.exec();
    return ok ? timer.nsecsElapsed() / 1e9 : -1;
}

double FfmpegDecodeOnce(const QStringList& files, const QString& raw)
{
    QStringList args{"-nostdin", "-hide_banner", "-loglevel", "error", "-y"};
    for (const QString& f : files) args << "-i" << f;
    args << "-filter_complex" << QString("concat=n=%1:v=0:a=1").arg(files.size()) << "-f" << "s16le" << "-ar"
         << "44100" << "-ac" << "2" << raw;
    return TimeProgram("ffmpeg", args);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int runs = std::max(1, IntOption(args, "--runs", 3));
    const int seconds = std::max(1, IntOption(args, "--seconds", 300));
    for (const char* tool : {"ffmpeg", "xorriso"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            std::fprintf(stderr, "%s is not installed\n", tool);
            return 1;
        }
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("wav");
    QStringList wavs, mp3s;
    for (int n = 0; n < 3; ++n) {
        const QString wav = dir.filePath(QString("wav/song%1.wav").arg(n));
        const QString mp3 = dir.filePath(QString("song%1.mp3").arg(n));
        if (!MakeSource(wav, seconds, n) ||
            !RunQuiet("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-i", wav, "-c:a", "libmp3lame", "-b:a",
                                 "192k", mp3}))
            return 1;
        wavs << wav;
        mp3s << mp3;
    }
    optical::SetImageWriters(optical::ImageWriters{dir.filePath("cd.cue"), dir.filePath("disc.iso")});
    std::printf("three sources of %d s each; %d runs each\n", seconds, runs);

    std::vector<double> wav, mp3, decode, iso, xorriso;
    for (int r = 0; r < runs; ++r) {
        const double w = BurnAudioOnce(wavs);
        const double m = BurnAudioOnce(mp3s);
        const double d = FfmpegDecodeOnce(mp3s, dir.filePath("decoded.raw"));
        const double i = BurnIsoOnce(wavs);
        const double x = TimeProgram("xorriso", {"-as", "mkisofs", "-quiet", "-J", "-V", "BENCH", "-o",
                                                 dir.filePath("xorriso.iso"), dir.filePath("wav")});
        if (w < 0 || m < 0 || d < 0 || i < 0 || x < 0) return 1;
        wav.push_back(w);
        mp3.push_back(m);
        decode.push_back(d);
        iso.push_back(i);
        xorriso.push_back(x);
        std::printf("run %d: CD image from WAV %.3f s, from MP3 %.3f s, ffmpeg decoding %.3f s, ISO %.3f s, "
                    "xorriso %.3f s\n",
                    r + 1, w, m, d, i, x);
    }
    const double xRealtime = 3.0 * seconds / Median(wav);
    std::printf("median: CD image from WAV %.3f s (%.0fx real time), from MP3 %.3f s, ffmpeg %.3f s; ISO %.3f s "
                "(%lld bytes), xorriso %.3f s (%lld bytes)\n",
                Median(wav), xRealtime, Median(mp3), Median(decode), Median(iso),
                QFile(dir.filePath("disc.iso")).size(), Median(xorriso), QFile(dir.filePath("xorriso.iso")).size());
    std::printf("burn_wav_x_realtime=%.0f\nburn_mp3_ratio=%.3f\niso_ratio=%.3f\n", xRealtime,
                Median(mp3) / Median(decode), Median(iso) / Median(xorriso));
    return 0;
}
