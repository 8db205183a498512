// Conversion speed and memory against the ffmpeg and oggenc command lines.
//
// Run from the build tree: build/<dir>/bench/convert_bench [--runs N] [--seconds S] [--short]
// Generates a 44.1 kHz stereo WAV (5 minutes by default), converts it to OGG
// at quality 40 and to MP3 at 128 kbit/s with the conversion control and with
// `ffmpeg` using the same encoder settings, and to OGG with `oggenc -q 4` (the
// Vorbis reference encoder), N runs each (5 by default), alternating, and
// prints the medians. Then it converts once more in a child process per
// format and reports that child's peak memory. --short: 20 s, one run.
// The last line reads
// "ogg_ratio=R mp3_ratio=R ogg_vs_oggenc_ratio=R" (ours / the peer's median time).
#include "AudioBenchSupport.h"
#include "controls/audio/AudioConverter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace bench;

// Music-like test audio: a few drifting tones under a little noise.
bool WriteTestWav(const QString& path, int seconds)
{
    const int rate = 44100, channels = 2;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const quint32 dataBytes = quint32(seconds) * rate * channels * 2;
    auto le = [&](quint32 v, int bytes) {
        char b[4];
        for (int i = 0; i < bytes; ++i) b[i] = char((v >> (8 * i)) & 0xFF);
        f.write(b, bytes);
    };
    f.write("RIFF");
    le(36 + dataBytes, 4);
    f.write("WAVEfmt ");
    le(16, 4), le(1, 2), le(channels, 2), le(rate, 4), le(rate * channels * 2, 4), le(channels * 2, 2), le(16, 2);
    f.write("data");
    le(dataBytes, 4);
    std::vector<qint16> block(size_t(rate) * channels);
    quint32 noise = 22222;
    for (int s = 0; s < seconds; ++s) {
        for (int i = 0; i < rate; ++i) {
            const double t = s + double(i) / rate;
            for (int c = 0; c < channels; ++c) {
                noise = noise * 1664525u + 1013904223u;
                const double v = 0.25 * std::sin(2 * M_PI * (220 + 30 * std::sin(t * 0.3)) * t + c) +
                                 0.15 * std::sin(2 * M_PI * 660 * t) * std::sin(t * 2.1) +
                                 0.10 * std::sin(2 * M_PI * (1760 + c * 7) * t) +
                                 0.05 * (double(noise >> 8) / (1 << 24) - 0.5);
                block[size_t(i) * channels + size_t(c)] = qint16(std::lround(v * 32767));
            }
        }
        f.write(reinterpret_cast<const char*>(block.data()), qint64(block.size() * sizeof(qint16)));
    }
    return f.error() == QFile::NoError;
}

enum class Format { Ogg, Mp3 };

void SetUp(cAudioConverter& c, Format format, const QString& in, const QString& out)
{
    c.SetSourceFile(in);
    c.SetDestinationFile(out);
    if (format == Format::Ogg) {
        c.SetDestinationFormat(kDestFormatOGG);
        c.SetOGGFormat({0, 0, 40}); // quality 40 = vorbis -q 4
    } else {
        c.SetDestinationFormat(kDestFormatMP3);
        MP3FormatSettings m;
        m.Bitrate = 128;
        m.Quality = 5;
        m.Mode = 1; // joint stereo, as ffmpeg's libmp3lame by default
        m.SampleRate = 44100;
        m.WriteVBRTag = -1;
        c.SetMP3Format(m);
    }
}

