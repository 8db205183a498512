// Fuzzes the items-list file: any bytes must read without a fault, read part
// by part as the whole text reads, and the
// rows and kept texts (damaged records, records standing for items whose
// file cannot be opened) read from them must be written and read back
// unchanged, each kept text in its place. Rows are loaded the way the main
// window loads a list, minus the checks on the audio files themselves.
// The same bytes, cut at tabs, are also the values of a row in the grid
// (any text at all, as file names, tags and CD titles may hold), which must
// come back unchanged from the file it is saved in.
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
#include <iterator>

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

namespace {

// The stored texts of a row the grid gets from the input, one value per tab.
void gridRoundTrip(const QString& path, const QString& text)
{
    const QStringList values = text.split('\t');
    g_grid->Clear();
    g_grid->CellDetails(1, kColInc, QVariant(), kIconCellFormat, int(values.size() % 2));
    g_grid->CellDetails(1, kColType, "", kIconCellFormat, 0);
    const bool ranged = values.size() % 3 == 0;
    g_grid->CellDetails(1, kColRangeAll, ranged ? "0" : "1");
    if (ranged) {
        g_grid->CellDetails(1, kColRangeStart, "1.5");
        g_grid->CellDetails(1, kColRangeLength, "2");
    }
    const char* const texts[] = {kColItemName, kColFile,    kColTagAlbum, kColTagArtist, kColTagComment,
                                 kColTagGenre, kColTagYear, kColTagTitle, kColTagTrack};
    for (qsizetype i = 0; i < qsizetype(std::size(texts)); ++i) g_grid->CellDetails(1, texts[i], values.value(i));
    QStringList cells{QString::number(g_grid->CellIconIndex(1, kColInc))};
    for (int f = 1; f < 14; ++f) cells << g_grid->CellText(1, kListFileFields[f]).toString();

    const QString written = ListTextOfGrid(g_grid);
    if (!WriteListFile(path, written)) std::abort();
    const Loaded back = load(ReadListFile(path));
    if (!back.kept.isEmpty()) fail("grid row kept as text", cells.join("\n"), written);
    if (back.rows.size() != 1 || back.rows[0] != cells)
        fail("grid row changed", cells.join("\n"), back.rows.empty() ? written : back.rows[0].join("\n"));
}

} // namespace

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
    gridRoundTrip(path, text);
    return 0;
}
