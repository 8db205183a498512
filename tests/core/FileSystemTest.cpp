#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/RegistryRoutines.h"
#include "core/RunOnStart.h"
#include "platform/AppInfo.h"
#include "platform/Autostart.h"
#include "platform/DateValue.h"
#include "platform/MessageBox.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class FileSystem : public support::ProgramFixture {
protected:
    QString File(const QString& name) const { return ProgramFolder() + "/" + name; }
    void Touch(const QString& name) { QFile(File(name)).open(QIODevice::WriteOnly); }
};

TEST_F(FileSystem, FileExists)
{
    Touch("song.wav");
    Touch(".hidden");
    QDir().mkdir(File("folder"));
    EXPECT_TRUE(FileExists(File("song.wav")));
    EXPECT_FALSE(FileExists(File(".hidden")));
    EXPECT_FALSE(FileExists(File("folder")));
    EXPECT_FALSE(FileExists(File("missing.wav")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("/dev/null")) << "special files count as missing";
}

TEST_F(FileSystem, KillFile)
{
    Touch("a.tmp");
    EXPECT_TRUE(KillFile(File("a.tmp")));
    EXPECT_FALSE(QFile::exists(File("a.tmp")));
    EXPECT_FALSE(KillFile(File("a.tmp")));
    QDir().mkdir(File("folder"));
    EXPECT_FALSE(KillFile(File("folder")));
    EXPECT_TRUE(QFileInfo(File("folder")).isDir());
}

TEST_F(FileSystem, GetFileCreatedDateOfUnreadableFilesIsTheZeroDate)
{
    QDir().mkdir(File("folder"));
    EXPECT_EQ(GetFileCreatedDate(File("missing.wav")), platform::kZeroDate);
    EXPECT_EQ(GetFileCreatedDate(File("folder")), platform::kZeroDate);
    EXPECT_EQ(platform::kZeroDate, QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0)));
}

TEST_F(FileSystem, GetFileCreatedDateOfARealFile)
{
    Touch("song.wav");
    const QDateTime created = GetFileCreatedDate(File("song.wav"));
    ASSERT_NE(created, platform::kZeroDate);
    EXPECT_EQ(created.time().msec(), 0);
    EXPECT_EQ(created.timeSpec(), Qt::LocalTime);
    const QDateTime now = QDateTime::currentDateTime();
    EXPECT_LE(created, now);
    EXPECT_GE(created, now.addSecs(-3600));
}

TEST_F(FileSystem, GetFileCreatedDateIsLocalAndCutToSeconds)
{
    auto times = std::make_unique<support::FixedFileTimes>();
    const QDateTime utc(QDate(2024, 7, 1), QTime(10, 20, 30, 999), Qt::UTC);
    times->times[File("a.wav")] = utc;
    platform::SetFileTimeService(std::move(times));
    const QDateTime created = GetFileCreatedDate(File("a.wav"));
    EXPECT_EQ(created.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(created, utc.addMSecs(-999));
    EXPECT_EQ(created.time().msec(), 0);
    EXPECT_EQ(GetFileCreatedDate(File("b.wav")), platform::kZeroDate);
}

TEST_F(FileSystem, OpenDocumentGoesToTheShell)
{
    OpenDocument(nullptr, "https://tarvello.example.org/");
    OpenDocument(nullptr, "/music/out/");
    EXPECT_EQ(shell->opened, QStringList({"https://tarvello.example.org/", "/music/out/"}));
    EXPECT_EQ(shell->lastWorkingFolder, platform::AppPath());
}

TEST_F(FileSystem, OpenDocumentThatFailsNamesTheTarget)
{
    enum class Outcome { Opens, FailsAtOnce, FailsLater };
    const struct {
        const char* target;
        Outcome outcome;
    } cases[] = {
        {"/music/out/", Outcome::Opens},
        {"/music/missing.wav", Outcome::FailsAtOnce},
        {"https://tarvello.example.org/support", Outcome::FailsLater},
    };
    for (const auto& c : cases) {
        msgBox->shown.clear();
        shell->result = c.outcome != Outcome::FailsAtOnce;
        if (c.outcome != Outcome::Opens) msgBox->Expect(QString("Could not open ") + c.target);
        OpenDocument(nullptr, c.target);
        if (c.outcome == Outcome::FailsLater) {
            EXPECT_TRUE(msgBox->shown.empty()) << c.target; // the opener has not given up yet
            ASSERT_TRUE(shell->lateFailures.back());
            shell->lateFailures.back()();
        }
        ASSERT_EQ(msgBox->shown.size(), c.outcome == Outcome::Opens ? 0u : 1u) << c.target;
        if (c.outcome != Outcome::Opens) {
            EXPECT_EQ(msgBox->shown[0].flags, platform::vbExclamation);
        }
    }
}

// Without the desktop's opener nothing opens: the message says what is missing.
TEST_F(FileSystem, OpenDocumentWithoutADesktopOpenerSaysWhatIsNeeded)
{
    const QString page = ProgramFolder() + "/Help.html";
    QFile(page).open(QIODevice::WriteOnly);
    const QString noOpener = "No desktop opener is installed: opening files and web pages needs xdg-open (package "
                             "xdg-utils).";
    const QString noFile = "There is no such file or folder, or no program on this desktop opens it.";
    const struct {
        QString target;
        bool openerInstalled;
        QString why;
    } cases[] = {
        {page, false, noOpener},
        {"https://tarvello.example.org/support", false, noOpener},
        {ProgramFolder() + "/missing.html", false, noFile},
        {page, true, noFile},
    };
    for (const auto& c : cases) {
        msgBox->shown.clear();
        shell->result = false;
        shell->missingPrograms = c.openerInstalled ? QStringList() : QStringList{"xdg-open"};
        msgBox->Expect("Could not open " + c.target);
        OpenDocument(nullptr, c.target);
        ASSERT_EQ(msgBox->shown.size(), 1u) << c.target.toStdString();
        EXPECT_EQ(msgBox->shown[0].text, "Could not open " + c.target + "\r\n\r\n" + c.why) << c.target.toStdString();
    }
}

TEST_F(FileSystem, SystemFolders)
{
    EXPECT_EQ(GetWindowsDir(), "/usr");
    EXPECT_EQ(GetSystemDir(), "/usr/lib");
    EXPECT_FALSE(QFile::exists(GetSystemDir() + "/Imapi2.dll"));
}

class RunAtLogOn : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetEditionModes();
    }
    RegistryRoutines RunKey()
    {
        RegistryRoutines reg;
        reg.hkey = platform::reg::HKEY_CURRENT_USER;
        reg.KeyRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
        return reg;
    }
    QString AutostartFile() const { return qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/Tarvello.desktop"; }
};

