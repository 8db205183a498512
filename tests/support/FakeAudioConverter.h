#pragma once
// A conversion control for window tests: conversions end as scripted, with
// the same queued events as the real control, and every call is recorded.
// Install it for the windows with
//     SetAudioConverterFactory([] { return std::make_unique<FakeAudioConverter>(); });
// and reach the instance a window made through FakeAudioConverter::Last().
#include "controls/AudioConverter.h"

#include <QHash>
#include <QStringList>
#include <deque>
#include <vector>

class FakeAudioConverter : public cAudioConverter {
    Q_OBJECT
public:
    enum class Ending { Done, Aborted, Error, Hang }; // Hang: runs until Abort or Finish

    struct Script {
        std::vector<std::int32_t> progress{100};
        Ending ending = Ending::Done;
        std::int32_t errorCode = kConvertErrSourceNotAudio;
        QString errorText = "Scripted error";
    };

    // What one Convert was given.
    struct ConvertCall {
        QString source, destination;
        std::int32_t format = 0;
        bool ranged = false;
        std::int32_t rangeStart = 0, rangeLength = 0;
        QString album, artist, comment, genre, title, track, year;
        WAVFormatSettings wav;
        ACMFormatSettings acm;
        MP3FormatSettings mp3;
        WMAFormatSettings wma;
        OGGFormatSettings ogg;
        APEFormatSettings ape;
    };

    // A file OpenSourceFile and ReadTags know; any other path fails to open.
    struct File {
        std::int32_t sampleRate = 44100;
        std::int16_t channels = 2;
        std::int32_t bitsPerSample = 16;
        std::int32_t lengthMs = 0;
        QString album, artist, comment, genre, title, track, year;
    };

    struct AcmCodec {
        QString name;
        QStringList formats;
        bool suggested = true; // listed with the suggest flag
    };
    struct WmaCodec {
        QString name;
        QStringList formats;
    };

    FakeAudioConverter();
    ~FakeAudioConverter() override;
    // The fake made last (nullptr once it is gone).
    static FakeAudioConverter* Last();

    // Scripts for the next conversions, in order; without one a conversion
    // reports 100 % and ends Done. A destination that is the source file ends
    // in the real control's refusal instead, without taking a script.
    void QueueScript(const Script& script) { m_scripts.push_back(script); }
    // Ends a hanging conversion now.
    void Finish(Ending ending);

    void AddFile(const QString& path, const File& file) { files.insert(path, file); }

    // When set (the default), a Done conversion creates its destination file
    // holding "FAKE AUDIO".
    bool writeOutputs = true;
    QHash<QString, File> files;
    std::vector<AcmCodec> acmCodecs;
    std::vector<WmaCodec> wmaCodecs;

    // Every member call in order, e.g. "SetMP3Format", "Convert",
    // "OpenSourceFile /a.wav", "EnumACMFormatTags 1 44100 2 16 0".
    QStringList calls;
    std::vector<ConvertCall> converts;

    void SetWAVFormat(const WAVFormatSettings& settings) override;
    void SetACMFormat(const QString& FormatTagName, const QString& FormatName) override;
    void SetMP3Format(const MP3FormatSettings& settings) override;
    void SetWMAFormat(const WMAFormatSettings& settings) override;
    void SetOGGFormat(const OGGFormatSettings& settings) override;
    void SetAPEFormat(std::int32_t CompressionLevel) override;
    void Convert() override;
    void Abort() override;
    void Terminate() override;
    std::int32_t OpenSourceFile(const QString& path) override;
    void CloseSourceFile() override;
    std::int32_t ReadTags(const QString& path) override;
    void EnumACMFormatTags(std::int32_t formatTag, std::int32_t sampleRate, std::int32_t channels,
                           std::int32_t bitsPerSample, std::int32_t flags) override;
    void EnumACMFormats(const QString& codecName) override;
    std::int32_t WMACodecCount() override;
    QString WMACodecName(std::int32_t codec) override;
    std::int32_t WMAFormatCount(std::int32_t codec) override;
    QString WMAFormatName(std::int32_t codec, std::int32_t format) override;

private:
    void Post(std::function<void()> event);
    void End(Ending ending, std::int32_t code, const QString& text);

    std::deque<Script> m_scripts;
    Script m_running;
    unsigned m_generation = 0;
};
