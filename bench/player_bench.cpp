// The player's cost and start-up time.
//
// Run from the build tree: build/<dir>/bench/player_bench [--seconds S] [--starts N] [--short]
// Makes a 44.1 kHz stereo OGG (music-like, S seconds, 120 by default) with
// the ffmpeg command line, and plays it on "default", which an ALSA
// configuration of the benchmark's own makes a file device writing into
// /dev/null through ALSA's "null" (so it runs on a machine without a sound
// card): it takes samples as fast as they come, so the process's CPU time
// over the whole play, divided by the audio's duration, is what playing
// costs in real time. Then it starts the file N times (20 by default) and
// takes the median time from PlayFile to the player's report that its first
// samples are written. --short: 5 s and 3 starts, to see that it runs.
// Prints "player_cpu_percent=X" and "player_start_ms=X".
#include "AudioBenchSupport.h"
#include "controls/audio/Player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

double ProcessCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

bool MakeOgg(const QString& path, int seconds)
{
    const QString tones = QString("aevalsrc=0.25*sin(2*PI*(220+30*sin(0.3*t))*t)+0.1*sin(2*PI*1760*t)+0.05*(random(0)-0.5)"
                                  "|0.25*sin(2*PI*330*t)+0.15*sin(2*PI*660*t)*sin(2.1*t)+0.05*(random(1)-0.5)"
                                  ":s=44100:d=%1")
                              .arg(seconds);
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", tones, "-c:a", "libvorbis", "-q:a", "5", path});
    return ffmpeg.waitForFinished(300000) && ffmpeg.exitCode() == 0;
}

// Runs the event loop until `done` holds.
void WaitUntil(const std::function<bool()>& done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    poll.start(1);
    if (!done()) loop.exec();
}

// ALSA's configuration for this process: "default" discards what it is given.
bool UseDiscardingDefault(const QTemporaryDir& dir)
{
    QDir(dir.path()).mkpath("alsa");
    QFile rc(dir.filePath("alsa/asoundrc"));
    if (!rc.open(QIODevice::WriteOnly) ||
        rc.write("pcm.!default { type file slave.pcm \"null\" file \"/dev/null\" format \"raw\" }\n") < 0)
        return false;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    return true;
}

std::int32_t DefaultDevice(cPlayer& player)
{
    for (std::int32_t i = 0; i < player.DeviceCount(); ++i)
        if (player.DeviceName(i) == "default") return i;
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool brief = bench::ShortMode(args);
    const int seconds = std::max(1, bench::IntOption(args, "--seconds", brief ? 5 : 120));
    const int starts = std::max(1, bench::IntOption(args, "--starts", brief ? 3 : 20));
    QTemporaryDir dir;
    const QString ogg = dir.filePath("music.ogg");
    if (!MakeOgg(ogg, seconds)) {
        std::fprintf(stderr, "cannot make the OGG (is ffmpeg installed?)\n");
        return 1;
    }
    if (!UseDiscardingDefault(dir)) {
        std::fprintf(stderr, "cannot write the ALSA configuration\n");
        return 1;
    }
    cPlayer player;
    const std::int32_t device = DefaultDevice(player);
    if (device < 0) {
        std::fprintf(stderr, "ALSA lists no \"default\" device\n");
        return 1;
    }
    int finished = 0;
    bool started = false;
    QObject::connect(&player, &cPlayer::PlayFinished, [&] { ++finished; });
    QObject::connect(&player, &cPlayer::PlayerEvent, [&](std::int32_t code, std::int32_t, std::int32_t) {
        if (code == kPlayerEventStarted) started = true;
    });

    const double cpuBefore = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    if (const std::int32_t r = player.PlayFile(ogg, device); r != 0) {
        std::fprintf(stderr, "%s\n", qPrintable(player.ErrorText(r)));
        return 1;
    }
    WaitUntil([&] { return finished == 1; });
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    std::printf("played %.0f s of audio in %.2f s, %.3f s of CPU\n", player.Length(), wall.elapsed() / 1000.0, cpu);

    std::vector<double> startMs;
    for (int i = 0; i < starts; ++i) {
        started = false;
        QElapsedTimer t;
        t.start();
        player.PlayFile(ogg, device);
        WaitUntil([&] { return started; });
        startMs.push_back(t.nsecsElapsed() / 1e6);
        player.Stop();
    }
    std::sort(startMs.begin(), startMs.end());
    std::printf("start times: fastest %.2f ms, slowest %.2f ms\n", startMs.front(), startMs.back());
    std::printf("player_cpu_percent=%.3f\n", cpu / player.Length() * 100.0);
    std::printf("player_start_ms=%.2f\n", startMs[startMs.size() / 2]);
    return 0;
}
