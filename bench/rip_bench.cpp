// Ripping speed of the CD ripper control, from a generated disc image.
//
// Run from the build tree: build/<dir>/bench/rip_bench [--runs N] [--seconds S] [--short]
// Generates a BIN/CUE image holding one audio track (5 minutes by default),
// rips it to WAV and to OGG at quality 40 with the control, and encodes the
// same PCM (the BIN, raw 16-bit stereo at 44.1 kHz) with `ffmpeg -c:a
// libvorbis -q:a 4`, N runs each (5 by default), alternating, and prints the
// medians (--short: 20 s, one run). The last line reads "rip_wav_x_realtime=N rip_ogg_ratio=R"
// (real time over the WAV rip's median time; the OGG rip's median time over ffmpeg's).
#include "AudioBenchSupport.h"
#include "controls/cd/AudioCD.h"
#include "support/CdImage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace bench;

// One rip of track 1; seconds, or -1 when it failed.
double RipOnce(std::int32_t format, const QString& out)
{
    cAudioCDRipper cd;
    cd.SetDriveIndex(0);
    cd.SetTrackNumber(1);
    cd.SetDestinationFormat(format);
    cd.SetWAVFormat({44100, 2, 16});
    cd.SetOGGFormat({0, 0, 40}); // quality 40 = vorbis -q 4
    cd.SetDestinationFile(out);
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&cd, &cAudioCDRipper::Done, &loop, [&] {
        ok = true;
        loop.quit();
    });
    QObject::connect(&cd, &cAudioCDRipper::Error, &loop, [&](std::int32_t, const QString& text) {
        std::fprintf(stderr, "rip failed: %s\n", qPrintable(text));
        loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    cd.Rip();
    loop.exec();
    return ok ? timer.nsecsElapsed() / 1e9 : -1;
}

double FfmpegOnce(const QString& raw, const QString& out)
{
    return TimeProgram("ffmpeg", {"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-f", "s16le", "-ar",
                                  "44100", "-ac", "2", "-i", raw, "-c:a", "libvorbis", "-q:a", "4", out});
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool brief = ShortMode(args);
    const int runs = std::max(1, IntOption(args, "--runs", brief ? 1 : 5));
    const int seconds = std::max(1, IntOption(args, "--seconds", brief ? 20 : 300));
    if (!HaveTools({"ffmpeg"})) return 1;
    QTemporaryDir dir;
    const support::CdImage image = support::WriteCdImage(dir.path(), "disc", {{double(seconds), 440}});
    SetCDDriveImages(QStringList{image.cue});
    std::printf("disc image: one track of %d s; %d runs each\n", seconds, runs);

    std::vector<double> wav, ogg, ffmpeg;
    for (int r = 0; r < runs; ++r) {
        const double w = RipOnce(kDestFormatWAV, dir.filePath("rip.wav"));
        const double o = RipOnce(kDestFormatOGG, dir.filePath("rip.ogg"));
        const double f = FfmpegOnce(image.bin, dir.filePath("ffmpeg.ogg"));
        if (w < 0 || o < 0 || f < 0) return 1;
        wav.push_back(w);
        ogg.push_back(o);
        ffmpeg.push_back(f);
        std::printf("run %d: rip to WAV %.3f s, rip to OGG %.3f s, ffmpeg OGG %.3f s\n", r + 1, w, o, f);
    }
    const double xRealtime = seconds / Median(wav);
    const double ratio = Median(ogg) / Median(ffmpeg);
    std::printf("median: rip to WAV %.3f s (%.0fx real time), rip to OGG %.3f s (%lld bytes), ffmpeg %.3f s (%lld "
                "bytes)\n",
                Median(wav), xRealtime, Median(ogg), QFile(dir.filePath("rip.ogg")).size(), Median(ffmpeg),
                QFile(dir.filePath("ffmpeg.ogg")).size());
    std::printf("rip_wav_x_realtime=%.0f rip_ogg_ratio=%.3f\n", xRealtime, ratio);
    return 0;
}
