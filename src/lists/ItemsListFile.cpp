#include "lists/ItemsListFile.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/FileSystem.h"
#include "core/TextFiles.h"
#include "lists/ItemRows.h"
#include "platform/SaveFile.h"
#include "platform/TextCodec.h"

#include <QFile>

#include <array>

const char* const kListFileFields[14] = {
    kColInc,         kColType,       kColItemName,    kColFile,     kColRangeAll,
    kColRangeStart,  kColRangeLength, kColTagAlbum,   kColTagArtist, kColTagComment,
    kColTagGenre,    kColTagYear,    kColTagTitle,    kColTagTrack,
};

namespace {

const QString kItemOpen = QStringLiteral("<ITEM>");
const QString kItemClose = QStringLiteral("</ITEM>");

QString field(const QString& key, const QString& value) { return "<" + key + ">" + value + "</" + key + ">"; }

bool isWholeNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toInt(&ok);
    return ok;
}

bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

bool hasField(const QString& key, const QString& record)
{
    const QString open = "<" + key + ">";
    const qsizetype at = record.indexOf(open);
    return at >= 0 && record.indexOf("</" + key + ">") >= at + open.size();
}

// The fields of a record: the keys of the tags the user typed, written only
// when there are any, then the fourteen stored fields.
constexpr int kRecordFields = 15;
constexpr int kTypedField = 0;
using RecordValues = std::array<QString, kRecordFields>;
using RecordFlags = std::array<bool, kRecordFields>;

const char* recordKey(int field) { return field == kTypedField ? kColTagTyped : kListFileFields[field - 1]; }

bool isWritten(const RecordValues& values, int field) { return field != kTypedField || !values[field].isEmpty(); }

// Whether a value holds the opening or closing tag of a field.
bool holdsTagOf(const QString& value, int field)
{
    if (!value.contains('<')) return false;
    const QString key = recordKey(field);
    return value.contains("<" + key + ">") || value.contains("</" + key + ">");
}

// The order the fields of a record are written in. Values are stored as they
// are, and a field is read from the first "<key>" and the first "</key>" of
// its record, so a field whose tag stands inside another field's value is
// written before that value; otherwise record order (the typed tags first).
// When two values hold each other's tags no order reads both back, and the
// rest keeps record order.
std::array<int, kRecordFields> fieldOrder(const RecordValues& values)
{
    constexpr int n = kRecordFields;
    bool before[n][n] = {}; // before[a][b]: field a has to come before field b
    for (int b = 0; b < n; ++b)
        for (int a = 0; a < n; ++a) before[a][b] = a != b && holdsTagOf(values[b], a);
    std::array<int, n> order{};
    bool placed[n] = {};
    for (int at = 0; at < n; ++at) {
        int next = -1;
        for (int b = 0; b < n && next < 0; ++b) {
            if (placed[b]) continue;
            bool ready = true;
            for (int a = 0; a < n && ready; ++a) ready = placed[a] || !before[a][b];
            if (ready) next = b;
        }
        for (int b = 0; b < n && next < 0; ++b)
            if (!placed[b]) next = b;
        placed[next] = true;
        order[at] = next;
    }
    return order;
}

// A value that no order of the fields would read back (one holding "<ITEM>",
// "</ITEM>" or its own closing tag, or two holding each other's tags) is
// written escaped: a U+FFFF mark, then the value with "%" and "<" as "%25" and
// "%3C", so it holds no tag at all. Every other value is written as it is; one
// that itself begins with the mark is escaped too, so it reads back whole.
const QChar kEscapedMark(0xFFFF);

bool mustEscape(const QString& value)
{
    return value.startsWith(kEscapedMark) || value.contains(kItemOpen) || value.contains(kItemClose);
}

QString escapedValue(const QString& value)
{
    QString out = kEscapedMark;
    out.reserve(value.size() + 8);
    for (QChar c : value) {
        if (c == '%') out += QStringLiteral("%25");
        else if (c == '<') out += QStringLiteral("%3C");
        else out += c;
    }
    return out;
}

