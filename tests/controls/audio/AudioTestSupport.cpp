#include "controls/audio/AudioTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest/QTest>
#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace audiotest {

namespace {

void PutLE(QByteArray& b, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

double Amplitude(const Signal& s, double t)
{
    const size_t second = size_t(t);
    return s.amplitudeBySecond.empty() ? 0.0 : s.amplitudeBySecond[std::min(second, s.amplitudeBySecond.size() - 1)];
}

void CollectTags(AVDictionary* dict, QMap<QString, QString>* tags)
{
    const AVDictionaryEntry* e = nullptr;
    while ((e = av_dict_get(dict, "", e, AV_DICT_IGNORE_SUFFIX)))
        tags->insert(QString::fromUtf8(e->key).toLower(), QString::fromUtf8(e->value));
}

} // namespace

void WriteWav(const QString& path, int sampleRate, int channels, int bits, double seconds, const Signal& signal)
{
    const int bytes = bits / 8;
    const qint64 frames = qint64(std::llround(seconds * sampleRate));
    QByteArray data;
    data.reserve(int(frames * channels * bytes));
    QRandomGenerator noise(1234);
    for (qint64 i = 0; i < frames; ++i) {
        const double t = double(i) / sampleRate;
        for (int c = 0; c < channels; ++c) {
            const double wave = signal.frequency > 0 ? std::sin(2 * M_PI * signal.frequency * (c + 1) * t)
                                                     : noise.generateDouble() * 2 - 1;
            const double v = Amplitude(signal, t) * wave;
            const qint64 maxValue = (qint64(1) << (bits - 1)) - 1;
            qint64 s = qint64(std::llround(v * maxValue));
            if (bits == 8) s += 128; // 8-bit WAV is unsigned
            PutLE(data, quint32(s), bytes);
        }
    }
    QByteArray wav("RIFF");
    PutLE(wav, quint32(36 + data.size()), 4);
    wav += "WAVEfmt ";
    PutLE(wav, 16, 4);
    PutLE(wav, 1, 2);
    PutLE(wav, quint32(channels), 2);
    PutLE(wav, quint32(sampleRate), 4);
    PutLE(wav, quint32(sampleRate * channels * bytes), 4);
    PutLE(wav, quint32(channels * bytes), 2);
    PutLE(wav, quint32(bits), 2);
    wav += "data";
    PutLE(wav, quint32(data.size()), 4);
    wav += data;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(wav), wav.size());
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteWavDeclaring(const QString& path, double seconds, quint32 declaredBytes)
{
    WriteWav(path, 44100, 2, 16, seconds);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray riffSize, dataSize;
    PutLE(riffSize, declaredBytes == 0xFFFFFFFFu ? declaredBytes : 36 + declaredBytes, 4);
    PutLE(dataSize, declaredBytes, 4);
    f.seek(4);
    f.write(riffSize);
    f.seek(40);
    f.write(dataSize);
}

Decoded Decode(const QString& path, bool keepSamples)
{
    Decoded d;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, ("file:" + QFile::encodeName(path)).constData(), nullptr, nullptr) < 0) return d;
    AVCodecContext* dec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    double sumSquares = 0;
    const int index = avformat_find_stream_info(fmt, nullptr) >= 0
                          ? av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0)
                          : -1;
    if (index >= 0) {
        AVStream* st = fmt->streams[index];
        const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
        dec = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(dec, st->codecpar);
        dec->pkt_timebase = st->time_base;
        if (avcodec_open2(dec, codec, nullptr) >= 0) {
            d.ok = true;
            d.container = fmt->iformat->name;
            d.codec = avcodec_get_name(st->codecpar->codec_id);
            d.sampleRate = st->codecpar->sample_rate;
            d.channels = st->codecpar->ch_layout.nb_channels;
            CollectTags(fmt->metadata, &d.tags);
            CollectTags(st->metadata, &d.tags);
            bool draining = false;
            std::vector<double> buf;
            for (;;) {
                int r = avcodec_receive_frame(dec, frame);
                if (r == 0) {
                    if (!swr) {
                        swr_alloc_set_opts2(&swr, &frame->ch_layout, AV_SAMPLE_FMT_DBL, frame->sample_rate,
                                            &frame->ch_layout, AVSampleFormat(frame->format), frame->sample_rate, 0,
                                            nullptr);
                        swr_init(swr);
                    }
                    buf.resize(size_t(frame->nb_samples) * size_t(d.channels) + 64);
                    auto* out = reinterpret_cast<uint8_t*>(buf.data());
                    const int got = swr_convert(swr, &out, frame->nb_samples,
                                                const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
                    for (int i = 0; i < got * d.channels; ++i) sumSquares += buf[size_t(i)] * buf[size_t(i)];
                    if (keepSamples) d.pcm.insert(d.pcm.end(), buf.begin(), buf.begin() + got * d.channels);
                    d.samples += frame->nb_samples;
                    d.maxFrame = std::max(d.maxFrame, frame->nb_samples);
                    continue;
                }
                if (r != AVERROR(EAGAIN) || draining) break;
                if (av_read_frame(fmt, pkt) < 0) {
                    avcodec_send_packet(dec, nullptr);
                    draining = true;
                    continue;
                }
                if (pkt->stream_index == index) avcodec_send_packet(dec, pkt);
                av_packet_unref(pkt);
            }
            if (d.samples > 0) d.rms = std::sqrt(sumSquares / double(d.samples * d.channels));
        }
    }
    swr_free(&swr);
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    avformat_close_input(&fmt);
    return d;
}

