#pragma once
// The conversion control: reads audio files (length, format, tags) and
// converts one file at a time into WAV, WAV through a codec ("ACM"), MP3,
// WMA or OGG, on FFmpeg's libraries, LAME and libvorbis.
//
// Threads and events. Every member is called on the thread that owns the
// control (the window thread); but a control that is not converting may
// serve as a file reader on another thread (OpenSourceFile, the Source
// values, ReadTags, the tag values, CloseSourceFile, FormatTime), used by
// one thread at a time. Convert returns at once; the conversion runs on
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
#include "controls/audio/AudioOutput.h"

#include <QObject>
#include <QString>
#include <QTime>
#include <cstdint>
#include <functional>
#include <memory>

class ControlThread;

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

class cAudioConverter : public QObject, public AudioOutput {
    Q_OBJECT
public:
    cAudioConverter();
    ~cAudioConverter() override;

    QString SourceFile() const { return m_sourceFile; }
    // Also forgets any range: a whole-file item after a ranged one stays whole.
    void SetSourceFile(const QString& path);
    // The destination, range, tags and encoder settings: AudioOutput. ReadTags
    // fills the tags from a file.

    // Starts converting SourceFile into DestinationFile and returns at once.
    virtual void Convert();
    // Stops the running conversion; ConvertAborted follows. Nothing when idle.
    virtual void Abort();
    // Shuts the control down: stops a running conversion (its events are
    // dropped) and forgets the open file. The control stays usable.
    virtual void Terminate();
    virtual bool IsConverting() const { return m_converting; }

    // File reader. OpenSourceFile returns 0 when the file is audio; then the
    // Source values describe it. On failure they keep their earlier values
    // (initially 44100 Hz, 2 channels, 16 bits, length 0). It reads only the
    // header where that states the facts exactly, and reads the tags with
    // them, so ReadTags of the open file opens nothing again.
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
    // For subclasses that read files themselves (the fake).
    void SetSourceFacts(std::int32_t rate, std::int16_t channels, std::int32_t bits, std::int32_t lengthMs);

private:
    QString m_sourceFile;
    std::int32_t m_sourceSampleRate = 44100;
    std::int16_t m_sourceChannels = 2;
    std::int32_t m_sourceBitsPerSample = 16;
    std::int32_t m_sourceLength = 0;
    QString m_openPath; // the file OpenSourceFile opened, until CloseSourceFile
    AudioTags m_openTags;
    bool m_converting = false;
    std::unique_ptr<ControlThread> m_thread;
};

// Creates the control windows use: the real one, or what the installed
// factory makes.
std::unique_ptr<cAudioConverter> CreateAudioConverter();
// Tests: installs a factory; an empty function goes back to the real control.
void SetAudioConverterFactory(std::function<std::unique_ptr<cAudioConverter>()> factory);
