#include "controls/audio/PlayerTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <alsa/asoundlib.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace playertest {

namespace {

// The test program's ALSA configuration, written before any test runs.
class AlsaFiles : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath("alsa"));
        QFile rc(dir.filePath("alsa/asoundrc"));
        ASSERT_TRUE(rc.open(QIODevice::WriteOnly));
        rc.write(QString("pcm.!default { type file slave.pcm \"null\" file \"%1\" format \"raw\" }\n"
                         "pcm.paced { type file slave.pcm \"null\" file \"%2\" format \"raw\" }\n"
                         "pcm.missingcard { type hw card 9 }\n"
                         "pcm.recorded { type file slave.pcm \"null\" file \"/dev/null\" infile \"%3\" "
                         "format \"raw\" }\n"
                         "pcm.pacedcapture { type file slave.pcm \"null\" file \"/dev/null\" infile \"%4\" "
                         "format \"raw\" }\n")
                     .arg(dir.filePath("played.raw"), dir.filePath("paced.fifo"), dir.filePath("recorded.raw"),
                          dir.filePath("capture.fifo"))
                     .toUtf8());
        rc.close();
        // A pipe whose reader has gone fails the player's writes instead of ending the test program.
        signal(SIGPIPE, SIG_IGN);
        for (const char* fifo : {"paced.fifo", "capture.fifo"})
            ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath(fifo)).constData(), 0600), 0);
        UseAlsaConfigFolder({});
    }
    QTemporaryDir dir;
};

AlsaFiles* const g_files = static_cast<AlsaFiles*>(::testing::AddGlobalTestEnvironment(new AlsaFiles));

void PutLE(QByteArray& b, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

QByteArray WavHeader(int sampleRate, int channels, qint64 dataBytes)
{
    QByteArray h("RIFF");
    PutLE(h, quint32(36 + dataBytes), 4);
    h += "WAVEfmt ";
    PutLE(h, 16, 4);
    PutLE(h, 1, 2);
    PutLE(h, quint32(channels), 2);
    PutLE(h, quint32(sampleRate), 4);
    PutLE(h, quint32(sampleRate * channels * 2), 4);
    PutLE(h, quint32(channels * 2), 2);
    PutLE(h, 16, 2);
    h += "data";
    PutLE(h, quint32(dataBytes), 4);
    return h;
}

constexpr int kSafetyMs = 60000; // a safety net for a broken build, never a measure

} // namespace

QString PlayedFile() { return g_files->dir.filePath("played.raw"); }
QString PacedPipe() { return g_files->dir.filePath("paced.fifo"); }
QString RecordedSource() { return g_files->dir.filePath("recorded.raw"); }
QString CapturePipe() { return g_files->dir.filePath("capture.fifo"); }

void UseAlsaConfigFolder(const QString& folder)
{
    qputenv("XDG_CONFIG_HOME", (folder.isEmpty() ? g_files->dir.path() : folder).toLocal8Bit());
    snd_config_update_free_global();
}

// ---------------------------------------------------------------------------

PacedSink::PacedSink()
{
    m_thread = std::thread([this] { Read(); });
}

