#include "support/CdImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <numbers>

namespace support {
namespace {

constexpr int kSectorBytes = 2352;
constexpr int kSectorsPerSecond = 75;
constexpr int kFramesPerSector = 588; // stereo samples

char Bcd(int v) { return char(((v / 10) << 4) | (v % 10)); }

// "mm:ss:ff" of a sector of the BIN.
QString Msf(std::int64_t sector)
{
    return QString("%1:%2:%3")
        .arg(sector / (60 * kSectorsPerSecond), 2, 10, QChar('0'))
        .arg(sector / kSectorsPerSecond % 60, 2, 10, QChar('0'))
        .arg(sector % kSectorsPerSecond, 2, 10, QChar('0'));
}

void AppendAudioSector(QByteArray& out, std::int64_t firstFrame, double frequency)
{
    constexpr double kRate = 44100;
    for (int i = 0; i < kFramesPerSector; ++i) {
        const double t = double(firstFrame + i) / kRate;
        for (double f : {frequency, frequency * 1.5}) {
            const auto v = std::int16_t(std::lround(16000 * std::sin(2 * std::numbers::pi * f * t)));
            out.append(char(v & 0xFF));
            out.append(char((v >> 8) & 0xFF));
        }
    }
}

// A MODE1 sector: sync, header with its disc address, 2048 bytes of data, no EDC/ECC.
void AppendDataSector(QByteArray& out, std::int64_t sector)
{
    QByteArray s(kSectorBytes, '\0');
    for (int i = 1; i <= 10; ++i) s[i] = char(0xFF);
    const std::int64_t address = sector + 150;
    s[12] = Bcd(int(address / (60 * kSectorsPerSecond)));
    s[13] = Bcd(int(address / kSectorsPerSecond % 60));
    s[14] = Bcd(int(address % kSectorsPerSecond));
    s[15] = 1;
    const QByteArray text = QByteArray("DATA SECTOR ") + QByteArray::number(qlonglong(sector));
    for (int i = 0; i < 2048; ++i) s[16 + i] = text[i % text.size()];
    out.append(s);
}

} // namespace

QByteArray CdImage::TrackBytes(int number, std::int64_t fromSector, std::int64_t count) const
{
    for (const Track& t : tracks) {
        if (t.number != number) continue;
        if (count < 0) count = t.sectors - fromSector;
        QFile f(bin);
        if (!f.open(QIODevice::ReadOnly) || !f.seek((t.firstSector + fromSector) * kSectorBytes)) return {};
        return f.read(count * kSectorBytes);
    }
    return {};
}

void CdImage::TruncateAt(std::int64_t sector) const { QFile::resize(bin, sector * kSectorBytes); }

CdImage WriteCdImage(const QString& folder, const QString& name, const std::vector<CdImageTrack>& tracks)
{
    CdImage image;
    image.bin = QDir(folder).filePath(name + ".bin");
    image.cue = QDir(folder).filePath(name + ".cue");
    QFile bin(image.bin);
    if (!bin.open(QIODevice::WriteOnly | QIODevice::Truncate)) return image;
    QByteArray cue = "FILE \"" + QFileInfo(image.bin).fileName().toUtf8() + "\" BINARY\r\n";
    std::int64_t sector = 0;
    int number = 1;
    for (const CdImageTrack& t : tracks) {
        const auto sectors = std::int64_t(std::llround(t.seconds * kSectorsPerSecond));
        image.tracks.push_back({number, !t.data, sector, sectors});
        cue += QString("  TRACK %1 %2\r\n    INDEX 01 %3\r\n")
                   .arg(number, 2, 10, QChar('0'))
                   .arg(t.data ? "MODE1/2352" : "AUDIO", Msf(sector))
                   .toUtf8();
        QByteArray chunk;
        for (std::int64_t s = 0; s < sectors; ++s) {
            if (t.data)
                AppendDataSector(chunk, sector + s);
            else
                AppendAudioSector(chunk, s * kFramesPerSector, t.frequency);
            if (chunk.size() >= (1 << 20)) {
                bin.write(chunk);
                chunk.clear();
            }
        }
        bin.write(chunk);
        sector += sectors;
        ++number;
    }
    QFile cueFile(image.cue);
    if (cueFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) cueFile.write(cue);
    return image;
}

CdImage WriteTestDisc(const QString& folder, const QString& name)
{
    return WriteCdImage(folder, name, {{3, 440}, {4, 660}, {2, 990}, {2, 0, true}});
}

} // namespace support
