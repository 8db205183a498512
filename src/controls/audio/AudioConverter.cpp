#include "controls/audio/AudioConverter.h"

#include "controls/audio/AudioConverterCodecs.h"
#include "controls/audio/AudioConverterEngine.h"
#include "controls/ControlThread.h"


extern "C" {
#include <libavutil/log.h>
}

cAudioConverter::cAudioConverter() : m_thread(std::make_unique<ControlThread>(this))
{
    // Failures reach the user through our own texts; keep FFmpeg's log quiet.
    av_log_set_level(AV_LOG_FATAL);
}

cAudioConverter::~cAudioConverter() = default;

void cAudioConverter::SetSourceFile(const QString& path)
{
    m_sourceFile = path;
    ClearRange();
}

void cAudioConverter::Convert()
{
    if (m_converting) {
        m_thread->PostAlways(
            [this] { emit ConvertError(kConvertErrBusy, "A conversion is already running on this control."); });
        return;
    }
    audioconv::Request request;
    static_cast<OutputSettings&>(request) = Output();
    request.source = m_sourceFile;

    m_converting = true;
    m_thread->Start([this, request = std::move(request)](const std::atomic<bool>& abort,
                                                          const ControlThread::Post& post) -> std::function<void()> {
        const audioconv::Result result =
            audioconv::RunConversion(request, abort, [this, &post](int p) { post([this, p] { emit Progress(p); }); });
        return [this, result] {
            m_converting = false;
            switch (result.outcome) {
            case audioconv::Outcome::Done: emit ConvertDone(); break;
            case audioconv::Outcome::Aborted: emit ConvertAborted(); break;
            case audioconv::Outcome::Failed: emit ConvertError(result.error.code, result.error.text); break;
            }
        };
    });
}

void cAudioConverter::Abort()
{
    if (m_converting) m_thread->Abort();
}

void cAudioConverter::Terminate()
{
    m_thread->Stop();
    m_converting = false;
    CloseSourceFile();
}

std::int32_t cAudioConverter::OpenSourceFile(const QString& path)
{
    CloseSourceFile();
    audioconv::SourceFacts facts;
    AudioTags tags;
    const audioconv::Status s = audioconv::ReadSourceFacts(path, &facts, &tags);
    if (!s.ok()) return s.code;
    SetSourceFacts(facts.sampleRate, std::int16_t(facts.channels), facts.bitsPerSample,
                   std::int32_t(std::min<std::int64_t>(facts.lengthMs, INT32_MAX)));
    m_openPath = path;
    m_openTags = tags;
    return 0;
}

// OpenSourceFile reads the facts and tags whole and keeps no file open.
void cAudioConverter::CloseSourceFile()
{
    m_openPath.clear();
    m_openTags = {};
}

void cAudioConverter::SetSourceFacts(std::int32_t rate, std::int16_t channels, std::int32_t bits, std::int32_t lengthMs)
{
    m_sourceSampleRate = rate;
    m_sourceChannels = channels;
    m_sourceBitsPerSample = bits;
    m_sourceLength = lengthMs;
}

std::int32_t cAudioConverter::ReadTags(const QString& path)
{
    // The open file's tags were read with its facts.
    if (!path.isEmpty() && path == m_openPath) {
        SetTags(m_openTags);
        return 0;
    }
    audioconv::Tags t;
    const audioconv::Status s = audioconv::ReadSourceTags(path, &t);
    SetTags(t);
    return s.code;
}

QTime cAudioConverter::FormatTime(std::int32_t seconds) const
{
    if (seconds <= 0) return QTime(0, 0, 0);
    if (seconds >= 24 * 3600) return QTime(23, 59, 59);
    return QTime(0, 0, 0).addSecs(seconds);
}

void cAudioConverter::EnumACMFormatTags(std::int32_t formatTag, std::int32_t sampleRate, std::int32_t channels,
                                        std::int32_t bitsPerSample, std::int32_t flags)
{
    if (formatTag != 1) return; // only PCM sources are described
    const bool suggestOnly = flags & kACMFormatEnumSuggest;
    for (const audioconv::Codec& codec : audioconv::AcmCodecs())
        if (!suggestOnly || codec.Accepts(sampleRate, channels)) emit ACMFormatTagFound(codec.name);
}

void cAudioConverter::EnumACMFormats(const QString& codecName)
{
    if (const audioconv::Codec* codec = audioconv::FindCodec(audioconv::AcmCodecs(), codecName))
        for (const audioconv::CodecFormat& f : codec->formats) emit ACMFormatFound(f.text);
}

namespace {
const audioconv::Codec* WmaCodec(std::int32_t codec)
{
    const auto& codecs = audioconv::WmaCodecs();
    return codec >= 0 && codec < std::int32_t(codecs.size()) ? &codecs[size_t(codec)] : nullptr;
}
} // namespace

std::int32_t cAudioConverter::WMACodecCount() { return std::int32_t(audioconv::WmaCodecs().size()); }

QString cAudioConverter::WMACodecName(std::int32_t codec)
{
    const audioconv::Codec* c = WmaCodec(codec);
    return c ? c->name : QString();
}

std::int32_t cAudioConverter::WMAFormatCount(std::int32_t codec)
{
    const audioconv::Codec* c = WmaCodec(codec);
    return c ? std::int32_t(c->formats.size()) : 0;
}

QString cAudioConverter::WMAFormatName(std::int32_t codec, std::int32_t format)
{
    const audioconv::Codec* c = WmaCodec(codec);
    return c && format >= 0 && format < std::int32_t(c->formats.size()) ? c->formats[size_t(format)].text : QString();
}

// ---------------------------------------------------------------------------

namespace {
std::function<std::unique_ptr<cAudioConverter>()>& Factory()
{
    static std::function<std::unique_ptr<cAudioConverter>()> factory;
    return factory;
}
} // namespace

std::unique_ptr<cAudioConverter> CreateAudioConverter()
{
    return Factory() ? Factory()() : std::make_unique<cAudioConverter>();
}

void SetAudioConverterFactory(std::function<std::unique_ptr<cAudioConverter>()> factory)
{
    Factory() = std::move(factory);
}
