// The fake CD database control that window tests use: scripted lookups and
// the record of calls.
#include "support/FakeFreeDB.h"
#include "support/TestDoubles.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Fake = FakeFreeDB;

class FakeFreeDBTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fake::NextSetup().lookups = {Fake::Found("The Band", "First Light", {"Dawn", "Noon"})};
        SetFreeDBFactory([] { return std::make_unique<Fake>(); });
        control = CreateFreeDB();
        fake = Fake::Last();
        QObject::connect(control.get(), &cFreeDB::StateChanged, &context, [this](const QString& s) { events << "State " + s; });
        QObject::connect(control.get(), &cFreeDB::ArtistReceived, &context, [this](const QString& a) { events << "Artist " + a; });
        QObject::connect(control.get(), &cFreeDB::AlbumReceived, &context, [this](const QString& a) { events << "Album " + a; });
        QObject::connect(control.get(), &cFreeDB::TrackReceived, &context,
                         [this](const QString& artist, std::int16_t n, const QString& title) {
                             events << QString("Track %1 %2|%3").arg(n).arg(artist, title);
                         });
        QObject::connect(control.get(), &cFreeDB::QueryDone, &context, [this] { events << "Done"; });
        QObject::connect(control.get(), &cFreeDB::Error, &context,
                         [this](std::int32_t code, const QString& text) { events << QString("Error %1 %2").arg(code).arg(text); });
    }
    void TearDown() override
    {
        SetFreeDBFactory({});
        Fake::NextSetup() = {};
    }
    static void Drain()
    {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

    QObject context;
    std::unique_ptr<cFreeDB> control;
    Fake* fake = nullptr;
    QStringList events;
};

TEST_F(FakeFreeDBTest, AWindowsLookupIsRecordedAndPlaysTheScriptQueued)
{
    ASSERT_EQ(fake, control.get());
    EXPECT_TRUE(control->IsConnected());
    control->SetDrive("E:");
    control->SetTimeout(kFreeDBTimeout);
    control->SetServerHost(kFreeDBServerHost);
    control->SetServerPort(kFreeDBServerPort);
    control->SetUserName(kFreeDBUserName);
    control->SetClientHost(kFreeDBClientHost);
    control->SetClientName(kFreeDBClientName);
    control->SetClientVersion(kFreeDBClientVersion);
    control->StartQuery();
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(control->IsQuerying());
    ASSERT_TRUE(QTest::qWaitFor([this] { return events.contains("Done"); }, 5000));
    EXPECT_EQ(events, (QStringList{"State Querying", "Artist The Band", "Album First Light", "Track 1 The Band|Dawn",
                                   "Track 2 The Band|Noon", "Done"}));
    EXPECT_FALSE(control->IsQuerying());
    EXPECT_EQ(fake->calls, (QStringList{"IsConnected", "SetDrive E:", "Timeout 20", "ServerHost gnudb.gnudb.org",
                                        "ServerPort 8880", "UserName clsCDDB", "ClientHost localhost", "ClientName clsCDDB",
                                        "ClientVersion v0.5", "StartQuery"}));
    // Without a script a lookup ends with QueryDone alone.
    events.clear();
    control->StartQuery();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !events.isEmpty(); }, 5000));
    Drain();
    EXPECT_EQ(events, QStringList{"Done"});
}

TEST_F(FakeFreeDBTest, AbortDropsWhatTheLookupHasNotSentYet)
{
    // As the lookup window does when the track that fills its last row arrives.
    QObject::connect(control.get(), &cFreeDB::TrackReceived, &context, [this](const QString&, std::int16_t n, const QString&) {
        if (n == 1) {
            control->Abort();
            control->Terminate();
        }
    });
    control->StartQuery();
    ASSERT_TRUE(QTest::qWaitFor([this] { return events.contains("Track 1 The Band|Dawn"); }, 5000));
    Drain();
    EXPECT_EQ(events.last(), "Track 1 The Band|Dawn");
    EXPECT_FALSE(control->IsQuerying());
    EXPECT_EQ(fake->calls.mid(fake->calls.size() - 2), (QStringList{"Abort", "Terminate"}));
}

TEST_F(FakeFreeDBTest, ALookupWithoutAnEndingRunsUntilTheTestEndsIt)
{
    Fake::NextSetup() = {false, {{Fake::State("Connecting")}}};
    SetFreeDBFactory([] { return std::make_unique<Fake>(); });
    std::unique_ptr<cFreeDB> other = CreateFreeDB();
    Fake* f = Fake::Last();
    QStringList seen;
    QObject::connect(other.get(), &cFreeDB::Error, &context, [&seen](std::int32_t code, const QString& text) {
        seen << QString("Error %1 %2").arg(code).arg(text);
    });
    EXPECT_FALSE(other->IsConnected());
    other->StartQuery();
    Drain();
    EXPECT_TRUE(other->IsQuerying());
    other->StartQuery(); // refused while one runs
    Drain();
    EXPECT_EQ(seen, QStringList{QString("Error %1 A CD database lookup is already running on this control.").arg(kFreeDBErrBusy)});
    f->Raise(Fake::Fail(kFreeDBErrNoMatch, "The CD database holds no entry for this CD."));
    EXPECT_FALSE(other->IsQuerying());
    EXPECT_EQ(seen.last(), "Error 2 The CD database holds no entry for this CD.");
}

} // namespace
