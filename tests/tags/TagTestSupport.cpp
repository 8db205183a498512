#include "TagTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <cmath>
#include <csignal>
#include <lame/lame.h>
#include <sys/resource.h>
#include <vector>

namespace tagtest {

QByteArray Mp3Audio()
{
    static const QByteArray audio = [] {
        lame_global_flags* lame = lame_init();
        lame_set_num_channels(lame, 2);
        lame_set_in_samplerate(lame, 44100);
        lame_set_brate(lame, 128);
        lame_set_bWriteVbrTag(lame, 0);
        lame_init_params(lame);
        const int samples = 44100 / 2;
        std::vector<short> pcm(size_t(samples) * 2);
        for (int i = 0; i < samples; ++i)
            pcm[size_t(i) * 2] = pcm[size_t(i) * 2 + 1] = short(8000 * std::sin(2 * M_PI * 440 * i / 44100.0));
        std::vector<unsigned char> out(size_t(samples) * 2 + 16384);
        int n = lame_encode_buffer_interleaved(lame, pcm.data(), samples, out.data(), int(out.size()));
        n += lame_encode_flush(lame, out.data() + n, int(out.size()) - n);
        lame_close(lame);
        return QByteArray(reinterpret_cast<const char*>(out.data()), n);
    }();
    return audio;
}

QByteArray Sha256(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(); }

QByteArray SyncSafe(std::uint32_t v)
{
    return QByteArray{} + char((v >> 21) & 0x7F) + char((v >> 14) & 0x7F) + char((v >> 7) & 0x7F) + char(v & 0x7F);
}

QByteArray Plain32(std::uint32_t v) { return QByteArray{} + char(v >> 24) + char(v >> 16) + char(v >> 8) + char(v); }

QByteArray V22Frame(const char* id, const QByteArray& data)
{
    const auto n = std::uint32_t(data.size());
    return QByteArray(id, 3) + char(n >> 16) + char(n >> 8) + char(n) + data;
}

QByteArray V23Frame(const char* id, const QByteArray& data, std::uint16_t flags)
{
    return QByteArray(id, 4) + Plain32(std::uint32_t(data.size())) + char(flags >> 8) + char(flags) + data;
}

QByteArray V24Frame(const char* id, const QByteArray& data, std::uint16_t flags)
{
    return QByteArray(id, 4) + SyncSafe(std::uint32_t(data.size())) + char(flags >> 8) + char(flags) + data;
}

QByteArray Latin1Text(const QByteArray& text) { return '\0' + text; }

QByteArray Tag(std::uint8_t version, const QByteArray& frames, std::int64_t total, std::uint8_t flags)
{
    QByteArray body = frames;
    if (total > 10 + body.size()) body.append(QByteArray(qsizetype(total - 10 - body.size()), '\0'));
    return QByteArray("ID3") + char(version) + '\0' + char(flags) + SyncSafe(std::uint32_t(body.size())) + body;
}

QByteArray PlainSizeTag(std::uint8_t version, const QByteArray& frames, std::int64_t total)
{
    QByteArray body = frames + QByteArray(qsizetype(total - 10 - frames.size()), '\0');
    return QByteArray("ID3") + char(version) + '\0' + '\0' + Plain32(std::uint32_t(total)) + body;
}

WriteLimit::WriteLimit(std::int64_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_soft = limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

WriteLimit::~WriteLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_soft);
    setrlimit(RLIMIT_FSIZE, &limit);
}

QString TagTest::Write(const QString& name, const QByteArray& bytes) const
{
    QFile f(Path(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    return Path(name);
}

QByteArray TagTest::Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList TagTest::Leftovers() const
{
    return QDir(dir.path()).entryList({".tarvello-*"}, QDir::Files | QDir::Hidden);
}

} // namespace tagtest
