#include "controls/speech/TextToSpeech.h"

#include "controls/audio/AlsaDevice.h"
#include "controls/audio/AudioConverterEngine.h"
#include "controls/speech/SpeechEngine.h"
#include "controls/speech/SpeechPlayback.h"

#include <algorithm>

struct cWaveTTS::Outputs {
    bool listed = false;
    std::vector<alsa::DeviceInfo> list;
};

namespace {

std::vector<cWaveTTS::Format> MakeFormats()
{
    struct Rate {
        const char* label;
        std::int32_t hz;
    };
    const Rate rates[] = {{"8", 8000},   {"11", 11025}, {"12", 12000}, {"16", 16000}, {"22", 22050},
                          {"24", 24000}, {"32", 32000}, {"44", 44100}, {"48", 48000}};
    std::vector<cWaveTTS::Format> formats;
    for (const Rate& r : rates)
        for (int bits : {8, 16})
            for (int channels : {1, 2})
                formats.push_back({QString("SAFT%1kHz%2Bit%3").arg(r.label).arg(bits).arg(channels == 1 ? "Mono" : "Stereo"),
                                   std::int32_t(formats.size() + 1), r.hz, bits, channels});
    return formats;
}

const cWaveTTS::Format* FindFormat(std::int32_t id)
{
    const auto& all = cWaveTTS::Formats();
    const auto it = std::find_if(all.begin(), all.end(), [id](const cWaveTTS::Format& f) { return f.id == id; });
    return it == all.end() ? nullptr : &*it;
}

std::int32_t DefaultFormatId()
{
    for (const cWaveTTS::Format& f : cWaveTTS::Formats())
        if (f.name == kTTSDefaultFormat) return f.id;
    return 0;
}

// Takes the engine's samples into a wave file.
class FileSink : public speech::Sink {
public:
    explicit FileSink(audioconv::FileEncoder& encoder) : m_encoder(encoder) {}
    bool Samples(const std::int16_t* samples, int count) override
    {
        status = m_encoder.WriteInterleaved16(samples, count);
        return status.ok();
    }
    void WordStarts(const speech::Word&) override {}
    audioconv::Status status;

private:
    audioconv::FileEncoder& m_encoder;
};

} // namespace

const std::vector<cWaveTTS::Format>& cWaveTTS::Formats()
{
    static const std::vector<Format> formats = MakeFormats();
    return formats;
}

cWaveTTS::cWaveTTS() : m_audioFormat(DefaultFormatId()), m_outputs(std::make_unique<Outputs>()) {}

cWaveTTS::~cWaveTTS() = default;

std::int32_t cWaveTTS::Fail(std::int32_t code, const QString& text)
{
    m_lastError = code;
    m_lastErrorText = text;
    return code;
}

// ---------------------------------------------------------------------------
// Voices, outputs, formats

std::int32_t cWaveTTS::GetVoiceCount() { return std::int32_t(speech::Engine::Instance().Voices().size()); }

QString cWaveTTS::GetVoiceName(std::int32_t index)
{
    const std::vector<speech::Voice> voices = speech::Engine::Instance().Voices();
    return index >= 1 && size_t(index) <= voices.size() ? voices[size_t(index - 1)].name : QString();
}

std::int32_t cWaveTTS::GetOutputCount()
{
    if (!m_outputs->listed) {
        m_outputs->list = alsa::ListDevices(alsa::Direction::Playback);
        m_outputs->listed = true;
    }
    return std::int32_t(m_outputs->list.size());
}

QString cWaveTTS::GetOutputName(std::int32_t index)
{
    return index >= 1 && index <= GetOutputCount() ? m_outputs->list[size_t(index - 1)].name : QString();
}

QString cWaveTTS::GetOutputDescription(std::int32_t index)
{
    const QString name = GetOutputName(index);
    for (const alsa::DeviceInfo& device : m_outputs->list)
        if (device.name == name) return alsa::DisplayName(device);
    return name;
}