ConvertEvents RunConvert(cAudioConverter& c, const std::function<void(std::int32_t)>& onProgress)
{
    return RunJob(c, &cAudioConverter::Convert, &cAudioConverter::Progress, &cAudioConverter::ConvertDone,
                  &cAudioConverter::ConvertAborted, &cAudioConverter::ConvertError, onProgress);
}

bool WriteMp3(const QString& path, double seconds, const Signal& signal)
{
    WriteWav(path + ".wav", 44100, 2, 16, seconds, signal);
    cAudioConverter conv;
    conv.SetSourceFile(path + ".wav");
    conv.SetDestinationFile(path);
    conv.SetDestinationFormat(kDestFormatMP3);
    MP3FormatSettings mp3;
    mp3.Bitrate = 128;
    mp3.Quality = 5;
    mp3.WriteVBRTag = -1;
    conv.SetMP3Format(mp3);
    return RunConvert(conv).endings == QStringList{"Done"};
}

JoinEvents RunJoin(cAudioJoin& j, const std::function<void(std::int32_t, std::int32_t)>& onProgress)
{
    JoinEvents ev;
    QObject context;
    QObject::connect(&j, &cAudioJoin::Progress, &context, [&](std::int32_t file, std::int32_t percent) {
        ev.progress.push_back({file, percent});
        if (onProgress) onProgress(file, percent);
    });
    QObject::connect(&j, &cAudioJoin::Done, &context, [&] { ev.endings << "Done"; });
    QObject::connect(&j, &cAudioJoin::Aborted, &context, [&] { ev.endings << "Aborted"; });
    QObject::connect(&j, &cAudioJoin::Error, &context, [&](std::int32_t code, const QString& text) {
        ev.errorCode = code;
        ev.errorText = text;
        ev.endings << "Error";
    });
    ev.started = j.Join();
    ev.eventBeforeReturn = !ev.progress.empty() || !ev.endings.isEmpty();
    if (!QTest::qWaitFor([&] { return !ev.endings.isEmpty(); }, 120000)) ev.endings << "Timeout";
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
    return ev;
}

bool HaveTool(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty() || QFile::exists(program);
}

ToolRun RunTool(const QString& program, const QStringList& args)
{
    ToolRun run;
    if (!HaveTool(program)) return run;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000)) return run;
    run.ok = true;
    run.exitCode = p.exitCode();
    run.out = QString::fromUtf8(p.readAll());
    return run;
}

