// The data disc writer controls on their image writer: the ISO image read
// back through xorriso.
#include "controls/burn/BurnerEngine.h"
#include "controls/burn/BurnerTestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace burntest;

namespace {

class DataBurnTest : public BurnerTest {
protected:
    void SetUp() override
    {
        BurnerTest::SetUp();
        if (!HaveTool("xorriso")) GTEST_SKIP() << "xorriso is not installed";
        QDir(dir.path()).mkdir("folder");
    }
    // A file of the folder with generated content.
    QString Source(const QString& name, int bytes)
    {
        QByteArray content;
        for (int i = 0; i < bytes; ++i) content.append(char((i * 7 + name.size()) & 0xFF));
        WriteFile(Path("folder/" + name), content);
        return Path("folder/" + name);
    }
    QStringList Sources()
    {
        return {Source("Grüße aus Köln.mp3", 70000), Source("Ünïcödé — ßong №1.wma", 5000),
                Source("a plain name with a long title over sixty-four letters in all of it.mp3", 100)};
    }
    static QStringList Names(const QStringList& paths)
    {
        QStringList names;
        for (const QString& p : paths) names << QFileInfo(p).fileName();
        names.sort();
        return names;
    }
    void ExpectExtractedEqual(const QStringList& sources)
    {
        const QString out = Path("extracted");
        ASSERT_TRUE(ExtractIso(Path("out.iso"), out));
        for (const QString& s : sources) {
            const QString copy = out + "/" + QFileInfo(s).fileName();
            EXPECT_EQ(ReadFile(copy), ReadFile(s)) << copy.toStdString();
        }
    }
};

TEST_F(DataBurnTest, TheFirstEngineWritesIsoWithJolietNamesAndTheLabel)
{
    cAudioDataBurner burner;
    EventLog log(burner);
    ASSERT_EQ(burner.GetDriveCount(), 1);
    EXPECT_EQ(burner.GetDriveName(1), "E: " + Path("out.iso"));
    EXPECT_TRUE(burner.IsDriveReady("E"));
    EXPECT_TRUE(burner.IsDiscEmpty("E:"));
    EXPECT_EQ(burner.GetSpeedCount("E"), 0);
    const QStringList sources = Sources();
    for (const QString& s : sources) ASSERT_TRUE(burner.AddFile(s));
    burner.SetVolumeLabel("MY_SONGS");
    burner.SetFileSystem("CDFS");
    burner.SetPublisherName("Tarvello");
    burner.SetApplicationName("Tarvello");
    burner.SetBurnFlag(false);
    burner.Burn("E", kBurnSpeedMax);
    EXPECT_TRUE(log.events.isEmpty()); // Burn returns at once
    WaitForDataBurn(log, "Finished");
    EXPECT_EQ(log.Phases(), (QStringList{"BurnStarted", "ClosingSession", "Finished"})) << log.events.join("\n").toStdString();
    EXPECT_TRUE(log.events.contains("Progress 100"));

    QStringList names = IsoRootNames(Path("out.iso"));
    names.sort();
    EXPECT_EQ(names, Names(sources));
    EXPECT_EQ(IsoVolumeFact(Path("out.iso"), "Volume Id"), "MY_SONGS");
    EXPECT_EQ(IsoVolumeFact(Path("out.iso"), "Publisher Id"), "TARVELLO");
    ExpectExtractedEqual(sources);
}

TEST_F(DataBurnTest, TheSecondEngineHonoursTheFileSystemsAndTakesFolders)
{
    cBurner burner;
    EventLog log(burner);
    EXPECT_TRUE(burner.IsEngineInstalled());
    ASSERT_EQ(burner.DeviceCount(), 1);
    EXPECT_EQ(burner.GetDriveLetter(0), "E:");
    EXPECT_EQ(burner.GetDriveLetter(1), "");
    const QStringList sources = Sources();
    QDir(dir.path()).mkpath("folder/Sub Ordner/deeper");
    WriteFile(Path("folder/Sub Ordner/deeper/inner.txt"), "inner");
    burner.ClearFiles();
    burner.SetUseISO(true);
    burner.SetUseJoliet(false);
    burner.SetUseUDF(false);
    burner.SetVolumeName("Disc");
    for (const QString& s : sources) ASSERT_TRUE(burner.AddFile(s));
    ASSERT_TRUE(burner.AddFile(Path("folder/Sub Ordner")));
    burner.Burn(0);
    WaitForDataBurn(log, "BurnerEnd");
    QStringList expected{"BurnerInitializing"};
    for (const QString& s : sources) expected << "AddingFile " + s;
    expected << "AddingFile " + Path("folder/Sub Ordner") << "FilesToBurn 4 2"
             << "StartBurning"
             << "BurnerFinalization"
             << "BurnerDoneBurn"
             << "BurnerCompleted"
             << "BurnerEnd";
    EXPECT_EQ(log.Phases(), expected);

    // Without Joliet only ISO 9660 names (and Rock Ridge's): no letters beyond ASCII.
    const QStringList names = IsoRootNames(Path("out.iso"), true);
    ASSERT_EQ(names.size(), 4) << names.join("|").toStdString();
    for (const QString& n : names) {
        for (const QChar c : n) EXPECT_LT(c.unicode(), 128) << n.toStdString();
    }
    EXPECT_EQ(IsoVolumeFact(Path("out.iso"), "Volume Id"), "DISC"); // ISO 9660 letters

    // With Joliet the same files keep their names.
    log.events.clear();
    for (const QString& s : sources) ASSERT_TRUE(burner.AddFile(s));
    burner.SetUseJoliet(true);
    burner.SetUseUDF(false);
    burner.Burn(0);
    WaitForDataBurn(log, "BurnerEnd");
    EXPECT_TRUE(log.events.filter("BurnerWarning").isEmpty());
    QStringList joliet = IsoRootNames(Path("out.iso"));
    joliet.sort();
    EXPECT_EQ(joliet, Names(sources));
    ExpectExtractedEqual(sources);
}

// What a UDF reader sees of an image, by udfinfo and 7z; empty when either is missing.
struct UdfView {
    QString label;
    QStringList names; // paths as 7z lists them
};
UdfView ReadUdf(const QString& image)
{
    UdfView v;
    const ToolRun info = RunTool("udfinfo", {image});
    const ToolRun list = RunTool("7z", {"l", "-tudf", "-slt", image});
    if (!info.ok || !list.ok) return v;
    EXPECT_EQ(info.exitCode, 0) << info.out.toStdString();
    EXPECT_EQ(list.exitCode, 0) << list.out.toStdString();
    for (const QString& line : info.out.split('\n'))
        if (line.startsWith("label=")) v.label = line.mid(6);
    for (const QString& line : list.out.split('\n'))
        if (line.startsWith("Path = ") && line.mid(7) != image) v.names << line.mid(7);
    v.names.sort();
    return v;
}

TEST_F(DataBurnTest, WithUdfTheDiscIsAUdfBridgeWithItsNamesIntact)
{
    if (!HaveTool("udfinfo") || !HaveTool("7z")) GTEST_SKIP() << "udfinfo (udftools) and 7z (p7zip-full) are needed";
    cBurner burner;
    EventLog log(burner);
    const QStringList sources = Sources();
    QDir(dir.path()).mkpath("folder/Sub Ordner");
    WriteFile(Path("folder/Sub Ordner/Straße.txt"), "inner");
    burner.SetUseJoliet(true);
    burner.SetUseUDF(true);
    burner.SetVolumeName("Grüße 2026");
    for (const QString& s : sources) ASSERT_TRUE(burner.AddFile(s));
    ASSERT_TRUE(burner.AddFile(Path("folder/Sub Ordner")));
    burner.Burn(0);
    WaitForDataBurn(log, "BurnerEnd");
    ASSERT_EQ(log.Phases().last(), "BurnerEnd") << log.events.join("\n").toStdString();
    EXPECT_TRUE(log.events.filter("BurnerWarning").isEmpty());
    EXPECT_TRUE(log.events.contains("FilesToBurn 4 1"));

    // The UDF anchor lies at sector 256.
    QFile image(Path("out.iso"));
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    ASSERT_TRUE(image.seek(256 * 2048));
    const QByteArray anchor = image.read(2);
    EXPECT_EQ(quint8(anchor[0]) | quint8(anchor[1]) << 8, 2) << "an anchor volume descriptor pointer";

    const UdfView udf = ReadUdf(Path("out.iso"));
    EXPECT_EQ(udf.label, "Grüße 2026");
    QStringList expected = Names(sources);
    expected << "Sub Ordner" << "Sub Ordner/Straße.txt";
    expected.sort();
    EXPECT_EQ(udf.names, expected);

    // The ISO 9660 side with Joliet names still reads as before.
    QStringList joliet = IsoRootNames(Path("out.iso"));
    joliet.sort();
    QStringList root = Names(sources) << "Sub Ordner";
    root.sort();
    EXPECT_EQ(joliet, root);
    ExpectExtractedEqual(sources);
}

// The bytes this process and its children that have ended handed to write
// calls so far, into files and pipes alike.
qint64 WrittenBytes()
{
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("wchar:")) return line.mid(6).trimmed().toLongLong();
    return -1;
}

