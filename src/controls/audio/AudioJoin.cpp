#include "controls/audio/AudioJoin.h"

#include "controls/audio/AudioConverterEngine.h"
#include "controls/ControlThread.h"

#include <vector>

namespace {

using audioconv::Fail;
using audioconv::Status;

struct JoinSource {
    QString path;
    audioconv::SourceRange range;
};

// Everything one join needs, copied from the control when it starts.
struct JoinRequest {
    std::vector<JoinSource> sources;
    OutputSettings output;
};

using JoinProgress = std::function<void(int file, int percent)>;

// An error in reading one source names it, as the user has several.
Status OfSource(Status s, const JoinSource& source)
{
    const bool reading = s.code == kConvertErrSourceNotAudio || s.code == kConvertErrRange || s.code == kConvertErrDecode;
    if (reading && !s.text.contains(source.path)) s.text += ": " + source.path;
    return s;
}

Status OpenSource(audioconv::SourceReader& reader, const JoinSource& source, const QString& destination)
{
    Status s = reader.Open(source.path);
    if (s.ok()) s = audioconv::CheckNotSource(source.path, destination);
    if (s.ok()) s = reader.OpenDecoder();
    if (s.ok()) s = reader.SetRange(source.range);
    return OfSource(s, source);
}

// Opens every source once before anything is written, so that a join does
// not fail half-way for a reason known at its start; `first` gets the facts
// of the first source.
Status CheckSources(const JoinRequest& r, audioconv::SourceFacts* first)
{
    for (size_t i = 0; i < r.sources.size(); ++i) {
        audioconv::SourceReader reader;
        const Status s = OpenSource(reader, r.sources[i], r.output.destination);
        if (!s.ok()) return s;
        if (i == 0) *first = reader.Facts();
    }
    return {};
}

audioconv::Result Failed(const Status& s) { return {audioconv::Outcome::Failed, s}; }

audioconv::Result RunJoin(const JoinRequest& r, const std::atomic<bool>& abort, const JoinProgress& progress)
{
    if (r.sources.empty()) return Failed(Fail(kJoinErrNoFiles, "There are no files to join."));
    audioconv::SourceFacts first;
    audioconv::FileEncoder encoder;
    Status s = audioconv::CheckFormat(r.output.format);
    if (s.ok()) s = audioconv::CheckDestination(r.output.destination);
    if (s.ok()) s = CheckSources(r, &first);
    if (s.ok()) s = encoder.Prepare(r.output, first);
    if (s.ok()) s = encoder.Start(r.output.destination, r.output);
    if (!s.ok()) return Failed(s);

    const int count = int(r.sources.size());
    for (int i = 0; i < count; ++i) {
        const int file = i + 1;
        audioconv::SourceReader reader;
        bool aborted = false;
        s = OpenSource(reader, r.sources[size_t(i)], r.output.destination);
        if (s.ok())
            s = OfSource(reader.EncodeInto(
                             encoder, abort, [&](int percent) { progress(file, percent); }, &aborted),
                         r.sources[size_t(i)]);
        if (aborted || abort.load()) return {audioconv::Outcome::Aborted, {}};
        if (!s.ok()) return Failed(s);
        if (file < count) progress(file, 100);
    }
    s = encoder.Finish();
    if (!s.ok()) return Failed(s);
    progress(count, 100);
    return {};
}

} // namespace

cAudioJoin::cAudioJoin() : m_thread(std::make_unique<ControlThread>(this)) {}

cAudioJoin::~cAudioJoin() = default;

void cAudioJoin::AddFile(const QString& path, std::int32_t Start, std::int32_t Length)
{
    m_files.append({path, Start, Length});
}

void cAudioJoin::RemoveFile(std::int32_t index)
{
    if (index >= 1 && index <= m_files.size()) m_files.removeAt(index - 1);
}

QString cAudioJoin::GetFileName(std::int32_t index, std::int32_t* Start, std::int32_t* Length) const
{
    const bool inList = index >= 1 && index <= m_files.size();
    const Entry entry = inList ? m_files[index - 1] : Entry{QString(), 0, 0};
    if (Start) *Start = entry.start;
    if (Length) *Length = entry.length;
    return entry.path;
}

std::int32_t cAudioJoin::Join()
{
    if (m_joining) return kConvertErrBusy;
    JoinRequest request;
    for (const Entry& e : m_files) {
        const bool ranged = e.start >= 0 || e.length > 0;
        request.sources.push_back({e.path, {ranged, std::max(e.start, 0), e.length}});
    }
    request.output = Output();

    m_joining = true;
    m_progressDropped = false;
    m_thread->Start([this, request = std::move(request)](const std::atomic<bool>& abort,
                                                         const ControlThread::Post& post) -> std::function<void()> {
        auto progress = [this, &post](int file, int percent) {
            post([this, file, percent] {
                if (!m_progressDropped) emit Progress(file, percent);
            });
        };
        const audioconv::Result result = RunJoin(request, abort, progress);
        return [this, result] {
            m_joining = false;
            switch (result.outcome) {
            case audioconv::Outcome::Done: emit Done(); break;
            case audioconv::Outcome::Aborted: emit Aborted(); break;
            case audioconv::Outcome::Failed: emit Error(result.error.code, result.error.text); break;
            }
        };
    });
    return 0;
}

void cAudioJoin::Abort() { m_thread->Abort(); }

void cAudioJoin::Reset()
{
    Abort();
    if (m_joining) m_progressDropped = true;
}

void cAudioJoin::Terminate()
{
    m_thread->Stop();
    m_joining = false;
}

// ---------------------------------------------------------------------------

namespace {
std::function<std::unique_ptr<cAudioJoin>()>& Factory()
{
    static std::function<std::unique_ptr<cAudioJoin>()> factory;
    return factory;
}
} // namespace

std::unique_ptr<cAudioJoin> CreateAudioJoin() { return Factory() ? Factory()() : std::make_unique<cAudioJoin>(); }

void SetAudioJoinFactory(std::function<std::unique_ptr<cAudioJoin>()> factory) { Factory() = std::move(factory); }
