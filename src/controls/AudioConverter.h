#pragma once
// The conversion control: reads audio files (length, format, tags) and
// converts one file at a time into WAV, WAV through a codec ("ACM"), MP3,
// WMA or OGG, on FFmpeg's libraries, LAME and libvorbis.
//
// Threads and events. Every member is called on the thread that owns the
// control (the window thread). Convert returns at once; the conversion runs on
// the control's own thread, and its events arrive later as queued signals on
// the owning thread: zero or more Progress (whole percent, only when it
// changes), then exactly one of ConvertDone, ConvertAborted or ConvertError.
// A handler may call Convert again. The enumerations (EnumACMFormatTags,
// EnumACMFormats) emit all their signals before they return.
//
// Outputs are written to a hidden temporary file in the destination folder
// and renamed into place only when complete: an abort or an error leaves no
// file under the destination name and never touches an existing one.
//
// Getting a control. Windows call CreateAudioConverter(); tests install a
// factory that returns a FakeAudioConverter (support/FakeAudioConverter.h):
//     SetAudioConverterFactory([] { return std::make_unique<FakeAudioConverter>(); });
// The control has no QObject parent: the window owns it through the pointer.
#include <QObject>
#include <QString>
#include <QTime>
#include <cstdint>
#include <functional>
#include <memory>

// Destination format codes (DestinationFormat).
inline constexpr std::int32_t kDestFormatWAV = 1;
inline constexpr std::int32_t kDestFormatACM = 2;
inline constexpr std::int32_t kDestFormatMP3 = 3;
inline constexpr std::int32_t kDestFormatWMA = 4;
inline constexpr std::int32_t kDestFormatOGG = 5;
inline constexpr std::int32_t kDestFormatAPE = 6;

// Codes of ConvertError, also returned by OpenSourceFile and ReadTags.
inline constexpr std::int32_t kConvertErrSourceMissing = 1;     // no such file
inline constexpr std::int32_t kConvertErrSourceNotAudio = 2;    // unreadable or not audio
inline constexpr std::int32_t kConvertErrDestinationFolder = 3; // folder missing
inline constexpr std::int32_t kConvertErrDestinationWrite = 4;  // folder not writable, write failed
inline constexpr std::int32_t kConvertErrDiskFull = 5;
inline constexpr std::int32_t kConvertErrFormatUnavailable = 6; // e.g. APE
inline constexpr std::int32_t kConvertErrSettingsRefused = 7;   // the encoder refuses the settings
inline constexpr std::int32_t kConvertErrDestinationIsSource = 8;
inline constexpr std::int32_t kConvertErrRange = 9;       // range starts after the end
inline constexpr std::int32_t kConvertErrDecode = 10;     // the source breaks off mid-file
inline constexpr std::int32_t kConvertErrBusy = 11;       // Convert while converting
inline constexpr std::int32_t kConvertErrNoFileName = 12; // SourceFile or DestinationFile empty

// Flag of EnumACMFormatTags: only the codecs that can take the given source.
inline constexpr std::int32_t kACMFormatEnumSuggest = 0x100000;

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
    std::int16_t WriteVBRTag = 0;        // write the Xing/LAME header frame
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

class cAudioConverter : public QObject {
    Q_OBJECT
public:
    cAudioConverter();
    ~cAudioConverter() override;

    // Destination and items
    std::int32_t DestinationFormat() const { return m_destinationFormat; }
    void SetDestinationFormat(std::int32_t code) { m_destinationFormat = code; }
    QString SourceFile() const { return m_sourceFile; }
    // Also forgets any range: a whole-file item after a ranged one stays whole.
    void SetSourceFile(const QString& path);
    QString DestinationFile() const { return m_destinationFile; }
    void SetDestinationFile(const QString& path) { m_destinationFile = path; }
    // Seconds of the part to convert; clamped to the end of the source. A
    // length of 0 or less runs to the end.
    std::int32_t RangeStart() const { return m_rangeStart; }
    void SetRangeStart(std::int32_t seconds);
    std::int32_t RangeLength() const { return m_rangeLength; }
    void SetRangeLength(std::int32_t seconds);

    // Tag texts of the next output; ReadTags fills them from a file.
    QString TagAlbum() const { return m_tagAlbum; }
    void SetTagAlbum(const QString& s) { m_tagAlbum = s; }
    QString TagArtist() const { return m_tagArtist; }
    void SetTagArtist(const QString& s) { m_tagArtist = s; }
    QString TagComment() const { return m_tagComment; }
    void SetTagComment(const QString& s) { m_tagComment = s; }
    QString TagGenre() const { return m_tagGenre; }
    void SetTagGenre(const QString& s) { m_tagGenre = s; }
    QString TagTitle() const { return m_tagTitle; }
    void SetTagTitle(const QString& s) { m_tagTitle = s; }
    QString TagTrack() const { return m_tagTrack; }
    void SetTagTrack(const QString& s) { m_tagTrack = s; }
    QString TagYear() const { return m_tagYear; }
    void SetTagYear(const QString& s) { m_tagYear = s; }

