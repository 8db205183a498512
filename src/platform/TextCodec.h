#pragma once
// Text as the program stores it: written as UTF-8; read piece by piece (line
// by line, or record by record), each piece that is valid UTF-8 as UTF-8 and
// any other as Windows-1252, so one stray byte never garbles the other pieces
// and no name is lost.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// Line by line: a line ends after each CR or LF.
QString DecodeText(const QByteArray& bytes);
// Piece by piece: a new piece starts at each occurrence of `mark` (ASCII).
QString DecodeTextPieces(const QByteArray& bytes, QByteArrayView mark);
// One such piece alone, `atStart` when it begins the text: the pieces of a
// text decoded one by one and joined give what DecodeTextPieces gives.
QString DecodeTextPiece(QByteArrayView piece, bool atStart);
// Bytes as Windows-1252 alone, whatever they hold.
QString DecodeWindows1252(QByteArrayView bytes);
QByteArray EncodeText(const QString& text);

} // namespace platform
