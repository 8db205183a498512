#pragma once
// Text as the program stores it: written as UTF-8; read as UTF-8, or as
// Windows-1252 when the bytes are not valid UTF-8, so no name is lost.
#include <QByteArray>
#include <QString>

namespace platform {

QString DecodeText(const QByteArray& bytes);
QByteArray EncodeText(const QString& text);

} // namespace platform
