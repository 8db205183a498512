#pragma once
// Shared by the items-list benchmarks: a throw-away program folder with a
// lists folder, generated short WAV files, and the settings the lists read.
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

// Unloads the main window (and with it every other window).
inline void Close(CfrmMain* main)
{
    main->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace listsbench
