#include "core/FileCopyClass.h"
#include "core/frmFileCopy.h"
#include "settings/mdlOptions.h"
#include "support/KilledWrites.h"
#include "support/ProgramFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include "controls/widgets/ProgressBars.h"
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class FileCopy : public support::ProgramFixture {
protected:
    QString File(const QString& name) const { return ProgramFolder() + "/" + name; }
    QByteArray MakeFile(const QString& name, int size)
    {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i) bytes[i] = char((i * 7 + i / 251) & 0xFF);
        QFile f(File(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return bytes;
    }
    QByteArray Read(const QString& name)
    {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList Leftovers() { return QDir(ProgramFolder()).entryList(QDir::Files | QDir::Hidden); }
};

TEST_F(FileCopy, CopiesFilesOfEveryShape)
{
    for (int size : {0, 1, 5000, 7999, 8000, 8001, 16000, 100000}) {
        const QByteArray bytes = MakeFile("src.bin", size);
        FileCopyClass copy;
        copy.CacheSize = 8000;
        copy.Copy(File("src.bin"), File("dst.bin"));
        EXPECT_TRUE(copy.Sucessfull) << size;
        EXPECT_EQ(Read("dst.bin"), bytes) << size;
        EXPECT_TRUE(copy.ErrorDescription.isEmpty());
        EXPECT_EQ(Leftovers(), QStringList({"dst.bin", "src.bin"})) << "no temporary file left";
    }
}

TEST_F(FileCopy, ProgressMovesOnlyWhenABlockIsWritten)
{
    const QByteArray bytes = MakeFile("big.bin", 1000000);
    FileCopyClass copy;
    copy.CacheSize = 8000;
    std::vector<int> seen;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] { seen.push_back(copy.PercentREady); });
    poll.start();
    copy.Copy(File("big.bin"), File("copy.bin"));
    poll.stop();
    ASSERT_TRUE(copy.Sucessfull);
    EXPECT_EQ(Read("copy.bin"), bytes);
    ASSERT_FALSE(seen.empty());
    // 62 blocks of 16000 bytes: 100 * 16000 * k / 1000000, rounded; the last 8000 bytes come with the final write.
    std::set<int> expected{0};
    for (int k = 1; k <= 62; ++k) expected.insert(int(std::nearbyint(1.6 * k)));
    EXPECT_EQ(std::set<int>(seen.begin(), seen.end()), expected);
    EXPECT_EQ(seen.back(), 99);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

TEST_F(FileCopy, DefaultChunkIs32000)
{
    MakeFile("src.bin", 31999);
    FileCopyClass copy;
    std::vector<int> seen;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] { seen.push_back(copy.PercentREady); });
    poll.start();
    copy.Copy(File("src.bin"), File("dst.bin"));
    EXPECT_TRUE(copy.Sucessfull);
    EXPECT_TRUE(seen.empty()) << "below one chunk: a single read and write, no pass of the event loop";
}

TEST_F(FileCopy, AnExistingDestinationIsReplaced)
{
    const QByteArray bytes = MakeFile("src.bin", 20000);
    MakeFile("dst.bin", 50000);
    FileCopyClass copy;
    copy.Copy(File("src.bin"), File("dst.bin"));
    EXPECT_TRUE(copy.Sucessfull);
    EXPECT_EQ(Read("dst.bin"), bytes);
}

TEST_F(FileCopy, FailuresLeaveNoPartialFileAndKeepAnOldOne)
{
    MakeFile("src.bin", 20000);
    const QByteArray old = MakeFile("old.bin", 10);
    struct Case {
        QString source, dest, message;
    };
    const Case cases[] = {
        {File("missing.bin"), File("old.bin"), "cannot be found"},
        {File("src.bin"), File("src.bin"), "onto itself"},
        {File("src.bin"), File("./src.bin"), "onto itself"},
        {File("src.bin"), File("no/such/folder/x.bin"), "cannot be written"},
        {File("src.bin"), ProgramFolder(), "cannot be written"},
    };
    for (const auto& c : cases) {
        FileCopyClass copy;
        copy.Copy(c.source, c.dest);
        EXPECT_FALSE(copy.Sucessfull) << c.dest.toStdString();
        EXPECT_TRUE(copy.ErrorDescription.contains(c.message)) << copy.ErrorDescription.toStdString();
    }
    EXPECT_EQ(Read("old.bin"), old);
    EXPECT_EQ(Read("src.bin").size(), 20000);
    EXPECT_EQ(Leftovers(), QStringList({"old.bin", "src.bin"}));
}