void cWaveTTS::EnumFormats()
{
    for (const Format& f : Formats()) emit FormatFound(f.name, f.id);
}

// ---------------------------------------------------------------------------
// Settings

bool cWaveTTS::SetOutputIndex(std::int32_t index)
{
    if (index < -1 || index >= GetOutputCount()) return false;
    m_outputIndex = index;
    return true;
}

bool cWaveTTS::SetVoiceIndex(std::int32_t index)
{
    if (index < -1 || index >= GetVoiceCount()) return false;
    m_voiceIndex = index;
    return true;
}

void cWaveTTS::SetRate(std::int32_t rate) { m_rate = std::clamp(rate, -10, 10); }

void cWaveTTS::SetVolume(std::int32_t volume) { m_volume = std::clamp(volume, 0, 100); }

void cWaveTTS::SetSpeakFlags(std::int32_t flags) { m_speakFlags = flags; }

bool cWaveTTS::HasFormat(std::int32_t id) const { return FindFormat(id) != nullptr; }

bool cWaveTTS::SetAudioFormat(std::int32_t id)
{
    if (!HasFormat(id)) return false;
    m_audioFormat = id;
    return true;
}

// ---------------------------------------------------------------------------
// Speaking

QString cWaveTTS::outputDevice()
{
    return m_outputIndex == -1 ? QString("default") : GetOutputName(m_outputIndex + 1);
}

std::int32_t cWaveTTS::openFault(int fault, const QString& device, const QString& why)
{
    switch (alsa::OpenFault(fault)) {
    case alsa::OpenFault::NoDevice:
        return Fail(kTTSErrNoDevice, QString("The sound output device \"%1\" cannot be found (%2). Nothing can be "
                                             "spoken aloud until a sound card or a sound server is set up.")
                                         .arg(device, why));
    case alsa::OpenFault::Busy:
        return Fail(kTTSErrDeviceBusy, QString("The sound output device \"%1\" is busy: another program is using it. "
                                               "Close that program or choose another output.")
                                           .arg(device));
    case alsa::OpenFault::FormatRefused:
        return Fail(kTTSErrDeviceFormat,
                    QString("The sound output device \"%1\" cannot play the speech format: %2.").arg(device, why));
    default:
        return Fail(kTTSErrDevice, QString("The sound output device \"%1\" cannot be opened: %2.").arg(device, why));
    }
}

std::int32_t cWaveTTS::Speak(const QString& text)
{
    m_playback.reset();
    NewGeneration();
    m_busy = false;
    speech::Engine& engine = speech::Engine::Instance();
    if (!engine.Available()) return Fail(kTTSErrNoEngine, engine.StartError());
    const Format* format = FindFormat(m_audioFormat);
    const QString device = outputDevice();
    auto pcm = std::make_unique<alsa::Pcm>();
    const alsa::Format wanted{format->sampleRate, format->channels,
                              format->bitsPerSample == 8 ? alsa::SampleFormat::U8 : alsa::SampleFormat::S16};
    const alsa::OpenFault fault = pcm->Open(device, alsa::Direction::Playback, wanted);
    if (fault != alsa::OpenFault::None) return openFault(int(fault), device, pcm->ErrorText());

    // The speech's threads report through events posted to this thread;
    // those of a speech that Stop or a new one has replaced are dropped.
    const unsigned generation = m_events.Generation();
    speech::PlaybackCallbacks callbacks;
    callbacks.word = [this, generation](std::int32_t position, std::int32_t length) {
        m_events.PostFor(generation, [this, position, length] { emit WordBoundary(position, length); });
    };
    callbacks.ended = [this, generation](speech::Ending ending, const QString& error) {
        m_events.PostFor(generation, [this, ending, error] { speechEnded(int(ending), error); });
    };
    const speech::Settings settings{m_voiceIndex, m_rate, m_volume, (m_speakFlags & kTTSFlagMarkup) != 0};
    m_playback = std::make_unique<speech::Playback>(text, settings, std::move(pcm), std::move(callbacks));
    m_playback->Start();
    m_busy = true;
    Succeeded();
    return 0;
}

