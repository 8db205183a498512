#pragma once
// Names and texts the tools build from the clock and the destination format:
// the speech window's file name, and the date and time texts that file-name
// patterns and tag texts put in.
#include <QDate>
#include <QString>
#include <QTime>

// A date in the user's short date form.
QString ShortDateText(const QDate& date);
// A time of day as two-digit 24-hour hours, minutes and seconds ("14:05:09").
QString TwoDigitTimeText(const QTime& time);

// The extension that goes with a destination format's list text, by its first
// three letters in any case: "wav" for WAV and ACM, "mp3", "wma", "ogg", "ape";
// empty for any other text.
QString GetExt(const QString& sTargetFormat);
// A file name from the present time and date with the format's extension,
// every character a name cannot hold made "-": "14-05-09_12-8-26.ogg".
QString CreateFileName(const QString& sTargetFormat);
