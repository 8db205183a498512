#include "controls/audio/RecordingTestSupport.h"

#include "controls/audio/AlsaDevice.h"

#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

namespace recordingtest {

namespace {
constexpr int kSafetyMs = 60000; // a safety net for a broken build, never a measure

void PutSample(QByteArray& out, double v, int bits)
{
    if (bits == 8) {
        out.append(char(std::lround(128 + v * 127)));
    } else {
        const auto s = std::int16_t(std::lround(v * 32767));
        out.append(char(s & 0xFF)).append(char((s >> 8) & 0xFF));
    }
}
} // namespace

std::int32_t InputIndex(const QString& name)
{
    const std::vector<alsa::DeviceInfo> devices = alsa::ListDevices(alsa::Direction::Capture);
    for (size_t i = 0; i < devices.size(); ++i)
        if (devices[i].name == name) return std::int32_t(i);
    ADD_FAILURE() << "no input device " << name.toStdString();
    return -2;
}

WAVEFORMATEX PcmFormat(int sampleRate, int bits, int channels)
{
    WAVEFORMATEX f;
    f.wFormatTag = 1;
    f.nChannels = std::uint16_t(channels);
    f.wBitsPerSample = std::uint16_t(bits);
    f.nSamplesPerSec = std::uint32_t(sampleRate);
    f.nBlockAlign = std::uint16_t(bits / 8 * channels);
    f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
    return f;
}

QByteArray NoiseRaw(const WAVEFORMATEX& format, double seconds, unsigned seed)
{
    QRandomGenerator random(seed);
    QByteArray out;
    const qint64 samples = std::llround(seconds * format.nSamplesPerSec) * format.nChannels;
    for (qint64 i = 0; i < samples; ++i) PutSample(out, random.generateDouble() * 2 - 1, format.wBitsPerSample);
    return out;
}

QByteArray SineRaw(const WAVEFORMATEX& format, double seconds, double db)
{
    QByteArray out;
    const double amplitude = std::pow(10.0, db / 20.0);
    const qint64 frames = std::llround(seconds * format.nSamplesPerSec);
    for (qint64 i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2 * M_PI * 1000.0 * double(i) / format.nSamplesPerSec);
        for (int c = 0; c < format.nChannels; ++c) PutSample(out, v, format.wBitsPerSample);
    }
    return out;
}

Header ReadHeader(const QByteArray& wav)
{
    Header h;
    if (wav.size() < 44 || !wav.startsWith("RIFF") || wav.mid(8, 8) != "WAVEfmt " || wav.mid(36, 4) != "data") return h;
    const char* p = wav.constData();
    h.riff = true;
    h.riffSize = qFromLittleEndian<quint32>(p + 4);
    h.channels = qFromLittleEndian<quint16>(p + 22);
    h.sampleRate = int(qFromLittleEndian<quint32>(p + 24));
    h.blockAlign = qFromLittleEndian<quint16>(p + 32);
    h.bits = qFromLittleEndian<quint16>(p + 34);
    h.dataSize = qFromLittleEndian<quint32>(p + 40);
    return h;
}

WaveEvents::WaveEvents(cWave& wave)
{
    QObject::connect(&wave, &cWave::Level, &m_context, [this](std::int16_t level) {
        levels.push_back(level);
        if (onLevel) onLevel(levels.size());
    });
    QObject::connect(&wave, &cWave::RecordDone, &m_context, [this] { ++recordDone; });
    QObject::connect(&wave, &cWave::PlayDone, &m_context, [this] { ++playDone; });
}

bool WaveEvents::WaitLevels(size_t count)
{
    return QTest::qWaitFor([&] { return levels.size() >= count; }, kSafetyMs);
}

bool WaveEvents::WaitRecordDone(int count)
{
    return QTest::qWaitFor([&] { return recordDone >= count; }, kSafetyMs);
}

EditorEvents::EditorEvents(cAudioEditor& editor)
{
    QObject::connect(&editor, &cAudioEditor::FileLoaded, &m_context,
                     [this](std::int32_t rate, std::int32_t bits, std::int32_t channels, std::int32_t seconds,
                            std::int32_t samples) { loaded.push_back({rate, bits, channels, seconds, samples}); });
    QObject::connect(&editor, &cAudioEditor::SelectionChanged, &m_context,
                     [this](std::int32_t s0, std::int32_t s1, std::int32_t t0, std::int32_t t1) {
                         selections.push_back({s0, s1, t0, t1});
                     });
    QObject::connect(&editor, &cAudioEditor::Error, &m_context, [this](std::int32_t code, const QString& text) {
        errors.push_back(code);
        errorTexts << text;
    });
    QObject::connect(&editor, &cAudioEditor::PlayDone, &m_context, [this] { ++playDone; });
    QObject::connect(&editor, &cAudioEditor::WaveformReady, &m_context, [this] { ++waveformReady; });
}

} // namespace recordingtest