// The UDF side of an image extracted by 7z; false when 7z fails.
bool ExtractUdf(const QString& image, const QString& folder)
{
    const ToolRun r = RunTool("7z", {"x", "-tudf", "-y", "-o" + folder, image});
    return r.ok && r.exitCode == 0;
}

// The image writer's UDF image is genisoimage's own output, put in place:
// the burn writes it once (genisoimage's writes, no copy of ours), reports
// genisoimage's progress, and the image reads back whole on both sides.
TEST_F(DataBurnTest, AUdfImageIsWrittenOnceAndPutInPlace)
{
    if (!HaveTool("7z")) GTEST_SKIP() << "7z (p7zip-full) is needed";
    const QStringList sources{Source("big.wma", 12 * 1024 * 1024), Source("Grüße.mp3", 5000)};
    cBurner burner;
    EventLog log(burner);
    burner.SetUseUDF(true);
    for (const QString& s : sources) ASSERT_TRUE(burner.AddFile(s));
    const qint64 before = WrittenBytes();
    ASSERT_GE(before, 0);
    burner.Burn(0);
    WaitForDataBurn(log, "BurnerEnd");
    const qint64 written = WrittenBytes() - before;
    ASSERT_EQ(log.events.last(), "BurnerEnd") << log.events.join("\n").toStdString();
    const qint64 size = QFileInfo(Path("out.iso")).size();
    EXPECT_GT(size, 12 * 1024 * 1024);
    EXPECT_LT(written, size * 3 / 2) << "the burn wrote " << written << " bytes for an image of " << size;

    QList<int> percents;
    for (const QString& e : log.events.filter("BurnerProgress ")) percents << e.section(' ', 1).toInt();
    EXPECT_GE(percents.size(), 5) << log.events.join("\n").toStdString();
    EXPECT_EQ(percents.value(percents.size() - 1), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));

    ASSERT_TRUE(ExtractUdf(Path("out.iso"), Path("udf")));
    for (const QString& s : sources) EXPECT_EQ(ReadFile(Path("udf/" + QFileInfo(s).fileName())), ReadFile(s));
    ExpectExtractedEqual(sources);
}

