// The destination format and its encoder settings handed to the control once per job.
#include "ConverterFixture.h"

#include "settings/mdlOptions.h"

#include <QComboBox>

using namespace convtest;

namespace {

class DestinationFormat : public ConverterTest {
protected:
    void SetUp() override
    {
        ConverterTest::SetUp();
        Open();
        g_WAVSettings = {16, 44100, 1};
        g_ACMSettings = {"IMA ADPCM", "22.050 kHz, 4 Bit, Mono"};
        g_MP3Settings = {};
        g_MP3Settings.lABRBitrate = 160;
        g_MP3Settings.lBitrate = 192;
        g_MP3Settings.bCopyright = -1;
        g_MP3Settings.lMode = 1;
        g_MP3Settings.bOriginal = -1;
        g_MP3Settings.lSamplerate = 44100;
        g_MP3Settings.lQuality = 2;
        g_MP3Settings.bStrictISO = -1;
        g_MP3Settings.bVBRForceMinBitrate = -1;
        g_MP3Settings.lMinBitrate = 3;
        g_MP3Settings.lMaxBitrate = 14;
        g_MP3Settings.lVBRQuality = 4;
        g_WMASettings = {1, 5, 0};
        g_OGGSettings = {0, 60, -1, 128, 0};
        g_APESettings = {3, 0};
    }
    // Picks the format, starts a job with no rows and returns the control's calls.
    QStringList HandOver(const QString& format)
    {
        w->cboTargetFormat->setEditable(true);
        w->cboTargetFormat->setEditText(format);
        Fake()->calls.clear();
        Run();
        return Fake()->calls;
    }
    QString LastLogLine() { return LogLines().last(); }
};

TEST_F(DestinationFormat, EachFormatHandsOverItsRecordAndLogsItsName)
{
    struct Case {
        QString format;
        std::int32_t code;
        const char* method;
        const char* logLine;
    };
    const Case cases[] = {
        {"WAV - Waveform Audio Format (*.wav)", 1, "SetWAVFormat", "Destination format: WAV"},
        {"ACM - Waveform ACM Codecs (*.wav)", 2, "SetACMFormat", "Destination format: ACM WAV"},
        {"MP3 - MPEG-1 Audio Layer 3 (*.mp3)", 3, "SetMP3Format", "Destination format: MP3"},
        {"WMA - Windows Media Audio files (*.wma)", 4, "SetWMAFormat", "Destination format: WMA"},
        {"OGG - Ogg Media Format (*.ogg)", 5, "SetOGGFormat", "Destination format: OGG"},
        {"APE - Monkey 's Audio (*.ape)", 6, "SetAPEFormat", "Destination format: APE"},
        {"ogg in lower case", 5, "SetOGGFormat", "Destination format: OGG"},
        {"", 1, "SetWAVFormat", "Destination format: WAV"},
        {"FLAC - not offered", 1, "SetWAVFormat", "Destination format: WAV"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HandOver(c.format), QStringList{c.method}) << c.format.toStdString();
        EXPECT_EQ(Fake()->DestinationFormat(), c.code) << c.format.toStdString();
        EXPECT_EQ(LastLogLine(), c.logLine) << c.format.toStdString();
    }
}

TEST_F(DestinationFormat, TheRecordsCarryTheFormatSettings)
{
    HandOver("WAV");
    EXPECT_EQ(Fake()->WAVFormat().SampleRate, 44100);
    EXPECT_EQ(Fake()->WAVFormat().Channels, 2);
    EXPECT_EQ(Fake()->WAVFormat().BitsPerSample, 16);

    HandOver("ACM");
    EXPECT_EQ(Fake()->ACMFormat().FormatTagName, "IMA ADPCM");
    EXPECT_EQ(Fake()->ACMFormat().FormatName, "22.050 kHz, 4 Bit, Mono");

    HandOver("MP3");
    const MP3FormatSettings& mp3 = Fake()->MP3Format();
    EXPECT_EQ(mp3.ABRBitrate, 160);
    EXPECT_EQ(mp3.Bitrate, 192);
    EXPECT_EQ(mp3.Copyright, -1);
    EXPECT_EQ(mp3.ErrorProtection, 0);
    EXPECT_EQ(mp3.Mode, 1);
    EXPECT_EQ(mp3.Original, -1);
    EXPECT_EQ(mp3.SampleRate, 44100);
    EXPECT_EQ(mp3.Quality, 2);
    EXPECT_EQ(mp3.StrictISO, -1);
    EXPECT_EQ(mp3.VBRForceMinBitrate, -1);
    EXPECT_EQ(mp3.VBRMinBitrateIndex, 3);
    EXPECT_EQ(mp3.VBRMaxBitrateIndex, 14);
    EXPECT_EQ(mp3.VBRQuality, 4);

    HandOver("WMA");
    EXPECT_EQ(Fake()->WMAFormat().CodecIndex, 1);
    EXPECT_EQ(Fake()->WMAFormat().FormatIndex, 5);

    HandOver("APE");
    EXPECT_EQ(Fake()->APEFormat().CompressionLevel, 3);
}

TEST_F(DestinationFormat, OggBitrateOrQualityMode)
{
    HandOver("OGG - Ogg Media Format (*.ogg)");
    EXPECT_EQ(Fake()->OGGFormat().Mode, 2);
    EXPECT_EQ(Fake()->OGGFormat().NominalBitrate, 128);
    EXPECT_EQ(Fake()->OGGFormat().Quality, 0);
    g_OGGSettings.bBitrateMode = 0;
    HandOver("OGG - Ogg Media Format (*.ogg)");
    EXPECT_EQ(Fake()->OGGFormat().Mode, 0);
    EXPECT_EQ(Fake()->OGGFormat().NominalBitrate, 0);
    EXPECT_EQ(Fake()->OGGFormat().Quality, 60);
}

TEST_F(DestinationFormat, Mp3VbrMethodFromTheVbrTagAndAbrOptions)
{
    struct Case {
        std::int16_t vbrTag, abr;
        std::int32_t method;
        std::int16_t writeTag;
    };
    const Case cases[] = {{-1, -1, 3, -1}, {-1, 0, 4, -1}, {0, -1, 3, 0}, {0, 0, 0, 0}};
    for (const Case& c : cases) {
        g_MP3Settings.bVBRTag = c.vbrTag;
        g_MP3Settings.bABR = c.abr;
        HandOver("MP3");
        EXPECT_EQ(Fake()->MP3Format().VBRMethod, c.method) << c.vbrTag << " " << c.abr;
        EXPECT_EQ(Fake()->MP3Format().WriteVBRTag, c.writeTag) << c.vbrTag << " " << c.abr;
    }
}

TEST_F(DestinationFormat, AWavFieldOutsideSixteenBitsStaysZero)
{
    g_WAVSettings = {70000, 22050, 0};
    HandOver("WAV");
    EXPECT_EQ(Fake()->WAVFormat().SampleRate, 22050);
    EXPECT_EQ(Fake()->WAVFormat().Channels, 1);
    EXPECT_EQ(Fake()->WAVFormat().BitsPerSample, 0);
    EXPECT_EQ(LastLogLine(), "Destination format: WAV");
}

TEST_F(DestinationFormat, SettingsAreReadWhenTheJobStarts)
{
    HandOver("OGG");
    g_OGGSettings.lBitNom = 192;
    HandOver("OGG");
    EXPECT_EQ(Fake()->OGGFormat().NominalBitrate, 192);
}

} // namespace