// Reads on until the player has closed the pipe: destroy the player first.
PacedSink::~PacedSink()
{
    AllowAll();
    // A reader still waiting for a player to open the pipe is let go.
    const int fd = ::open(QFile::encodeName(PacedPipe()).constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
    m_thread.join();
}

void PacedSink::Read()
{
    const int fd = ::open(QFile::encodeName(PacedPipe()).constData(), O_RDONLY);
    std::vector<char> buf(65536);
    for (;;) {
        size_t want = 0;
        {
            std::unique_lock lock(m_mutex);
            m_more.wait(lock, [this] { return m_allowed < 0 || m_data.size() < m_allowed; });
            want = m_allowed < 0 ? buf.size() : size_t(std::min<qint64>(qint64(buf.size()), m_allowed - m_data.size()));
        }
        const ssize_t n = ::read(fd, buf.data(), want);
        std::lock_guard lock(m_mutex);
        if (n <= 0) break;
        m_data.append(buf.data(), qsizetype(n));
    }
    std::lock_guard lock(m_mutex);
    m_closed = true;
    if (fd >= 0) ::close(fd);
}

void PacedSink::Allow(qint64 bytes)
{
    {
        std::lock_guard lock(m_mutex);
        m_allowed = bytes;
    }
    m_more.notify_all();
}

qint64 PacedSink::Received() const
{
    std::lock_guard lock(m_mutex);
    return m_data.size();
}

bool PacedSink::Closed() const
{
    std::lock_guard lock(m_mutex);
    return m_closed;
}

QByteArray PacedSink::Data() const
{
    std::lock_guard lock(m_mutex);
    return m_data;
}

// ---------------------------------------------------------------------------

PacedSource::PacedSource(QByteArray data, qint64 chunk) : m_data(std::move(data)), m_chunk(chunk)
{
    m_thread = std::thread([this] { Write(); });
}

PacedSource::~PacedSource()
{
    {
        std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_more.notify_all();
    // A writer still waiting for a device to open the pipe is let go.
    const int fd = ::open(QFile::encodeName(CapturePipe()).constData(), O_RDONLY | O_NONBLOCK);
    m_thread.join();
    if (fd >= 0) ::close(fd);
}

void PacedSource::Allow(qint64 bytes)
{
    {
        std::lock_guard lock(m_mutex);
        m_allowed = std::min<qint64>(bytes, m_data.size());
    }
    m_more.notify_all();
}

void PacedSource::Finish()
{
    {
        std::lock_guard lock(m_mutex);
        m_allowed = m_data.size();
        m_finishing = true;
    }
    m_more.notify_all();
}

void PacedSource::Write()
{
    const int fd = ::open(QFile::encodeName(CapturePipe()).constData(), O_WRONLY);
    for (qint64 sent = 0; fd >= 0;) {
        qint64 until = 0;
        bool last = false;
        {
            std::unique_lock lock(m_mutex);
            m_more.wait(lock, [&] { return m_closing || m_finishing || m_allowed > sent; });
            if (m_closing) break;
            until = m_allowed;
            last = m_finishing;
        }
        // A reader may get part of a write into a pipe that still holds data.
        while (sent < until && !m_closing) {
            int queued = 0;
            if (::ioctl(fd, FIONREAD, &queued) == 0 && queued > 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            const ssize_t n = ::write(fd, m_data.constData() + sent, size_t(std::min(m_chunk, until - sent)));
            if (n <= 0) break;
            sent += n;
        }
        if (sent < until || last) break;
    }
    if (fd >= 0) ::close(fd);
}

// ---------------------------------------------------------------------------

QByteArray WritePatternWav(const QString& path, int sampleRate, double seconds, double patternSeconds)
{
    const qint64 frames = qint64(seconds * sampleRate);
    const qint64 patternFrames = std::min(frames, qint64(patternSeconds * sampleRate));
    QByteArray pattern;
    pattern.reserve(patternFrames * 4);
    for (qint64 i = 0; i < patternFrames; ++i) {
        PutLE(pattern, quint32(i & 0xFFFF), 2);
        PutLE(pattern, quint32((i >> 16) & 0xFFFF), 2);
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    const QByteArray header = WavHeader(sampleRate, 2, frames * 4);
    f.write(header);
    f.write(pattern);
    f.resize(header.size() + frames * 4); // the silent rest costs no disk
    return pattern;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray WavData(const QString& path)
{
    const QByteArray d = ReadAll(path);
    for (qsizetype pos = 12; pos + 8 <= d.size();) {
        const quint32 size = qFromLittleEndian<quint32>(d.constData() + pos + 4);
        if (d.mid(pos, 4) == "data") return d.mid(pos + 8, size);
        pos += 8 + size + (size & 1);
    }
    return {};
}

// ---------------------------------------------------------------------------

PlayerEvents::PlayerEvents(cPlayer& player)
{
    QObject::connect(&player, &cPlayer::PlayFinished, &m_context, [this] { ++finished; });
    QObject::connect(&player, &cPlayer::PlayerEvent, &m_context,
                     [this](std::int32_t code, std::int32_t a, std::int32_t b) { events.push_back({code, a, b}); });
}

bool PlayerEvents::Has(std::int32_t code) const { return !Last(code).empty(); }

std::vector<std::int32_t> PlayerEvents::Last(std::int32_t code) const
{
    for (auto it = events.rbegin(); it != events.rend(); ++it)
        if ((*it)[0] == code) return *it;
    return {};
}

bool PlayerEvents::WaitFinished(int expected)
{
    const bool ok = QTest::qWaitFor([&] { return finished >= expected; }, kSafetyMs);
    DeliverPostedEvents();
    return ok;
}

bool PlayerEvents::WaitFor(std::int32_t code)
{
    return QTest::qWaitFor([&] { return Has(code); }, kSafetyMs);
}

void DeliverPostedEvents()
{
    for (int i = 0; i < 3; ++i) QCoreApplication::sendPostedEvents();
}

} // namespace playertest
