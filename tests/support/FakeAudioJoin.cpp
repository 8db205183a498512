#include "support/FakeAudioJoin.h"

#include "platform/FileIdentity.h"

#include <optional>

namespace {
FakeAudioJoin*& LastFake()
{
    static FakeAudioJoin* last = nullptr;
    return last;
}
} // namespace

FakeAudioJoin::FakeAudioJoin() { LastFake() = this; }

FakeAudioJoin::~FakeAudioJoin()
{
    if (LastFake() == this) LastFake() = nullptr;
}

FakeAudioJoin* FakeAudioJoin::Last() { return LastFake(); }

void FakeAudioJoin::AddFile(const QString& path, std::int32_t Start, std::int32_t Length)
{
    calls << QString("AddFile %1 %2 %3").arg(path).arg(Start).arg(Length);
    cAudioJoin::AddFile(path, Start, Length);
}

void FakeAudioJoin::RemoveFile(std::int32_t index)
{
    calls << QString("RemoveFile %1").arg(index);
    cAudioJoin::RemoveFile(index);
}

void FakeAudioJoin::EmitEnding(Ending ending, std::int32_t code, const QString& text)
{
    switch (ending) {
    case Ending::Done: emit Done(); break;
    case Ending::Aborted: emit Aborted(); break;
    case Ending::Error: emit Error(code, text); break;
    case Ending::Hang: break;
    }
}

namespace {
// The real control's refusals, or nothing.
std::optional<FakeAudioJoin::Script> Refusal(const FakeAudioJoin::JoinCall& c)
{
    using Script = FakeAudioJoin::Script;
    if (c.files.empty()) return Script{{}, FakeAudioJoin::Ending::Error, kJoinErrNoFiles, "There are no files to join."};
    for (const auto& f : c.files)
        if (platform::IsSameFile(f.path, c.destination))
            return Script{{},
                          FakeAudioJoin::Ending::Error,
                          kConvertErrDestinationIsSource,
                          "The destination is the source file itself; choose another name or folder: " +
                              c.destination};
    return std::nullopt;
}
} // namespace

std::int32_t FakeAudioJoin::Join()
{
    calls << "Join";
    if (IsJoining()) return kConvertErrBusy;
    JoinCall c;
    static_cast<OutputSettings&>(c) = Output();
    for (std::int32_t i = 1; i <= GetFileCount(); ++i) {
        JoinCall::File f;
        f.path = GetFileName(i, &f.start, &f.length);
        c.files.push_back(f);
    }
    joins.push_back(c);

    if (const auto refusal = Refusal(c)) {
        StartJob(&*refusal);
    } else if (ScriptQueued()) {
        StartJob();
    } else {
        Script everyFile;
        everyFile.progress.clear();
        for (std::int32_t i = 1; i <= GetFileCount(); ++i) everyFile.progress.push_back({100, i});
        StartJob(&everyFile);
    }
    return 0;
}

void FakeAudioJoin::Abort()
{
    calls << "Abort";
    AbortJob();
}

void FakeAudioJoin::Reset()
{
    calls << "Reset";
    AbortJob();
}

void FakeAudioJoin::Terminate()
{
    calls << "Terminate";
    StopJob();
}
