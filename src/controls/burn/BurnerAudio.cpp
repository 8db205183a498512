// The audio CD burn: every file read as CD audio (decoded by FFmpeg, or WAV
// samples taken as they are), measured, then written disc-at-once by libburn
// or into a BIN/CUE image.
#include "controls/burn/BurnerLibburn.h"

#include <QFileInfo>

#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace burnengine {

using namespace burn;

namespace {

constexpr int kCDRate = 44100;
constexpr int kCDBytesPerSample = 4; // 16-bit stereo
constexpr std::int64_t kChunkBytes = kAudioSectorBytes * 64;
constexpr std::int64_t kPregapSectors = 150;
// How much of a track is decoded ahead of the writer: several minutes of CD audio.
constexpr std::int64_t kAheadBytes = 96LL * 1024 * 1024;

// A file read as CD audio: 44.1 kHz 16-bit stereo, interleaved little-endian.
class CdAudioReader {
public:
    CdAudioReader() : m_converted(Stereo(), AV_SAMPLE_FMT_S16) {}
    CdAudioReader(const CdAudioReader&) = delete;
    CdAudioReader& operator=(const CdAudioReader&) = delete;
    ~CdAudioReader() { av_frame_free(&m_frame); }

    Status Open(const QString& path, bool decode)
    {
        m_path = path;
        m_decode = decode;
        audiodec::Problem p = m_source.Open(path);
        if (p.ok()) p = m_source.OpenDecoder();
        if (!p.ok()) return Fail(kBurnErrSource, p.text);
        if (!decode && !IsCDWav()) {
            return Fail(kBurnErrSource,
                        "The file is not a WAV file of 44.1 kHz 16-bit stereo samples: " + path);
        }
        m_frame = av_frame_alloc();
        if (!m_frame) return Fail(kBurnErrSource, "Out of memory reading " + path);
        if (decode) m_resampler = std::make_unique<audiodec::Resampler>(kCDRate, Stereo(), AV_SAMPLE_FMT_S16);
        return {};
    }

    // Up to `size` bytes of samples; fewer only at the end (0 there).
    Status Read(std::uint8_t* out, std::int64_t size, std::int64_t* got)
    {
        *got = 0;
        while (*got < size) {
            if (m_pendingAt == std::int64_t(m_pending.size())) {
                if (m_ended) break;
                const Status s = Refill();
                if (!s.ok()) return s;
                continue;
            }
            const std::int64_t n = std::min(size - *got, std::int64_t(m_pending.size()) - m_pendingAt);
            std::memcpy(out + *got, m_pending.data() + m_pendingAt, size_t(n));
            *got += n;
            m_pendingAt += n;
        }
        return {};
    }

private:
    static const AVChannelLayout& Stereo()
    {
        static const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        return stereo;
    }

    bool IsCDWav() const
    {
        const AVCodecParameters* par = m_source.Parameters();
        return par->codec_id == AV_CODEC_ID_PCM_S16LE && par->sample_rate == kCDRate &&
               par->ch_layout.nb_channels == 2 && m_source.ContainerName() == "wav";
    }

    // The next decoded frame's samples into the pending buffer; m_ended at the end.
    Status Refill()
    {
        m_pending.clear();
        m_pendingAt = 0;
        const int r = m_source.Receive(m_frame);
        if (r == AVERROR_EOF) {
            m_ended = true;
            if (const auto breakOff = m_source.BreakOff()) return Fail(kBurnErrSource, *breakOff);
            return m_decode ? Take(m_resampler->Flush(m_converted)) : Status{};
        }
        if (r < 0) return Fail(kBurnErrSource, "The file cannot be decoded (" + audiodec::AvErrorText(r) + "): " + m_path);
        if (!m_decode) {
            const auto* data = m_frame->data[0];
            m_pending.assign(data, data + std::int64_t(m_frame->nb_samples) * kCDBytesPerSample);
            av_frame_unref(m_frame);
            return {};
        }
        const audiodec::Problem p = m_resampler->Convert(m_frame, 0, m_frame->nb_samples, m_converted);
        av_frame_unref(m_frame);
        return Take(p);
    }

