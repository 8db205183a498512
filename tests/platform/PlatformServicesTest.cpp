#include "platform/Autostart.h"
#include "platform/CommonDialogs.h"
#include "platform/FileTimes.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/UserSettings.h"
#include "support/ProgramFixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(Shell, TargetsBecomeUrls)
{
    const std::pair<const char*, const char*> cases[] = {
        {"https://tarvello.example.org/", "https://tarvello.example.org/"},
        {"http://a.example/x.html", "http://a.example/x.html"},
        {"www.example.org", "http://www.example.org"},
        {"mailto:someone@example.org", "mailto:someone@example.org"},
        {"/music/out/", "file:///music/out/"},
        {"/music/my song.wav", "file:///music/my song.wav"},
        {"Main", "file:///opt/app/Main"},
    };
    for (auto [target, url] : cases) EXPECT_EQ(platform::TargetToUrl(target, "/opt/app"), url) << target;
}

// The desktop's shell with a stand-in opener on the search path.
class DesktopShell : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        m_path = qgetenv("PATH");
        ASSERT_TRUE(m_bin.isValid());
        qputenv("PATH", m_bin.path().toLocal8Bit());
        platform::SetShellService(nullptr);
    }
    void TearDown() override
    {
        qputenv("PATH", m_path);
        ProgramFixture::TearDown();
    }
    // An opener that notes its argument and ends with the code.
    void InstallOpener(int exitCode)
    {
        QFile script(m_bin.filePath("xdg-open"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QString("#!/bin/sh\necho \"$1\" >> '%1'\nexit %2\n").arg(Noted()).arg(exitCode).toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    QString Noted() const { return m_bin.filePath("noted"); }

private:
    QByteArray m_path;
    QTemporaryDir m_bin;
};

TEST_F(DesktopShell, OpeningReportsWhatTheOpenerCouldNotOpen)
{
    const QString folder = ProgramFolder() + "/Main";
    const struct {
        const char* name;
        int openerExit;
        QString target;
        bool accepted;
        bool failsLater;
    } cases[] = {
        {"opened", 0, folder, true, false},
        {"no program for it", 3, folder, true, true},
        {"a web page no browser opens", 4, "https://tarvello.example.org/", true, true},
        {"a missing file", 0, ProgramFolder() + "/missing.html", false, false},
    };
    std::vector<bool> failed(std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        QFile::remove(Noted());
        InstallOpener(c.openerExit);
        const bool accepted = platform::Shell().OpenDocument(c.target, ProgramFolder(), [&failed, i] { failed[i] = true; });
        EXPECT_EQ(accepted, c.accepted) << c.name;
        if (!accepted) {
            EXPECT_FALSE(QFile::exists(Noted())) << c.name << ": the opener never runs";
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(Noted()); })) << c.name;
        if (c.failsLater) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return bool(failed[i]); })) << c.name;
        }
        QFile noted(Noted());
        ASSERT_TRUE(noted.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(noted.readAll()).trimmed(), platform::TargetToUrl(c.target, ProgramFolder()))
            << c.name;
    }
    // The opener that succeeded ended before the later ones gave up.
    EXPECT_FALSE(failed[0]);
}

TEST_F(DesktopShell, FindsOnlyInstalledPrograms)
{
    InstallOpener(0);
    EXPECT_FALSE(platform::Shell().FindProgram("xdg-open").isEmpty());
    EXPECT_TRUE(platform::Shell().FindProgram("no-such-mixer").isEmpty());
}

// The readers of a list ask for the file times from one thread per core, all
// at once: every one of them gets the same service.
TEST(FileTimes, ThreadsAskingAtOnceShareOneService)
{
    platform::SetFileTimeService(nullptr);
    constexpr int kThreads = 16;
    std::vector<platform::FileTimeService*> got(kThreads);
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            ++ready;
            while (ready < kThreads) std::this_thread::yield();
            got[size_t(i)] = &platform::FileTimes();
        });
    for (std::thread& t : threads) t.join();
    for (platform::FileTimeService* service : got) EXPECT_EQ(service, &platform::FileTimes());
}

