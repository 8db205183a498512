// Real starts of the program on one settings folder: a later start hands its
// command line to the running program and ends; a program that was killed
// leaves no lock that blocks the next start.
#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <memory>

namespace {

class SingleProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(Folder("home"));
        PrepareSettings(Settings());
    }
    // A settings folder whose lists live in the test's folder, so that the
    // program writes nothing beside the build's executable.
    void PrepareSettings(const QString& folder)
    {
        QFile installed(QString(TARVELLO_SOURCE_DIR) + "/data/registry/HKEY_LOCAL_MACHINE.reg");
        ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
        QByteArray hive = installed.readAll();
        const QByteArray general = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Brenmark\\Tarvello\\General]\r\n";
        ASSERT_TRUE(hive.contains(general));
        hive.replace(general, general + "\"txtToPath\"=\"" + folder.toUtf8() + "/lists/\"\r\n");
        QDir().mkpath(folder + "/lists");
        QFile out(folder + "/HKEY_LOCAL_MACHINE.reg");
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(hive);
    }
    void TearDown() override
    {
        for (auto& p : programs) {
            p->kill();
            p->waitForFinished();
        }
    }

    QString Folder(const QString& name) const { return dir.filePath(name); }
    QString Settings() const { return Folder("settings"); }

    // Starts the program offscreen with the arguments; its messages are kept.
    QProcess* Start(const QStringList& arguments) { return Start(arguments, Settings()); }
    QProcess* Start(const QStringList& arguments, const QString& settings)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TARVELLO_REGISTRY_DIR", settings);
        env.insert("HOME", Folder("home"));
        env.insert("XDG_CONFIG_HOME", Folder("home/.config"));
        env.insert("QT_LOGGING_RULES", "tarvello.instance.info=true");
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(TARVELLO_EXE, arguments);
        EXPECT_TRUE(p->waitForStarted()) << p->errorString().toStdString();
        programs.push_back(std::move(p));
        return programs.back().get();
    }
    // Waits until the program holds the settings folder's lock.
    bool WaitUntilHolding(QProcess* p) { return WaitUntilHolding(p, Settings()); }
    bool WaitUntilHolding(QProcess* p, const QString& settings)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000 && p->state() == QProcess::Running) {
            QFile lock(platform::SingleInstance::LockFilePath(settings));
            if (lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed() == QByteArray::number(p->processId()))
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    // Waits until the program's messages hold the text.
    bool WaitForMessage(QProcess* p, const QByteArray& text, QByteArray* all)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            *all += p->readAll();
            if (all->contains(text)) return true;
            p->waitForReadyRead(100);
        }
        return false;
    }
    // True when the program ended by itself, with exit code 0, within a while.
    static bool EndsByItself(QProcess* p)
    {
        return p->waitForFinished(20000) && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> programs;
};

TEST_F(SingleProgram, ASecondStartHandsItsCommandLineOverAndEnds)
{
    QProcess* first = Start({});
    ASSERT_TRUE(WaitUntilHolding(first));
    QProcess* second = Start({"-addfiles"});
    EXPECT_TRUE(EndsByItself(second)) << second->readAll().toStdString();
    QByteArray messages;
    EXPECT_TRUE(WaitForMessage(first, "Command line from another start: \"-addfiles\"", &messages))
        << messages.toStdString();
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(SingleProgram, AKilledProgramsLockDoesNotBlockTheNextStart)
{
    QProcess* first = Start({});
    ASSERT_TRUE(WaitUntilHolding(first));
    first->kill();
    first->waitForFinished();
    ASSERT_TRUE(QFile::exists(platform::SingleInstance::LockFilePath(Settings()))) << "the killed program's lock";

    // The next start runs; one after it hands over to it.
    QProcess* next = Start({"-st"});
    ASSERT_TRUE(WaitUntilHolding(next)) << next->readAll().toStdString();
    QProcess* later = Start({"-addaudiocd"});
    EXPECT_TRUE(EndsByItself(later)) << later->readAll().toStdString();
    QByteArray messages;
    EXPECT_TRUE(WaitForMessage(next, "Command line from another start: \"-addaudiocd\"", &messages))
        << messages.toStdString();
    EXPECT_EQ(next->state(), QProcess::Running);
}

// Programs on other settings folders do not meet.
TEST_F(SingleProgram, ProgramsOnOtherSettingsFoldersRunSideBySide)
{
    QProcess* first = Start({});
    ASSERT_TRUE(WaitUntilHolding(first));
    const QString other = Folder("other settings");
    PrepareSettings(other);
    QProcess* second = Start({"-addfiles"}, other);
    EXPECT_TRUE(WaitUntilHolding(second, other)) << second->readAll().toStdString();
    EXPECT_EQ(first->state(), QProcess::Running);
}

} // namespace