void cWaveTTS::speechEnded(int ending, const QString& error)
{
    m_playback.reset();
    m_busy = false;
    switch (speech::Ending(ending)) {
    case speech::Ending::Spoken: break;
    case speech::Ending::EngineFailed: Fail(kTTSErrSpeech, error); break;
    case speech::Ending::DeviceFailed:
        Fail(kTTSErrDevice, "The sound output device failed while speaking: " + error);
        break;
    }
    emit SpeakDone();
}

std::int32_t cWaveTTS::SpeakToFile(const QString& text, const QString& file)
{
    speech::Engine& engine = speech::Engine::Instance();
    if (!engine.Available()) return Fail(kTTSErrNoEngine, engine.StartError());
    const Format* format = FindFormat(m_audioFormat);
    audioconv::Request request;
    request.format = kDestFormatWAV;
    request.wav = {format->sampleRate, std::int16_t(format->channels), std::int16_t(format->bitsPerSample)};
    audioconv::SourceFacts spoken;
    spoken.sampleRate = speech::Engine::kSampleRate;
    spoken.channels = 1;
    spoken.bitsPerSample = 16;
    const auto cannotWrite = [this, &file](const audioconv::Status& s) {
        return Fail(kTTSErrFile, QString("The speech cannot be written into \"%1\": %2").arg(file, s.text));
    };

    audioconv::FileEncoder encoder;
    audioconv::Status s = encoder.Prepare(request, spoken);
    if (s.ok()) s = encoder.Start(file, {});
    if (!s.ok()) return cannotWrite(s);
    FileSink sink(encoder);
    const speech::Settings settings{m_voiceIndex, m_rate, m_volume, (m_speakFlags & kTTSFlagMarkup) != 0};
    const speech::Result r = engine.Synthesize(text, settings, sink);
    if (!sink.status.ok()) return cannotWrite(sink.status);
    if (r.outcome != speech::Outcome::Done) return Fail(kTTSErrSpeech, r.error);
    s = encoder.Finish();
    if (!s.ok()) return cannotWrite(s);
    Succeeded();
    return 0;
}

void cWaveTTS::Stop()
{
    if (!m_playback) return;
    m_playback.reset();
    NewGeneration();
    m_busy = false;
    Post([this] { emit SpeakDone(); });
}

void cWaveTTS::Terminate()
{
    m_playback.reset();
    NewGeneration();
    m_busy = false;
}

QString cWaveTTS::ErrorText(std::int32_t code) const
{
    if (code == m_lastError && !m_lastErrorText.isEmpty()) return m_lastErrorText;
    switch (code) {
    case 0: return {};
    case kTTSErrNoEngine: return "The speech engine cannot start.";
    case kTTSErrSpeech: return "The speech engine failed to speak the text.";
    case kTTSErrNoDevice: return "No sound output device is available.";
    case kTTSErrDeviceBusy: return "The sound output device is busy: another program is using it.";
    case kTTSErrDeviceFormat: return "The sound output device cannot play the speech format.";
    case kTTSErrDevice: return "The sound output device failed.";
    case kTTSErrFile: return "The speech cannot be written into the file.";
    default: return QString("Unknown speech error (%1).").arg(code);
    }
}

// ---------------------------------------------------------------------------

namespace {
std::function<std::unique_ptr<cWaveTTS>()>& Factory()
{
    static std::function<std::unique_ptr<cWaveTTS>()> factory;
    return factory;
}
} // namespace

std::unique_ptr<cWaveTTS> CreateWaveTTS() { return Factory() ? Factory()() : std::make_unique<cWaveTTS>(); }

void SetWaveTTSFactory(std::function<std::unique_ptr<cWaveTTS>()> factory) { Factory() = std::move(factory); }
