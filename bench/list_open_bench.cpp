// Opens items lists in the main window (each row's file read for its length,
// size, date and tags): 10,000 and 100,000 rows of generated short WAV files,
// 10,000 rows of real-shaped files (ListsBenchSupport.h: four-minute WAVs,
// OGGs and MP3s with a cover), and 300,000 rows (the short WAVs three times
// over). The 10,000-row lists open like for like: each set with its files'
// pages cached, and each with them dropped from the page cache.
// Prints, each on its own line:
//   read_facts_10000_files_ms   one reader reading 10,000 short WAVs' facts
//   mp3_facts_cpu_ms_per_file   CPU time of one reader reading a real-shaped
//                               MP3's facts and tags (pages cached)
//   open_10000_rows_ms          the short WAVs, pages cached
//   cached_pages_after_drop_tiny  pages of the short WAVs still cached after
//                               the drop (0: the next figure is from the disk)
//   open_10000_rows_cold_ms     the short WAVs, pages dropped
//   cached_pages_after_drop_real, open_10000_real_rows_ms
//                               the same for the real-shaped mix
//   open_10000_real_rows_warm_ms  the real-shaped mix again, pages cached
//   real_to_tiny_warm_ratio     open_10000_real_rows_warm_ms / open_10000_rows_ms
//   real_to_tiny_cold_ratio     open_10000_real_rows_ms / open_10000_rows_cold_ms
//   open_100000_rows_ms, load_max_stall_ms (the longest time the window's
//                               event loop did not run while they opened)
//   open_300000_rows_ms, open_300000_rows_stall_ms (the same, opened over the
//                               100,000 rows, which the grid drops first)
//   bytes_per_row               resident memory the 300,000 rows add, once
//                               open, to the program with no row yet
//   peak_memory_mb              the process's peak resident size
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
#include <ctime>

