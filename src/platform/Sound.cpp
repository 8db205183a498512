#include "platform/Sound.h"
#include "platform/ServiceSlot.h"

#include <QFile>
#include <QtEndian>

#include <alsa/asoundlib.h>
#include <atomic>
#include <thread>

namespace platform {

namespace {

struct WaveData {
    unsigned rate = 0, channels = 0, bits = 0;
    QByteArray pcm;
};

// Reads a PCM wave file (8 or 16 bits); false for anything else.
bool readWave(const QString& file, WaveData* out)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QByteArray d = f.readAll();
    if (d.size() < 12 || !d.startsWith("RIFF") || d.mid(8, 4) != "WAVE") return false;
    bool haveFormat = false;
    for (qsizetype pos = 12; pos + 8 <= d.size();) {
        QByteArray id = d.mid(pos, 4);
        quint32 size = qFromLittleEndian<quint32>(d.constData() + pos + 4);
        qsizetype body = pos + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= d.size()) {
            if (qFromLittleEndian<quint16>(d.constData() + body) != 1) return false;
            out->channels = qFromLittleEndian<quint16>(d.constData() + body + 2);
            out->rate = qFromLittleEndian<quint32>(d.constData() + body + 4);
            out->bits = qFromLittleEndian<quint16>(d.constData() + body + 14);
            haveFormat = true;
        } else if (id == "data" && haveFormat) {
            out->pcm = d.mid(body, std::min<qsizetype>(size, d.size() - body));
            return (out->bits == 8 || out->bits == 16) && out->channels >= 1 && out->rate > 0;
        }
        pos = body + size + (size & 1);
    }
    return false;
}

void silenceAlsa(const char*, int, const char*, int, const char*, ...) {}

class AlsaSoundService : public SoundService {
public:
    ~AlsaSoundService() override { Stop(); }

    bool PlayAsync(const QString& file) override
    {
        Stop();
        WaveData wave;
        if (!readWave(file, &wave)) return false;
        m_stop = false;
        m_thread = std::thread([this, wave] { play(wave); });
        return true;
    }

    void Stop() override
    {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }

private:
    void play(const WaveData& wave)
    {
        snd_lib_error_set_handler(silenceAlsa);
        snd_pcm_t* pcm = nullptr;
        if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return;
        const snd_pcm_format_t format = wave.bits == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
        if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, wave.channels, wave.rate, 1, 200000) == 0) {
            const unsigned frameBytes = wave.channels * wave.bits / 8;
            const snd_pcm_uframes_t total = wave.pcm.size() / frameBytes;
            snd_pcm_uframes_t done = 0;
            while (done < total && !m_stop) {
                snd_pcm_uframes_t chunk = std::min<snd_pcm_uframes_t>(total - done, 1024);
                snd_pcm_sframes_t n = snd_pcm_writei(pcm, wave.pcm.constData() + done * frameBytes, chunk);
                if (n < 0) n = snd_pcm_recover(pcm, int(n), 1);
                if (n < 0) break;
                done += snd_pcm_uframes_t(n);
            }
            if (m_stop) snd_pcm_drop(pcm);
            else snd_pcm_drain(pcm);
        }
        snd_pcm_close(pcm);
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

using Slot = ServiceSlot<SoundService, AlsaSoundService>;

} // namespace

void SetSoundService(std::unique_ptr<SoundService> service) { Slot::Install(std::move(service)); }

SoundService& Sounds() { return Slot::Get(); }

} // namespace platform
