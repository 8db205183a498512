#pragma once
// Python scripts that read and write tags through mutagen, and their JSON answers.
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace tagtest {

// Every frame as mutagen reads it: {"version", "frames": {id: [fields]}}.
extern const char* const kMutagenFrames;
// The frames of a standard tag at the start of a file, byte by byte:
// {"version", "end", "frames": [[id, flags hex, data hex]]}.
extern const char* const kRawFrames;
// Writes a tag as another program does (arguments: path, major version).
extern const char* const kMutagenWrite;

// Runs a script with the arguments and returns its JSON answer.
QJsonObject RunJson(const QString& python, const char* script, const QStringList& args);
// The first frame of an id in a kMutagenFrames answer.
QJsonObject FirstFrame(const QJsonObject& dump, const char* id);
QStringList Texts(const QJsonObject& frame);
// Every frame of a kRawFrames answer but those of one id is in the later answer, byte for byte.
void ExpectFramesKept(const QJsonObject& before, const QJsonObject& after, const QString& changedId);

} // namespace tagtest