bool EncodeWith(const QString& tool, const QStringList& options, const QString& in, const QString& out)
{
    QStringList args;
    if (tool == "ffmpeg") args = QStringList{"-v", "error", "-y", "-i", in} + options + QStringList{out};
    if (tool == "lame") args = QStringList{"--quiet"} + options + QStringList{in, out};
    if (tool == "oggenc") args = QStringList{"-Q"} + options + QStringList{"-o", out, in};
    const ToolRun run = RunTool(tool, args);
    return !args.isEmpty() && run.ok && run.exitCode == 0 && QFile::exists(out);
}

std::int64_t FfmpegDecodedSamples(const QString& path)
{
    if (!HaveTool("ffmpeg")) return -1;
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    // One 16-bit channel: every two bytes on the pipe are one sample frame.
    p.start("ffmpeg", {"-nostdin", "-v", "error", "-i", path, "-map", "0:a:0", "-ac", "1", "-c:a", "pcm_s16le",
                       "-f", "s16le", "pipe:1"});
    std::int64_t bytes = 0;
    while (p.waitForReadyRead(60000)) bytes += p.readAllStandardOutput().size();
    p.waitForFinished(60000);
    bytes += p.readAllStandardOutput().size();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? bytes / 2 : -1;
}

QString ProbeStream(const QString& path, const QString& entry)
{
    const ToolRun r = RunTool("ffprobe", {"-v", "error", "-select_streams", "a:0", "-show_entries", "stream=" + entry,
                                          "-of", "default=noprint_wrappers=1:nokey=1", path});
    return r.ok && r.exitCode == 0 ? r.out.trimmed() : QString();
}

double ProbeDuration(const QString& path)
{
    const ToolRun r = RunTool("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of",
                                          "default=noprint_wrappers=1:nokey=1", path});
    bool ok = false;
    const double seconds = r.out.trimmed().toDouble(&ok);
    return r.ok && r.exitCode == 0 && ok ? seconds : -1;
}

Probe ProbeFile(const QString& path)
{
    const ToolRun r = RunTool("ffprobe", {"-v", "error", "-select_streams", "a:0", "-show_entries",
                                          "stream=codec_name,sample_rate,channels:format=duration", "-of",
                                          "default=noprint_wrappers=1", path});
    Probe p;
    if (!r.ok || r.exitCode != 0) return p;
    for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts)) {
        const QString key = line.section('=', 0, 0), value = line.section('=', 1).trimmed();
        if (key == "codec_name") p.codec = value;
        if (key == "sample_rate") p.sampleRate = value.toInt();
        if (key == "channels") p.channels = value.toInt();
        if (key == "duration") p.duration = value.toDouble();
    }
    p.ok = !p.codec.isEmpty();
    return p;
}

QString MutagenPython()
{
    for (const QString& python : {QString("/usr/bin/python3"), QString("python3")}) {
        const ToolRun r = RunTool(python, {"-c", "import mutagen"});
        if (r.ok && r.exitCode == 0) return python;
    }
    return {};
}

QStringList LeftoverTempFiles(const QString& folder)
{
    return QDir(folder).entryList({".tarvello-*"}, QDir::Files | QDir::Hidden);
}

namespace {
bool CanCreateFileIn(const QString& folder)
{
    QFile probe(folder + "/probe");
    const bool ok = probe.open(QIODevice::WriteOnly);
    if (ok) probe.remove();
    return ok;
}
} // namespace

LockedFolder::LockedFolder(const QString& path) : m_path(path)
{
    QDir().mkpath(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (CanCreateFileIn(path) && RunTool("chattr", {"+i", path}).exitCode == 0) m_immutable = true;
}

LockedFolder::~LockedFolder()
{
    if (m_immutable) RunTool("chattr", {"-i", m_path});
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

bool LockedFolder::Locked() const { return !CanCreateFileIn(m_path); }

} // namespace audiotest
