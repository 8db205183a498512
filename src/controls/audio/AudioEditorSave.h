#pragma once
// Inside the audio editor: writing a range of a wave file's frames, unchanged,
// as a new wave file, run on the control's thread.
#include "controls/ControlThread.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace editorsave {

struct Request {
    QString source, destination;
    // The frames [first, end) when `exact`; otherwise the milliseconds.
    bool exact = false;
    std::int64_t first = 0, end = 0;
    std::int32_t startMs = 0, lengthMs = 0;
};

// What the job reports; run on the owner's thread.
struct Events {
    std::function<void(std::int32_t percent)> progress;
    std::function<void()> done, aborted;
    std::function<void(std::int32_t code, const QString& text)> error;
};

// The job for a ControlThread: Progress in whole percents, each once, then
// exactly one of done, aborted or error.
ControlThread::Job SaveJob(Request request, Events events);

} // namespace editorsave
