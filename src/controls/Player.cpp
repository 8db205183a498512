#include "controls/Player.h"

#include <QFile>
#include <QFileInfo>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include <algorithm>
#include <cmath>

namespace {

// An opened container, closed when it goes.
struct Container {
    AVFormatContext* ctx = nullptr;
    ~Container() { avformat_close_input(&ctx); }
};

} // namespace

cPlayer::cPlayer(QObject* parent) : QObject(parent) {}

void cPlayer::forget()
{
    m_length = 0;
    m_sampleRate = 0;
    m_bitrate = 0;
    m_channels = 0;
}

std::int32_t cPlayer::OpenFile(const QString& path)
{
    forget();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) return kPlayerErrFileMissing;

    Container in;
    const QByteArray name = QFile::encodeName(path);
    if (avformat_open_input(&in.ctx, name.constData(), nullptr, nullptr) < 0) return kPlayerErrNotAudio;
    if (avformat_find_stream_info(in.ctx, nullptr) < 0) return kPlayerErrNotAudio;
    const int index = av_find_best_stream(in.ctx, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0) return kPlayerErrNotAudio;

    const AVStream* stream = in.ctx->streams[index];
    const AVCodecParameters* par = stream->codecpar;
    if (in.ctx->duration > 0) m_length = double(in.ctx->duration) / AV_TIME_BASE;
    else if (stream->duration > 0) m_length = double(stream->duration) * av_q2d(stream->time_base);
    m_sampleRate = par->sample_rate;
    m_channels = par->ch_layout.nb_channels;
    const std::int64_t bitsPerSecond = par->bit_rate > 0 ? par->bit_rate : in.ctx->bit_rate;
    m_bitrate = std::int32_t(std::llround(double(std::max<std::int64_t>(bitsPerSecond, 0)) / 1000.0));
    return 0;
}

QString cPlayer::FormatTime(std::int32_t seconds) const
{
    const std::int64_t s = std::max<std::int64_t>(seconds, 0);
    return QString("%1:%2:%3")
        .arg(s / 3600)
        .arg((s / 60) % 60, 2, 10, QChar('0'))
        .arg(s % 60, 2, 10, QChar('0'));
}

void cPlayer::Terminate() { forget(); }
