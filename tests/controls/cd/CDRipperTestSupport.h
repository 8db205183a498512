#pragma once
// Helpers for the CD ripper control's tests: generated disc images as the
// drives, running a rip to its end, and reading outputs back.
#include "controls/audio/AudioTestSupport.h"
#include "controls/cd/AudioCD.h"
#include "support/CdImage.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace audiotest {

inline JobEvents RunRip(cAudioCDRipper& r, const std::function<void(std::int32_t)>& onProgress = {})
{
    return RunJob(r, &cAudioCDRipper::Rip, &cAudioCDRipper::Progress, &cAudioCDRipper::Done,
                  &cAudioCDRipper::Aborted, &cAudioCDRipper::Error, onProgress);
}

// The samples of a WAV file: the bytes of its data chunk.
inline QByteArray WavData(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    for (qsizetype pos = 12; pos + 8 <= b.size();) {
        const QByteArray id = b.mid(pos, 4);
        const quint32 size = quint8(b[pos + 4]) | quint8(b[pos + 5]) << 8 | quint8(b[pos + 6]) << 16 |
                             quint32(quint8(b[pos + 7])) << 24;
        if (id == "data") return b.mid(pos + 8, size);
        pos += 8 + size + (size & 1);
    }
    return {};
}

// A temporary folder whose disc images are the only drives.
class RipperTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetCDDriveImages(std::nullopt);
        EXPECT_TRUE(LeftoverTempFiles(dir.path()).isEmpty());
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    // The tests' disc as drive D:.
    support::CdImage UseTestDisc()
    {
        support::CdImage image = support::WriteTestDisc(dir.path());
        SetCDDriveImages(QStringList{image.cue});
        return image;
    }

    QTemporaryDir dir;
};

} // namespace audiotest