    Status Take(const audiodec::Problem& p)
    {
        if (!p.ok()) return Fail(kBurnErrSource, p.text + " " + m_path);
        const std::uint8_t* data = m_converted.Data() ? m_converted.Data()[0] : nullptr;
        if (data) m_pending.assign(data, data + std::int64_t(m_converted.Count()) * kCDBytesPerSample);
        m_converted.Clear();
        return {};
    }

    QString m_path;
    bool m_decode = false;
    audiodec::Source m_source;
    std::unique_ptr<audiodec::Resampler> m_resampler;
    audiodec::ResampleBuffer m_converted;
    AVFrame* m_frame = nullptr;
    std::vector<std::uint8_t> m_pending;
    std::int64_t m_pendingAt = 0;
    bool m_ended = false;
};

std::int64_t SectorsFor(std::int64_t bytes)
{
    return std::max(kShortestTrackSectors, (bytes + kAudioSectorBytes - 1) / kAudioSectorBytes);
}

// One track of the disc: a file's samples, then silence to the track's
// measured length. The samples are decoded on a thread of the track's own,
// ahead of the writer, which starts the next track's decoding when it takes
// this one's first bytes: the writer never waits for a whole decoding at a
// track's start. Read by the writer's thread; the counter by any.
class TrackFeed {
public:
    TrackFeed(const QString& path, bool decode) : m_path(path), m_decode(decode) {}
    TrackFeed(const TrackFeed&) = delete;
    TrackFeed& operator=(const TrackFeed&) = delete;
    ~TrackFeed() { StopAhead(); }

    const QString& Path() const { return m_path; }
    std::int64_t Sectors() const { return m_sectors; }
    std::int64_t Bytes() const { return m_sectors * kAudioSectorBytes; }
    std::int64_t Delivered() const { return m_delivered; }
    const Status& Failure() const { return m_failure; }
    // The track the writer takes after this one.
    void SetNext(TrackFeed* next) { m_next = next; }

    // Reads the whole file once to learn the track's length.
    Status Measure(const std::atomic<bool>& abort)
    {
        CdAudioReader reader;
        Status s = reader.Open(m_path, m_decode);
        std::vector<std::uint8_t> chunk(static_cast<size_t>(kChunkBytes));
        std::int64_t total = 0, got = 0;
        while (s.ok()) {
            if (abort) return Fail(kBurnErrAborted, "The burn was aborted.");
            s = reader.Read(chunk.data(), kChunkBytes, &got);
            total += got;
            if (got < kChunkBytes) break;
        }
        if (!s.ok()) return s;
        if (total == 0) return Fail(kBurnErrSource, "The file holds no audio: " + m_path);
        m_sectors = SectorsFor(total);
        return {};
    }

    // Starts decoding the samples ahead of the writer; once.
    void StartAhead()
    {
        if (m_ahead.joinable()) return;
        m_ahead = std::thread([this] { DecodeAhead(); });
    }

