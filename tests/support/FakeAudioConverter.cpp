#include "support/FakeAudioConverter.h"

#include "platform/FileIdentity.h"

#include <QFile>
#include <QMetaObject>

namespace support {

void ReadGate::Open()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
    }
    m_opened.notify_all();
}

void ReadGate::Pass()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_reached = true;
    m_opened.wait(lock, [this] { return m_open; });
}

bool ReadGate::Reached() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_reached;
}

} // namespace support

namespace {
FakeAudioConverter*& LastFake()
{
    static FakeAudioConverter* last = nullptr;
    return last;
}

struct OpenedLog {
    std::mutex mutex;
    QStringList paths;
};
OpenedLog& Log()
{
    static OpenedLog log;
    return log;
}
} // namespace

QStringList FakeAudioConverter::Opened()
{
    const std::lock_guard<std::mutex> lock(Log().mutex);
    return Log().paths;
}

void FakeAudioConverter::ClearOpened()
{
    const std::lock_guard<std::mutex> lock(Log().mutex);
    Log().paths.clear();
}

FakeAudioConverter::FakeAudioConverter()
    : acmCodecs{{"PCM", {"44.100 kHz, 16 Bit, Stereo", "22.050 kHz, 8 Bit, Mono"}, true},
                {"GSM 6.10", {"8.000 kHz, 13 kbit/s, Mono"}, false}},
      wmaCodecs{{"Windows Media Audio V2", {"128 kbit/s, 44.100 kHz, Stereo", "64 kbit/s, 44.100 kHz, Mono"}}}
{
    LastFake() = this;
}

FakeAudioConverter::~FakeAudioConverter()
{
    if (LastFake() == this) LastFake() = nullptr;
}

FakeAudioConverter* FakeAudioConverter::Last() { return LastFake(); }

void FakeAudioConverter::EmitEnding(Ending ending, std::int32_t code, const QString& text)
{
    switch (ending) {
    case Ending::Done: emit ConvertDone(); break;
    case Ending::Aborted: emit ConvertAborted(); break;
    case Ending::Error: emit ConvertError(code, text); break;
    case Ending::Hang: break;
    }
}

void FakeAudioConverter::Convert()
{
    calls << "Convert";
    if (IsConverting()) {
        // Not tied to the running conversion: its own ending must not drop this.
        QMetaObject::invokeMethod(
            this, [this] { emit ConvertError(kConvertErrBusy, "A conversion is already running on this control."); },
            Qt::QueuedConnection);
        return;
    }
    ConvertCall c;
    static_cast<OutputSettings&>(c) = Output();
    c.source = SourceFile();
    converts.push_back(c);
    if (platform::IsSameFile(c.source, c.destination)) {
        // As the real control, it never writes over its source.
        const Script refusal{{}, Ending::Error, kConvertErrDestinationIsSource,
                             "The destination is the source file itself; choose another name or folder: " +
                                 c.destination};
        StartJob(&refusal);
        return;
    }
    StartJob();
}

void FakeAudioConverter::Abort()
{
    calls << "Abort";
    AbortJob();
}

void FakeAudioConverter::Terminate()
{
    calls << "Terminate";
    StopJob();
}

std::int32_t FakeAudioConverter::OpenSourceFile(const QString& path)
{
    calls << "OpenSourceFile " + path;
    const auto it = files.constFind(path);
    if (it == files.constEnd()) return kConvertErrSourceMissing;
    if (it->gate) it->gate->Pass();
    SetSourceFacts(it->sampleRate, it->channels, it->bitsPerSample, it->lengthMs);
    const std::lock_guard<std::mutex> lock(Log().mutex);
    Log().paths << path;
    return 0;
}

void FakeAudioConverter::CloseSourceFile() { calls << "CloseSourceFile"; }

std::int32_t FakeAudioConverter::ReadTags(const QString& path)
{
    calls << "ReadTags " + path;
    const File f = files.value(path);
    SetTags({f.album, f.artist, f.comment, f.genre, f.title, f.track, f.year});
    return files.contains(path) ? 0 : kConvertErrSourceMissing;
}

void FakeAudioConverter::EnumACMFormatTags(std::int32_t formatTag, std::int32_t sampleRate, std::int32_t channels,
                                           std::int32_t bitsPerSample, std::int32_t flags)
{
    calls << QString("EnumACMFormatTags %1 %2 %3 %4 %5")
                 .arg(formatTag)
                 .arg(sampleRate)
                 .arg(channels)
                 .arg(bitsPerSample)
                 .arg(flags);
    for (const AcmCodec& c : acmCodecs)
        if (!(flags & kACMFormatEnumSuggest) || c.suggested) emit ACMFormatTagFound(c.name);
}

void FakeAudioConverter::EnumACMFormats(const QString& codecName)
{
    calls << "EnumACMFormats " + codecName;
    for (const AcmCodec& c : acmCodecs)
        if (c.name == codecName)
            for (const QString& f : c.formats) emit ACMFormatFound(f);
}

std::int32_t FakeAudioConverter::WMACodecCount()
{
    calls << "WMACodecCount";
    return std::int32_t(wmaCodecs.size());
}

QString FakeAudioConverter::WMACodecName(std::int32_t codec)
{
    calls << QString("WMACodecName %1").arg(codec);
    return codec >= 0 && codec < std::int32_t(wmaCodecs.size()) ? wmaCodecs[size_t(codec)].name : QString();
}

std::int32_t FakeAudioConverter::WMAFormatCount(std::int32_t codec)
{
    calls << QString("WMAFormatCount %1").arg(codec);
    return codec >= 0 && codec < std::int32_t(wmaCodecs.size()) ? std::int32_t(wmaCodecs[size_t(codec)].formats.size())
                                                                : 0;
}

QString FakeAudioConverter::WMAFormatName(std::int32_t codec, std::int32_t format)
{
    calls << QString("WMAFormatName %1 %2").arg(codec).arg(format);
    if (codec < 0 || codec >= std::int32_t(wmaCodecs.size())) return {};
    const QStringList& formats = wmaCodecs[size_t(codec)].formats;
    return format >= 0 && format < formats.size() ? formats[format] : QString();
}
