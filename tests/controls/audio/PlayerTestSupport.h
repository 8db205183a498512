#pragma once
// Helpers for the tests of the controls that play and record. The test
// program points ALSA at a configuration of its own before ALSA is first
// used: "default" writes what is played to a file, "paced" writes into a pipe
// the test reads at its own pace, "missingcard" names a sound card that does
// not exist, "recorded" records the samples of a file, and "pacedcapture"
// records from a pipe the test writes at its own pace.
#include "controls/audio/Player.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
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
QString CapturePipe();
// Points ALSA at another configuration folder (empty: the test's own) and
// makes it read its configuration again. Only while no device is open.
void UseAlsaConfigFolder(const QString& folder);

// The writing end of the "pacedcapture" pipe: the device records only the
// bytes allowed so far, so a recorder waits in its reads as on a real device.
// The data goes into the pipe `chunk` bytes at a time, each once the pipe is
// empty, so a device that reads `chunk` bytes at a time gets each in one
// piece. Create it before the device is opened; destroying it closes the
// pipe, so the device reads no more.
class PacedSource {
public:
    PacedSource(QByteArray data, qint64 chunk);
    ~PacedSource();
    // Lets the first `bytes` of the data through (a total, not a step).
    void Allow(qint64 bytes);
    // Lets the rest through and closes the pipe after it: a device reading on
    // then gets no new data but never waits for it.
    void Finish();

private:
    void Write();
    std::mutex m_mutex;
    std::condition_variable m_more;
    const QByteArray m_data;
    const qint64 m_chunk;
    qint64 m_allowed = 0;
    bool m_finishing = false;
    std::atomic<bool> m_closing{false};
    std::thread m_thread;
};

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
