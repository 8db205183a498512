// Fills a grid set up like the main items list with 10,000 rows of 19 columns,
// drawing off, then shows it; prints grid_fill_10000_rows_ms=N.
#include "controls/WindowWidgets.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QPixmap>

#include <cstdio>

namespace {

constexpr int kRows = 10000;

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

// One row as a new file row is written: cell after cell, each looked up by key.
void addRow(cGrid& grid, int n, const QDateTime& created)
{
    const int row = grid.Rows() + 1;
    const QString name = QString("Track %1").arg(n, 5, 10, QChar('0'));
    grid.CellDetails(row, grid.ColumnIndex("Inc"), QVariant(), 0x40020, 1);
    grid.CellDetails(row, grid.ColumnIndex("Type"), "", 0x40020, 3);
    grid.CellDetails(row, grid.ColumnIndex("Item Name"), name);
    grid.CellDetails(row, grid.ColumnIndex("Time"), "00:03:25");
    grid.CellDetails(row, grid.ColumnIndex("Size"), "34.5 MB");
    grid.CellDetails(row, grid.ColumnIndex("COL_FILE"), "/music/" + name + ".wav");
    grid.CellDetails(row, grid.ColumnIndex("Created"), created);
    grid.CellDetails(row, grid.ColumnIndex("Range"), "All");
    grid.CellDetails(row, grid.ColumnIndex("COL_RANGE_ALL"), "1");
    grid.CellDetails(row, grid.ColumnIndex("COL_RANGE_START_TIME"), "");
    grid.CellDetails(row, grid.ColumnIndex("COL_RANGE_LENGTH_TIME"), "");
    grid.CellDetails(row, grid.ColumnIndex("COL_BYTES_SIZE"), 36175872);
    for (const char* tag : {"COL_TAG_ALBUM", "COL_TAG_ARTIST", "COL_TAG_COMMENT", "COL_TAG_GEN", "COL_TAG_YEAR",
                            "COL_TAG_TITLE", "COL_TAG_TRACK"})
        grid.CellDetails(row, grid.ColumnIndex(tag), name);
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

    const QDateTime created = QDateTime::currentDateTime();
    QElapsedTimer timer;
    timer.start();
    grid.SetRedraw(false);
    for (int n = 1; n <= kRows; ++n) addRow(grid, n, created);
    grid.SetRedraw(true);
    grid.SetSelectedRow(kRows);
    QApplication::processEvents();
    const qint64 ms = timer.elapsed();

    if (grid.Rows() != kRows || grid.Columns() != 19) {
        std::fprintf(stderr, "grid holds %d rows and %d columns\n", grid.Rows(), grid.Columns());
        return 1;
    }
    std::printf("grid_fill_10000_rows_ms=%lld\n", static_cast<long long>(ms));
    return 0;
}
