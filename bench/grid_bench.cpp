// Fills a grid set up like the main items list with 10,000 and then 100,000
// rows of 19 columns, drawing off, cells written by column number as the lists
// write them, then shows it; prints grid_fill_100000_rows_ms=N, then on the
// last line grid_fill_10000_rows_ms=N. --short: 1,000 and 10,000 rows (the
// names carry the counts), to see that it runs.
#include "AudioBenchSupport.h"
#include "controls/widgets/WindowWidgets.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QPixmap>

#include <cstdio>
#include <vector>

namespace {


const char* const kHiddenColumns[] = {
    "COL_FILE",      "COL_RANGE_ALL", "COL_RANGE_START_TIME", "COL_RANGE_LENGTH_TIME", "COL_BYTES_SIZE",
    "COL_TAG_ALBUM", "COL_TAG_ARTIST", "COL_TAG_COMMENT",     "COL_TAG_GEN",           "COL_TAG_YEAR",
    "COL_TAG_TITLE", "COL_TAG_TRACK"};

void addColumns(cGrid& grid)
{
    grid.AddColumn("Inc", "Inc", 0, -1, 26);
    grid.AddColumn("Type", "Type", 0, -1, 40);
    grid.AddColumn("Item Name", "Item Name", 0, -1, 200);
    grid.AddColumn("Size", "Size", 0, -1, 80, false);
    grid.AddColumn("Time", "Time-Length", 0, -1, 80, false);
    grid.AddColumn("Created", "Created", 0, -1, 140, false);
    grid.AddColumn("Range", "Range", 0, -1, 120);
    for (const char* key : kHiddenColumns) grid.AddColumn(key, key, 0, -1, -1, false);
}

// One row as a list row is written: cell after cell, by column number.
void addRow(cGrid& grid, int n, const QDateTime& created)
{
    static const char* const keys[] = {"Inc",          "Type", "Item Name", "Time", "Size", "COL_FILE", "Created",
                                       "Range",        "COL_RANGE_ALL", "COL_RANGE_START_TIME",
                                       "COL_RANGE_LENGTH_TIME", "COL_BYTES_SIZE"};
    static std::vector<int> column;
    if (column.empty())
        for (const char* key : keys) column.push_back(grid.ColumnIndex(key));
    const int row = grid.Rows() + 1;
    const QString name = QString("Track %1").arg(n, 6, 10, QChar('0'));
    grid.CellDetails(row, column[0], QVariant(), 0x40020, 1);
    grid.CellDetails(row, column[1], QStringLiteral(""), 0x40020, 3);
    grid.CellDetails(row, column[2], name);
    grid.CellDetails(row, column[3], QStringLiteral("00:03:25"));
    grid.CellDetails(row, column[4], QStringLiteral("34.5 MB"));
    grid.CellDetails(row, column[5], "/music/" + name + ".wav");
    grid.CellDetails(row, column[6], created);
    grid.CellDetails(row, column[7], QStringLiteral("All"));
    grid.CellDetails(row, column[8], QStringLiteral("1"));
    grid.CellDetails(row, column[9], QString());
    grid.CellDetails(row, column[10], QString());
    grid.CellDetails(row, column[11], qint64(36175872));
    for (int tag = 13; tag <= 19; ++tag) grid.CellDetails(row, tag, name);
}

// Fills the grid with `rows` rows, drawing off, and shows them; the time in ms.
qint64 fill(cGrid& grid, int rows)
{
    grid.Clear();
    QApplication::processEvents();
    const QDateTime created = QDateTime::currentDateTime();
    QElapsedTimer timer;
    timer.start();
    grid.SetRedraw(false);
    for (int n = 1; n <= rows; ++n) addRow(grid, n, created);
    grid.SetRedraw(true);
    grid.SetSelectedRow(rows);
    QApplication::processEvents();
    return timer.elapsed();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    cImageList images;
    for (Qt::GlobalColor color : {Qt::white, Qt::green, Qt::gray, Qt::blue, Qt::red}) {
        QPixmap pm(16, 16);
        pm.fill(color);
        images.Add(QIcon(pm));
    }
    cGrid grid;
    grid.resize(900, 700);
    grid.SetRowHeight(24);
    grid.SetImageList(&images);
    addColumns(grid);
    grid.SetGridLines(true);
    grid.SetHotTrack(true);
    grid.show();
    QApplication::processEvents();

    qint64 ms[2] = {};
    const bool brief = bench::ShortMode(app.arguments());
    const int rows[2] = {brief ? 1000 : 10000, brief ? 10000 : 100000};
    for (int i = 0; i < 2; ++i) {
        ms[i] = fill(grid, rows[i]);
        if (grid.Rows() != rows[i] || grid.Columns() != 19) {
            std::fprintf(stderr, "grid holds %d rows and %d columns\n", grid.Rows(), grid.Columns());
            return 1;
        }
    }
    std::printf("grid_fill_%d_rows_ms=%lld\n", rows[1], static_cast<long long>(ms[1]));
    std::printf("grid_fill_%d_rows_ms=%lld\n", rows[0], static_cast<long long>(ms[0]));
    return 0;
}
