#include "core/NamingProcedures.h"

#include "core/Paths.h"
#include "platform/Clock.h"

#include <QLocale>

QString ShortDateText(const QDate& date) { return QLocale().toString(date, QLocale::ShortFormat); }

QString TwoDigitTimeText(const QTime& time) { return time.toString("HH:mm:ss"); }

QString GetExt(const QString& sTargetFormat)
{
    const QString t = sTargetFormat.left(3).toUpper();
    if (t == "WAV" || t == "ACM") return "wav";
    if (t == "MP3") return "mp3";
    if (t == "WMA") return "wma";
    if (t == "OGG") return "ogg";
    if (t == "APE") return "ape";
    return {};
}

QString CreateFileName(const QString& sTargetFormat)
{
    const QDateTime now = platform::Now();
    return MakeSafeName(TwoDigitTimeText(now.time()) + "_" + ShortDateText(now.date()) + "." + GetExt(sTargetFormat));
}
