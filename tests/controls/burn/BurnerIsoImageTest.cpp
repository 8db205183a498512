// The data disc writer controls on their image writer: the ISO image read
// back through xorriso.
#include "controls/burn/BurnerTestSupport.h"

#include <QDir>
#include <QFileInfo>

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
    burner.SetUseUDF(true);
    burner.SetVolumeName("Disc");
    for (const QString& s : sources) ASSERT_TRUE(burner.AddFile(s));
    ASSERT_TRUE(burner.AddFile(Path("folder/Sub Ordner")));
    burner.Burn(0);
    WaitForDataBurn(log, "BurnerEnd");
    QStringList expected{"BurnerInitializing",
                         "BurnerWarning UDF is not available on this system: the disc is written without it."};
    for (const QString& s : sources) expected << "AddingFile " + s;
    expected << "AddingFile " + Path("folder/Sub Ordner") << "FilesToBurn 4 2"
             << "StartBurning"
             << "BurnerFinalization"
             << "BurnerDoneBurn"
             << "BurnerCompleted"
             << "BurnerEnd";
    EXPECT_EQ(log.Phases(), expected);

    // Without Joliet only ISO 9660 names: no letters beyond ASCII.
    const QStringList names = IsoRootNames(Path("out.iso"));
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
