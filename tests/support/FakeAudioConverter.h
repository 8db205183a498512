#pragma once
// A conversion control for window tests: conversions end as scripted, with
// the same queued events as the real control, and every call is recorded.
// Install it for the windows with
//     SetAudioConverterFactory([] { return std::make_unique<FakeAudioConverter>(); });
// and reach the instance a window made through FakeAudioConverter::Last().
// Scripted endings (QueueScript, Finish) and the record of calls come from
// support::FakeOutputControl. A destination that is the source file ends in
// the real control's refusal instead, without taking a script.
#include "controls/audio/AudioConverter.h"
#include "support/FakeOutputControl.h"

#include <QHash>
#include <QStringList>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace support {

// Holds the reading of a scripted file until the test opens it, so that later
// files are read before earlier ones. Readers wait at it on their own threads.
class ReadGate {
public:
    void Open();
    // A reader comes to the gate and waits until it is open.
    void Pass();
    // Whether a reader has come to the gate.
    bool Reached() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
    bool m_reached = false;
};

} // namespace support

class FakeAudioConverter : public support::FakeOutputControl<cAudioConverter, kConvertErrSourceNotAudio> {
    Q_OBJECT
public:
    // What one Convert was given.
    struct ConvertCall : OutputSettings {
        QString source;
    };

    // A file OpenSourceFile and ReadTags know; any other path fails to open.
    struct File {
        std::int32_t sampleRate = 44100;
        std::int16_t channels = 2;
        std::int32_t bitsPerSample = 16;
        std::int32_t lengthMs = 0;
        QString album, artist, comment, genre, title, track, year;
        // When set, OpenSourceFile of the file waits until the gate is open.
        std::shared_ptr<support::ReadGate> gate;
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
    // The files any fake opened, in the order their openings ended (fakes
    // may read on other threads); ClearOpened forgets them.
    static QStringList Opened();
    static void ClearOpened();

    void AddFile(const QString& path, const File& file) { files.insert(path, file); }

    QHash<QString, File> files;
    std::vector<AcmCodec> acmCodecs;
    std::vector<WmaCodec> wmaCodecs;

    // `calls` holds every member call in order, e.g. "SetMP3Format", "Convert",
    // "OpenSourceFile /a.wav", "EnumACMFormatTags 1 44100 2 16 0".
    std::vector<ConvertCall> converts;

    void Convert() override;
    void Abort() override;
    void Terminate() override;
    bool IsConverting() const override { return JobRunning(); }
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
    void EmitProgress(std::int32_t percent) override { emit Progress(percent); }
    void EmitEnding(Ending ending, std::int32_t code, const QString& text) override;
};