namespace {

constexpr int kSmall = 10000;
constexpr int kLarge = 100000;
constexpr int kHuge = 300000;

// A list file of `count` rows of the files, taken in turn, written record by record.
bool WriteList(const QString& path, const QStringList& files, int count)
{
    QFile list(path);
    if (!list.open(QIODevice::WriteOnly)) return false;
    for (int n = 0; n < count; ++n) {
        const qsizetype i = n % files.size();
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
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}

// Opens the node with its files' pages dropped from the page cache first;
// prints how many of their pages the cache still held (0 when the drop did
// happen) before the opening.
Opening OpenCold(CfrmMain* main, cTreeNode* node, const QStringList& files, const char* what)
{
    if (!listsbench::DropFromPageCache(files)) std::fprintf(stderr, "the page cache could not be dropped\n");
    std::printf("cached_pages_after_drop_%s=%lld\n", what, static_cast<long long>(listsbench::CachedPages(files)));
    return Open(main, node);
}

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The facts and tags of the files, read by one reader as a list reads them.
void ReadFacts(const QStringList& paths)
{
    std::unique_ptr<cAudioConverter> reader = CreateAudioConverter();
    for (const QString& path : paths) {
        QFileInfo(path).size();
        GetFileCreatedDate(path);
        if (reader->OpenSourceFile(path) == 0 && g_bCopyID3FromSource) reader->ReadTags(path);
        reader->CloseSourceFile();
    }
}

bool Print(const char* name, const Opening& opened, int rows)
{
    if (opened.rows != rows) {
        std::fprintf(stderr, "%s: the grid holds %d rows, not %d\n", name, opened.rows, rows);
        return false;
    }
    std::printf("%s=%lld\n", name, static_cast<long long>(opened.ms));
    std::fflush(stdout);
    return true;
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
    QDir(dir.path()).mkpath("real");
    const listsbench::RealModels models = listsbench::MakeRealModels(dir.path());
    const QStringList real = models.paths.isEmpty() ? QStringList()
                                                    : listsbench::MakeRealFiles(models, dir.path() + "/real", kSmall);
    if (paths.size() != kLarge || real.size() != kSmall) {
        std::fprintf(stderr, "could not write the audio files (ffmpeg is needed)\n");
        return 1;
    }
    if (!WriteList(g_sToPath + "Bench 10000.flst", paths.mid(0, kSmall), kSmall) ||
        !WriteList(g_sToPath + "Bench 100000.flst", paths, kLarge) ||
        !WriteList(g_sToPath + "Bench 300000.flst", paths, kHuge) ||
        !WriteList(g_sToPath + "Bench real 10000.flst", real, kSmall))
        return 1;
    QFile(g_sToPath + "A first.flst").open(QIODevice::WriteOnly);

    CfrmMain* main = frmMain.get();
    main->show();
    // Start-up opens the empty first list.
    while (main->IsListLoading()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    auto node = [&](const QString& name) { return main->cTreeView1->Nodes()->Item(g_sToPath + name + ".flst"); };
    for (const char* name : {"A first", "Bench 10000", "Bench 100000", "Bench 300000", "Bench real 10000"})
        if (!node(name)) return 1;

    // What the rows hold once open: from the start, with no row yet, to the open list.
    const qint64 before = listsbench::ResidentBytes();
    if (Open(main, node("Bench 300000")).rows != kHuge) return 1;
    const qint64 bytesPerRow = (listsbench::ResidentBytes() - before) / kHuge;
    Open(main, node("A first"));

    // What the files' facts cost alone: one reader, as the list uses it.
    QElapsedTimer timer;
    timer.start();
    ReadFacts(paths.mid(0, kSmall));
    std::printf("read_facts_10000_files_ms=%lld\n", static_cast<long long>(timer.elapsed()));
    QStringList mp3s = real.filter(".mp3");
    ReadFacts(mp3s); // pages cached
    const double cpu = ThreadCpuMs();
    ReadFacts(mp3s);
    std::printf("mp3_facts_cpu_ms_per_file=%.3f\n", (ThreadCpuMs() - cpu) / double(mp3s.size()));

    // Like for like: each set once with its pages cached (the short WAVs were
    // written and read a moment ago), once with them dropped from the cache.
    const QStringList tinyFiles = paths.mid(0, kSmall);
    const Opening tiny = Open(main, node("Bench 10000"));
    if (!Print("open_10000_rows_ms", tiny, kSmall)) return 1;
    const Opening tinyCold = OpenCold(main, node("Bench 10000"), tinyFiles, "tiny");
    if (!Print("open_10000_rows_cold_ms", tinyCold, kSmall)) return 1;
    const Opening cold = OpenCold(main, node("Bench real 10000"), real, "real");
    if (!Print("open_10000_real_rows_ms", cold, kSmall)) return 1;
    const Opening warm = Open(main, node("Bench real 10000"));
    if (!Print("open_10000_real_rows_warm_ms", warm, kSmall)) return 1;
    std::printf("real_to_tiny_warm_ratio=%.2f\n", double(warm.ms) / double(std::max<qint64>(tiny.ms, 1)));
    std::printf("real_to_tiny_cold_ratio=%.2f\n", double(cold.ms) / double(std::max<qint64>(tinyCold.ms, 1)));

    const Opening large = Open(main, node("Bench 100000"));
    if (!Print("open_100000_rows_ms", large, kLarge)) return 1;
    std::printf("load_max_stall_ms=%lld\n", static_cast<long long>(large.maxStallMs));
    const Opening huge = Open(main, node("Bench 300000"));
    if (!Print("open_300000_rows_ms", huge, kHuge)) return 1;
    std::printf("open_300000_rows_stall_ms=%lld\n", static_cast<long long>(huge.maxStallMs));

    std::printf("bytes_per_row=%lld\n", static_cast<long long>(bytesPerRow));
    std::printf("peak_memory_mb=%ld\n", PeakMemoryMb());
    std::fflush(stdout);
    listsbench::Close(main);
    return 0;
}