QString unescapedValue(const QString& stored)
{
    if (!stored.startsWith(kEscapedMark)) return stored;
    QString out;
    out.reserve(stored.size());
    for (qsizetype i = 1; i < stored.size(); ++i) {
        const QStringView next = QStringView(stored).mid(i, 3);
        if (next == u"%25") out += '%';
        else if (next == u"%3C") out += '<';
        else {
            out += stored[i];
            continue;
        }
        i += 2;
    }
    return out;
}

QString recordOf(const RecordValues& values, const RecordFlags& escaped)
{
    RecordValues written;
    for (int i = 0; i < kRecordFields; ++i) written[i] = escaped[i] ? escapedValue(values[i]) : values[i];
    QString record = kItemOpen;
    for (int i : fieldOrder(written))
        if (isWritten(values, i)) record += field(recordKey(i), written[i]);
    return record + kItemClose;
}

// The first field whose value the record does not give back; -1 when all do.
// A field not written reads back empty, as it was.
int fieldNotReadBack(const QString& record, const RecordValues& values)
{
    for (int i = 0; i < kRecordFields; ++i)
        if (GetTagValue(recordKey(i), record) != values[i]) return i;
    return -1;
}

} // namespace

QString ListRecordOfRow(cGrid* grid, int row)
{
    RecordValues values;
    values[kTypedField] = grid->CellText(row, kColTagTyped).toString();
    values[1] = QString::number(grid->CellIconIndex(row, kColInc));
    values[2] = QStringLiteral("Audio");
    for (int i = 3; i < kRecordFields; ++i) values[i] = grid->CellText(row, recordKey(i)).toString();
    RecordFlags escaped{};
    bool anyTag = false;
    for (int i = 0; i < kRecordFields; ++i) {
        escaped[i] = mustEscape(values[i]);
        anyTag = anyTag || values[i].contains('<');
    }
    QString record = recordOf(values, escaped);
    if (!anyTag) return record;
    // Values that hold tags: escape those that do not read back, one at a
    // time; an escaped value holds no tag, so at worst all are escaped.
    for (int pass = 0; pass < kRecordFields; ++pass) {
        const int wrong = fieldNotReadBack(record, values);
        if (wrong < 0) break;
        if (!isWritten(values, wrong)) {
            // A field left out would be read from the values that hold its tag.
            for (int i = 0; i < kRecordFields; ++i) escaped[i] = escaped[i] || holdsTagOf(values[i], wrong);
        } else {
            if (escaped[wrong]) escaped.fill(true);
            escaped[wrong] = true;
        }
        record = recordOf(values, escaped);
    }
    return record;
}

QString ListTextOfGrid(cGrid* grid, const KeptTexts& kept)
{
    QString text;
    qsizetype next = 0;
    auto writeKeptUpTo = [&](int rows) {
        for (; next < kept.size() && kept[next].after <= rows; ++next) text += kept[next].text;
    };
    for (int row = 1; row <= grid->Rows(); ++row) {
        writeKeptUpTo(row - 1);
        text += ListRecordOfRow(grid, row);
    }
    // Whatever stood after the last row, or after rows that are gone.
    for (; next < kept.size(); ++next) text += kept[next].text;
    return text;
}

void RowRemoved(KeptTexts& kept, int row)
{
    for (KeptText& piece : kept)
        if (piece.after >= row) --piece.after;
}

QString GetTagValue(const QString& key, const QString& record)
{
    const QString open = "<" + key + ">";
    const qsizetype start = record.indexOf(open);
    const qsizetype end = record.indexOf("</" + key + ">");
    if (start < 0 || end < 0 || end < start + open.size()) return QString();
    return unescapedValue(record.mid(start + open.size(), end - start - open.size()));
}

QStringList SplitListRecords(const QString& text) { return text.split(kItemOpen); }

