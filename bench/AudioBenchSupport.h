#pragma once
// What the benchmarks share: options, medians, outside programs and
// music-like sources.
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <vector>

namespace bench {

inline int IntOption(const QStringList& args, const QString& name, int fallback)
{
    const int i = args.indexOf(name);
    return i >= 0 ? args.value(i + 1).toInt() : fallback;
}

// --short: a few seconds' run on small inputs, to see that the benchmark
// still works (scripts/bench-short.sh); its figures are not the benchmark's.
inline bool ShortMode(const QStringList& args) { return args.contains("--short"); }

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// True when every program is on the PATH; otherwise says which is not.
inline bool HaveTools(std::initializer_list<const char*> programs)
{
    for (const char* program : programs)
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            std::fprintf(stderr, "%s is not installed\n", program);
            return false;
        }
    return true;
}

inline bool RunQuiet(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// One run of an outside program; seconds, or -1 when it failed.
inline double TimeProgram(const QString& program, const QStringList& args)
{
    QElapsedTimer timer;
    timer.start();
    return RunQuiet(program, args) ? timer.nsecsElapsed() / 1e9 : -1;
}

// A 44.1 kHz stereo 16-bit WAV of music-like audio from ffmpeg's expression
// source: drifting tones and a little noise; `n` varies the tones.
inline bool MakeSource(const QString& path, int seconds, int n)
{
    const QString base = QString::number(220 + 7 * n);
    const QString left = "0.25*sin(2*PI*(" + base + "+30*sin(t*0.3))*t)+0.15*sin(2*PI*660*t)*sin(t*2.1)"
                         "+0.1*sin(2*PI*1760*t)+0.05*(random(0)-0.5)";
    const QString right = "0.25*sin(2*PI*(" + base + "+30*sin(t*0.3))*t+1)+0.1*sin(2*PI*1767*t)+0.05*(random(1)-0.5)";
    return RunQuiet("ffmpeg", {"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                               "aevalsrc=" + left + "|" + right + ":s=44100:d=" + QString::number(seconds), "-c:a",
                               "pcm_s16le", path});
}

} // namespace bench
