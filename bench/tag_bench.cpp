// Times the ID3v2 tag class on a 100 MB MP3-sized file: reading a file
// without a tag, writing a first tag (the file is rebuilt through a flushed
// temporary copy that is renamed into place), and rewriting it in place,
// each inside this process (read_ms, rebuild_ms, inplace_ms). Then, when
// mid3v2 is installed, like for like: whole processes adding a first tag to
// fresh copies of the same file, this program (started again as
// "tag_bench --rebuild FILE") against mid3v2, in turns, the median of three
// pairs: rebuild_process_ms, mid3v2_process_ms and, last,
// rebuild_vs_mid3v2=X (our process's time over mid3v2's). --short: a 10 MB
// file, to see that it runs.
#include "AudioBenchSupport.h"
#include "tags/cMP3ID3v2.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

bool makeAudioFile(const QString& path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
    block[0] = char(0xFF);
    block[1] = char(0xFB);
    for (qint64 written = 0; written < size; written += block.size())
        if (f.write(block) != block.size()) return false;
    return true;
}

double msOf(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return double(timer.nsecsElapsed()) / 1e6;
}

// A whole process's time in ms, or -1 when it failed.
double processMs(const QString& program, const QStringList& args)
{
    const double seconds = bench::TimeProgram(program, args);
    return seconds < 0 ? -1 : seconds * 1000;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == "--rebuild") {
        cMP3ID3v2 tag;
        tag.SetMP3File(args.value(2));
        tag.SetTitle("A title");
        tag.Update();
        return 0;
    }
    QTemporaryDir dir;
    const QString ours = dir.filePath("ours.mp3");
    const QString peer = dir.filePath("peer.mp3");
    const qint64 size = (bench::ShortMode(args) ? 10LL : 100LL) * 1024 * 1024;
    if (!makeAudioFile(ours, size) || !QFile::copy(ours, peer)) return 1;

    cMP3ID3v2 tag;
    const double readMs = msOf([&] { tag.SetMP3File(ours); });
    const double rebuildMs = msOf([&] {
        tag.SetTitle("A title");
        tag.Update();
    });
    tag.SetMP3File(ours);
    const double inPlaceMs = msOf([&] {
        tag.SetTitle("Another title");
        tag.Update();
    });
    std::printf("read_ms=%.2f\nrebuild_ms=%.1f\ninplace_ms=%.2f\n", readMs, rebuildMs, inPlaceMs);

    if (QStandardPaths::findExecutable("mid3v2").isEmpty()) {
        std::printf("mid3v2 is not installed\n");
        return 0;
    }
    std::vector<double> oursMs, peerMs;
    for (int round = 0; round < 3; ++round) {
        const QString ourCopy = dir.filePath(QString("ours %1.mp3").arg(round));
        const QString peerCopy = dir.filePath(QString("peer %1.mp3").arg(round));
        if (!QFile::copy(peer, ourCopy) || !QFile::copy(peer, peerCopy)) return 1;
        auto runOurs = [&] { oursMs.push_back(processMs(app.applicationFilePath(), {"--rebuild", ourCopy})); };
        auto runPeer = [&] { peerMs.push_back(processMs("mid3v2", {"-t", "A title", peerCopy})); };
        if (round % 2) runPeer(), runOurs();
        else runOurs(), runPeer();
        QFile::remove(ourCopy);
        QFile::remove(peerCopy);
        if (oursMs.back() < 0 || peerMs.back() < 0) return 1;
    }
    const double ourMedian = bench::Median(oursMs), peerMedian = bench::Median(peerMs);
    std::printf("compares=whole processes on fresh copies of the same file\n");
    std::printf("rebuild_process_ms=%.1f\nmid3v2_process_ms=%.1f\nrebuild_vs_mid3v2=%.2f\n", ourMedian, peerMedian,
                ourMedian / peerMedian);
    return 0;
}