TEST_F(FileCopy, AWriteErrorFailsWithoutAPartialFile)
{
    MakeFile("src.bin", 100000);
    const QByteArray old = MakeFile("dst.bin", 10);
    // A file-size limit makes writes fail part-way, as a full disk does.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 50000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    FileCopyClass copy;
    copy.CacheSize = 8000;
    copy.Copy(File("src.bin"), File("dst.bin"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(copy.Sucessfull);
    EXPECT_TRUE(copy.ErrorDescription.contains("cannot be written")) << copy.ErrorDescription.toStdString();
    EXPECT_EQ(Read("dst.bin"), old) << "the old file stays as it was";
    EXPECT_EQ(Leftovers(), QStringList({"dst.bin", "src.bin"}));
}

TEST_F(FileCopy, OnlyRegularFilesAreReplaced)
{
    MakeFile("src.bin", 1000);
    const QString pipe = File("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(pipe, File("link-to-pipe")));
    for (const QString& dest : {pipe, File("link-to-pipe")}) {
        FileCopyClass copy;
        copy.Copy(File("src.bin"), dest);
        EXPECT_FALSE(copy.Sucessfull);
        EXPECT_TRUE(copy.ErrorDescription.contains("not a regular file"));
    }
    EXPECT_FALSE(QFileInfo(pipe).isFile()) << "the pipe is still a pipe";
    EXPECT_EQ(QFileInfo(File("link-to-pipe")).symLinkTarget(), pipe);
}

TEST_F(FileCopy, ALinkToARegularFileKeepsTheLink)
{
    const QByteArray bytes = MakeFile("src.bin", 3000);
    MakeFile("target.bin", 10);
    ASSERT_TRUE(QFile::link(File("target.bin"), File("link.bin")));
    FileCopyClass copy;
    copy.Copy(File("src.bin"), File("link.bin"));
    EXPECT_TRUE(copy.Sucessfull);
    EXPECT_EQ(QFileInfo(File("link.bin")).symLinkTarget(), File("target.bin"));
    EXPECT_EQ(Read("target.bin"), bytes);
}

// A copy killed with the new file complete but not yet in place leaves the
// old destination and beside it only a part of the program's own, which the
// next write into the folder removes.
TEST_F(FileCopy, AKilledCopyLeavesOnlyAnOwnPartThatTheNextCopyRemoves)
{
    const QByteArray bytes = MakeFile("src.bin", 100000);
    const QByteArray old = MakeFile("dst.bin", 10);
    EXPECT_TRUE(support::KilledBeforeItsRename([&] {
        FileCopyClass copy;
        copy.CacheSize = 8000;
        copy.Copy(File("src.bin"), File("dst.bin"));
    }));
    EXPECT_EQ(Read("dst.bin"), old);
    QStringList left = Leftovers();
    left.removeAll("dst.bin");
    left.removeAll("src.bin");
    ASSERT_EQ(left.size(), 1) << left.join(' ').toStdString();
    EXPECT_TRUE(support::IsOwnPartName(left[0])) << left[0].toStdString();
    EXPECT_EQ(Read(left[0]), bytes) << "killed after the whole file was written";

    FileCopyClass copy;
    copy.Copy(File("src.bin"), File("copy.bin"));
    EXPECT_TRUE(copy.Sucessfull);
    EXPECT_EQ(Leftovers(), QStringList({"copy.bin", "dst.bin", "src.bin"}));
}

TEST_F(FileCopy, AReplacedDestinationKeepsItsPermissions)
{
    MakeFile("src.bin", 1000);
    for (const mode_t mode : {0640u, 0444u, 0604u}) {
        QFile::remove(File("dst.bin"));
        MakeFile("dst.bin", 10);
        ASSERT_EQ(::chmod(QFile::encodeName(File("dst.bin")).constData(), mode), 0);
        FileCopyClass copy;
        copy.Copy(File("src.bin"), File("dst.bin"));
        EXPECT_TRUE(copy.Sucessfull) << mode;
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(File("dst.bin")).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        EXPECT_EQ(st.st_size, 1000);
    }
}

class FileCopyWindow : public FileCopy {
protected:
    CfrmFileCopy* Prepare(const QString& src, const QString& dst)
    {
        CfrmFileCopy* w = g_frmFileCopy.get();
        w->g_sSourceFile = src;
        w->g_sDestFile = dst;
        w->lblFrom->setText(src);
        w->lblTo->setText(dst);
        w->tmrStart->start();
        return w;
    }
};

TEST_F(FileCopyWindow, LoadsIdle)
{
    CfrmFileCopy* w = g_frmFileCopy.get();
    EXPECT_EQ(w->windowTitle(), "File Copy");
    EXPECT_EQ(w->lblTitle->text(), "File Copy");
    EXPECT_EQ(w->lblState->text(), "State");
    EXPECT_EQ(w->Label1->text(), "From:");
    EXPECT_EQ(w->Label2->text(), "To:");
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_FALSE(w->tmrStart->isActive());
    EXPECT_FALSE(w->tmrEnd->isActive());
    EXPECT_EQ(w->Timer1->interval(), 1000);
    EXPECT_EQ(w->tmrStart->interval(), 100);
    EXPECT_EQ(w->tmrEnd->interval(), 100);
    EXPECT_EQ(w->ProgressBar1->Max(), 100);
    EXPECT_EQ(w->ProgressBar1->Color(), g_lColor);
}

TEST_F(FileCopyWindow, CopiesAndClosesItself)
{
    const QByteArray bytes = MakeFile("src.wav", 5000);
    QStringList states;
    modal->hook = [&](QWidget*) {
        CfrmFileCopy* w = g_frmFileCopy.Peek();
        ASSERT_TRUE(w);
        w->tmrStart_Timer();
        EXPECT_FALSE(w->tmrStart->isActive()) << "one tick starts one copy";
        states << w->lblState->text();
        EXPECT_EQ(w->ProgressBar1->Value(), 100);
        EXPECT_TRUE(w->cmdOK->isEnabled());
        EXPECT_TRUE(w->cmdExit->isEnabled());
        EXPECT_TRUE(w->tmrEnd->isActive());
        w->tmrEnd_Timer();
    };
    CfrmFileCopy* w = Prepare(File("src.wav"), File("saved.wav"));
    w->ShowModal();
    EXPECT_EQ(states, QStringList({"Ready"}));
    EXPECT_FALSE(g_frmFileCopy.IsLoaded());
    EXPECT_EQ(Read("saved.wav"), bytes);
}

TEST_F(FileCopyWindow, ClosingIsRefusedWhileTheCopyRuns)
{
    MakeFile("src.wav", 200000);
    CfrmFileCopy* w = Prepare(File("src.wav"), File("saved.wav"));
    w->Show();
    int refused = 0;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (w->lblState->text() != "Copying") return;
        EXPECT_FALSE(w->cmdOK->isEnabled());
        EXPECT_FALSE(w->cmdExit->isEnabled());
        if (!w->close()) ++refused;
    });
    probe.start();
    w->tmrStart_Timer();
    probe.stop();
    EXPECT_GT(refused, 0);
    EXPECT_TRUE(g_frmFileCopy.IsLoaded());
    EXPECT_EQ(w->lblState->text(), "Ready");
    EXPECT_EQ(Read("saved.wav").size(), 200000);
    w->cmdExit_Click();
    EXPECT_FALSE(g_frmFileCopy.IsLoaded());
}

TEST_F(FileCopyWindow, ClosedBeforeTheCopyBeginsCopiesNothing)
{
    MakeFile("src.wav", 5000);
    CfrmFileCopy* w = Prepare(File("src.wav"), File("saved.wav"));
    modal->hook = [](QWidget* shown) {
        // Closed at once, before the start timer's first tick.
        shown->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    w->ShowModal();
    EXPECT_FALSE(g_frmFileCopy.IsLoaded());
    EXPECT_FALSE(w->tmrStart->isActive());
    ProcessEvents();
    EXPECT_FALSE(QFile::exists(File("saved.wav")));
}

TEST_F(FileCopyWindow, OkCopiesAgain)
{
    MakeFile("src.wav", 3000);
    CfrmFileCopy* w = Prepare(File("src.wav"), File("saved.wav"));
    w->tmrStart_Timer();
    QFile::remove(File("saved.wav"));
    w->cmdOk_Click();
    EXPECT_EQ(Read("saved.wav").size(), 3000);
    EXPECT_EQ(w->lblState->text(), "Ready");
}

TEST_F(FileCopyWindow, AMissingSourceEndsWithAMessageNotReady)
{
    msgBox->Expect("cannot be found", platform::vbOK);
    CfrmFileCopy* w = Prepare(File("gone.wav"), File("saved.wav"));
    w->tmrStart_Timer();
    EXPECT_EQ(w->lblState->text(), "Failed");
    EXPECT_NE(w->ProgressBar1->Value(), 100);
    EXPECT_TRUE(w->cmdExit->isEnabled());
    EXPECT_FALSE(QFile::exists(File("saved.wav")));
    EXPECT_EQ(msgBox->shown.back().flags, platform::vbExclamation);
}

TEST_F(FileCopyWindow, CopyingAFileOntoItselfIsRefused)
{
    const QByteArray bytes = MakeFile("song.wav", 12000);
    msgBox->Expect("onto itself", platform::vbOK);
    CfrmFileCopy* w = Prepare(File("song.wav"), File("song.wav"));
    w->tmrStart_Timer();
    EXPECT_EQ(w->lblState->text(), "Failed");
    EXPECT_EQ(Read("song.wav"), bytes);
}

} // namespace