// The genisoimage this process runs to write an image ("-o"), or 0.
pid_t ImageMakerChild()
{
    const QString parent = QString::number(getpid());
    for (const QString& pid : QDir("/proc").entryList({"[0-9]*"}, QDir::Dirs)) {
        QFile stat("/proc/" + pid + "/stat"), cmdline("/proc/" + pid + "/cmdline");
        if (!stat.open(QIODevice::ReadOnly) || !cmdline.open(QIODevice::ReadOnly)) continue;
        const QString fields = QString::fromUtf8(stat.readAll());
        const QStringList afterName = fields.mid(fields.lastIndexOf(')') + 2).split(' '); // state, ppid, ...
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        if (afterName.value(1) == parent && args.value(0).endsWith("genisoimage") && args.contains("-o"))
            return pid_t(pid.toInt());
    }
    return 0;
}

// While genisoimage writes, the image lies under a hidden name only; an
// abort then leaves neither it nor anything under the final name.
TEST_F(DataBurnTest, AnAbortedUdfImageLeavesNothingBehind)
{
    QFile sparse(Path("folder/long.wav"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(1024LL * 1024 * 1024));
    sparse.close();
    cBurner burner;
    EventLog log(burner);
    burner.SetUseUDF(true);
    ASSERT_TRUE(burner.AddFile(sparse.fileName()));
    burner.Burn(0);
    pid_t maker = 0;
    const bool seen =
        QTest::qWaitFor([&] { return (maker = ImageMakerChild()) > 0 || log.events.contains("BurnerEnd"); }, 60000);
    ASSERT_TRUE(seen && maker > 0) << "genisoimage was not seen writing: " << log.events.join("\n").toStdString();
    ASSERT_EQ(kill(maker, SIGSTOP), 0);
    EXPECT_EQ(LeftoverTempFiles(dir.path()).size(), 1);
    EXPECT_FALSE(QFile::exists(Path("out.iso")));
    burner.Abort();
    WaitForDataBurn(log, "BurnerEnd");
    EXPECT_EQ(log.events.last(), QString("BurnerError The burn was aborted. (error %1)").arg(kBurnErrAborted));
    EXPECT_FALSE(QFile::exists(Path("out.iso")));
    EXPECT_TRUE(LeftoverTempFiles(dir.path()).isEmpty());
}

// Rock Ridge permissions as xorriso lists them at the root: "-r--r--r--" and so on.
QStringList RootModes(const QString& image)
{
    const ToolRun r = RunTool("xorriso", {"-indev", image, "-lsl", "/"});
    QStringList modes;
    for (const QString& line : r.out.split('\n'))
        if (line.size() > 10 && (line[0] == '-' || line[0] == 'd') && line.endsWith('\'')) modes << line.left(10);
    return modes;
}

TEST_F(DataBurnTest, FilesOnTheDiscAreReadableNotExecutableWithAndWithoutUdf)
{
    const QString tool = Source("tool.sh", 10);
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    QDir(dir.path()).mkpath("folder/inside");
    for (const bool udf : {false, true}) {
        cBurner burner;
        EventLog log(burner);
        burner.SetUseUDF(udf);
        ASSERT_TRUE(burner.AddFile(Source("song.mp3", 100)));
        ASSERT_TRUE(burner.AddFile(tool));
        ASSERT_TRUE(burner.AddFile(Path("folder/inside")));
        burner.Burn(0);
        WaitForDataBurn(log, "BurnerEnd");
        ASSERT_EQ(log.events.last(), "BurnerEnd") << log.events.join("\n").toStdString();
        QStringList modes = RootModes(Path("out.iso"));
        modes.sort();
        EXPECT_EQ(modes, (QStringList{"-r--r--r--", "-r--r--r--", "dr-xr-xr-x"})) << "UDF " << udf;
    }
}

TEST_F(DataBurnTest, AVolumeNameLongerThanJolietHoldsIsCutWithAWarning)
{
    cBurner burner;
    EventLog log(burner);
    burner.SetUseJoliet(true);
    burner.SetVolumeName("A list name of thirty letters");
    ASSERT_TRUE(burner.AddFile(Source("song.mp3", 100)));
    burner.Burn(0);
    WaitForDataBurn(log, "BurnerEnd");
    ASSERT_GE(log.events.size(), 2);
    EXPECT_EQ(log.events[1], "BurnerWarning The volume name \"A list name of thirty letters\" is longer than the 16 "
                             "characters Joliet holds: Joliet readers see \"A list name of t\".");
    EXPECT_EQ(log.events.last(), "BurnerEnd");
    EXPECT_EQ(IsoVolumeFact(Path("out.iso"), "Volume Id"), "A_LIST_NAME_OF_THIRTY_LETTERS") << "ISO 9660 keeps 32";

    // Without Joliet nothing is cut, and a name of 16 fits.
    for (const auto& [joliet, name] : {std::pair{false, QString("A list name of thirty letters")},
                                       std::pair{true, QString("Sixteen letters!")}}) {
        log.events.clear();
        burner.SetUseJoliet(joliet);
        burner.SetVolumeName(name);
        ASSERT_TRUE(burner.AddFile(Path("folder/song.mp3")));
        burner.Burn(0);
        WaitForDataBurn(log, "BurnerEnd");
        EXPECT_TRUE(log.events.filter("BurnerWarning").isEmpty()) << name.toStdString();
    }
}

// Burns with both engines, the second also with UDF, under a file size
// limit, which makes writes fail as on a full disk; says on stderr what differs from the expected and exits
// 0 when nothing does. Run in a child process: the limit holds for the whole process.
[[noreturn]] void BurnOntoAFullDisk(const QString& folder, const QString& big)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{};
    getrlimit(RLIMIT_FSIZE, &small);
    small.rlim_cur = 1024 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    cAudioDataBurner first;
    EventLog log(first);
    first.AddFile(big);
    first.Burn("E", kBurnSpeedMax);
    WaitForDataBurn(log, "Finished");
    cBurner second;
    EventLog log2(second);
    second.AddFile(big);
    second.Burn(0);
    WaitForDataBurn(log2, "BurnerEnd");
    // genisoimage, writing the UDF image itself, meets the same limit.
    EventLog log3(second);
    second.SetUseUDF(true);
    second.AddFile(big);
    second.Burn(0);
    WaitForDataBurn(log3, "BurnerEnd");
    QStringList wrong;
    const QString full = QString("Error %1 The disk is full: %2").arg(kBurnErrWrite).arg(folder);
    if (log.events.value(log.events.size() - 1) != full) wrong << "first engine: " + log.events.join(" | ");
    // After that failure libburn writes nothing and says it wrote well: a short image is an error.
    if (!log2.events.value(log2.events.size() - 1).startsWith("BurnerError ") || log2.events.contains("BurnerEnd"))
        wrong << "second engine: " + log2.events.join(" | ");
    const QString udfFull = QString("BurnerError The disk is full: %1 (error %2)").arg(folder).arg(kBurnErrWrite);
    if (log3.events.value(log3.events.size() - 1) != udfFull) wrong << "UDF: " + log3.events.join(" | ");
    if (QFile::exists(folder + "/out.iso")) wrong << "an image was left";
    std::fprintf(stderr, "%s\n", qPrintable(wrong.join("\n")));
    std::fflush(stderr);
    std::_Exit(wrong.isEmpty() ? 0 : 1);
}

