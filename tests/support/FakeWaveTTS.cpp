#include "support/FakeWaveTTS.h"

#include <QDataStream>
#include <QFile>
#include <QRegularExpression>

namespace {

FakeWaveTTS*& LastFake()
{
    static FakeWaveTTS* last = nullptr;
    return last;
}

// A tenth of a second of silence, 22,050 Hz, 16-bit, mono.
bool WriteSilentWav(const QString& path)
{
    constexpr quint32 kRate = 22050, kDataBytes = kRate / 10 * 2;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QDataStream out(&f);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + kDataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << kRate << quint32(kRate * 2) << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << kDataBytes;
    out.writeRawData(QByteArray(int(kDataBytes), '\0').constData(), int(kDataBytes));
    return out.status() == QDataStream::Ok && f.flush();
}

std::vector<std::pair<std::int32_t, std::int32_t>> WordsOf(const QString& text)
{
    std::vector<std::pair<std::int32_t, std::int32_t>> words;
    static const QRegularExpression word("\\S+");
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        words.emplace_back(std::int32_t(m.capturedStart()), std::int32_t(m.capturedLength()));
    }
    return words;
}

} // namespace

FakeWaveTTS::FakeWaveTTS()
{
    for (const Format& f : Formats()) formats.push_back({f.name, f.id});
    LastFake() = this;
}

FakeWaveTTS::~FakeWaveTTS()
{
    if (LastFake() == this) LastFake() = nullptr;
}

FakeWaveTTS* FakeWaveTTS::Last() { return LastFake(); }

void FakeWaveTTS::EnumFormats()
{
    calls << "EnumFormats";
    for (const FormatEntry& f : formats) emit FormatFound(f.name, f.id);
}

bool FakeWaveTTS::HasFormat(std::int32_t id) const
{
    for (const FormatEntry& f : formats)
        if (f.id == id) return true;
    return false;
}

bool FakeWaveTTS::SetOutputIndex(std::int32_t index)
{
    calls << QString("SetOutputIndex %1").arg(index);
    return cWaveTTS::SetOutputIndex(index);
}

bool FakeWaveTTS::SetVoiceIndex(std::int32_t index)
{
    calls << QString("SetVoiceIndex %1").arg(index);
    return cWaveTTS::SetVoiceIndex(index);
}

void FakeWaveTTS::SetRate(std::int32_t rate)
{
    calls << QString("SetRate %1").arg(rate);
    cWaveTTS::SetRate(rate);
}

void FakeWaveTTS::SetVolume(std::int32_t volume)
{
    calls << QString("SetVolume %1").arg(volume);
    cWaveTTS::SetVolume(volume);
}

void FakeWaveTTS::SetSpeakFlags(std::int32_t flags)
{
    calls << QString("SetSpeakFlags %1").arg(flags);
    cWaveTTS::SetSpeakFlags(flags);
}

bool FakeWaveTTS::SetAudioFormat(std::int32_t id)
{
    calls << QString("SetAudioFormat %1").arg(id);
    return cWaveTTS::SetAudioFormat(id);
}

void FakeWaveTTS::Record(const QString& text, const QString& file)
{
    spoken.push_back({text, file, OutputIndex(), VoiceIndex(), Rate(), Volume(), SpeakFlags(), AudioFormat()});
}

std::optional<std::int32_t> FakeWaveTTS::TakeFailure(std::deque<std::int32_t>& failures)
{
    if (failures.empty()) return std::nullopt;
    const std::int32_t code = failures.front();
    failures.pop_front();
    Fail(code, QString("Scripted failure %1").arg(code));
    return code;
}

std::int32_t FakeWaveTTS::Speak(const QString& text)
{
    calls << "Speak";
    Record(text, {});
    NewGeneration();
    SetBusy(false);
    if (const auto failure = TakeFailure(m_speakFailures)) return *failure;
    Succeeded();
    SetBusy(true);
    for (const auto& [position, length] : words ? *words : WordsOf(text))
        Post([this, position, length] { emit WordBoundary(position, length); });
    if (!holdSpeech) FinishSpeech();
    return 0;
}

void FakeWaveTTS::FinishSpeech()
{
    if (!IsBusy()) return;
    Post([this] {
        SetBusy(false);
        emit SpeakDone();
    });
}

std::int32_t FakeWaveTTS::SpeakToFile(const QString& text, const QString& file)
{
    calls << "SpeakToFile " + file;
    Record(text, file);
    if (const auto failure = TakeFailure(m_fileFailures)) return *failure;
    if (writeFiles && !WriteSilentWav(file)) return Fail(kTTSErrFile, "The speech cannot be written into " + file);
    Succeeded();
    return 0;
}

void FakeWaveTTS::Stop()
{
    calls << "Stop";
    if (!IsBusy()) return;
    NewGeneration();
    SetBusy(false);
    Post([this] { emit SpeakDone(); });
}

void FakeWaveTTS::Terminate()
{
    calls << "Terminate";
    NewGeneration();
    SetBusy(false);
}
