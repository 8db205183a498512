// Opens items lists of 10,000 and 100,000 rows of generated short WAV files
// (each file read for its length, size, date and tags) in the main window.
// Prints first how long reading 10,000 files' facts alone takes with one
// reader (read_facts_10000_files_ms=R) and the program's peak memory with the
// 100,000-row list open (peak_memory_mb=M), then, on the last lines,
// open_10000_rows_ms=N, open_100000_rows_ms=N and load_max_stall_ms=N: the
// longest time the window's event loop did not run while the 100,000-row
// list opened.
#include "ListsBenchSupport.h"

#include "controls/audio/AudioConverter.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/FileSystem.h"
#include "mainwindow/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kSmall = 10000;
constexpr int kLarge = 100000;

// A list file of the first `count` files, written record by record.
bool WriteList(const QString& path, const QStringList& files, int count)
{
    QFile list(path);
    if (!list.open(QIODevice::WriteOnly)) return false;
    for (int i = 0; i < count; ++i) {
        const QString record =
            "<ITEM><Inc>1</Inc><Type>Audio</Type><Item Name>" + files[i].section('/', -1) + "</Item Name><COL_FILE>" +
            files[i] +
            "</COL_FILE><COL_RANGE_ALL>1</COL_RANGE_ALL><COL_RANGE_START_TIME></COL_RANGE_START_TIME>"
            "<COL_RANGE_LENGTH_TIME></COL_RANGE_LENGTH_TIME><COL_TAG_ALBUM></COL_TAG_ALBUM>"
            "<COL_TAG_ARTIST></COL_TAG_ARTIST><COL_TAG_COMMENT></COL_TAG_COMMENT><COL_TAG_GEN></COL_TAG_GEN>"
            "<COL_TAG_YEAR></COL_TAG_YEAR><COL_TAG_TITLE></COL_TAG_TITLE><COL_TAG_TRACK></COL_TAG_TRACK></ITEM>";
        if (list.write(record.toUtf8()) < 0) return false;
    }
    return list.write("\r\n") == 2;
}

struct Opening {
    qint64 ms = 0;
    qint64 maxStallMs = 0;
    int rows = 0;
};

// Opens the node and runs the event loop until its rows are shown, timing
// the whole and the longest stretch in which the event loop did not run.
Opening Open(CfrmMain* main, cTreeNode* node)
{
    Opening result;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] { result.maxStallMs = std::max(result.maxStallMs, sinceTick.restart()); });
    QElapsedTimer timer;
    tick.start();
    timer.start();
    sinceTick.start();
    main->cTreeView1_NodeClick(node);
    while (main->IsListLoading()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    result.ms = timer.elapsed();
    result.maxStallMs = std::max(result.maxStallMs, sinceTick.elapsed());
    result.rows = main->cGrid1->Rows();
    return result;
}

// The largest resident size the process has had, in MiB.
long PeakMemoryMb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    listsbench::SetUpProgram(dir);
    const QStringList paths = listsbench::MakeWavFiles(dir, kLarge);
    if (paths.size() != kLarge) {
        std::fprintf(stderr, "could not write the WAV files\n");
        return 1;
    }
    if (!WriteList(g_sToPath + "Bench 10000.flst", paths, kSmall) ||
        !WriteList(g_sToPath + "Bench 100000.flst", paths, kLarge))
        return 1;
    QFile(g_sToPath + "A first.flst").open(QIODevice::WriteOnly);

    CfrmMain* main = frmMain.get();
    main->show();
    // Start-up opens the empty first list.
    while (main->IsListLoading()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    cTreeNode* small = main->cTreeView1->Nodes()->Item(g_sToPath + "Bench 10000.flst");
    cTreeNode* large = main->cTreeView1->Nodes()->Item(g_sToPath + "Bench 100000.flst");
    if (!small || !large) return 1;

    // What the files' facts cost alone: one reader, as the list uses it.
    QElapsedTimer timer;
    timer.start();
    {
        std::unique_ptr<cAudioConverter> reader = CreateAudioConverter();
        for (int i = 0; i < kSmall; ++i) {
            const QString& path = paths[i];
            QFileInfo(path).size();
            GetFileCreatedDate(path);
            if (reader->OpenSourceFile(path) == 0 && g_bCopyID3FromSource) reader->ReadTags(path);
            reader->CloseSourceFile();
        }
    }
    std::printf("read_facts_10000_files_ms=%lld\n", static_cast<long long>(timer.elapsed()));

    const Opening opened10k = Open(main, small);
    if (opened10k.rows != kSmall) {
        std::fprintf(stderr, "the grid holds %d rows\n", opened10k.rows);
        return 1;
    }
    const Opening opened100k = Open(main, large);
    if (opened100k.rows != kLarge) {
        std::fprintf(stderr, "the grid holds %d rows\n", opened100k.rows);
        return 1;
    }
    std::printf("peak_memory_mb=%ld\n", PeakMemoryMb());
    std::printf("open_10000_rows_ms=%lld\n", static_cast<long long>(opened10k.ms));
    std::printf("open_100000_rows_ms=%lld\n", static_cast<long long>(opened100k.ms));
    std::printf("load_max_stall_ms=%lld\n", static_cast<long long>(opened100k.maxStallMs));
    std::fflush(stdout);
    listsbench::Close(main);
    return 0;
}