// A write that fails as on a full disk is said in the program's words and leaves no image.
TEST_F(DataBurnTest, AFullDiskIsSaidAsSuchAndAShortImageIsNoSuccess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const QString big = Source("big.wma", 4 * 1024 * 1024);
    EXPECT_EXIT(BurnOntoAFullDisk(dir.path(), big), ::testing::ExitedWithCode(0), "");
}

// The image writer's room is the free space of its folder's own file system;
// where that cannot be read the write goes ahead instead of "the disc holds 0 MB".
TEST_F(DataBurnTest, TheImageWritersRoomIsItsFoldersFreeSpaceOrNotKnown)
{
    struct statvfs fs {};
    ASSERT_EQ(statvfs(QFile::encodeName(dir.path()).constData(), &fs), 0);
    const double free = double(fs.f_bavail) * double(fs.f_frsize);
    EXPECT_NEAR(double(burnengine::FolderFreeBytes(dir.path())), free, 64.0 * 1024 * 1024);
    EXPECT_EQ(burnengine::FolderFreeBytes(Path("no such folder")), burnengine::kUnknownBytes);
    const burnengine::DiscFacts facts = burnengine::FactsByLetter(burnengine::Use::DataDisc, "E");
    EXPECT_TRUE(facts.writable);
    EXPECT_NEAR(double(facts.freeBytes), free, 64.0 * 1024 * 1024);

    burnengine::DiscFacts unknown;
    unknown.loaded = unknown.writable = true;
    unknown.freeBytes = unknown.sizeBytes = burnengine::kUnknownBytes;
    EXPECT_TRUE(burnengine::CheckRoom(unknown, 700LL * 1024 * 1024).ok());
    burnengine::DiscFacts full = unknown;
    full.freeBytes = 10 * 1024 * 1024;
    const burnengine::Status refused = burnengine::CheckRoom(full, 20 * 1024 * 1024);
    EXPECT_EQ(refused.code, kBurnErrTooBig);
    EXPECT_EQ(refused.text, "The files need 20 MB, the disc holds 10 MB.");
}

