// The fake join control that window tests use, and the factory.
#include "controls/audio/AudioTestSupport.h"
#include "support/FakeAudioJoin.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

using namespace audiotest;

namespace {

using Progress = std::vector<std::pair<std::int32_t, std::int32_t>>;

class FakeJoinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetAudioJoinFactory([] { return std::make_unique<FakeAudioJoin>(); });
        owned = CreateAudioJoin();
        fake = FakeAudioJoin::Last();
        fake->AddFile("/music/a.wav", -1, -1);
        fake->AddFile("/music/b.mp3", 65, 30);
        fake->SetDestinationFile(dir.filePath("joined.ogg"));
    }
    void TearDown() override { SetAudioJoinFactory({}); }
    QTemporaryDir dir;
    std::unique_ptr<cAudioJoin> owned;
    FakeAudioJoin* fake = nullptr;
};

TEST_F(FakeJoinTest, TheFactoryHandsOutTheFake)
{
    EXPECT_EQ(fake, owned.get());
    SetAudioJoinFactory({});
    std::unique_ptr<cAudioJoin> real = CreateAudioJoin();
    EXPECT_EQ(dynamic_cast<FakeAudioJoin*>(real.get()), nullptr);
}

TEST_F(FakeJoinTest, WithoutAScriptEachFileReaches100AndTheJoinIsDone)
{
    const JoinEvents ev = RunJoin(*fake);
    EXPECT_FALSE(ev.eventBeforeReturn);
    EXPECT_EQ(ev.progress, (Progress{{1, 100}, {2, 100}}));
    EXPECT_EQ(ev.endings, QStringList{"Done"});
    EXPECT_EQ(ReadFile(dir.filePath("joined.ogg")), "FAKE AUDIO");
}

TEST_F(FakeJoinTest, RecordsCallsAndWhatEachJoinWasGiven)
{
    fake->SetDestinationFormat(kDestFormatOGG);
    fake->SetOGGFormat({0, 0, 40});
    fake->SetTagTitle("T");
    fake->RemoveFile(1);
    RunJoin(*fake);
    EXPECT_EQ(fake->calls, (QStringList{"AddFile /music/a.wav -1 -1", "AddFile /music/b.mp3 65 30", "SetOGGFormat",
                                        "RemoveFile 1", "Join"}));
    ASSERT_EQ(fake->joins.size(), 1u);
    const FakeAudioJoin::JoinCall& j = fake->joins[0];
    ASSERT_EQ(j.files.size(), 1u);
    EXPECT_EQ(j.files[0].path, "/music/b.mp3");
    EXPECT_EQ(j.files[0].start, 65);
    EXPECT_EQ(j.files[0].length, 30);
    EXPECT_EQ(j.format, kDestFormatOGG);
    EXPECT_EQ(j.ogg.Quality, 40);
    EXPECT_EQ(j.title, "T");
    EXPECT_EQ(j.destination, dir.filePath("joined.ogg"));
}

TEST_F(FakeJoinTest, ScriptedEndingsArriveQueuedInOrder)
{
    fake->QueueScript({{{0, 1}, {50, 1}, {10, 2}}, FakeAudioJoin::Ending::Error, 7, "Refused"}); // {percent, file}
    fake->QueueScript({{}, FakeAudioJoin::Ending::Aborted});
    JoinEvents ev = RunJoin(*fake);
    EXPECT_EQ(ev.progress, (Progress{{1, 0}, {1, 50}, {2, 10}}));
    EXPECT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, 7);
    EXPECT_EQ(ev.errorText, "Refused");
    EXPECT_FALSE(QFile::exists(dir.filePath("joined.ogg")));
    EXPECT_EQ(RunJoin(*fake).endings, QStringList{"Aborted"});
}

TEST_F(FakeJoinTest, AHangingJoinEndsAbortedByAbortOrReset)
{
    for (const char* stop : {"Abort", "Reset"}) {
        fake->QueueScript({{{20, 1}, {40, 1}}, FakeAudioJoin::Ending::Hang});
        const JoinEvents ev = RunJoin(*fake, [&](std::int32_t, std::int32_t) {
            QString(stop) == "Abort" ? fake->Abort() : fake->Reset();
            EXPECT_EQ(fake->Join(), kConvertErrBusy);
        });
        EXPECT_EQ(ev.progress, (Progress{{1, 20}})) << stop;
        EXPECT_EQ(ev.endings, QStringList{"Aborted"}) << stop;
    }
}

TEST_F(FakeJoinTest, AHangingJoinEndsWhenTheTestSaysAndTerminateDropsIt)
{
    fake->QueueScript({{}, FakeAudioJoin::Ending::Hang});
    QTimer::singleShot(0, fake, [&] { fake->Finish(FakeAudioJoin::Ending::Done); });
    EXPECT_EQ(RunJoin(*fake).endings, QStringList{"Done"});

    fake->QueueScript({{{5, 1}}, FakeAudioJoin::Ending::Done});
    int events = 0;
    QObject::connect(fake, &cAudioJoin::Progress, fake, [&] { ++events; });
    QObject::connect(fake, &cAudioJoin::Done, fake, [&] { ++events; });
    fake->Join();
    fake->Terminate();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(fake->IsJoining());
}

TEST_F(FakeJoinTest, RefusesAsTheRealControlDoes)
{
    const QString mine = dir.filePath("mine.wav");
    WriteFile(mine, "the user's file");
    fake->AddFile(mine, -1, -1);
    fake->SetDestinationFile(mine);
    JoinEvents ev = RunJoin(*fake);
    EXPECT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kConvertErrDestinationIsSource);

    while (fake->GetFileCount() > 0) fake->RemoveFile(1);
    ev = RunJoin(*fake);
    EXPECT_EQ(ev.endings, QStringList{"Error"});
    EXPECT_EQ(ev.errorCode, kJoinErrNoFiles);
}

} // namespace
