#pragma once
// The speech control: speaks text aloud on a sound output device, or into a
// wave file, with espeak-ng's voices.
//
// Settings. The control keeps the last values set on it between calls:
// output device, voice, rate (-10 slowest .. 10 fastest, 0 normal; outside
// values are clamped), volume (0 .. 100, clamped), speak flags and speech
// audio format. Voices and outputs are indexed from 0 by VoiceIndex and
// OutputIndex; -1 stands for the first voice and for ALSA's "default" device.
// The setters refuse (false, nothing changed) an index or format id the
// control does not have.
//
// Speech audio formats. EnumFormats raises FormatFound once per format,
// before it returns, with names such as "SAFT22kHz16BitMono" (22,050 Hz,
// 16-bit, mono: the engine's own format, and the control's format until
// another is set); 8, 11, 12, 16, 22, 24, 32, 44 and 48 kHz, each in 8 or 16
// bits, mono or stereo. The format applies to speaking and to files alike.
//
// Threads and events. Every member is called on the thread that owns the
// control (the window thread). Speak opens the device there, so that it can
// answer with an error code, and returns at once; the speech is synthesized
// and played on the control's own threads. Its events arrive later as queued
// signals on the owning thread: WordBoundary as each word is heard, with the
// word's start and length in UTF-16 units of the text given to Speak (the
// positions QString and the text boxes use), then one SpeakDone when the
// speech has been heard to its end, has failed (ErrorText(LastError()) says
// why), or was stopped by Stop. A Speak while speaking replaces the speech in
// progress, whose events still on their way are dropped; Terminate drops
// them too. SpeakToFile blocks until the file is complete.
//
// Getting a control. Windows call CreateWaveTTS(); tests install a factory
// that returns a FakeWaveTTS (support/FakeWaveTTS.h):
//     SetWaveTTSFactory([] { return std::make_unique<FakeWaveTTS>(); });
// The control has no QObject parent: the window owns it through the pointer.
#include "controls/QueuedEvents.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace speech {
class Playback;
}

// Results of Speak and SpeakToFile besides 0.
inline constexpr std::int32_t kTTSErrNoEngine = 1;     // the speech engine cannot start
inline constexpr std::int32_t kTTSErrSpeech = 2;       // the engine failed on the text or voice
inline constexpr std::int32_t kTTSErrNoDevice = 3;     // no such output device, or none at all
inline constexpr std::int32_t kTTSErrDeviceBusy = 4;   // another program holds the device
inline constexpr std::int32_t kTTSErrDeviceFormat = 5; // the device takes no format we can give it
inline constexpr std::int32_t kTTSErrDevice = 6;       // any other failure of the device
inline constexpr std::int32_t kTTSErrFile = 7;         // the wave file cannot be written

// Bits of SpeakFlags. Speak always returns at once and always replaces a
// speech in progress; with kTTSFlagMarkup the text may hold SSML elements.
inline constexpr std::int32_t kTTSFlagAsync = 1;
inline constexpr std::int32_t kTTSFlagPurge = 2;
inline constexpr std::int32_t kTTSFlagMarkup = 8;

// The engine's own format, the control's format until another is set.
inline constexpr const char* kTTSDefaultFormat = "SAFT22kHz16BitMono";

class cWaveTTS : public QObject {
    Q_OBJECT
public:
    // One speech audio format.
    struct Format {
        QString name;
        std::int32_t id = 0;
        std::int32_t sampleRate = 0;
        std::int32_t bitsPerSample = 0;
        std::int32_t channels = 0;
    };
    // Every format the real control offers, in the order EnumFormats reports them.
    static const std::vector<Format>& Formats();

    cWaveTTS();
    ~cWaveTTS() override;

