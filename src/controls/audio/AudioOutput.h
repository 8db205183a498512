#pragma once
// What the audio controls write: the destination formats, their settings
// records, the tags, and the output settings that a converting or ripping
// control takes before it starts (AudioOutput).
#include <QString>
#include <cstdint>

// Destination format codes (DestinationFormat).
inline constexpr std::int32_t kDestFormatWAV = 1;
inline constexpr std::int32_t kDestFormatACM = 2;
inline constexpr std::int32_t kDestFormatMP3 = 3;
inline constexpr std::int32_t kDestFormatWMA = 4;
inline constexpr std::int32_t kDestFormatOGG = 5;
inline constexpr std::int32_t kDestFormatAPE = 6;

// The MP3 bitrate list (kbit/s) that VBRMinBitrateIndex and VBRMaxBitrateIndex index.
inline constexpr std::int32_t kMP3BitrateList[19] = {8,   16,  24,  32,  40,  48,  56,  64,  80, 96,
                                                     112, 128, 144, 160, 176, 192, 224, 256, 320};

// Format records. Booleans hold -1 (True) or 0 (False).

struct WAVFormatSettings {
    std::int32_t SampleRate = 0;    // Hz; 0 keeps the source's rate
    std::int16_t Channels = 0;      // 1 mono, 2 stereo; 0 keeps the source's (at most 2)
    std::int16_t BitsPerSample = 0; // 8, 16, 24 or 32; 0 gives 16
};

struct ACMFormatSettings {
    QString FormatTagName; // codec name as EnumACMFormatTags reports it
    QString FormatName;    // format text as EnumACMFormats reports it
};

struct MP3FormatSettings {
    std::int32_t ABRBitrate = 0;      // kbit/s, for VBRMethod 3
    std::int32_t Bitrate = 0;         // kbit/s, for VBRMethod 0 (CBR)
    std::int16_t Copyright = 0;       // copyright bit of the frame headers
    std::int16_t ErrorProtection = 0; // CRC in every frame
    std::int32_t Mode = 0;            // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono,
                                      // 4 encoder's choice, 5 forced joint stereo
    std::int16_t Original = 0;        // original bit of the frame headers
    std::int32_t SampleRate = 0;      // Hz (an MPEG rate); 0 keeps the source's when it is one
    std::int32_t Quality = 0;         // encoder quality, 0 best ... 9 fastest
    std::int16_t StrictISO = 0;
    std::int32_t VBRMethod = 0;          // 0 CBR, 3 ABR, 4 VBR (1 and 2: older VBR methods)
    std::int16_t VBRForceMinBitrate = 0; // keep the minimum bitrate even for silence
    std::int32_t VBRMinBitrateIndex = 0; // index into kMP3BitrateList
    std::int32_t VBRMaxBitrateIndex = 0; // index into kMP3BitrateList
    std::int32_t VBRQuality = 0;         // 0 best ... 9 smallest
    std::int16_t WriteVBRTag = 0;        // kept for the record: the Xing/LAME frame is written wherever it fits
};

struct WMAFormatSettings {
    std::int32_t CodecIndex = 0;  // 0-based, WMACodecName
    std::int32_t FormatIndex = 0; // 0-based within the codec, WMAFormatName
};

struct OGGFormatSettings {
    std::int32_t Mode = 0;           // 2 nominal bitrate; any other value quality
    std::int32_t NominalBitrate = 0; // kbit/s
    std::int32_t Quality = 0;        // 0-100
};

struct APEFormatSettings {
    std::int32_t CompressionLevel = 0; // 0 Fast ... 4 Slow
};

// A destination format with the settings of every format, as a control keeps them.
struct EncoderSettings {
    std::int32_t format = kDestFormatWAV;
    WAVFormatSettings wav;
    ACMFormatSettings acm;
    MP3FormatSettings mp3;
    WMAFormatSettings wma;
    OGGFormatSettings ogg;
    APEFormatSettings ape;
};

// Tag texts of an output.
struct AudioTags {
    QString album, artist, comment, genre, title, track, year;
    bool IsEmpty() const;
};

// Everything that decides an output, as one value.
struct OutputSettings : EncoderSettings, AudioTags {
    QString destination;
    bool ranged = false;
    std::int32_t rangeStart = 0, rangeLength = 0; // seconds
};

// The settings of the next output of a control, set one by one by the window.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    QString DestinationFile() const { return m_out.destination; }
    void SetDestinationFile(const QString& path) { m_out.destination = path; }
    std::int32_t DestinationFormat() const { return m_out.format; }
    void SetDestinationFormat(std::int32_t code) { m_out.format = code; }

    // Seconds of the part to write; the end is clamped to the end of the
    // source. A length of 0 or less runs to the end.
    std::int32_t RangeStart() const { return m_out.rangeStart; }
    void SetRangeStart(std::int32_t seconds);
    std::int32_t RangeLength() const { return m_out.rangeLength; }
    void SetRangeLength(std::int32_t seconds);

    QString TagAlbum() const { return m_out.album; }
    void SetTagAlbum(const QString& s) { m_out.album = s; }
    QString TagArtist() const { return m_out.artist; }
    void SetTagArtist(const QString& s) { m_out.artist = s; }
    QString TagComment() const { return m_out.comment; }
    void SetTagComment(const QString& s) { m_out.comment = s; }
    QString TagGenre() const { return m_out.genre; }
    void SetTagGenre(const QString& s) { m_out.genre = s; }
    QString TagTitle() const { return m_out.title; }
    void SetTagTitle(const QString& s) { m_out.title = s; }
    QString TagTrack() const { return m_out.track; }
    void SetTagTrack(const QString& s) { m_out.track = s; }
    QString TagYear() const { return m_out.year; }
    void SetTagYear(const QString& s) { m_out.year = s; }

    // Encoder settings, one per destination format.
    virtual void SetWAVFormat(const WAVFormatSettings& settings);
    virtual void SetACMFormat(const QString& FormatTagName, const QString& FormatName);
    void SetACMFormat(const ACMFormatSettings& settings) { SetACMFormat(settings.FormatTagName, settings.FormatName); }
    virtual void SetMP3Format(const MP3FormatSettings& settings);
    virtual void SetWMAFormat(const WMAFormatSettings& settings);
    virtual void SetOGGFormat(const OGGFormatSettings& settings);
    virtual void SetAPEFormat(std::int32_t CompressionLevel);
    void SetAPEFormat(const APEFormatSettings& settings) { SetAPEFormat(settings.CompressionLevel); }
    const WAVFormatSettings& WAVFormat() const { return m_out.wav; }
    const ACMFormatSettings& ACMFormat() const { return m_out.acm; }
    const MP3FormatSettings& MP3Format() const { return m_out.mp3; }
    const WMAFormatSettings& WMAFormat() const { return m_out.wma; }
    const OGGFormatSettings& OGGFormat() const { return m_out.ogg; }
    const APEFormatSettings& APEFormat() const { return m_out.ape; }
    // What the next job starts with.
    const OutputSettings& Output() const { return m_out; }

protected:
    bool RangeSet() const { return m_out.ranged; }
    // A new item: no range.
    void ClearRange();
    void SetTags(const AudioTags& tags) { static_cast<AudioTags&>(m_out) = tags; }

private:
    OutputSettings m_out;
};