// One conversion with the control; seconds, or -1 when it failed.
double RunOurs(Format format, const QString& in, const QString& out)
{
    cAudioConverter c;
    SetUp(c, format, in, out);
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&c, &cAudioConverter::ConvertDone, &loop, [&] {
        ok = true;
        loop.quit();
    });
    QObject::connect(&c, &cAudioConverter::ConvertError, &loop, [&](std::int32_t, const QString& text) {
        std::fprintf(stderr, "conversion failed: %s\n", qPrintable(text));
        loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    c.Convert();
    loop.exec();
    return ok ? timer.nsecsElapsed() / 1e9 : -1;
}

QStringList FfmpegArgs(Format format, const QString& in, const QString& out)
{
    QStringList args{"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", in};
    if (format == Format::Ogg)
        args << "-c:a"
             << "libvorbis"
             << "-q:a"
             << "4";
    else
        args << "-c:a"
             << "libmp3lame"
             << "-b:a"
             << "128k"
             << "-compression_level"
             << "5";
    return args << out;
}

// The peers of a format: ffmpeg with the same encoder settings; for OGG also oggenc.
struct Peer {
    const char* name;
    QStringList (*args)(Format format, const QString& in, const QString& out);
};

QStringList OggencArgs(Format, const QString& in, const QString& out) { return {"-Q", "-q", "4", "-o", out, in}; }

std::vector<Peer> PeersOf(Format format)
{
    std::vector<Peer> peers{{"ffmpeg", FfmpegArgs}};
    if (format == Format::Ogg) peers.push_back({"oggenc", OggencArgs});
    return peers;
}

long MaxRssKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// --child ogg|mp3 in out: one conversion; prints the memory before it.
int ChildMain(const QStringList& args)
{
    const Format format = args.value(2) == "mp3" ? Format::Mp3 : Format::Ogg;
    std::printf("%ld\n", MaxRssKiB());
    std::fflush(stdout);
    return RunOurs(format, args.value(3), args.value(4)) >= 0 ? 0 : 1;
}

// Peak memory of a child doing one conversion: {before, peak} in KiB.
std::pair<long, long> ChildMemory(const QString& self, Format format, const QString& in, const QString& out)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {-1, -1};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        const QByteArray exe = self.toLocal8Bit(), i = in.toLocal8Bit(), o = out.toLocal8Bit();
        execl(exe.constData(), exe.constData(), "--child", format == Format::Mp3 ? "mp3" : "ogg", i.constData(),
              o.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    char buf[64] = {};
    const ssize_t n = read(pipeFds[0], buf, sizeof buf - 1);
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (n <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {-1, -1};
    return {std::atol(buf), usage.ru_maxrss};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == "--child") return ChildMain(args);

    const bool brief = ShortMode(args);
    const int runs = std::max(1, IntOption(args, "--runs", brief ? 1 : 5));
    const int seconds = std::max(1, IntOption(args, "--seconds", brief ? 20 : 300));
    if (!HaveTools({"ffmpeg", "oggenc"})) return 1;
    QTemporaryDir dir;
    const QString in = dir.filePath("in.wav");
    if (!WriteTestWav(in, seconds)) return 1;
    std::printf("source: %d s, 44100 Hz, stereo, 16 bit; %d runs each\n", seconds, runs);

    double ratios[3] = {}; // ogg / ffmpeg, mp3 / ffmpeg, ogg / oggenc
    for (Format format : {Format::Ogg, Format::Mp3}) {
        const char* name = format == Format::Ogg ? "ogg" : "mp3";
        const QString ext = QString(".") + name;
        const std::vector<Peer> peers = PeersOf(format);
        std::vector<double> ours;
        std::vector<std::vector<double>> theirs(peers.size());
        for (int r = 0; r < runs; ++r) {
            const double a = RunOurs(format, in, dir.filePath("ours" + ext));
            if (a < 0) return 1;
            ours.push_back(a);
            std::printf("%s run %d: ours %.3f s", name, r + 1, a);
            for (size_t p = 0; p < peers.size(); ++p) {
                const QString out = dir.filePath(QString(peers[p].name) + ext);
                const double b = TimeProgram(peers[p].name, peers[p].args(format, in, out));
                if (b < 0) return 1;
                theirs[p].push_back(b);
                std::printf(", %s %.3f s", peers[p].name, b);
            }
            std::printf("\n");
        }
        std::printf("%s median: ours %.3f s (%.0fx real time), %lld bytes\n", name, Median(ours),
                    seconds / Median(ours), QFile(dir.filePath("ours" + ext)).size());
        for (size_t p = 0; p < peers.size(); ++p) {
            const double ratio = Median(ours) / Median(theirs[p]);
            std::printf("%s median: %s %.3f s, ratio %.3f; %lld bytes\n", name, peers[p].name, Median(theirs[p]), ratio,
                        QFile(dir.filePath(QString(peers[p].name) + ext)).size());
            ratios[p == 0 ? int(format) : 2] = ratio;
        }
        const auto [before, peak] = ChildMemory(app.applicationFilePath(), format, in, dir.filePath("mem" + ext));
        std::printf("%s memory: peak %.1f MiB, of which the conversion %.1f MiB\n", name, peak / 1024.0,
                    (peak - before) / 1024.0);
    }
    std::printf("ogg_ratio=%.3f mp3_ratio=%.3f ogg_vs_oggenc_ratio=%.3f\n", ratios[0], ratios[1], ratios[2]);
    return 0;
}
