#pragma once
// Helpers for the disc writer controls' tests: image writers as the only
// writers, generated sources, every event of a burn in order, and the
// written images read back through libcdio, ffmpeg and xorriso.
#include "controls/audio/AudioTestSupport.h"
#include "controls/cd/CDRipperTestSupport.h"
#include "controls/cd/AudioCD.h"
#include "controls/burn/AudioCDBurner.h"
#include "controls/burn/DataCDBurner.h"
#include "controls/burn/DataDiscBurner.h"
#include "controls/cd/OpticalDrives.h"
#include "support/TestDoubles.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace burntest {

using namespace audiotest;

// Every event of a control as text ("TrackProgress 37 1", "Error 42 text"),
// in the order it arrived.
class EventLog : public QObject {
public:
    explicit EventLog(cAudioBurner& b);
    explicit EventLog(cAudioDataBurner& b);
    explicit EventLog(cBurner& b);
    QStringList events;
    // The events without the progress ones.
    QStringList Phases() const;
};

// Starts a data burn and runs the event loop until its last event.
void WaitForDataBurn(EventLog& log, const QString& lastEvent);

// A track of an audio CD image as libcdio reads it.
struct CdTrack {
    bool audio = false;
    std::int32_t firstSector = 0, sectors = 0;
    QByteArray pcm;
};
// The tracks of a BIN/CUE image; empty when libcdio cannot open it as a CD.
std::vector<CdTrack> ReadCdImage(const QString& cue);

// A file decoded by ffmpeg to 44.1 kHz 16-bit stereo little-endian samples.
QByteArray FfmpegPcm(const QString& path);

// The names xorriso lists at the root of an ISO image (Joliet names when the
// image has them), and one line of its volume facts ("Volume Id").
QStringList IsoRootNames(const QString& image, bool isoNamesOnly = false);
QString IsoVolumeFact(const QString& image, const QString& fact);
// Extracts the whole image into a folder; false when xorriso fails.
bool ExtractIso(const QString& image, const QString& folder);

// A temporary folder whose image writers are the only writers.
// Encodes a WAV into `dest` in a compressed format (MP3 at 160 kbit/s, OGG at
// quality 50) with the real conversion control; a failure fails the test.
void EncodeTestSource(const QString& wav, const QString& dest, std::int32_t format);

class BurnerTest : public ::testing::Test {
protected:
    void SetUp() override { optical::SetImageWriters(optical::ImageWriters{Path("out.cue"), Path("out.iso")}); }
    void TearDown() override
    {
        optical::SetImageWriters(std::nullopt);
        SetCDDriveImages(std::nullopt);
        EXPECT_TRUE(LeftoverTempFiles(dir.path()).isEmpty());
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    // A 44.1 kHz stereo WAV of a tone, and the same converted to MP3 or OGG.
    QString Wav(const QString& name, double seconds, double frequency = 440);
    QString Compressed(const QString& name, std::int32_t format, double seconds, double frequency);

    QTemporaryDir dir;
};

} // namespace burntest
