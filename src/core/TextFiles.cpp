#include "core/TextFiles.h"

#include "core/FileSystem.h"
#include "core/TimeSizeText.h"
#include "platform/AppInfo.h"
#include "platform/Clock.h"
#include "platform/SaveFile.h"
#include "platform/TextCodec.h"

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace {

bool writeLines(const QString& fileName, const QStringList& lines)
{
    QString text;
    for (const QString& line : lines) text += line + kCrLf;
    return platform::SaveFileWhole(fileName, platform::EncodeText(text));
}

// The path history's lines; a missing file is created empty first.
bool readPathHistory(QStringList& lines)
{
    const QString file = PathHistoryFile();
    if (!QFile::exists(file) && !writeLines(file, {})) return false;
    return ReadTextLines(file, lines);
}

} // namespace

bool ReadTextLines(const QString& sFileName, QStringList& lines)
{
    lines.clear();
    QFile file(sFileName);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFile::NoError) return false;
    static const QRegularExpression lineEnd("\r\n|\n|\r");
    QString text = platform::DecodeText(bytes);
    if (text.isEmpty()) return true;
    lines = text.split(lineEnd);
    // The line end of the last line does not start another line.
    if (lines.last().isEmpty()) lines.removeLast();
    return true;
}

QString ReadTextFile(const QString& sFileName)
{
    QStringList lines;
    if (!FileExists(sFileName) || !ReadTextLines(sFileName, lines)) return {};
    QString text;
    for (const QString& line : lines) text += line + kCrLf;
    if (text.size() > 2) text.chop(2);
    return text;
}

void WriteTextFile(const QString& sText, const QString& sFileName) { writeLines(sFileName, {sText}); }

QString PathHistoryFile() { return platform::AppPath() + "/PathHistory"; }

void LoadPathHistory(QComboBox* cbo)
{
    if (!cbo) return;
    cbo->clear();
    QStringList lines;
    readPathHistory(lines);
    cbo->addItems(lines);
    if (cbo->count() > 0) cbo->setCurrentIndex(0);
}

bool SavePathHistory(QComboBox* cbo)
{
    if (!cbo) return false;
    const QString current = cbo->currentText();
    QStringList old;
    if (!readPathHistory(old)) return false;
    QStringList history{current};
    for (const QString& line : old)
        if (line != current) history << line;
    return writeLines(PathHistoryFile(), history.mid(0, kPathHistoryMax));
}

void RememberPath(QComboBox* cbo)
{
    if (!cbo) return;
    const QString chosen = cbo->currentText();
    if (SavePathHistory(cbo)) LoadPathHistory(cbo);
    if (cbo->currentText() != chosen) cbo->setEditText(chosen);
}

void LoadComboFromFile(const QString& sFileName, QComboBox* cbo)
{
    if (!cbo) return;
    const QStringList pieces = ReadTextFile(sFileName).split(kCrLf);
    cbo->clear();
    for (const QString& piece : pieces)
        if (!piece.isEmpty()) cbo->addItem(piece);
    cbo->setCurrentIndex(-1);
}

void AddLogLine(const QString& sMessage, QPlainTextEdit* txtLog)
{
    if (!txtLog) return;
    // The box keeps its own line breaks: the CR LF that ends the entry becomes one.
    txtLog->moveCursor(QTextCursor::End);
    txtLog->insertPlainText(TimeOfDayText(platform::Now().time()) + ":" + sMessage + kCrLf);
    txtLog->moveCursor(QTextCursor::End);
    txtLog->ensureCursorVisible();
}
