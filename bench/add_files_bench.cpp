// Adds 1,000 generated WAV files to an empty items list through the add-files
// window (facts, tags, progress, the list file written once at the end);
// prints add_ms_per_file=X.
#include "ListsBenchSupport.h"

#include "controls/widgets/WindowWidgets.h"
#include "mainwindow/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    listsbench::SetUpProgram(dir);
    constexpr int kFiles = 1000;
    const QStringList paths = listsbench::MakeWavFiles(dir, kFiles);
    if (paths.size() != kFiles) return 1;

    CfrmMain* main = frmMain.get();
    main->show();
    // The first list opens while the window works: the files go to it once it has.
    while (main->IsListLoading()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    main->cGrid1_OLEDragDrop(paths, 1, 1, 0, 10, 10);
    QApplication::processEvents();
    const double ms = double(timer.nsecsElapsed()) / 1e6;

    QFile list(g_sToPath + "New Items List 1.flst");
    const int saved = list.open(QIODevice::ReadOnly) ? int(list.readAll().count("<ITEM>")) : -1;
    if (main->cGrid1->Rows() != kFiles || saved != kFiles) {
        std::fprintf(stderr, "the grid holds %d rows, the list file %d\n", main->cGrid1->Rows(), saved);
        return 1;
    }
    std::printf("add_ms_per_file=%.3f\n", ms / kFiles);
    listsbench::Close(main);
    return 0;
}
