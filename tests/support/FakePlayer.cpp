#include "support/FakePlayer.h"

#include "controls/widgets/AudioGraph.h"

#include <cmath>

namespace {
FakePlayer*& LastFake()
{
    static FakePlayer* last = nullptr;
    return last;
}
} // namespace

FakePlayer::FakePlayer() { LastFake() = this; }

FakePlayer::~FakePlayer()
{
    if (LastFake() == this) LastFake() = nullptr;
}

FakePlayer* FakePlayer::Last() { return LastFake(); }

std::int32_t FakePlayer::OpenFile(const QString& path)
{
    calls << "OpenFile " + path;
    const auto it = files.constFind(path);
    if (it == files.constEnd()) {
        SetFacts(0, 0, 0, 0);
        return kPlayerErrFileMissing;
    }
    SetFacts(it->length, it->sampleRate, it->bitrate, it->channels);
    return 0;
}

std::int32_t FakePlayer::PlayFile(const QString& path, std::int32_t device)
{
    calls << QString("PlayFile %1 %2").arg(path).arg(device);
    NewGeneration();
    SetPlayState(false, false);
    if (!m_failures.empty()) {
        const std::int32_t code = m_failures.front();
        m_failures.pop_front();
        SetLastError(code, {});
        return code;
    }
    const File f = files.value(path);
    SetFacts(f.length, f.sampleRate, f.bitrate, f.channels);
    m_position = 0;
    SetPlayState(true, false);
    Post([this, f] { emit PlayerEvent(kPlayerEventStarted, f.sampleRate, f.channels); });
    return 0;
}

void FakePlayer::FinishPlay()
{
    if (!IsPlaying()) return;
    Post([this] {
        SetPlayState(false, false);
        emit PlayFinished();
    });
}

void FakePlayer::BreakOff(std::int32_t code)
{
    if (!IsPlaying()) return;
    Post([this, code] {
        SetPlayState(false, false);
        emit PlayerEvent(kPlayerEventBrokenOff, code, 0);
        emit PlayFinished();
    });
}

void FakePlayer::MoveTo(double seconds)
{
    m_position = seconds;
    Post([this, seconds] { emit PlayerEvent(kPlayerEventPosition, std::int32_t(seconds), 0); });
}

void FakePlayer::Pause()
{
    calls << "Pause";
    if (!IsPlaying() || IsPaused()) return;
    SetPlayState(true, true);
    Post([this] { emit PlayerEvent(kPlayerEventPaused, std::int32_t(m_position), 0); });
}

void FakePlayer::Resume()
{
    calls << "Resume";
    if (!IsPaused()) return;
    SetPlayState(true, false);
    Post([this] { emit PlayerEvent(kPlayerEventResumed, std::int32_t(m_position), 0); });
}

void FakePlayer::Stop()
{
    calls << "Stop";
    if (!IsPlaying()) return;
    NewGeneration();
    SetPlayState(false, false);
    Post([this] { emit PlayFinished(); });
}

void FakePlayer::Seek(std::int32_t seconds)
{
    calls << QString("Seek %1").arg(seconds);
    if (IsPlaying()) m_position = std::max(seconds, 0);
}

// A 1 kHz sine at half scale on both channels, so the graphs show something.
std::int32_t FakePlayer::AudioData()
{
    calls << "AudioData";
    if (!IsPlaying()) return 0;
    AudioBlock block;
    block.sampleRate = 44100;
    block.channels = 2;
    for (int i = 0; i < 4096; ++i) {
        const float v = float(0.5 * std::sin(2 * M_PI * 1000.0 * i / 44100));
        block.samples.insert(block.samples.end(), {v, v});
    }
    return PublishAudioBlock(std::move(block));
}

void FakePlayer::ReportError(std::int32_t code) { calls << QString("ReportError %1").arg(code); }

void FakePlayer::Terminate()
{
    calls << "Terminate";
    NewGeneration();
    SetPlayState(false, false);
    SetFacts(0, 0, 0, 0);
}