    // Encoder settings, one per destination format.
    virtual void SetWAVFormat(const WAVFormatSettings& settings);
    virtual void SetACMFormat(const QString& FormatTagName, const QString& FormatName);
    void SetACMFormat(const ACMFormatSettings& settings) { SetACMFormat(settings.FormatTagName, settings.FormatName); }
    virtual void SetMP3Format(const MP3FormatSettings& settings);
    virtual void SetWMAFormat(const WMAFormatSettings& settings);
    virtual void SetOGGFormat(const OGGFormatSettings& settings);
    virtual void SetAPEFormat(std::int32_t CompressionLevel);
    void SetAPEFormat(const APEFormatSettings& settings) { SetAPEFormat(settings.CompressionLevel); }
    const WAVFormatSettings& WAVFormat() const { return m_wav; }
    const ACMFormatSettings& ACMFormat() const { return m_acm; }
    const MP3FormatSettings& MP3Format() const { return m_mp3; }
    const WMAFormatSettings& WMAFormat() const { return m_wma; }
    const OGGFormatSettings& OGGFormat() const { return m_ogg; }
    const APEFormatSettings& APEFormat() const { return m_ape; }

    // Starts converting SourceFile into DestinationFile and returns at once.
    virtual void Convert();
    // Stops the running conversion; ConvertAborted follows. Nothing when idle.
    virtual void Abort();
    // Shuts the control down: stops a running conversion (its events are
    // dropped) and forgets the open file. The control stays usable.
    virtual void Terminate();
    bool IsConverting() const { return m_converting; }

    // File reader. OpenSourceFile returns 0 when the file is audio; then the
    // Source values describe it. On failure they keep their earlier values
    // (initially 44100 Hz, 2 channels, 16 bits, length 0).
    virtual std::int32_t OpenSourceFile(const QString& path);
    virtual void CloseSourceFile();
    std::int32_t SourceSampleRate() const { return m_sourceSampleRate; }
    std::int16_t SourceChannels() const { return m_sourceChannels; }
    std::int32_t SourceBitsPerSample() const { return m_sourceBitsPerSample; }
    std::int32_t SourceLength() const { return m_sourceLength; } // milliseconds
    // Reads the file's tags into the seven tag properties (empty when the file
    // has none or cannot be read); returns 0 when the file was read.
    virtual std::int32_t ReadTags(const QString& path);
    // A length in whole seconds as a time of day ("HH:mm:ss" gives hours,
    // minutes, seconds); 24 hours and more give 23:59:59, negatives 00:00:00.
    QTime FormatTime(std::int32_t seconds) const;

    // Codec lists. EnumACMFormatTags emits ACMFormatTagFound once per codec
    // for a PCM source (format tag 1) of the given rate and channels; with
    // kACMFormatEnumSuggest only the codecs that can take that source.
    virtual void EnumACMFormatTags(std::int32_t formatTag, std::int32_t sampleRate, std::int32_t channels,
                                   std::int32_t bitsPerSample, std::int32_t flags);
    virtual void EnumACMFormats(const QString& codecName);
    virtual std::int32_t WMACodecCount();
    virtual QString WMACodecName(std::int32_t codec);
    virtual std::int32_t WMAFormatCount(std::int32_t codec);
    virtual QString WMAFormatName(std::int32_t codec, std::int32_t format);

signals:
    void Progress(std::int32_t Percent);
    void ConvertDone();
    void ConvertAborted();
    void ConvertError(std::int32_t Code, const QString& Description);
    void ACMFormatTagFound(const QString& Name);
    void ACMFormatFound(const QString& Description);

protected:
    // For subclasses that finish conversions themselves (the fake).
    void SetConverting(bool converting) { m_converting = converting; }
    void SetSourceFacts(std::int32_t rate, std::int16_t channels, std::int32_t bits, std::int32_t lengthMs);
    void SetAllTags(const QString& album, const QString& artist, const QString& comment, const QString& genre,
                    const QString& title, const QString& track, const QString& year);
    bool RangeSet() const { return m_rangeSet; }

private:
    struct Worker;
    void finishJob(unsigned generation);

    std::int32_t m_destinationFormat = kDestFormatWAV;
    QString m_sourceFile, m_destinationFile;
    std::int32_t m_rangeStart = 0, m_rangeLength = 0;
    bool m_rangeSet = false;
    QString m_tagAlbum, m_tagArtist, m_tagComment, m_tagGenre, m_tagTitle, m_tagTrack, m_tagYear;
    WAVFormatSettings m_wav;
    ACMFormatSettings m_acm;
    MP3FormatSettings m_mp3;
    WMAFormatSettings m_wma;
    OGGFormatSettings m_ogg;
    APEFormatSettings m_ape;
    std::int32_t m_sourceSampleRate = 44100;
    std::int16_t m_sourceChannels = 2;
    std::int32_t m_sourceBitsPerSample = 16;
    std::int32_t m_sourceLength = 0;
    bool m_converting = false;
    std::unique_ptr<Worker> m_worker;
};

// Creates the control windows use: the real one, or what the installed
// factory makes.
std::unique_ptr<cAudioConverter> CreateAudioConverter();
// Tests: installs a factory; an empty function goes back to the real control.
void SetAudioConverterFactory(std::function<std::unique_ptr<cAudioConverter>()> factory);