TEST(CommonDialogs, CentredTopLeft)
{
    // Halves are exact, and the position rounds half to even.
    EXPECT_EQ(platform::CentredTopLeft(QRect(0, 0, 1600, 1000), QSize(400, 300)), QPoint(600, 350));
    EXPECT_EQ(platform::CentredTopLeft(QRect(0, 0, 101, 101), QSize(50, 50)), QPoint(26, 26)); // 25.5 -> 26
    EXPECT_EQ(platform::CentredTopLeft(QRect(0, 0, 101, 99), QSize(48, 48)), QPoint(26, 26));  // 26.5 -> 26, 25.5 -> 26
    // An owner half off the screen: the dialog follows it.
    EXPECT_EQ(platform::CentredTopLeft(QRect(-300, -100, 400, 300), QSize(200, 100)), QPoint(-200, 0));
}

class UserSettings : public support::ProgramFixture {};

TEST_F(UserSettings, SaveAndGet)
{
    EXPECT_EQ(platform::GetSetting("Quillon", "path", "last_path", "/home"), "/home");
    EXPECT_TRUE(platform::SaveSetting("Quillon", "path", "last_path", "/music/caf\u00e9.wav"));
    EXPECT_EQ(platform::GetSetting("Quillon", "path", "last_path", "/home"), "/music/caf\u00e9.wav");
    EXPECT_EQ(platform::GetSetting("Quillon", "path", "other"), "");
    QFile hive(RegistryFolder() + "/HKEY_CURRENT_USER.reg");
    ASSERT_TRUE(hive.open(QIODevice::ReadOnly));
    EXPECT_TRUE(hive.readAll().contains("[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quillon\\path]"));
}

TEST_F(UserSettings, NamesWithALineBreakAreRefused)
{
    EXPECT_FALSE(platform::SaveSetting("Quillon", "path", "last\npath", "/music"));
    EXPECT_FALSE(platform::SaveSetting("Quillon", "two\r\nlines", "last_path", "/music"));
    platform::reg::ResetCache();
    EXPECT_EQ(platform::GetSetting("Quillon", "path", "last\npath", "none"), "none");
    EXPECT_EQ(platform::GetSetting("Quillon", "two\r\nlines", "last_path", "none"), "none");
}

class Autostart : public support::ProgramFixture {};

TEST_F(Autostart, ExecLineQuotesWhatNeedsIt)
{
    EXPECT_EQ(platform::AutostartExecLine("/opt/tarvello/tarvello", {"-st"}), "/opt/tarvello/tarvello -st");
    EXPECT_EQ(platform::AutostartExecLine("/opt/my apps/tarvello", {"-st"}), "\"/opt/my apps/tarvello\" -st");
    EXPECT_EQ(platform::AutostartExecLine("/opt/a$b\"c", {}), "\"/opt/a\\$b\\\"c\"");
    EXPECT_EQ(platform::AutostartExecLine("/opt/100%/tarvello", {}), "\"/opt/100%%/tarvello\"");
}

TEST_F(Autostart, WriteReadRemove)
{
    const QString path = platform::AutostartEntryPath("Tarvello");
    EXPECT_TRUE(path.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/"));
    EXPECT_EQ(platform::AutostartEntryExec("Tarvello"), "");
    ASSERT_TRUE(platform::WriteAutostartEntry("Tarvello", "/opt/my apps/tar\\vello", {"-st"}));
    EXPECT_EQ(platform::AutostartEntryExec("Tarvello"), platform::AutostartExecLine("/opt/my apps/tar\\vello", {"-st"}));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    f.close();
    EXPECT_TRUE(platform::RemoveAutostartEntry("Tarvello"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(platform::RemoveAutostartEntry("Tarvello"));
}

} // namespace
