// MP3 through LAME: every field of the MP3 record reaches the encoder; tags
// are written as ID3v2.3 in front and an ID3v1 block at the end. Files start
// with LAME's information frame (Xing or Info): it holds the encoder's delay
// and padding, so decoders give back exactly the samples encoded and tracks
// join without a gap. LAME writes that frame at a bitrate of its own in VBR
// and ABR, but at the stream's bitrate in CBR, so that every frame keeps one
// size; where a CBR frame is too small to hold it, the file is plain CBR.
#include "controls/audio/AudioConverterCodecs.h"
#include "controls/audio/AudioConverterEngine.h"

#include <QByteArray>
#include <QHash>

#include <algorithm>
#include <cstdio>
#include <lame/lame.h>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

namespace audioconv {
namespace {

constexpr int kMpegRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

bool IsMpegRate(int rate)
{
    return std::find(std::begin(kMpegRates), std::end(kMpegRates), rate) != std::end(kMpegRates);
}

// ---------------------------------------------------------------------------
// ID3 tags

bool IsLatin1(const QString& s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

// Text in ID3v2.3's encodings: ISO-8859-1 when it fits, else UTF-16 with BOM.
QByteArray EncodedText(const QString& text, bool utf16, bool terminated)
{
    QByteArray b;
    if (!utf16) {
        b = text.toLatin1();
        if (terminated) b.append('\0');
        return b;
    }
    b.append("\xFF\xFE", 2);
    for (QChar c : text) {
        b.append(char(c.unicode() & 0xFF));
        b.append(char(c.unicode() >> 8));
    }
    if (terminated) b.append("\0\0", 2);
    return b;
}

void AppendBigEndian(QByteArray& b, quint32 v, bool syncSafe)
{
    const int shift = syncSafe ? 7 : 8;
    const quint32 mask = syncSafe ? 0x7F : 0xFF;
    for (int i = 3; i >= 0; --i) b.append(char((v >> (shift * i)) & mask));
}

void AppendFrame(QByteArray& tag, const char* id, const QByteArray& body)
{
    tag.append(id, 4);
    AppendBigEndian(tag, quint32(body.size()), false);
    tag.append("\0\0", 2);
    tag.append(body);
}

void AppendTextFrame(QByteArray& tag, const char* id, const QString& text)
{
    if (text.isEmpty()) return;
    const bool utf16 = !IsLatin1(text);
    AppendFrame(tag, id, char(utf16 ? 1 : 0) + EncodedText(text, utf16, false));
}

void AppendCommentFrame(QByteArray& tag, const QString& text)
{
    if (text.isEmpty()) return;
    const bool utf16 = !IsLatin1(text);
    QByteArray body(1, char(utf16 ? 1 : 0));
    body.append("eng", 3);
    body.append(EncodedText(QString(), utf16, true)); // no short description
    body.append(EncodedText(text, utf16, false));
    AppendFrame(tag, "COMM", body);
}

QByteArray Id3v2Tag(const Tags& tags)
{
    QByteArray frames;
    AppendTextFrame(frames, "TIT2", tags.title);
    AppendTextFrame(frames, "TPE1", tags.artist);
    AppendTextFrame(frames, "TALB", tags.album);
    AppendTextFrame(frames, "TYER", tags.year);
    AppendTextFrame(frames, "TRCK", tags.track);
    AppendTextFrame(frames, "TCON", tags.genre);
    AppendCommentFrame(frames, tags.comment);
    QByteArray tag("ID3\x03\x00\x00", 6);
    AppendBigEndian(tag, quint32(frames.size()), true);
    return tag + frames;
}

void GenreFound(int number, const char* name, void* cookie)
{
    static_cast<QHash<QString, int>*>(cookie)->insert(QString::fromLatin1(name).toLower(), number);
}

// The ID3v1 genre number of a name ("Rock"), a number ("17") or "(17)"; 255 unknown.
int Id3v1Genre(const QString& genre)
{
    static const QHash<QString, int> numbers = [] {
        QHash<QString, int> h;
        id3tag_genre_list(GenreFound, &h);
        return h;
    }();
    QString g = genre.trimmed();
    if (g.startsWith('(') && g.endsWith(')')) g = g.mid(1, g.size() - 2);
    bool isNumber = false;
    const int n = g.toInt(&isNumber);
    if (isNumber) return n >= 0 && n <= 255 ? n : 255;
    return numbers.value(g.toLower(), 255);
}

QByteArray Id3v1Field(const QString& text, int size)
{
    QByteArray b = text.toLatin1().left(size); // characters outside Latin-1 become '?'
    b.append(QByteArray(size - b.size(), '\0'));
    return b;
}

QByteArray Id3v1Tag(const Tags& tags)
{
    bool isNumber = false;
    const int track = tags.track.section('/', 0, 0).trimmed().toInt(&isNumber);
    const bool hasTrack = isNumber && track >= 1 && track <= 255;
    QByteArray tag("TAG");
    tag += Id3v1Field(tags.title, 30);
    tag += Id3v1Field(tags.artist, 30);
    tag += Id3v1Field(tags.album, 30);
    tag += Id3v1Field(tags.year, 4);
    if (hasTrack) {
        tag += Id3v1Field(tags.comment, 28);
        tag.append('\0');
        tag.append(char(track));
    } else {
        tag += Id3v1Field(tags.comment, 30);
    }
    tag.append(char(Id3v1Genre(tags.genre)));
    return tag;
}

// ---------------------------------------------------------------------------
// The LAME sink

void Quiet(const char*, va_list) {}

class LameSink : public AudioSink {
public:
    LameSink() : m_lame(lame_init()) {}
    ~LameSink() override
    {
        if (m_lame) lame_close(m_lame);
        av_channel_layout_uninit(&m_input.layout);
    }

    Status Prepare(const MP3FormatSettings& settings, const SourceFacts& source);
    const SinkInput& Input() const override { return m_input; }
    Status Open(OutputFile& file, const Tags& tags) override;
    Status Write(AVFrame* frame) override;
    Status Finish() override;

private:
    Status Configure(const MP3FormatSettings& s, int rate, int channels);
    void SetCbr(int kbps);
    Status WriteEncoded(int bytes);
    Status WriteInfoFrame();

    lame_t m_lame;
    SinkInput m_input;
    OutputFile* m_file = nullptr;
    Tags m_tags;
    std::int64_t m_audioStart = 0;
    std::vector<unsigned char> m_buf;
};

Status Refuse(const QString& text) { return Fail(kConvertErrSettingsRefused, text); }

// LAME's ABR fails an assertion, taking the program with it, when a frame
// needs more bits than its largest bitrate and the reservoir hold. Whether it
// does depends on the sound; it was seen with largest bitrates of up to 40
// kbit/s at 32 to 48 kHz and of 8 kbit/s at 8 to 16 kHz, never from 64 and 16
// kbit/s on. Below those the average bitrate is written as CBR instead.
int LowestSafeAbrMaximum(int rate) { return rate >= 32000 ? 64 : 16; }

bool ValidBitrateIndex(int i) { return i >= 0 && i < int(std::size(kMP3BitrateList)); }

// LAME takes the nearest bitrate that the MPEG version has and the sample
// rate allows: 32 kbit/s for less at 32 to 48 kHz, at most 160 at 16 to 24
// kHz and 64 at 8 to 12 kHz.
void LameSink::SetCbr(int kbps)
{
    lame_set_VBR(m_lame, vbr_off);
    lame_set_brate(m_lame, kbps);
}

Status LameSink::Configure(const MP3FormatSettings& s, int rate, int channels)
{
    if (s.Mode < 0 || s.Mode > 5) return Refuse(QString("MP3 channel mode %1 is unknown.").arg(s.Mode));
    if (s.Quality < 0 || s.Quality > 9) return Refuse(QString("MP3 quality %1 is not between 0 and 9.").arg(s.Quality));
    if (s.VBRMethod < 0 || s.VBRMethod > 4) return Refuse(QString("MP3 VBR method %1 is unknown.").arg(s.VBRMethod));

    lame_set_errorf(m_lame, Quiet);
    lame_set_debugf(m_lame, Quiet);
    lame_set_msgf(m_lame, Quiet);
    lame_set_in_samplerate(m_lame, rate);
    lame_set_out_samplerate(m_lame, rate);
    lame_set_num_channels(m_lame, channels);
    lame_set_quality(m_lame, s.Quality);
    if (s.Mode == 5) {
        lame_set_mode(m_lame, JOINT_STEREO);
        lame_set_force_ms(m_lame, 1);
    } else if (s.Mode != 4) {
        lame_set_mode(m_lame, MPEG_mode(s.Mode));
    }
    lame_set_copyright(m_lame, s.Copyright != 0);
    lame_set_original(m_lame, s.Original != 0);
    lame_set_error_protection(m_lame, s.ErrorProtection != 0);
    lame_set_strict_ISO(m_lame, s.StrictISO != 0);
    lame_set_bWriteVbrTag(m_lame, 1); // whatever WriteVBRTag says: without it no decoder can trim the padding
    lame_set_write_id3tag_automatic(m_lame, 0);

    if (s.VBRMethod == 0) {
        const int kbps = s.Bitrate == 0 ? 128 : s.Bitrate;
        if (kbps < 8 || kbps > 320) return Refuse(QString("MP3 bitrate %1 kbit/s is not supported.").arg(kbps));
        SetCbr(kbps);
        return {};
    }
    if (!ValidBitrateIndex(s.VBRMinBitrateIndex) || !ValidBitrateIndex(s.VBRMaxBitrateIndex))
        return Refuse(QString("MP3 VBR bitrate positions %1 and %2 are outside the bitrate list.")
                          .arg(s.VBRMinBitrateIndex)
                          .arg(s.VBRMaxBitrateIndex));
    const int minKbps = kMP3BitrateList[s.VBRMinBitrateIndex];
    const int maxKbps = kMP3BitrateList[s.VBRMaxBitrateIndex];
    if (minKbps > maxKbps)
        return Refuse(QString("The minimum MP3 VBR bitrate (%1 kbit/s) is above the maximum (%2 kbit/s).")
                          .arg(minKbps)
                          .arg(maxKbps));
    if (s.VBRMethod == vbr_abr) {
        if (s.ABRBitrate < 8 || s.ABRBitrate > 320)
            return Refuse(QString("MP3 ABR bitrate %1 kbit/s is not supported.").arg(s.ABRBitrate));
        if (maxKbps < LowestSafeAbrMaximum(rate)) {
            SetCbr(std::clamp(s.ABRBitrate, minKbps, maxKbps));
            return {};
        }
    }
    lame_set_VBR(m_lame, vbr_mode(s.VBRMethod));
    lame_set_VBR_min_bitrate_kbps(m_lame, minKbps);
    lame_set_VBR_max_bitrate_kbps(m_lame, maxKbps);
    lame_set_VBR_hard_min(m_lame, s.VBRForceMinBitrate != 0);
    if (s.VBRMethod == vbr_abr) {
        lame_set_VBR_mean_bitrate_kbps(m_lame, s.ABRBitrate);
    } else {
        if (s.VBRQuality < 0 || s.VBRQuality > 9)
            return Refuse(QString("MP3 VBR quality %1 is not between 0 and 9.").arg(s.VBRQuality));
        lame_set_VBR_q(m_lame, s.VBRQuality);
    }
    return {};
}

Status LameSink::Prepare(const MP3FormatSettings& s, const SourceFacts& source)
{
    if (!m_lame) return Fail(kConvertErrFormatUnavailable, "The MP3 encoder cannot be started.");
    int rate = s.SampleRate;
    if (rate == 0) rate = IsMpegRate(source.sampleRate) ? source.sampleRate : 44100;
    if (!IsMpegRate(rate)) return Refuse(QString("MP3 sample rate %1 Hz is not supported.").arg(rate));
    const int channels = s.Mode == 3 ? 1 : std::min(source.channels, 2);
    Status st = Configure(s, rate, channels);
    if (!st.ok()) return st;
    if (lame_init_params(m_lame) < 0)
        return Refuse(
            QString("The MP3 encoder refused the settings (%1 Hz, %2).").arg(rate).arg(ChannelsText(channels)));
    m_input.sampleRate = rate;
    av_channel_layout_default(&m_input.layout, channels);
    m_input.format = AV_SAMPLE_FMT_FLTP;
    m_input.frameSize = 0;
    m_input.shortLastFrame = true;
    return {};
}

Status LameSink::Open(OutputFile& file, const Tags& tags)
{
    m_file = &file;
    m_tags = tags;
    if (!tags.IsEmpty()) {
        const QByteArray id3 = Id3v2Tag(tags);
        if (!file.Write(id3.constData(), size_t(id3.size()))) return file.WriteError();
        m_audioStart = id3.size();
    }
    return {};
}

Status LameSink::WriteEncoded(int bytes)
{
    if (bytes < 0) return Refuse(QString("The MP3 encoder failed (%1).").arg(bytes));
    if (bytes > 0 && !m_file->Write(m_buf.data(), size_t(bytes))) return m_file->WriteError();
    return {};
}

Status LameSink::Write(AVFrame* frame)
{
    const int n = frame->nb_samples;
    m_buf.resize(size_t(n) * 5 / 4 + 7200);
    const auto* left = reinterpret_cast<const float*>(frame->extended_data[0]);
    const auto* right =
        frame->ch_layout.nb_channels > 1 ? reinterpret_cast<const float*>(frame->extended_data[1]) : left;
    return WriteEncoded(lame_encode_buffer_ieee_float(m_lame, left, right, n, m_buf.data(), int(m_buf.size())));
}

Status LameSink::Finish()
{
    m_buf.resize(std::max<size_t>(m_buf.size(), 7200));
    Status s = WriteEncoded(lame_encode_flush(m_lame, m_buf.data(), int(m_buf.size())));
    if (!s.ok()) return s;
    if (!m_tags.IsEmpty()) {
        const QByteArray v1 = Id3v1Tag(m_tags);
        if (!m_file->Write(v1.constData(), size_t(v1.size()))) return m_file->WriteError();
    }
    return WriteInfoFrame();
}

Status LameSink::WriteInfoFrame()
{
    // LAME kept the first frame free for it; fill it in now that the counts are known.
    unsigned char frame[2880];
    const size_t size = lame_get_lametag_frame(m_lame, frame, sizeof frame);
    if (size == 0) return Status{}; // LAME kept no frame free: a CBR frame is too small to hold it
    if (size > sizeof frame) return Fail(kConvertErrSettingsRefused, "The MP3 information frame is too large.");
    if (m_file->Seek(m_audioStart, SEEK_SET) < 0 || !m_file->Write(frame, size)) return m_file->WriteError();
    m_file->Seek(0, SEEK_END);
    return m_file->Failed() ? m_file->WriteError() : Status{};
}

} // namespace

Status MakeMp3Sink(const MP3FormatSettings& settings, const SourceFacts& source, std::unique_ptr<AudioSink>* sink)
{
    auto s = std::make_unique<LameSink>();
    Status st = s->Prepare(settings, source);
    if (st.ok()) *sink = std::move(s);
    return st;
}

} // namespace audioconv