    // The track's next bytes, padded with silence; fewer only at its end.
    Status Read(std::uint8_t* out, std::int64_t size, std::int64_t* got)
    {
        *got = 0;
        if (m_delivered == 0) {
            StartAhead();
            if (m_next) m_next->StartAhead();
        }
        size = std::min(size, Bytes() - m_delivered);
        if (m_failure.ok()) m_failure = TakeDecoded(out, size, got);
        if (!m_failure.ok()) return m_failure;
        std::memset(out + *got, 0, size_t(size - *got));
        *got = size;
        m_delivered += size;
        return {};
    }

private:
    // The decoding thread: chunks of samples into the queue, at most
    // kAheadBytes ahead of the writer.
    void DecodeAhead()
    {
        CdAudioReader reader;
        Status s = reader.Open(m_path, m_decode);
        for (;;) {
            std::vector<std::uint8_t> chunk;
            std::int64_t got = 0;
            if (s.ok()) {
                chunk.resize(static_cast<size_t>(kChunkBytes));
                s = reader.Read(chunk.data(), kChunkBytes, &got);
                chunk.resize(static_cast<size_t>(got));
            }
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stop || m_queuedBytes < kAheadBytes; });
            if (m_stop) return;
            if (!s.ok()) m_aheadFailure = s;
            m_queuedBytes += std::int64_t(chunk.size());
            if (!chunk.empty()) m_queue.push_back(std::move(chunk));
            m_decodedAll = !s.ok() || got < kChunkBytes;
            m_changed.notify_all();
            if (m_decodedAll) return;
        }
    }

    // Up to `size` decoded bytes; fewer once the source has ended.
    Status TakeDecoded(std::uint8_t* out, std::int64_t size, std::int64_t* got)
    {
        std::unique_lock lock(m_mutex);
        while (*got < size) {
            m_changed.wait(lock, [this] { return !m_queue.empty() || m_decodedAll; });
            if (m_queue.empty()) return m_aheadFailure;
            std::vector<std::uint8_t>& front = m_queue.front();
            const std::int64_t n = std::min(size - *got, std::int64_t(front.size()) - m_frontAt);
            std::memcpy(out + *got, front.data() + m_frontAt, size_t(n));
            *got += n;
            m_frontAt += n;
            if (m_frontAt == std::int64_t(front.size())) {
                m_queuedBytes -= std::int64_t(front.size());
                m_queue.pop_front();
                m_frontAt = 0;
                m_changed.notify_all();
            }
        }
        return {};
    }

    void StopAhead()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        if (m_ahead.joinable()) m_ahead.join();
    }

    QString m_path;
    bool m_decode;
    std::int64_t m_sectors = 0;
    TrackFeed* m_next = nullptr;
    Status m_failure;
    std::atomic<std::int64_t> m_delivered{0};

    std::thread m_ahead;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<std::uint8_t>> m_queue;
    std::int64_t m_frontAt = 0;
    std::int64_t m_queuedBytes = 0;
    bool m_decodedAll = false;
    bool m_stop = false;
    Status m_aheadFailure;
};

using Tracks = std::vector<std::unique_ptr<TrackFeed>>;

std::int64_t TotalSectors(const Tracks& tracks)
{
    std::int64_t sectors = 0;
    for (const auto& t : tracks) sectors += t->Sectors();
    return sectors;
}

// Turns how far the tracks were read into the burn's events, each once.
class TrackWatch {
public:
    TrackWatch(const Tracks& tracks, AudioBurnEvents& events) : m_tracks(tracks), m_events(events)
    {
        m_total = std::max<std::int64_t>(1, TotalSectors(tracks) * kAudioSectorBytes);
    }

    void Update()
    {
        std::int64_t before = 0;
        for (size_t i = 0; i < m_tracks.size(); ++i) {
            const TrackFeed& t = *m_tracks[i];
            const std::int64_t done = t.Delivered();
            if (done == 0) break;
            const int track = int(i) + 1;
            if (track > m_current) {
                if (m_current > 0 && !m_closed) m_events.ClosingTrack(m_current);
                m_current = track;
                m_percent = -1;
                m_closed = false;
                m_events.WritingTrack(track);
            }
            if (track == m_current) Report(int(done * 100 / t.Bytes()), int((before + done) * 100 / m_total));
            if (track == m_current && done == t.Bytes() && !m_closed) {
                m_closed = true;
                m_events.ClosingTrack(track);
            }
            before += t.Bytes();
        }
    }

private:
    void Report(int percent, int discPercent)
    {
        if (percent == m_percent) return;
        m_percent = percent;
        m_events.TrackProgress(m_current, percent, discPercent);
    }

    const Tracks& m_tracks;
    AudioBurnEvents& m_events;
    std::int64_t m_total = 1;
    int m_current = 0;
    int m_percent = -1;
    bool m_closed = false;
};

// ---- The image writer: a BIN of raw sectors and its cue sheet.

QString CueTime(std::int64_t sectors)
{
    return QString("%1:%2:%3")
        .arg(sectors / (60 * 75), 2, 10, QChar('0'))
        .arg(sectors / 75 % 60, 2, 10, QChar('0'))
        .arg(sectors % 75, 2, 10, QChar('0'));
}

