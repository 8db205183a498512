#include "controls/audio/AudioEditorSave.h"

#include "controls/audio/AudioEditorCodes.h"
#include "controls/audio/WaveFile.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <vector>

namespace editorsave {

namespace {

constexpr std::int64_t kChunkBytes = 1 << 20;

struct Outcome {
    std::int32_t code = 0; // 0 done, -1 aborted, else the error
    QString text;
};

std::int64_t SampleOfMs(std::int64_t ms, int rate) { return std::llround(double(ms) * rate / 1000.0); }

// The frames to write, from the request and the source's facts.
Outcome Resolve(const Request& r, const wavefile::Facts& facts, std::int64_t* first, std::int64_t* end)
{
    const int rate = facts.format.sampleRate;
    *first = r.exact ? r.first : SampleOfMs(r.startMs, rate);
    *end = r.exact ? r.end : SampleOfMs(std::int64_t(r.startMs) + r.lengthMs, rate);
    *end = std::min(*end, facts.frames);
    if (*first < 0 || *first >= facts.frames)
        return {kEditorErrRange, QString("The selection starts at %1 ms, past the end of the file (%2 ms): %3")
                                     .arg(r.exact ? std::llround(double(r.first) * 1000 / rate) : r.startMs)
                                     .arg(facts.LengthMs())
                                     .arg(r.source)};
    if (*end <= *first) return {kEditorErrEmptySelection, "Nothing is selected: select part of the file to save."};
    return {};
}

Outcome Copy(const Request& r, const std::atomic<bool>& abort, const ControlThread::Post& post, const Events& events)
{
    wavefile::Reader reader;
    if (const wavefile::Problem p = reader.Open(r.source); !p.ok())
        return {p.fault == audiodec::Fault::Missing ? kEditorErrFileMissing : kEditorErrNotWave, p.text};
    const wavefile::Facts& facts = reader.GetFacts();
    std::int64_t first = 0, end = 0;
    if (Outcome o = Resolve(r, facts, &first, &end); o.code != 0) return o;

    wavefile::Writer out;
    if (const wavefile::Status s = out.Create(r.destination, facts.format); !s.ok()) return {kEditorErrWrite, s.text};
    const int frameBytes = facts.format.BlockAlign();
    const std::int64_t chunkFrames = std::max<std::int64_t>(1, kChunkBytes / frameBytes);
    std::vector<std::uint8_t> buffer(size_t(chunkFrames * frameBytes));
    int percent = 0;
    for (std::int64_t at = first; at < end;) {
        if (abort.load()) return {-1, {}};
        const std::int64_t n = reader.Read(at, std::min(chunkFrames, end - at), buffer.data());
        if (n <= 0) return {kEditorErrRead, "The source file could not be read to the end of the selection: " + r.source};
        if (!out.Append(buffer.data(), n * frameBytes)) return {kEditorErrWrite, out.WriteError().text};
        at += n;
        const int now = int((at - first) * 100 / (end - first));
        if (now != percent) {
            percent = now;
            post([events, now] { events.progress(now); });
        }
    }
    if (abort.load()) return {-1, {}};
    if (const wavefile::Status s = out.Commit(); !s.ok()) return {kEditorErrWrite, s.text};
    return {};
}

} // namespace

ControlThread::Job SaveJob(Request request, Events events)
{
    return [request, events](const std::atomic<bool>& abort, const ControlThread::Post& post) -> std::function<void()> {
        const Outcome o = Copy(request, abort, post, events);
        if (o.code == 0) return events.done;
        if (o.code < 0) return events.aborted;
        return [events, o] { events.error(o.code, o.text); };
    };
}

} // namespace editorsave
