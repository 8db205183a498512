#pragma once
// Helpers for the tests of the recorder and the audio editor controls: what
// each control raised, raw inputs for the capture devices of the test's ALSA
// configuration (PlayerTestSupport.h), and the index of a device.
#include "controls/widgets/AudioEditor.h"
#include "controls/audio/WaveRecorder.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

namespace recordingtest {

// The index of an ALSA device in the recorder's list of input devices.
std::int32_t InputIndex(const QString& name);

// A recording format as the recorder window fills it.
WAVEFORMATEX PcmFormat(int sampleRate, int bits, int channels);

// Interleaved raw samples: noise, or a 1 kHz sine whose peak is `db` below
// full scale, in the format's sample type.
QByteArray NoiseRaw(const WAVEFORMATEX& format, double seconds, unsigned seed = 7);
QByteArray SineRaw(const WAVEFORMATEX& format, double seconds, double db);

// The header fields of a wave file's bytes.
struct Header {
    bool riff = false;
    quint32 riffSize = 0, dataSize = 0;
    int channels = 0, sampleRate = 0, bits = 0, blockAlign = 0;
};
Header ReadHeader(const QByteArray& wav);

// What a recorder raised. `onLevel` runs inside the Level handler, with the
// number of levels so far.
struct WaveEvents {
    explicit WaveEvents(cWave& wave);
    std::vector<std::int16_t> levels;
    int recordDone = 0, playDone = 0;
    std::function<void(size_t count)> onLevel;
    bool WaitLevels(size_t count);
    bool WaitRecordDone(int count = 1);

private:
    QObject m_context;
};

// What an editor raised.
struct EditorEvents {
    explicit EditorEvents(cAudioEditor& editor);
    struct Selection {
        std::int32_t s0, s1, t0, t1;
    };
    std::vector<std::vector<std::int32_t>> loaded; // rate, bits, channels, seconds, samples
    std::vector<Selection> selections;
    std::vector<std::int32_t> errors;
    QStringList errorTexts;
    int playDone = 0, waveformReady = 0;

private:
    QObject m_context;
};

} // namespace recordingtest
