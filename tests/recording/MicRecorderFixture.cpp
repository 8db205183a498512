#include "MicRecorderFixture.h"

#include "core/Edition.h"
#include "core/TimeSizeText.h"
#include "platform/Clock.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QDir>
#include <QLocale>
#include <QPlainTextEdit>

namespace rectest {

void MicRecorderTestBase::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    lAppIncMicRec = 1;
    SeedRegistry();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    now = QDateTime(QDate(2026, 12, 10), QTime(9, 30, 15));
    platform::SetNowSource([this] { return now; });
    // As at start-up: the settings dialogs are loaded before any tool window.
    frmOptions.get();
    g_frmAudioProp.get();
    QDir().mkpath(Dir());
}

void MicRecorderTestBase::TearDown()
{
    ProgramFixture::TearDown();
    platform::SetNowSource(nullptr);
    QLocale::setDefault(QLocale::c());
    SetEditionModes();
    w = nullptr;
}

QStringList MicRecorderTestBase::LogLines() const
{
    const QString stamp = TimeOfDayText(now.time());
    QStringList lines;
    for (const QString& line : w->txtResults->toPlainText().split('\n'))
        lines << (line.startsWith(stamp) ? line.mid(stamp.size()) : line);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

} // namespace rectest