TEST_F(RunAtLogOn, CommandText)
{
    EXPECT_EQ(RunOnStartCommand(), "\"" + ProgramFolder() + "/" + platform::AppExeName() + "\" -st");
}

TEST_F(RunAtLogOn, OnAndOff)
{
    EXPECT_FALSE(IsRunOnStart());
    EXPECT_TRUE(SetRunOnStart(true));
    EXPECT_TRUE(IsRunOnStart());
    EXPECT_EQ(RunKey().GetRegistryValue("Tarvello").toString(), RunOnStartCommand());
    ASSERT_TRUE(QFile::exists(AutostartFile()));
    EXPECT_TRUE(AutostartFile().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME"))) << "never the user's own folder";
    EXPECT_EQ(platform::AutostartEntryExec("Tarvello"),
              platform::AutostartExecLine(ProgramFolder() + "/" + platform::AppExeName(), {"-st"}));

    EXPECT_TRUE(SetRunOnStart(false));
    EXPECT_FALSE(IsRunOnStart());
    EXPECT_FALSE(RunKey().GetRegistryValue("Tarvello").isValid());
    EXPECT_FALSE(QFile::exists(AutostartFile()));
}

TEST_F(RunAtLogOn, AnotherCommandOrTypeIsNotThisProgram)
{
    ASSERT_TRUE(SetRunOnStart(true));
    RunKey().SetRegistryValue("Tarvello", RunOnStartCommand().toUpper(), platform::reg::REG_SZ);
    EXPECT_FALSE(IsRunOnStart()) << "compared case-sensitively";
    RunKey().SetRegistryValue("Tarvello", 1, platform::reg::REG_DWORD);
    EXPECT_FALSE(IsRunOnStart());
}

TEST_F(RunAtLogOn, AMovedProgramFolderIsAStaleEntryThatOffDeletes)
{
    ASSERT_TRUE(SetRunOnStart(true));
    platform::SetAppPath(ProgramFolder() + "/moved");
    EXPECT_FALSE(IsRunOnStart());
    EXPECT_TRUE(SetRunOnStart(false));
    EXPECT_FALSE(RunKey().GetRegistryValue("Tarvello").isValid());
    EXPECT_FALSE(QFile::exists(AutostartFile()));
}

TEST_F(RunAtLogOn, ARemovedAutostartEntryMeansOff)
{
    ASSERT_TRUE(SetRunOnStart(true));
    QFile::remove(AutostartFile());
    EXPECT_FALSE(IsRunOnStart());
}

} // namespace
