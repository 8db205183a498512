// Speed of the disc writer controls on their image writers.
//
// Run from the build tree: build/<dir>/bench/burn_bench [--runs N] [--seconds S] [--short]
// Generates three music-like 44.1 kHz stereo WAVs of S seconds each (300 by
// default) and the same as MP3 (ffmpeg, libmp3lame 192 kbit/s), then, N runs
// each (3 by default), alternating:
// - burns the WAVs, and the MP3s, as an audio CD image with cAudioBurner;
// - decodes the MP3s to raw PCM with ffmpeg (the same decoding work);
// - writes the WAVs as an ISO 9660 image with Rock Ridge and Joliet names
//   with cAudioDataBurner, with `xorriso -as mkisofs -r -J` and with
//   `genisoimage -r -J`;
// - writes them as a UDF bridge image with cBurner, and with `genisoimage
//   -udf -r -J`, which the control runs to make it.
// genisoimage's times include `sync --data` of its image: the controls flush
// theirs to the disk before they put them in place, and xorriso does too.
// --short: 10 s sources, one run.
// It prints the medians, then on a line each burn_wav_x_realtime=N (the audio
// time over the WAV burn's median), burn_mp3_ratio=R (the MP3 burn's median
// over ffmpeg's decoding), iso_ratio=R (the ISO burn's median over
// xorriso's), iso_vs_genisoimage_ratio=R and udf_ratio=R (the ISO and the
// UDF burns' medians over genisoimage's making the same).
#include "AudioBenchSupport.h"
#include "controls/burn/AudioCDBurner.h"
#include "controls/burn/DataCDBurner.h"
#include "controls/burn/DataDiscBurner.h"
#include "controls/cd/OpticalDrives.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
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

// The image writer's index among cBurner's writers, or -1.
std::int32_t ImageWriterIndex(cBurner& burner)
{
    for (std::int32_t i = 0; i < burner.DeviceCount(); ++i)
        if (burner.GetDriveLetter(i) == "E:") return i;
    return -1;
}

double BurnUdfOnce(const QStringList& files)
{
    cBurner burner;
    burner.SetUseUDF(true);
    burner.SetVolumeName("BENCH");
    for (const QString& f : files) burner.AddFile(f);
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&burner, &cBurner::BurnerEnd, &loop, [&] {
        ok = true;
        loop.quit();
    });
    QObject::connect(&burner, &cBurner::BurnerError, &loop, [&](const QString& text, const QString&) {
        std::fprintf(stderr, "burn failed: %s\n", qPrintable(text));
        loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    burner.Burn(ImageWriterIndex(burner));
    loop.exec();
    return ok ? timer.nsecsElapsed() / 1e9 : -1;
}

// genisoimage making the image, then the image flushed to the disk, as the
// controls' images (and xorriso's) are before they count as written.
double GenisoimageOnce(const QString& folder, const QString& image, bool udf)
{
    QStringList args{"-quiet", "-r", "-J", "-joliet-long", "-input-charset", "utf-8", "-V", "BENCH", "-o", image, folder};
    if (udf) args.prepend("-udf");
    const double make = TimeProgram("genisoimage", args);
    const double flush = TimeProgram("sync", {"--data", image});
    return make < 0 || flush < 0 ? -1 : make + flush;
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
    const bool brief = ShortMode(args);
    const int runs = std::max(1, IntOption(args, "--runs", brief ? 1 : 3));
    const int seconds = std::max(1, IntOption(args, "--seconds", brief ? 10 : 300));
    if (!HaveTools({"ffmpeg", "xorriso", "genisoimage"})) return 1;
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

    std::vector<double> wav, mp3, decode, iso, xorriso, genIso, udf, genUdf;
    qint64 isoBytes = 0, udfBytes = 0;
    const QString folder = dir.filePath("wav");
    for (int r = 0; r < runs; ++r) {
        const double w = BurnAudioOnce(wavs);
        const double m = BurnAudioOnce(mp3s);
        const double d = FfmpegDecodeOnce(mp3s, dir.filePath("decoded.raw"));
        const double i = BurnIsoOnce(wavs);
        isoBytes = QFile(dir.filePath("disc.iso")).size();
        const double x = TimeProgram("xorriso", {"-as", "mkisofs", "-quiet", "-r", "-J", "-V", "BENCH", "-o",
                                                 dir.filePath("xorriso.iso"), folder});
        const double gi = GenisoimageOnce(folder, dir.filePath("genisoimage.iso"), false);
        const double u = BurnUdfOnce(wavs);
        udfBytes = QFile(dir.filePath("disc.iso")).size();
        const double gu = GenisoimageOnce(folder, dir.filePath("genisoimage-udf.iso"), true);
        if (w < 0 || m < 0 || d < 0 || i < 0 || x < 0 || gi < 0 || u < 0 || gu < 0) return 1;
        wav.push_back(w);
        mp3.push_back(m);
        decode.push_back(d);
        iso.push_back(i);
        xorriso.push_back(x);
        genIso.push_back(gi);
        udf.push_back(u);
        genUdf.push_back(gu);
        std::printf("run %d: CD image from WAV %.3f s, from MP3 %.3f s, ffmpeg decoding %.3f s; ISO %.3f s, "
                    "xorriso %.3f s, genisoimage %.3f s; UDF %.3f s, genisoimage %.3f s\n",
                    r + 1, w, m, d, i, x, gi, u, gu);
    }
    const double xRealtime = 3.0 * seconds / Median(wav);
    std::printf("median: CD image from WAV %.3f s (%.0fx real time), from MP3 %.3f s, ffmpeg %.3f s\n", Median(wav),
                xRealtime, Median(mp3), Median(decode));
    std::printf("median: ISO %.3f s (%lld bytes), xorriso %.3f s (%lld bytes), genisoimage %.3f s (%lld bytes)\n",
                Median(iso), isoBytes, Median(xorriso), QFile(dir.filePath("xorriso.iso")).size(), Median(genIso),
                QFile(dir.filePath("genisoimage.iso")).size());
    std::printf("median: UDF %.3f s (%lld bytes), genisoimage %.3f s (%lld bytes)\n", Median(udf), udfBytes,
                Median(genUdf), QFile(dir.filePath("genisoimage-udf.iso")).size());
    std::printf("burn_wav_x_realtime=%.0f\nburn_mp3_ratio=%.3f\niso_ratio=%.3f\niso_vs_genisoimage_ratio=%.3f\n"
                "udf_ratio=%.3f\n",
                xRealtime, Median(mp3) / Median(decode), Median(iso) / Median(xorriso), Median(iso) / Median(genIso),
                Median(udf) / Median(genUdf));
    return 0;
}
