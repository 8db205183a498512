#pragma once
// Helpers for tests of the job windows: waiting for a run to end, and the job log.
#include <QDateTime>
#include <QStringList>

class JobWindow;

namespace support {

// Events until the window is idle again (its start button enabled).
void WaitUntilIdle(JobWindow* window);
// The messages of the window's log, without their time stamps (the clock stands at `now`).
QStringList JobLogLines(const JobWindow* window, const QDateTime& now);

} // namespace support