QByteArray CueSheet(const QString& binName, const Tracks& tracks)
{
    QString cue = "FILE \"" + binName + "\" BINARY\r\n";
    std::int64_t at = 0;
    for (size_t i = 0; i < tracks.size(); ++i) {
        cue += QString("  TRACK %1 AUDIO\r\n").arg(int(i) + 1, 2, 10, QChar('0'));
        if (i == 0) cue += "    PREGAP " + CueTime(kPregapSectors) + "\r\n";
        cue += "    INDEX 01 " + CueTime(at) + "\r\n";
        at += tracks[i]->Sectors();
    }
    return cue.toUtf8();
}

Status WriteFailure(const audioconv::OutputFile& file)
{
    return Fail(kBurnErrWrite, file.WriteError().text);
}

Status WriteImage(const optical::Drive& drive, Tracks& tracks, const std::atomic<bool>& abort,
                  AudioBurnEvents& events)
{
    const QFileInfo cue(drive.path);
    const QString binPath = cue.path() + "/" + cue.completeBaseName() + ".bin";
    audioconv::OutputFile bin, sheet;
    Status s = bin.Create(binPath);
    if (!s.ok()) return Fail(kBurnErrWrite, s.text);
    TrackWatch watch(tracks, events);
    std::vector<std::uint8_t> chunk(static_cast<size_t>(kChunkBytes));
    for (auto& track : tracks) {
        std::int64_t got = 0;
        do {
            if (abort) return Fail(kBurnErrAborted, "The burn was aborted.");
            s = track->Read(chunk.data(), kChunkBytes, &got);
            if (!s.ok()) return s;
            if (!bin.Write(chunk.data(), size_t(got))) return WriteFailure(bin);
            watch.Update();
        } while (got == kChunkBytes);
    }
    events.ClosingSession();
    s = sheet.Create(drive.path);
    if (!s.ok()) return Fail(kBurnErrWrite, s.text);
    const QByteArray text = CueSheet(QFileInfo(binPath).fileName(), tracks);
    if (!sheet.Write(text.constData(), size_t(text.size()))) return WriteFailure(sheet);
    if (abort) return Fail(kBurnErrAborted, "The burn was aborted.");
    // The BIN and its cue sheet change together: a crash leaves the old pair or the new one.
    s = audioconv::OutputFile::CommitTogether(bin, sheet);
    return s.ok() ? Status{} : Fail(kBurnErrWrite, s.text);
}

// ---- A machine's drive through libburn.

int ReadTrack(burn_source* source, unsigned char* buffer, int size)
{
    auto* feed = static_cast<TrackFeed*>(source->data);
    std::int64_t got = 0;
    return feed->Read(buffer, size, &got).ok() ? int(got) : -1;
}

off_t TrackSize(burn_source* source) { return off_t(static_cast<TrackFeed*>(source->data)->Bytes()); }
int FixedSize(burn_source*, off_t) { return 0; }
void NothingToFree(burn_source*) {}
int NothingToCancel(burn_source*) { return 1; }

// libburn's source of one track, buffered ahead of the drive; the caller
// frees it with burn_source_free.
burn_source* TrackSource(TrackFeed* feed)
{
    auto* source = static_cast<burn_source*>(std::calloc(1, sizeof(burn_source)));
    if (!source) return nullptr;
    source->refcount = 1;
    source->get_size = TrackSize;
    source->set_size = FixedSize;
    source->free_data = NothingToFree;
    source->data = feed;
    source->version = 1;
    source->read_xt = ReadTrack;
    source->cancel = NothingToCancel;
    constexpr int kFifoChunks = int(4 * 1024 * 1024 / kAudioSectorBytes);
    burn_source* fifo = burn_fifo_source_new(source, int(kAudioSectorBytes), kFifoChunks, 0);
    burn_source_free(source); // the fifo holds it
    return fifo;
}

