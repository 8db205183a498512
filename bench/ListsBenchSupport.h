#pragma once
// Shared by the items-list benchmarks: a throw-away program folder with a
// lists folder, generated short WAV files, real-shaped audio files, and the
// settings the lists read.
#include "AudioBenchSupport.h"
#include "core/Edition.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "settings/mdlOptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <vector>
#include <unistd.h>

namespace listsbench {

// A 16-bit mono PCM WAV of `frames` samples at 8000 Hz.
inline bool WriteWav(const QString& path, int frames)
{
    QByteArray bytes;
    auto le = [&](quint32 v, int size) {
        for (int i = 0; i < size; ++i) bytes.append(char((v >> (8 * i)) & 0xFF));
    };
    const quint32 dataBytes = quint32(frames) * 2;
    bytes += "RIFF";
    le(36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    le(16, 4), le(1, 2), le(1, 2), le(8000, 4), le(16000, 4), le(2, 2), le(16, 2);
    bytes += "data";
    le(dataBytes, 4);
    for (int i = 0; i < frames; ++i) le(quint16(qint16(std::lround(6000 * std::sin(i * 0.3)))), 2);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A program folder in `dir` with an empty lists folder; the settings point at it.
inline void SetUpProgram(const QTemporaryDir& dir)
{
    QDir(dir.path()).mkpath("app/Main");
    QDir(dir.path()).mkpath("registry");
    QDir(dir.path()).mkpath("media");
    platform::SetAppPath(dir.path() + "/app");
    qputenv("TARVELLO_REGISTRY_DIR", (dir.path() + "/registry").toLocal8Bit());
    SetEditionModes();
    g_sToPath = dir.path() + "/app/Main/";
    g_bCopyID3FromSource = true;
    g_bSelectTheLastItem = false;
}

// `count` WAV files of 0.1 s in the media folder; their paths.
inline QStringList MakeWavFiles(const QTemporaryDir& dir, int count)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = QString("%1/media/item %2.wav").arg(dir.path()).arg(i, 5, 10, QChar('0'));
        if (!WriteWav(path, 800)) return {};
        paths << path;
    }
    return paths;
}

// Real-shaped files: 44.1 kHz stereo files of four minutes (or `seconds`) as
// encoders and taggers leave them, a third each of WAVs, OGGs and tagged
// 192 kbit/s MP3s with a cover picture. Each is a file of its own, as long as its model; what
// a reader can look at of it (the first 160 KB, where the tags, the stream
// headers and a WAV's first samples lie, and the last 80 KB, where an OGG's
// last page and an ID3v1 tag lie) is the model's, the middle is left a hole
// in the file so that ten thousand of them fit on a disk.
struct RealModels {
    QStringList paths; // one WAV, one OGG, one MP3
};

inline RealModels MakeRealModels(const QString& folder, int seconds = 240)
{
    const QString wav = folder + "/model.wav", ogg = folder + "/model.ogg", mp3 = folder + "/model.mp3",
                  cover = folder + "/cover.jpg";
    const QStringList tags = {"-metadata", "title=A Title Of Some Length", "-metadata", "artist=The Artist",
                              "-metadata", "album=The Album Of The Year", "-metadata", "date=2019",
                              "-metadata", "track=7/12", "-metadata", "genre=Rock"};
    const QStringList quiet = {"-nostdin", "-hide_banner", "-loglevel", "error", "-y"};
    if (!bench::MakeSource(wav, seconds, 1) ||
        !bench::RunQuiet("ffmpeg", quiet + QStringList{"-f", "lavfi", "-i", "mandelbrot=s=600x600", "-frames:v", "1",
                                                      "-q:v", "3", cover}) ||
        !bench::RunQuiet("ffmpeg", quiet + QStringList{"-i", wav, "-c:a", "libvorbis", "-q:a", "5"} + tags + QStringList{ogg}) ||
        !bench::RunQuiet("ffmpeg", quiet + QStringList{"-i", wav, "-i", cover, "-map", "0", "-map", "1", "-c:v", "copy",
                                                      "-b:a", "192k", "-id3v2_version", "3", "-metadata:s:v",
                                                      "title=Album cover", "-metadata:s:v", "comment=Cover (front)"} +
                                               tags + QStringList{mp3}))
        return {};
    return {{wav, ogg, mp3}};
}

// A copy of the model whose middle is a hole (see above).
inline bool CopyRealShaped(const QByteArray& head, const QByteArray& tail, qint64 size, const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(head) == head.size() && f.resize(size) &&
           f.seek(size - tail.size()) && f.write(tail) == tail.size();
}

// `count` real-shaped files in `folder`, kinds in turn; their paths.
inline QStringList MakeRealFiles(const RealModels& models, const QString& folder, int count)
{
    struct Model {
        QByteArray head, tail;
        qint64 size;
        QString suffix;
    };
    std::vector<Model> kinds;
    for (const QString& path : models.paths) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        const QByteArray all = f.readAll();
        kinds.push_back({all.left(160 * 1024), all.right(80 * 1024), all.size(), path.section('.', -1)});
    }
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const Model& m = kinds[size_t(i) % kinds.size()];
        const QString path = QString("%1/real %2.%3").arg(folder).arg(i, 5, 10, QChar('0')).arg(m.suffix);
        if (!CopyRealShaped(m.head, m.tail, m.size, path)) return {};
        paths << path;
    }
    return paths;
}

// Asks the kernel to forget the files' cached pages, so that the next reading
// comes from the disk: each file is written out first, since the kernel keeps
// the pages it has still to write. False when it could not be asked for one of
// them.
inline bool DropFromPageCache(const QStringList& paths)
{
    bool all = true;
    for (const QString& path : paths) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        all = all && fd >= 0 && ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
        if (fd >= 0) ::close(fd);
    }
    return all;
}

// How many of the files' pages are in the page cache (what fincore counts):
// whether a drop did happen.
inline qint64 CachedPages(const QStringList& paths)
{
    const long page = ::sysconf(_SC_PAGESIZE);
    qint64 cached = 0;
    for (const QString& path : paths) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_size > 0) {
            const size_t length = size_t(st.st_size);
            void* map = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
            if (map != MAP_FAILED) {
                std::vector<unsigned char> resident((length + size_t(page) - 1) / size_t(page));
                if (::mincore(map, length, resident.data()) == 0)
                    for (unsigned char r : resident) cached += r & 1;
                ::munmap(map, length);
            }
        }
        ::close(fd);
    }
    return cached;
}

// Unloads the main window (and with it every other window).
inline void Close(CfrmMain* main)
{
    main->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace listsbench
