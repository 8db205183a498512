#include "controls/AudioConverter.h"

#include "controls/AudioConverterCodecs.h"
#include "controls/AudioConverterEngine.h"

#include <QMetaObject>
#include <thread>

extern "C" {
#include <libavutil/log.h>
}

// The conversion thread of one control, and the generation of its events:
// Terminate moves to a new generation, and events of an older one are dropped.
struct cAudioConverter::Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> abort;
    unsigned generation = 0;

    void Join()
    {
        if (thread.joinable()) thread.join();
    }
};

cAudioConverter::cAudioConverter() : m_worker(std::make_unique<Worker>())
{
    // Failures reach the user through our own texts; keep FFmpeg's log quiet.
    av_log_set_level(AV_LOG_FATAL);
}

cAudioConverter::~cAudioConverter()
{
    if (m_worker->abort) m_worker->abort->store(true);
    m_worker->Join();
}

void cAudioConverter::SetSourceFile(const QString& path)
{
    m_sourceFile = path;
    m_rangeStart = 0;
    m_rangeLength = 0;
    m_rangeSet = false;
}

void cAudioConverter::SetRangeStart(std::int32_t seconds)
{
    m_rangeStart = seconds;
    m_rangeSet = true;
}

void cAudioConverter::SetRangeLength(std::int32_t seconds)
{
    m_rangeLength = seconds;
    m_rangeSet = true;
}

void cAudioConverter::SetWAVFormat(const WAVFormatSettings& settings) { m_wav = settings; }

void cAudioConverter::SetACMFormat(const QString& FormatTagName, const QString& FormatName)
{
    m_acm = {FormatTagName, FormatName};
}

void cAudioConverter::SetMP3Format(const MP3FormatSettings& settings) { m_mp3 = settings; }
void cAudioConverter::SetWMAFormat(const WMAFormatSettings& settings) { m_wma = settings; }
void cAudioConverter::SetOGGFormat(const OGGFormatSettings& settings) { m_ogg = settings; }
void cAudioConverter::SetAPEFormat(std::int32_t CompressionLevel) { m_ape.CompressionLevel = CompressionLevel; }

void cAudioConverter::Convert()
{
    const unsigned generation = m_worker->generation;
    if (m_converting) {
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == m_worker->generation)
                    emit ConvertError(kConvertErrBusy, "A conversion is already running on this control.");
            },
            Qt::QueuedConnection);
        return;
    }
    m_worker->Join();

    audioconv::Request request;
    request.source = m_sourceFile;
    request.destination = m_destinationFile;
    request.format = m_destinationFormat;
    request.wav = m_wav;
    request.acm = m_acm;
    request.mp3 = m_mp3;
    request.wma = m_wma;
    request.ogg = m_ogg;
    request.ranged = m_rangeSet;
    request.rangeStart = m_rangeStart;
    request.rangeLength = m_rangeLength;
    request.tags = {m_tagAlbum, m_tagArtist, m_tagComment, m_tagGenre, m_tagTitle, m_tagTrack, m_tagYear};

    m_converting = true;
    auto abort = std::make_shared<std::atomic<bool>>(false);
    m_worker->abort = abort;
    m_worker->thread = std::thread([this, request = std::move(request), abort, generation] {
        auto progress = [this, generation](int percent) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, percent] {
                    if (generation == m_worker->generation && m_converting) emit Progress(percent);
                },
                Qt::QueuedConnection);
        };
        const audioconv::Result result = audioconv::RunConversion(request, *abort, progress);
        QMetaObject::invokeMethod(
            this,
            [this, generation, result] {
                if (generation != m_worker->generation) return;
                m_converting = false;
                m_worker->Join();
                switch (result.outcome) {
                case audioconv::Outcome::Done: emit ConvertDone(); break;
                case audioconv::Outcome::Aborted: emit ConvertAborted(); break;
                case audioconv::Outcome::Failed: emit ConvertError(result.error.code, result.error.text); break;
                }
            },
            Qt::QueuedConnection);
    });
}

void cAudioConverter::Abort()
{
    if (m_converting && m_worker->abort) m_worker->abort->store(true);
}

void cAudioConverter::Terminate()
{
    if (m_worker->abort) m_worker->abort->store(true);
    m_worker->Join();
    ++m_worker->generation;
    m_converting = false;
    CloseSourceFile();
}

std::int32_t cAudioConverter::OpenSourceFile(const QString& path)
{
    audioconv::SourceFacts facts;
    const audioconv::Status s = audioconv::ReadSourceFacts(path, &facts);
    if (!s.ok()) return s.code;
    SetSourceFacts(facts.sampleRate, std::int16_t(facts.channels), facts.bitsPerSample,
                   std::int32_t(std::min<std::int64_t>(facts.lengthMs, INT32_MAX)));
    return 0;
}

// The facts are read whole by OpenSourceFile, which keeps no file open.
void cAudioConverter::CloseSourceFile() {}

void cAudioConverter::SetSourceFacts(std::int32_t rate, std::int16_t channels, std::int32_t bits, std::int32_t lengthMs)
{
    m_sourceSampleRate = rate;
    m_sourceChannels = channels;
    m_sourceBitsPerSample = bits;
    m_sourceLength = lengthMs;
}

std::int32_t cAudioConverter::ReadTags(const QString& path)
{
    audioconv::Tags t;
    const audioconv::Status s = audioconv::ReadSourceTags(path, &t);
    SetAllTags(t.album, t.artist, t.comment, t.genre, t.title, t.track, t.year);
    return s.code;
}

void cAudioConverter::SetAllTags(const QString& album, const QString& artist, const QString& comment,
                                 const QString& genre, const QString& title, const QString& track, const QString& year)
{
    m_tagAlbum = album;
    m_tagArtist = artist;
    m_tagComment = comment;
    m_tagGenre = genre;
    m_tagTitle = title;
    m_tagTrack = track;
    m_tagYear = year;
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