    // Voices and outputs, by number from 1 to the count; the name for number
    // i is that of VoiceIndex (OutputIndex) i - 1. Empty for other numbers.
    virtual std::int32_t GetVoiceCount();
    virtual QString GetVoiceName(std::int32_t index);
    // ALSA's output devices, "default" first ("default", "hw:CARD=PCH,DEV=0").
    virtual std::int32_t GetOutputCount();
    virtual QString GetOutputName(std::int32_t index);
    // What a list shows for output number i: "default", or the device's description.
    QString GetOutputDescription(std::int32_t index);
    // Raises FormatFound for every speech audio format.
    virtual void EnumFormats();

    std::int32_t OutputIndex() const { return m_outputIndex; }
    virtual bool SetOutputIndex(std::int32_t index);
    std::int32_t VoiceIndex() const { return m_voiceIndex; }
    virtual bool SetVoiceIndex(std::int32_t index);
    std::int32_t Rate() const { return m_rate; }
    virtual void SetRate(std::int32_t rate);
    std::int32_t Volume() const { return m_volume; }
    virtual void SetVolume(std::int32_t volume);
    std::int32_t SpeakFlags() const { return m_speakFlags; }
    virtual void SetSpeakFlags(std::int32_t flags);
    std::int32_t AudioFormat() const { return m_audioFormat; }
    virtual bool SetAudioFormat(std::int32_t id);

    // True from a Speak that returned 0 until its SpeakDone, Stop or Terminate.
    virtual bool IsBusy() const { return m_busy; }
    // Starts speaking the text on the output and returns 0, or an error code
    // and speaks nothing (raising no event).
    virtual std::int32_t Speak(const QString& text);
    // Writes the spoken text into a WAV file in the set voice, rate, volume
    // and format, and returns when it is complete: 0, or an error code and
    // no file under that name (an existing one is left as it was). The file
    // is written under a temporary name in its folder and renamed into place.
    virtual std::int32_t SpeakToFile(const QString& text, const QString& file);
    // Ends the speech; SpeakDone follows. Nothing when idle.
    virtual void Stop();
    // Releases the control: ends a speech without SpeakDone. The control stays usable.
    virtual void Terminate();

    // The last failure's code (0 after a success) and the text for a code;
    // for the last failure the text names the device or file.
    std::int32_t LastError() const { return m_lastError; }
    QString ErrorText(std::int32_t code) const;

signals:
    void FormatFound(const QString& name, std::int32_t id);
    void WordBoundary(std::int32_t position, std::int32_t length);
    void SpeakDone();

protected:
    // For subclasses that speak by themselves (the fake).
    virtual bool HasFormat(std::int32_t id) const;
    void SetBusy(bool busy) { m_busy = busy; }
    std::int32_t Fail(std::int32_t code, const QString& text);
    void Succeeded() { Fail(0, {}); }
    // Runs `event` later on the owning thread unless a new speech, Stop or
    // Terminate has come first.
    void Post(std::function<void()> event) { m_events.Post(std::move(event)); }
    // Moves to a new speech: what the old one still has on its way is dropped.
    void NewGeneration() { m_events.NewGeneration(); }

private:
    struct Outputs;
    void speechEnded(int ending, const QString& error);
    QString outputDevice();
    std::int32_t openFault(int fault, const QString& device, const QString& why);

    std::int32_t m_outputIndex = -1;
    std::int32_t m_voiceIndex = -1;
    std::int32_t m_rate = 0;
    std::int32_t m_volume = 100;
    std::int32_t m_speakFlags = 0;
    std::int32_t m_audioFormat;
    bool m_busy = false;
    std::int32_t m_lastError = 0;
    QString m_lastErrorText;
    QueuedEvents m_events{this};
    std::unique_ptr<Outputs> m_outputs;
    std::unique_ptr<speech::Playback> m_playback;
};

// Creates the control windows use: the real one, or what the installed
// factory makes.
std::unique_ptr<cWaveTTS> CreateWaveTTS();
// Tests: installs a factory; an empty function goes back to the real control.
void SetWaveTTSFactory(std::function<std::unique_ptr<cWaveTTS>()> factory);
