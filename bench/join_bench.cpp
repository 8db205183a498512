// The join control against ffmpeg's concat of the same files.
//
// Run from the build tree: build/<dir>/bench/join_bench [--runs N] [--files F] [--seconds S] [--short]
// Generates F music-like 44.1 kHz stereo WAV files of S seconds (10 of 30 by
// default), then N times each (5 by default), alternating: joins them into
// one OGG at quality 40 with the join control, and with `ffmpeg -f concat`
// and `-c:a libvorbis -q:a 4`, the same encoder setting (--short: 3 files
// of 5 s, one run). Prints both medians
// with the machine's load; the last line reads "join_ratio=R" (ours / ffmpeg's).
#include "AudioBenchSupport.h"
#include "controls/audio/AudioJoin.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace bench;

// One join with the control; seconds, or -1 when it failed.
double RunOurs(const QStringList& sources, const QString& out)
{
    cAudioJoin join;
    for (const QString& s : sources) join.AddFile(s, -1, -1);
    join.SetDestinationFile(out);
    join.SetDestinationFormat(kDestFormatOGG);
    join.SetOGGFormat({0, 0, 40}); // quality 40 = vorbis -q 4
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&join, &cAudioJoin::Done, &loop, [&] {
        ok = true;
        loop.quit();
    });
    QObject::connect(&join, &cAudioJoin::Error, &loop, [&](std::int32_t, const QString& text) {
        std::fprintf(stderr, "join failed: %s\n", qPrintable(text));
        loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    join.Join();
    loop.exec();
    return ok ? timer.nsecsElapsed() / 1e9 : -1;
}

double RunFfmpeg(const QString& list, const QString& out)
{
    return TimeProgram("ffmpeg", {"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-f", "concat", "-safe", "0",
                                  "-i", list, "-c:a", "libvorbis", "-q:a", "4", out});
}

// The concat demuxer's list of the sources.
bool WriteConcatList(const QString& path, const QStringList& sources)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    for (QString s : sources) f.write("file '" + s.replace("'", "'\\''").toUtf8() + "'\n");
    return f.error() == QFile::NoError;
}

QString LoadAverage()
{
    QFile f("/proc/loadavg");
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).section(' ', 0, 2) : QString("unknown");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool brief = ShortMode(args);
    const int runs = std::max(1, IntOption(args, "--runs", brief ? 1 : 5));
    const int files = std::max(1, IntOption(args, "--files", brief ? 3 : 10));
    const int seconds = std::max(1, IntOption(args, "--seconds", brief ? 5 : 30));
    if (!HaveTools({"ffmpeg"})) return 1;
    QTemporaryDir dir;
    QStringList sources;
    for (int n = 1; n <= files; ++n) {
        sources << dir.filePath(QString("track%1.wav").arg(n, 2, 10, QChar('0')));
        if (!MakeSource(sources.last(), seconds, n)) return 1;
    }
    const QString list = dir.filePath("list.txt");
    if (!WriteConcatList(list, sources)) return 1;
    std::printf("sources: %d files of %d s, 44100 Hz, stereo, 16 bit; OGG quality 40 (-q:a 4); %d runs each\n",
                files, seconds, runs);
    std::printf("load average before: %s\n", qPrintable(LoadAverage()));

    std::vector<double> ours, theirs;
    const QString oursOut = dir.filePath("ours.ogg"), theirsOut = dir.filePath("ffmpeg.ogg");
    for (int r = 0; r < runs; ++r) {
        const double a = RunOurs(sources, oursOut);
        const double b = RunFfmpeg(list, theirsOut);
        if (a < 0 || b < 0) return 1;
        ours.push_back(a);
        theirs.push_back(b);
        std::printf("run %d: join control %.3f s, ffmpeg concat %.3f s\n", r + 1, a, b);
    }
    std::printf("load average after: %s\n", qPrintable(LoadAverage()));
    std::printf("median: join control %.3f s (%.0fx real time, %lld bytes), ffmpeg concat %.3f s (%lld bytes)\n",
                Median(ours), files * seconds / Median(ours), QFile(oursOut).size(), Median(theirs),
                QFile(theirsOut).size());
    std::printf("join_ratio=%.3f\n", Median(ours) / Median(theirs));
    return 0;
}