TEST_F(DataBurnTest, AddFileRefusesWhatCannotBeReadAndNamesTwice)
{
    cAudioDataBurner first;
    cBurner second;
    const QString a = Source("a.mp3", 10);
    QDir(dir.path()).mkdir("other");
    WriteFile(Path("other/a.mp3"), "same name");
    for (auto add : {std::function<bool(const QString&)>([&](const QString& p) { return first.AddFile(p); }),
                     std::function<bool(const QString&)>([&](const QString& p) { return second.AddFile(p); })}) {
        EXPECT_FALSE(add(Path("missing.mp3")));
        EXPECT_TRUE(add(a));
        EXPECT_FALSE(add(Path("other/a.mp3")));
    }
}

TEST_F(DataBurnTest, FailuresEndTheBurnWithAnErrorAndLeaveNoImage)
{
    cAudioDataBurner first;
    EventLog log(first);
    first.Burn("E", kBurnSpeedMax); // no files
    WaitForDataBurn(log, "Finished");
    EXPECT_EQ(log.events, (QStringList{"BurnStarted", QString("Error %1 There are no files to burn.").arg(kBurnErrNoFiles)}));

    log.events.clear();
    ASSERT_TRUE(first.AddFile(Source("gone.mp3", 10)));
    QFile::remove(Path("folder/gone.mp3"));
    first.Burn("E", kBurnSpeedMax);
    WaitForDataBurn(log, "Finished");
    EXPECT_TRUE(log.events.last().startsWith(QString("Error %1 ").arg(kBurnErrSource))) << log.events.last().toStdString();

    log.events.clear();
    ASSERT_TRUE(first.AddFile(Source("b.mp3", 10)));
    first.Burn("Q", kBurnSpeedMax);
    WaitForDataBurn(log, "Finished");
    EXPECT_TRUE(log.events.last().startsWith(QString("Error %1 ").arg(kBurnErrNoDrive)));

    cBurner second;
    EventLog log2(second);
    ASSERT_TRUE(second.AddFile(Source("c.mp3", 10)));
    second.Burn(3);
    WaitForDataBurn(log2, "BurnerEnd");
    EXPECT_EQ(log2.events, (QStringList{"BurnerInitializing", QString("BurnerError There is no writer number 3. (error %1)").arg(kBurnErrNoDrive)}));
    EXPECT_FALSE(QFile::exists(Path("out.iso")));
}

