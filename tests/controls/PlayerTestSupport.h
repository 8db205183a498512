#pragma once
// Helpers for the player's tests. The test program points ALSA at a
// configuration of its own before ALSA is first used: "default" writes what
// is played to a file, "paced" writes into a pipe the test reads at its own
// pace, "missingcard" names a sound card that does not exist, and
// "recorded" records the samples of a file.
#include "controls/Player.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace playertest {

// The raw file "default" plays into, the pipe of "paced", the file
// "recorded" records from.
QString PlayedFile();
QString PacedPipe();
QString RecordedSource();
// Points ALSA at another configuration folder (empty: the test's own) and
// makes it read its configuration again. Only while no device is open.
void UseAlsaConfigFolder(const QString& folder);

// The reading end of the "paced" pipe: takes no more bytes than allowed, so
// the player blocks in its writes as on a real device. Let everything through
// before the player is destroyed.
class PacedSink {
public:
    PacedSink();
    ~PacedSink();
    void Allow(qint64 bytes);
    void AllowAll() { Allow(-1); }
    qint64 Received() const;
    bool Closed() const; // the player closed the device
    QByteArray Data() const;

private:
    void Read();
    mutable std::mutex m_mutex;
    std::condition_variable m_more;
    qint64 m_allowed = 0; // -1: everything
    QByteArray m_data;
    bool m_closed = false;
    std::thread m_thread;
};

// A WAV of 16-bit frames in which each of the first `patternSeconds` frames is
// unique (left: frame number low 16 bits, right: high 16 bits); the rest is
// silence, left sparse on disk. Returns the data bytes of the pattern part.
QByteArray WritePatternWav(const QString& path, int sampleRate, double seconds, double patternSeconds);
QByteArray WavData(const QString& path); // the bytes of the data chunk
QByteArray ReadAll(const QString& path);

// What one control raised.
struct PlayerEvents {
    explicit PlayerEvents(cPlayer& player);
    int finished = 0;
    std::vector<std::vector<std::int32_t>> events; // code, value1, value2
    bool Has(std::int32_t code) const;
    std::vector<std::int32_t> Last(std::int32_t code) const;
    // Waits for the next PlayFinished (or a safety timeout) and then lets
    // whatever else was posted arrive.
    bool WaitFinished(int expected = 1);
    bool WaitFor(std::int32_t code);

private:
    QObject m_context;
};

// Runs every event already posted, without waiting for new ones.
void DeliverPostedEvents();

} // namespace playertest
