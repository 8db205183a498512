// Fuzzes the items-list file: any bytes must read without a fault, read part
// by part as the whole text reads, and the
// rows and kept texts (damaged records, records standing for items whose
// file cannot be opened) read from them must be written and read back
// unchanged, each kept text in its place. Rows are loaded the way the main
// window loads a list, minus the checks on the audio files themselves.
#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "lists/ItemsListFile.h"
#include "mainwindow/GridSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QApplication* g_app = nullptr;
cGrid* g_grid = nullptr;
QTemporaryDir* g_dir = nullptr;

struct Loaded {
    std::vector<QStringList> rows; // the mark icon, then the thirteen stored texts
    KeptTexts kept;
    // Each kept text after the number of rows before it, for comparing.
    QStringList keptShown() const
    {
        QStringList shown;
        for (const KeptText& piece : kept) shown << QString::number(piece.after) + ":" + piece.text;
        return shown;
    }
};

Loaded load(const QString& text)
{
    Loaded out;
    g_grid->Clear();
    int n = 0;
    // Every third readable record stands for one whose audio file cannot be opened now.
    int readable = 0;
    out.kept = TakeRows(SortListRecords(text), [&](const QString& part) {
        if (++readable % 3 == 0) return false;
        ++n;
        auto field = [&](const char* key) { return GetTagValue(key, part); };
        g_grid->CellDetails(n, kColInc, QVariant(), kIconCellFormat, field(kColInc).trimmed().toInt());
        g_grid->CellDetails(n, kColType, "", kIconCellFormat, 0);
        g_grid->CellDetails(n, kColItemName, field(kColItemName));
        g_grid->CellDetails(n, kColFile, field(kColFile));
        if (field(kColRangeAll) == "0") {
            g_grid->CellDetails(n, kColRangeAll, "0");
            g_grid->CellDetails(n, kColRangeStart, field(kColRangeStart));
            g_grid->CellDetails(n, kColRangeLength, field(kColRangeLength));
        } else {
            g_grid->CellDetails(n, kColRangeAll, "1");
        }
        for (const char* key : {kColTagAlbum, kColTagArtist, kColTagComment, kColTagGenre, kColTagYear, kColTagTitle,
                                kColTagTrack})
            g_grid->CellDetails(n, key, field(key));
        return true;
    });
    for (int row = 1; row <= g_grid->Rows(); ++row) {
        QStringList cells{QString::number(g_grid->CellIconIndex(row, kColInc))};
        for (int f = 1; f < 14; ++f) cells << g_grid->CellText(row, kListFileFields[f]).toString();
        out.rows.push_back(cells);
    }
    return out;
}

// Whether some values hold each other's tags (directly or round a cycle):
// fields are stored without escapes, so such a row cannot be written so
// that it reads back the same, in any field order.
bool tagsCrossed(const QStringList& cells)
{
    // cells[0] is the mark icon; the "Type" value is always written as "Audio".
    QStringList values = cells;
    values[0] = QString::number(values[0].toInt());
    values[1] = QStringLiteral("Audio");
    bool holds[14][14] = {}; // holds[b][a]: value b holds a tag of field a
    for (int b = 0; b < 14; ++b)
        for (int a = 0; a < 14; ++a) {
            const QString key = kListFileFields[a];
            holds[b][a] = a != b && (values[b].contains("<" + key + ">") || values[b].contains("</" + key + ">"));
        }
    // Transitive closure; a cycle shows as a field reaching itself.
    for (int k = 0; k < 14; ++k)
        for (int i = 0; i < 14; ++i)
            for (int j = 0; j < 14; ++j)
                if (holds[i][k] && holds[k][j]) holds[i][j] = true;
    for (int i = 0; i < 14; ++i)
        if (holds[i][i]) return true;
    return false;
}

QByteArray shown(const QString& s) { return s.toUtf8().toPercentEncoding(" <>/_:\"'"); }

[[noreturn]] void fail(const char* what, const QString& first, const QString& second)
{
    std::fprintf(stderr, "items list round trip: %s\n--- first ---\n%s\n--- second ---\n%s\n", what,
                 shown(first).constData(), shown(second).constData());
    std::abort();
}

} // namespace

// Fontconfig keeps its caches until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    g_app = new QApplication(qtArgc, qtArgv);
    g_grid = new cGrid;
    SetupFileGrid(g_grid, nullptr);
    g_dir = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = g_dir->filePath("list.flst");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const QString text = ReadListFile(path);
    // Decoded part by part, as a large list is, the file gives the same parts.
    const QStringList split = SplitListRecords(text);
    const ListFileParts parts(path);
    if (parts.Count() != split.size()) fail("part count differs", QString::number(split.size()), QString::number(parts.Count()));
    for (qsizetype i = 0; i < split.size(); ++i)
        if (parts.Text(i) != (i > 0 ? "<ITEM>" + split[i] : split[i])) fail("part differs", split[i], parts.Text(i));
    const Loaded first = load(text);
    const QString written = ListTextOfGrid(g_grid, first.kept);
    if (!WriteListFile(path, written)) std::abort();
    const QString reread = ReadListFile(path);
    if (reread != written) fail("file text changed on disk", written, reread);
    // A row whose values hold each other's tags may read back differently, or
    // even as a damaged record; such inputs are only checked for faults.
    for (const auto& row : first.rows)
        if (tagsCrossed(row)) {
            load(reread);
            return 0;
        }
    const Loaded second = load(reread);
    if (second.keptShown() != first.keptShown())
        fail("kept texts changed", first.keptShown().join("|"), second.keptShown().join("|"));
    if (second.rows.size() != first.rows.size())
        fail("row count changed", QString::number(first.rows.size()) + "\n" + written,
             QString::number(second.rows.size()));
    for (size_t r = 0; r < first.rows.size(); ++r)
        if (second.rows[r] != first.rows[r]) fail("row changed", first.rows[r].join("\n"), second.rows[r].join("\n"));
    const QString written2 = ListTextOfGrid(g_grid, second.kept);
    if (written2 != written) fail("written text changed", written, written2);
    return 0;
}
