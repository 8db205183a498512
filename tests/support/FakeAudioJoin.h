#pragma once
// A join control for window tests: joins end as scripted, with the same
// queued events as the real control, and every call is recorded.
// Install it for the windows with
//     SetAudioJoinFactory([] { return std::make_unique<FakeAudioJoin>(); });
// and reach the instance a window made through FakeAudioJoin::Last().
// Scripted endings (QueueScript, Finish) and the record of calls come from
// support::FakeOutputControl; a script's progress steps are {percent, file}.
// Without a script a join reports 100 % for each of its files and ends Done.
// An empty list or a destination that is one of the files ends in the real
// control's refusal instead, without taking a script.
#include "controls/audio/AudioJoin.h"
#include "support/FakeOutputControl.h"

#include <vector>

// One Progress event of the fake: File and Percent.
struct JoinProgressStep {
    std::int32_t percent = 0;
    std::int32_t file = 1;
    bool operator==(const JoinProgressStep&) const = default;
};

class FakeAudioJoin
    : public support::FakeOutputControl<cAudioJoin, kConvertErrSourceNotAudio, JoinProgressStep> {
    Q_OBJECT
public:
    // What one Join was given.
    struct JoinCall : OutputSettings {
        struct File {
            QString path;
            std::int32_t start = 0, length = 0;
        };
        std::vector<File> files;
    };

    FakeAudioJoin();
    ~FakeAudioJoin() override;
    // The fake made last (nullptr once it is gone).
    static FakeAudioJoin* Last();

    // `calls` holds every member call in order, e.g. "SetOGGFormat",
    // "AddFile /a.wav -1 -1", "RemoveFile 1", "Join", "Abort", "Reset", "Terminate".
    std::vector<JoinCall> joins;

    void AddFile(const QString& path, std::int32_t Start, std::int32_t Length) override;
    void RemoveFile(std::int32_t index) override;
    std::int32_t Join() override;
    void Abort() override;
    void Reset() override;
    void Terminate() override;
    bool IsJoining() const override { return JobRunning(); }

private:
    void EmitProgress(JoinProgressStep step) override { emit Progress(step.file, step.percent); }
    void EmitEnding(Ending ending, std::int32_t code, const QString& text) override;
};