TEST_F(DataBurnTest, AbortStopsTheBurnAndLeavesNoImage)
{
    const QString big = Source("big.wma", 24 * 1024 * 1024);
    cAudioDataBurner first;
    EventLog log(first);
    ASSERT_TRUE(first.AddFile(big));
    first.Burn("E", kBurnSpeedMax);
    first.Abort();
    WaitForDataBurn(log, "Finished");
    EXPECT_EQ(log.events.last(), QString("Error %1 The burn was aborted.").arg(kBurnErrAborted));
    EXPECT_FALSE(QFile::exists(Path("out.iso")));

    cBurner second;
    EventLog log2(second);
    ASSERT_TRUE(second.AddFile(big));
    second.Burn(0);
    second.Abort();
    WaitForDataBurn(log2, "BurnerEnd");
    ASSERT_GE(log2.events.size(), 2);
    EXPECT_EQ(log2.events[log2.events.size() - 2], "BurnerCanceled");
    EXPECT_EQ(log2.events.last(), QString("BurnerError The burn was aborted. (error %1)").arg(kBurnErrAborted));
    EXPECT_FALSE(QFile::exists(Path("out.iso")));
}

TEST_F(DataBurnTest, AnImageFolderThatDoesNotExistIsNoReadyDrive)
{
    optical::SetImageWriters(optical::ImageWriters{{}, Path("missing/out.iso")});
    cAudioDataBurner burner;
    EXPECT_FALSE(burner.IsDriveReady("D"));
    EXPECT_FALSE(burner.IsDiscEmpty("D"));
    EXPECT_FALSE(burner.IsDriveReady("E"));
}

} // namespace
