// Adds files to an empty items list through the add-files window (facts,
// tags, progress, the list file written once at the end): 1,000 generated
// short WAV files, then 1,000 real-shaped files (ListsBenchSupport.h:
// four-minute WAVs, OGGs and MP3s with a cover, their pages dropped from the
// page cache first) after them. Like for like, the short WAVs are added a
// second time with their pages dropped too. Prints add_ms_per_file=X (the
// short WAVs, cached), add_cold_ms_per_file=X (the same, dropped),
// add_real_ms_per_file=X (the real-shaped files, dropped) and
// real_to_tiny_cold_ratio=X, each on its own line. --short: 150 files of
// each kind, of 20-second models, to see that it runs.
#include "ListsBenchSupport.h"

#include "controls/widgets/WindowWidgets.h"
#include "mainwindow/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace {

// Drops the files on the grid; the time per file in ms, or -1 when the list
// did not end up with `rows` rows in the grid and in its file.
double AddFiles(CfrmMain* main, const QStringList& paths, int rows)
{
    QElapsedTimer timer;
    timer.start();
    main->cGrid1_OLEDragDrop(paths, 1, 1, 0, 10, 10);
    QApplication::processEvents();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    QFile list(g_sToPath + "New Items List 1.flst");
    const int saved = list.open(QIODevice::ReadOnly) ? int(list.readAll().count("<ITEM>")) : -1;
    if (main->cGrid1->Rows() != rows || saved != rows) {
        std::fprintf(stderr, "the grid holds %d rows, the list file %d\n", main->cGrid1->Rows(), saved);
        return -1;
    }
    return ms / double(paths.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool brief = bench::ShortMode(app.arguments());
    QTemporaryDir dir;
    listsbench::SetUpProgram(dir);
    const int files = brief ? 150 : 1000;
    const QStringList paths = listsbench::MakeWavFiles(dir, files);
    QDir(dir.path()).mkpath("real");
    const listsbench::RealModels models = listsbench::MakeRealModels(dir.path(), brief ? 20 : 240);
    const QStringList real =
        models.paths.isEmpty() ? QStringList() : listsbench::MakeRealFiles(models, dir.path() + "/real", files);
    if (paths.size() != files || real.size() != files) {
        std::fprintf(stderr, "could not write the audio files (ffmpeg is needed)\n");
        return 1;
    }

    CfrmMain* main = frmMain.get();
    main->show();
    // The first list opens while the window works: the files go to it once it has.
    while (main->IsListLoading()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();

    const double tiny = AddFiles(main, paths, files);
    if (tiny < 0) return 1;
    std::printf("add_ms_per_file=%.3f\n", tiny);
    std::fflush(stdout);
    if (!listsbench::DropFromPageCache(paths)) std::fprintf(stderr, "the page cache could not be dropped\n");
    const double tinyCold = AddFiles(main, paths, 2 * files);
    if (tinyCold < 0) return 1;
    std::printf("add_cold_ms_per_file=%.3f\n", tinyCold);
    if (!listsbench::DropFromPageCache(real)) std::fprintf(stderr, "the page cache could not be dropped\n");
    const double realShaped = AddFiles(main, real, 3 * files);
    if (realShaped < 0) return 1;
    std::printf("add_real_ms_per_file=%.3f\n", realShaped);
    std::printf("real_to_tiny_cold_ratio=%.2f\n", realShaped / std::max(tinyCold, 1e-9));
    listsbench::Close(main);
    return 0;
}