Status WriteDevice(const optical::Drive& drive, std::int32_t speed, Tracks& tracks, const std::atomic<bool>& abort,
                   AudioBurnEvents& events)
{
    GrabbedDrive grabbed;
    Status s = grabbed.Grab(drive);
    if (!s.ok()) return s;
    DiscLayout layout;
    for (auto& track : tracks) {
        burn_source* source = TrackSource(track.get());
        if (!source) return Fail(kBurnErrWrite, "Out of memory preparing the burn.");
        layout.AddTrack(source, BURN_AUDIO);
        burn_source_free(source); // the track holds it
    }
    TrackWatch watch(tracks, events);
    bool closing = false;
    const WriteSettings settings{speed, true, true};
    s = WriteDisc(grabbed.Get(), layout.disc, settings, abort, [&](burn_drive_status status, const burn_progress&) {
        watch.Update();
        if (!closing && IsClosing(status)) {
            closing = true;
            events.ClosingSession();
        }
    });
    for (const auto& track : tracks)
        if (!track->Failure().ok()) return track->Failure(); // the reason a source broke the write off
    if (s.ok() && !closing) events.ClosingSession();
    return s;
}

// Measures the tracks, several at once; the caching notices come in the
// tracks' order, each when that track's turn has come.
Status MeasureTracks(Tracks& tracks, const std::atomic<bool>& abort, AudioBurnEvents& events)
{
    std::vector<Status> results(tracks.size());
    std::vector<bool> measured(tracks.size(), false);
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    auto work = [&] {
        for (size_t i = next++; i < tracks.size() && !failed; i = next++) {
            const Status s = tracks[i]->Measure(abort);
            if (!s.ok()) failed = true;
            const std::lock_guard lock(mutex);
            results[i] = s;
            measured[i] = true;
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    const size_t count = std::min<size_t>(tracks.size(), size_t(std::max(2, QThread::idealThreadCount())));
    for (size_t w = 0; w < count; ++w) workers.emplace_back(work);
    Status outcome;
    for (size_t i = 0; i < tracks.size() && outcome.ok(); ++i) {
        events.CachingTrack(int(i) + 1);
        std::unique_lock lock(mutex);
        // Tracks are taken in order: one before a failed track is always measured.
        changed.wait(lock, [&] { return bool(measured[i]); });
        outcome = results[i];
    }
    failed = failed || !outcome.ok();
    for (std::thread& w : workers) w.join();
    return outcome;
}

Status CheckDisc(const optical::Drive& drive, const Tracks& tracks)
{
    const DiscFacts facts = ReadDiscFacts(drive, Use::AudioCD);
    if (!facts.writable) return Fail(facts.loaded ? kBurnErrMedia : kBurnErrNoDrive, facts.state);
    const std::int64_t need = TotalSectors(tracks), room = facts.freeBytes / 2048;
    if (need > room) {
        return Fail(kBurnErrTooBig, QString("The tracks need %1 minutes, the disc holds %2 minutes.")
                                        .arg(QString::number(double(need) / 75 / 60, 'f', 1),
                                             QString::number(double(room) / 75 / 60, 'f', 1)));
    }
    return {};
}

} // namespace

Status CheckAudioSource(const QString& path)
{
    audiodec::Source source;
    audiodec::Problem p = source.Open(path);
    if (p.ok()) p = source.OpenDecoder();
    return p.ok() ? Status{} : Fail(kBurnErrSource, p.text);
}

Status BurnAudioCD(const AudioBurnRequest& request, const std::atomic<bool>& abort, AudioBurnEvents& events)
{
    if (request.files.isEmpty()) return Fail(kBurnErrNoFiles, "There are no files to burn.");
    if (request.files.size() > kMostTracks)
        return Fail(kBurnErrTooBig, QString("A CD holds at most %1 tracks.").arg(kMostTracks));
    Tracks tracks;
    for (const QString& file : request.files) {
        tracks.push_back(std::make_unique<TrackFeed>(file, request.decode));
        if (tracks.size() > 1) tracks[tracks.size() - 2]->SetNext(tracks.back().get());
    }
    Status s = MeasureTracks(tracks, abort, events);
    if (!s.ok()) return s;
    s = CheckDisc(request.drive, tracks);
    if (!s.ok()) return s;
    if (request.drive.kind == optical::DriveKind::AudioImageWriter) return WriteImage(request.drive, tracks, abort, events);
    return WriteDevice(request.drive, request.speed, tracks, abort, events);
}

} // namespace burnengine
