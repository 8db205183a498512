#pragma once
// A speech control for window tests: speaks nothing, answers from a script,
// raises the same queued events as the real control, and records every call.
// Install it for the windows with
//     SetWaveTTSFactory([] { return std::make_unique<FakeWaveTTS>(); });
// and reach the instance a window made through FakeWaveTTS::Last().
#include "controls/speech/TextToSpeech.h"

#include <QStringList>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

class FakeWaveTTS : public cWaveTTS {
    Q_OBJECT
public:
    // One Speak or SpeakToFile, with the settings the control held at the call.
    struct Spoken {
        QString text;
        QString file; // empty for Speak
        std::int32_t output = 0, voice = 0, rate = 0, volume = 0, flags = 0, format = 0;
    };
    struct FormatEntry {
        QString name;
        std::int32_t id = 0;
    };

    FakeWaveTTS();
    ~FakeWaveTTS() override;
    // The fake made last (nullptr once it is gone).
    static FakeWaveTTS* Last();

    // What GetVoiceName, GetOutputName and EnumFormats give; the formats are
    // the real control's unless a test changes them.
    QStringList voices{"English (America)", "German", "French (France)"};
    QStringList outputs{"default", "null"};
    std::vector<FormatEntry> formats;

    // The word boundaries (position, length) every speech raises; without
    // them, the starts and lengths of the text's words (runs of non-blanks).
    std::optional<std::vector<std::pair<std::int32_t, std::int32_t>>> words;
    // When set, a speech raises its words but runs until FinishSpeech or Stop;
    // otherwise SpeakDone follows the words.
    bool holdSpeech = false;
    // Ends a held speech: SpeakDone arrives queued, IsBusy turns false with it.
    void FinishSpeech();
    // The next Speak or SpeakToFile returns this code (speaking and writing
    // nothing) instead of 0; ErrorText gives "Scripted failure <code>".
    void FailNextSpeak(std::int32_t code) { m_speakFailures.push_back(code); }
    void FailNextSpeakToFile(std::int32_t code) { m_fileFailures.push_back(code); }
    // When set (the default), SpeakToFile writes a short silent WAV (22,050 Hz,
    // 16-bit, mono) under the file's name.
    bool writeFiles = true;

    // Every member call in order: "SetOutputIndex 0", "SetVoiceIndex 1",
    // "SetRate -3", "SetVolume 50", "SetSpeakFlags 11", "SetAudioFormat 19",
    // "EnumFormats", "Speak", "SpeakToFile /p/tmptts.wav", "Stop", "Terminate".
    QStringList calls;
    std::vector<Spoken> spoken;

    std::int32_t GetVoiceCount() override { return std::int32_t(voices.size()); }
    QString GetVoiceName(std::int32_t index) override { return voices.value(index - 1); }
    std::int32_t GetOutputCount() override { return std::int32_t(outputs.size()); }
    QString GetOutputName(std::int32_t index) override { return outputs.value(index - 1); }
    void EnumFormats() override;
    bool SetOutputIndex(std::int32_t index) override;
    bool SetVoiceIndex(std::int32_t index) override;
    void SetRate(std::int32_t rate) override;
    void SetVolume(std::int32_t volume) override;
    void SetSpeakFlags(std::int32_t flags) override;
    bool SetAudioFormat(std::int32_t id) override;
    std::int32_t Speak(const QString& text) override;
    std::int32_t SpeakToFile(const QString& text, const QString& file) override;
    void Stop() override;
    void Terminate() override;

protected:
    bool HasFormat(std::int32_t id) const override;

private:
    void Record(const QString& text, const QString& file);
    std::optional<std::int32_t> TakeFailure(std::deque<std::int32_t>& failures);

    std::deque<std::int32_t> m_speakFailures, m_fileFailures;
};
