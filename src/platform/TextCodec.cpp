#include "platform/TextCodec.h"

#include <QStringDecoder>

namespace platform {

namespace {

// Windows-1252 code points for 0x80..0x9F; the rest of the page equals Latin-1.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendWindows1252(QByteArrayView bytes, QString& out)
{
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
}

// A byte-order mark is dropped only at the start of the text: one at the
// start of a later piece is a character of that piece.
void appendPiece(QByteArrayView piece, bool first, QString& out)
{
    QStringDecoder::Flags flags = QStringDecoder::Flag::Stateless;
    if (!first) flags |= QStringDecoder::Flag::ConvertInitialBom;
    QStringDecoder decoder(QStringDecoder::Utf8, flags);
    const QString text = decoder(piece);
    if (decoder.hasError())
        appendWindows1252(piece, out);
    else
        out += text;
}

// Decodes the pieces that `pieceEnd(from)` marks off, one after another.
// Cuts fall on ASCII bytes, which never stand inside a UTF-8 sequence, so
// text that is valid UTF-8 as a whole decodes the same in one go.
template <typename PieceEnd>
QString decodePieces(const QByteArray& bytes, PieceEnd pieceEnd)
{
    QStringDecoder whole(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = whole(bytes);
    if (!whole.hasError()) return text;
    text.clear();
    text.reserve(bytes.size());
    const QByteArrayView all(bytes);
    for (qsizetype from = 0; from < all.size();) {
        const qsizetype end = pieceEnd(all, from);
        appendPiece(all.sliced(from, end - from), from == 0, text);
        from = end;
    }
    return text;
}

} // namespace

QString DecodeText(const QByteArray& bytes)
{
    return decodePieces(bytes, [](QByteArrayView all, qsizetype from) {
        for (qsizetype i = from; i < all.size(); ++i)
            if (all[i] == '\n' || all[i] == '\r') return i + 1;
        return all.size();
    });
}

QString DecodeTextPieces(const QByteArray& bytes, QByteArrayView mark)
{
    return decodePieces(bytes, [mark](QByteArrayView all, qsizetype from) {
        const qsizetype next = mark.isEmpty() ? -1 : all.indexOf(mark, from + 1);
        return next < 0 ? all.size() : next;
    });
}

QString DecodeTextPiece(QByteArrayView piece, bool atStart)
{
    QString text;
    appendPiece(piece, atStart, text);
    return text;
}

QString DecodeWindows1252(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    appendWindows1252(bytes, text);
    return text;
}

QByteArray EncodeText(const QString& text) { return text.toUtf8(); }

} // namespace platform
