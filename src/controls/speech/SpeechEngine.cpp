#include "controls/speech/SpeechEngine.h"

#include <QLocale>

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>

namespace speech {

namespace {

// One synthesis in progress; espeak-ng's callback finds it here. Only the
// engine sets it, under its lock.
struct Job {
    Sink* sink = nullptr;
    std::vector<std::int32_t> offsets; // UTF-16 offset of each code point of the text, and of its end
    std::int64_t lastWordSample = 0;
    bool stopped = false;

    std::int32_t Offset(std::int64_t codePoint) const
    {
        return offsets[size_t(std::clamp<std::int64_t>(codePoint, 0, std::int64_t(offsets.size()) - 1))];
    }

    // espeak-ng counts code points from 1, and gives the time in milliseconds.
    void Word(const espeak_EVENT& e)
    {
        const std::int64_t first = std::int64_t(e.text_position) - 1;
        const std::int64_t sample = std::max(lastWordSample, std::int64_t(e.audio_position) * Engine::kSampleRate / 1000);
        lastWordSample = sample;
        const std::int32_t position = Offset(first);
        sink->WordStarts({sample, position, Offset(first + e.length) - position});
    }
};

Job* g_job = nullptr;

int OnSynth(short* wav, int count, espeak_EVENT* events)
{
    Job* job = g_job;
    if (!job || job->stopped) return 1;
    for (espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e)
        if (e->type == espeakEVENT_WORD && e->length > 0) job->Word(*e); // empty "words" mark pauses
    if (wav && count > 0 && !job->sink->Samples(wav, count)) job->stopped = true;
    return job->stopped ? 1 : 0;
}

std::vector<std::int32_t> CodePointOffsets(const QString& text)
{
    std::vector<std::int32_t> offsets;
    offsets.reserve(size_t(text.size()) + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        offsets.push_back(std::int32_t(i));
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    }
    offsets.push_back(std::int32_t(text.size()));
    return offsets;
}

// The language espeak-ng should prefer: the system's, English without one.
QByteArray SystemLanguage()
{
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C) return "en";
    return locale.name().toLower().replace('_', '-').toUtf8();
}

} // namespace

Engine& Engine::Instance()
{
    static Engine engine;
    return engine;
}

Engine::~Engine()
{
    if (m_started) espeak_Terminate();
}

bool Engine::StartLocked()
{
    if (m_tried) return m_started;
    m_tried = true;
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate != kSampleRate) {
        m_startError = rate < 0 ? QString("The speech engine espeak-ng cannot start: its data files are missing.")
                                : QString("The speech engine espeak-ng speaks at %1 Hz, not %2 Hz.")
                                      .arg(rate)
                                      .arg(kSampleRate);
        if (rate > 0) espeak_Terminate();
        return false;
    }
    espeak_SetSynthCallback(OnSynth);
    m_started = true;
    ListVoicesLocked();
    return true;
}

void Engine::ListVoicesLocked()
{
    auto usable = [](const espeak_VOICE* v) {
        // MBROLA voices need an outside program and data of their own.
        return v->name && v->identifier && !QByteArray(v->identifier).startsWith("mb/");
    };
    QByteArray preferred = "gmw/en";
    const QByteArray language = SystemLanguage();
    espeak_VOICE spec{};
    spec.languages = language.constData();
    if (const espeak_VOICE** best = espeak_ListVoices(&spec))
        for (; *best; ++best)
            if (usable(*best)) {
                preferred = (*best)->identifier;
                break;
            }
    const espeak_VOICE** all = espeak_ListVoices(nullptr);
    for (; all && *all; ++all) {
        if (!usable(*all)) continue;
        Voice v{QString::fromUtf8((*all)->name), QByteArray((*all)->identifier)};
        if (v.identifier == preferred) m_voices.insert(m_voices.begin(), v);
        else m_voices.push_back(v);
    }
}

bool Engine::Available()
{
    std::lock_guard lock(m_mutex);
    return StartLocked();
}

QString Engine::StartError()
{
    std::lock_guard lock(m_mutex);
    StartLocked();
    return m_startError;
}

std::vector<Voice> Engine::Voices()
{
    std::lock_guard lock(m_mutex);
    StartLocked();
    return m_voices;
}

int Engine::EspeakRate(int rate)
{
    rate = std::clamp(rate, -10, 10);
    const double span = rate < 0 ? espeakRATE_NORMAL - espeakRATE_MINIMUM : espeakRATE_MAXIMUM - espeakRATE_NORMAL;
    return int(std::lround(espeakRATE_NORMAL + rate * span / 10.0));
}

Result Engine::Synthesize(const QString& text, const Settings& settings, Sink& sink)
{
    std::lock_guard lock(m_mutex);
    if (!StartLocked()) return {Outcome::Failed, m_startError};
    if (m_voices.empty()) return {Outcome::Failed, "The speech engine espeak-ng has no voices."};
    const Voice& voice = m_voices[settings.voice >= 0 && size_t(settings.voice) < m_voices.size() ? size_t(settings.voice) : 0];
    if (espeak_SetVoiceByName(voice.identifier.constData()) != EE_OK)
        return {Outcome::Failed, QString("The voice \"%1\" cannot be loaded.").arg(voice.name)};
    espeak_SetParameter(espeakRATE, EspeakRate(settings.rate), 0);
    espeak_SetParameter(espeakVOLUME, std::clamp(settings.volume, 0, 100), 0);

    Job job;
    job.sink = &sink;
    job.offsets = CodePointOffsets(text);
    const QByteArray utf8 = text.toUtf8();
    g_job = &job;
    const espeak_ERROR r = espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                                        espeakCHARS_UTF8 | (settings.markup ? espeakSSML : 0), nullptr, nullptr);
    g_job = nullptr;
    if (job.stopped) return {Outcome::Stopped, {}};
    if (r != EE_OK) return {Outcome::Failed, QString("The speech engine espeak-ng failed (%1).").arg(int(r))};
    return {};
}

} // namespace speech
