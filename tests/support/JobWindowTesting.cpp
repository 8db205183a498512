#include "support/JobWindowTesting.h"

#include "conversion/JobWindow.h"
#include "core/TimeSizeText.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>

namespace support {

void WaitUntilIdle(JobWindow* window)
{
    for (int i = 0; i < 10000 && !window->cmdConvert->isEnabled(); ++i) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QStringList JobLogLines(const JobWindow* window, const QDateTime& now)
{
    const QString stamp = TimeOfDayText(now.time()) + ":";
    QStringList lines;
    for (const QString& line : window->txtLog->toPlainText().split('\n'))
        lines << (line.startsWith(stamp) ? line.mid(stamp.size()) : line);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

} // namespace support