bool IsReadableRecord(const QString& record)
{
    QString body = record;
    while (!body.isEmpty() && body.back().isSpace()) body.chop(1);
    if (!body.endsWith(kItemClose) || !hasField(kColFile, record)) return false;
    // A field that is opened but not closed (or closed but never opened)
    // would be read as empty and written back empty: the record stays text.
    for (const char* key : kListFileFields) {
        const QString name = key;
        if (!hasField(name, record) && (record.contains("<" + name + ">") || record.contains("</" + name + ">")))
            return false;
    }
    if (!isWholeNumber(GetTagValue(kColInc, record))) return false;
    if (GetTagValue(kColRangeAll, record) == "0")
        return isNumber(GetTagValue(kColRangeStart, record)) && isNumber(GetTagValue(kColRangeLength, record));
    return true;
}

bool IsReadablePiece(const QString& piece)
{
    return piece.startsWith(kItemOpen) && IsReadableRecord(piece.mid(kItemOpen.size()));
}

ListRecords SortListRecords(const QString& text)
{
    ListRecords out;
    const QStringList parts = SplitListRecords(text);
    out.parts = parts.size();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part.trimmed().isEmpty()) continue;
        const QString piece = i > 0 ? kItemOpen + part : part;
        out.pieces.append({piece, IsReadablePiece(piece)});
    }
    return out;
}

KeptTexts TakeRows(const ListRecords& records, const std::function<bool(const QString& record)>& takeRow)
{
    KeptTextsInOrder walk;
    for (const ListPiece& piece : records.pieces) {
        if (piece.readable && takeRow(piece.text))
            walk.Row();
        else
            walk.Keep(piece.text);
    }
    return walk.Kept();
}

QString GetNewListFileName(const QString& sFolder)
{
    for (int n = 1;; ++n) {
        const QString name = QString("New Items List %1.flst").arg(n);
        if (!FileExists(sFolder + name)) return name;
    }
}

namespace {

QByteArray ReadListBytes(const QString& path)
{
    if (!FileExists(path)) return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString ReadListFile(const QString& path)
{
    QString text = platform::DecodeTextPieces(ReadListBytes(path), "<ITEM>");
    if (text.endsWith(kCrLf)) text.chop(2);
    return text;
}

ListFileParts::ListFileParts(const QString& path)
{
    if (FileExists(path)) platform::ReadFileStamped(path, &m_bytes, &m_stamp);
    const QByteArray mark = kItemOpen.toLatin1();
    m_starts.append(0);
    for (qsizetype at = m_bytes.indexOf(mark); at >= 0; at = m_bytes.indexOf(mark, at + mark.size()))
        m_starts.append(at);
}

QString ListFileParts::Text(qsizetype part) const
{
    const qsizetype start = m_starts[part];
    const qsizetype end = part + 1 < m_starts.size() ? m_starts[part + 1] : m_bytes.size();
    QString text = platform::DecodeTextPiece(QByteArrayView(m_bytes).sliced(start, end - start), part == 0);
    if (part + 1 == m_starts.size() && text.endsWith(kCrLf)) text.chop(2);
    return text;
}

bool WriteListFile(const QString& path, const QString& text, platform::FileStamp* written)
{
    // Reading drops a byte-order mark at the start of the file, so text that
    // starts with one is written after a second one.
    const QString body = text.startsWith(QChar(0xFEFF)) ? QChar(0xFEFF) + text : text;
    return platform::SaveFileWhole(path, platform::EncodeText(body + kCrLf), written);
}

QString KeepOtherListVersion(const QString& path)
{
    const QString stem = (path.endsWith(".flst") ? path.chopped(5) : path) + " (changed elsewhere";
    for (int n = 1; n < 1000; ++n) {
        const QString aside = stem + (n == 1 ? QString() : QString(" %1").arg(n)) + ").flst";
        // A rename that never replaces a file: the other version stays whole.
        if (QFile::rename(path, aside)) return aside;
        if (!QFile::exists(aside)) return {};
    }
    return {};
}

bool CreateEmptyListFile(const QString& path) { return platform::SaveFileWhole(path, QByteArray()); }
