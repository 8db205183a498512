// Opens items lists in the main window (each row's file read for its length,
// size, date and tags): 10,000 and 100,000 rows of generated short WAV files,
// 10,000 rows of real-shaped files (ListsBenchSupport.h: four-minute WAVs,
// OGGs and MP3s with a cover), and 300,000 rows (the short WAVs three times
// over). The 10,000-row lists open like for like: each set with its files'
// pages cached, and each with them dropped from the page cache. Each list is
// opened N times (--runs N, 5 by default), the lists in turn, each over the
// empty list but the 300,000 rows; every time figure is the median of its N
// openings.
// --short: 500, 2,000 and 6,000 short rows and 300 real-shaped rows of
// 20-second models, one run: to see that it runs (the names carry the counts).
// Prints, each on its own line:
//   read_facts_10000_files_ms   one reader reading 10,000 short WAVs' facts
//   mp3_facts_cpu_ms_per_file   CPU time of one reader reading a real-shaped
//                               MP3's facts and tags (pages cached)
//   cached_pages_after_drop_tiny  pages of the short WAVs still cached after
//                               the last drop (0: the cold figures are from
//                               the disk)
//   cached_pages_after_drop_real  the same for the real-shaped mix
//   open_10000_rows_ms          the short WAVs, pages cached
//   open_10000_rows_cold_ms     the short WAVs, pages dropped
//   open_10000_real_rows_ms     the real-shaped mix, pages dropped
//   open_10000_real_rows_warm_ms  the real-shaped mix, pages cached
//   real_to_tiny_warm_ratio     open_10000_real_rows_warm_ms / open_10000_rows_ms
//   real_to_tiny_cold_ratio     open_10000_real_rows_ms / open_10000_rows_cold_ms
//   open_100000_rows_ms, load_max_stall_ms (the longest time the window's
//                               event loop did not run while they opened)
//   open_300000_rows_ms, open_300000_rows_stall_ms (the same, opened over the
//                               100,000 rows, which the grid drops first)
//   bytes_per_row               heap memory a row of the 300,000 holds once
//                               open (malloc's bytes in use)
//   bytes_per_real_row          the same for the 10,000 real-shaped rows,
//                               whose files carry tags
//   peak_memory_mb              the process's peak resident size
#include "ListsBenchSupport.h"

#include "controls/audio/AudioConverter.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/FileSystem.h"
#include "mainwindow/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThreadPool>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <optional>

namespace {

// The lists' sizes and how often each is opened.
struct Sizes {
    int small = 10000, large = 100000, huge = 300000, real = 10000;
    int modelSeconds = 240; // the real-shaped files' length
    int runs = 5;
};

Sizes SizesFrom(const QStringList& args)
{
    Sizes sizes;
    if (bench::ShortMode(args)) sizes = {500, 2000, 6000, 300, 20, 1};
    sizes.runs = std::max(1, bench::IntOption(args, "--runs", sizes.runs));
    return sizes;
}

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
// `stillCached` gets how many of their pages the cache still held (0 when
// the drop did happen) before the opening.
Opening OpenCold(CfrmMain* main, cTreeNode* node, const QStringList& files, qint64* stillCached)
{
    if (!listsbench::DropFromPageCache(files)) std::fprintf(stderr, "the page cache could not be dropped\n");
    *stillCached = listsbench::CachedPages(files);
    return Open(main, node);
}

// The openings of one list, each of which must have shown `rows` rows.
class Series {
public:
    Series(QString name, int rows) : m_name(std::move(name)), m_rows(rows) {}
    bool Add(const Opening& opened)
    {
        if (opened.rows != m_rows) {
            std::fprintf(stderr, "%s: the grid holds %d rows, not %d\n", qPrintable(m_name), opened.rows, m_rows);
            return false;
        }
        m_ms.push_back(double(opened.ms));
        m_stallMs.push_back(double(opened.maxStallMs));
        return true;
    }
    double Ms() const { return bench::Median(m_ms); }
    double StallMs() const { return bench::Median(m_stallMs); }
    void Print() const
    {
        std::printf("%s=%.0f\n", qPrintable(m_name), Ms());
        std::fflush(stdout);
    }

private:
    QString m_name;
    int m_rows;
    std::vector<double> m_ms, m_stallMs;
};

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

// The heap memory in use (malloc's count, every arena and mapped block).
qint64 HeapBytesInUse()
{
    const struct mallinfo2 heap = ::mallinfo2();
    return qint64(heap.uordblks) + qint64(heap.hblkhd);
}

// The heap memory a list's rows hold once open, in bytes a row: what they
// add to the window with the empty list open, the rows let go before freed
// (the grid frees many on a pool thread). malloc's count, not the resident
// size, which rises by less where the rows fill memory an earlier list
// freed, and by more where the readers' threads leave freed memory.
std::optional<qint64> BytesPerRow(CfrmMain* main, cTreeNode* empty, cTreeNode* node, int rows)
{
    Open(main, empty);
    if (!QThreadPool::globalInstance()->waitForDone(60000)) std::fprintf(stderr, "the old rows are not freed yet\n");
    const qint64 before = HeapBytesInUse();
    if (Open(main, node).rows != rows) {
        std::fprintf(stderr, "the grid does not hold the %d rows of the list\n", rows);
        return std::nullopt;
    }
    const qint64 bytes = (HeapBytesInUse() - before) / rows;
    Open(main, empty);
    return bytes;
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
    const Sizes n = SizesFrom(app.arguments());
    QTemporaryDir dir;
    listsbench::SetUpProgram(dir);
    const QStringList paths = listsbench::MakeWavFiles(dir, n.large);
    QDir(dir.path()).mkpath("real");
    const listsbench::RealModels models = listsbench::MakeRealModels(dir.path(), n.modelSeconds);
    const QStringList real = models.paths.isEmpty() ? QStringList()
                                                    : listsbench::MakeRealFiles(models, dir.path() + "/real", n.real);
    if (paths.size() != n.large || real.size() != n.real) {
        std::fprintf(stderr, "could not write the audio files (ffmpeg is needed)\n");
        return 1;
    }
    const QStringList tinyFiles = paths.mid(0, n.small);
    if (!WriteList(g_sToPath + "Bench small.flst", tinyFiles, n.small) ||
        !WriteList(g_sToPath + "Bench large.flst", paths, n.large) ||
        !WriteList(g_sToPath + "Bench huge.flst", paths, n.huge) ||
        !WriteList(g_sToPath + "Bench real.flst", real, n.real))
        return 1;
    QFile(g_sToPath + "A first.flst").open(QIODevice::WriteOnly);
    std::printf("lists of %d, %d and %d short rows and %d real-shaped rows, each opened %d times\n", n.small, n.large,
                n.huge, n.real, n.runs);

    CfrmMain* main = frmMain.get();
    main->show();
    // Start-up opens the empty first list.
    while (main->IsListLoading()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    auto node = [&](const QString& name) { return main->cTreeView1->Nodes()->Item(g_sToPath + name + ".flst"); };
    for (const char* name : {"A first", "Bench small", "Bench large", "Bench huge", "Bench real"})
        if (!node(name)) {
            std::fprintf(stderr, "the lists' tree does not show %s\n", name);
            return 1;
        }
    cTreeNode* const empty = node("A first");

    // What the rows hold once open, from an empty list: real-shaped rows
    // carry tags. Opened once before, so that what reading costs once (the
    // decoders' tables) is not charged to the rows.
    Open(main, node("Bench real"));
    const std::optional<qint64> bytesPerRealRow = BytesPerRow(main, empty, node("Bench real"), n.real);
    const std::optional<qint64> bytesPerRow = BytesPerRow(main, empty, node("Bench huge"), n.huge);
    if (!bytesPerRealRow || !bytesPerRow) return 1;

    // What the files' facts cost alone: one reader, as the list uses it.
    QElapsedTimer timer;
    timer.start();
    ReadFacts(tinyFiles);
    std::printf("read_facts_%d_files_ms=%lld\n", n.small, static_cast<long long>(timer.elapsed()));
    QStringList mp3s = real.filter(".mp3");
    ReadFacts(mp3s); // pages cached
    const double cpu = ThreadCpuMs();
    ReadFacts(mp3s);
    std::printf("mp3_facts_cpu_ms_per_file=%.3f\n", (ThreadCpuMs() - cpu) / double(mp3s.size()));

    // Like for like: each set with its pages cached (the short WAVs were
    // written and read a moment ago) and with them dropped from the cache;
    // the lists in turn, run after run.
    const QString small = QString::number(n.small), real10 = QString::number(n.real);
    Series tiny("open_" + small + "_rows_ms", n.small), tinyCold("open_" + small + "_rows_cold_ms", n.small),
        cold("open_" + real10 + "_real_rows_ms", n.real), warm("open_" + real10 + "_real_rows_warm_ms", n.real),
        large("open_" + QString::number(n.large) + "_rows_ms", n.large),
        huge("open_" + QString::number(n.huge) + "_rows_ms", n.huge);
    // Each opened over the empty list, but the 300,000 rows over the 100,000.
    auto overEmpty = [&](const char* name) {
        Open(main, empty);
        return Open(main, node(name));
    };
    auto coldOverEmpty = [&](const char* name, const QStringList& files, qint64* stillCached) {
        Open(main, empty);
        return OpenCold(main, node(name), files, stillCached);
    };
    qint64 tinyStillCached = 0, realStillCached = 0;
    for (int r = 0; r < n.runs; ++r) {
        if (!large.Add(overEmpty("Bench large")) || !huge.Add(Open(main, node("Bench huge"))) ||
            !tiny.Add(overEmpty("Bench small")) ||
            !tinyCold.Add(coldOverEmpty("Bench small", tinyFiles, &tinyStillCached)) ||
            !cold.Add(coldOverEmpty("Bench real", real, &realStillCached)) || !warm.Add(overEmpty("Bench real")))
            return 1;
        std::fprintf(stderr, "run %d of %d done\n", r + 1, n.runs);
    }
    std::printf("cached_pages_after_drop_tiny=%lld\n", static_cast<long long>(tinyStillCached));
    std::printf("cached_pages_after_drop_real=%lld\n", static_cast<long long>(realStillCached));
    for (const Series* series : {&tiny, &tinyCold, &cold, &warm}) series->Print();
    std::printf("real_to_tiny_warm_ratio=%.2f\n", warm.Ms() / std::max(tiny.Ms(), 1.0));
    std::printf("real_to_tiny_cold_ratio=%.2f\n", cold.Ms() / std::max(tinyCold.Ms(), 1.0));
    large.Print();
    std::printf("load_max_stall_ms=%.0f\n", large.StallMs());
    huge.Print();
    std::printf("open_%d_rows_stall_ms=%.0f\n", n.huge, huge.StallMs());

    std::printf("bytes_per_row=%lld\n", static_cast<long long>(*bytesPerRow));
    std::printf("bytes_per_real_row=%lld\n", static_cast<long long>(*bytesPerRealRow));
    std::printf("peak_memory_mb=%ld\n", PeakMemoryMb());
    std::fflush(stdout);
    listsbench::Close(main);
    return 0;
}
