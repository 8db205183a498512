// The CD database control against a CDDB server of the tests' own on
// 127.0.0.1, with a generated disc image as the drive.
#include "controls/cd/AudioCD.h"
#include "support/CdImage.h"
#include "support/FakeCddbServer.h"
#include "support/TestDoubles.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

using support::CddbDisc;
using support::CddbDiscId;
using support::CddbDiscOf;
using support::CddbReadAnswer;
using support::CdImage;
using support::FakeCddbServer;

namespace {

// What a window sees of one lookup, event by event: "State Querying",
// "Artist A", "Album B", "Track 1 A|Title", "Done", "Error 2 text".
struct Lookup {
    QStringList events;
    QStringList endings; // "Done" and "Error" events only
    std::int32_t errorCode = 0;
    QString errorText;
    bool eventBeforeReturn = false;
    QString Track(int n) const
    {
        for (const QString& e : events)
            if (e.startsWith(QString("Track %1 ").arg(n))) return e.mid(QString("Track %1 ").arg(n).size());
        return "(none)";
    }
};

// Records the lookup's events in `into`; `onTrack` may act on the control.
void Watch(cFreeDB& c, QObject* context, Lookup& into, std::function<void(int)> onTrack = {})
{
    QObject::connect(&c, &cFreeDB::StateChanged, context, [&into](const QString& s) { into.events << "State " + s; });
    QObject::connect(&c, &cFreeDB::ArtistReceived, context, [&into](const QString& a) { into.events << "Artist " + a; });
    QObject::connect(&c, &cFreeDB::AlbumReceived, context, [&into](const QString& a) { into.events << "Album " + a; });
    QObject::connect(&c, &cFreeDB::TrackReceived, context,
                     [&into, onTrack](const QString& artist, std::int16_t track, const QString& title) {
                         into.events << QString("Track %1 %2|%3").arg(track).arg(artist, title);
                         if (onTrack) onTrack(track);
                     });
    QObject::connect(&c, &cFreeDB::QueryDone, context, [&into] {
        into.events << "Done";
        into.endings << "Done";
    });
    QObject::connect(&c, &cFreeDB::Error, context, [&into](std::int32_t code, const QString& text) {
        into.events << QString("Error %1 %2").arg(code).arg(text);
        into.endings << "Error";
        into.errorCode = code;
        into.errorText = text;
    });
}

// Lets whatever is still queued arrive.
void Drain()
{
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Starts the lookup and runs the event loop until it has ended.
Lookup RunQuery(cFreeDB& c, std::function<void(int)> onTrack = {})
{
    Lookup l;
    QObject context;
    Watch(c, &context, l, std::move(onTrack));
    c.StartQuery();
    l.eventBeforeReturn = !l.events.isEmpty();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !l.endings.isEmpty(); }, 30000));
    Drain();
    return l;
}

class CddbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        image = support::WriteTestDisc(dir.path());
        SetCDDriveImages(QStringList{image.cue});
        db.SetDrive("D:");
    }
    void TearDown() override { SetCDDriveImages(std::nullopt); }

    // A server answering the query with `query` and the read with an entry of these lines.
    FakeCddbServer::Answers Serving(const QByteArray& query, const QStringList& entry)
    {
        FakeCddbServer::Answers a;
        a.query = query;
        a.read = CddbReadAnswer("rock", CddbDiscId(image), CddbDiscOf(image), entry);
        return a;
    }
    QByteArray ExactMatch() const { return "200 rock " + CddbDiscId(image).toUtf8() + " The Band / First Light"; }
    void Use(const FakeCddbServer& server) { db.UseServer("127.0.0.1", server.Port()); }

    QTemporaryDir dir;
    CdImage image;
    cFreeDB db;
};

const QStringList kEntry{"DTITLE=The Band / First Light", "DYEAR=1999", "DGENRE=Rock", "TTITLE0=Dawn",
                         "TTITLE1=Noon", "TTITLE2=Guest Singer / Dusk", "TTITLE3=Data"};

TEST(CddbDefaults, TheProgramsServerAndHandshake)
{
    cFreeDB db;
    EXPECT_EQ(db.Timeout(), 20);
    EXPECT_EQ(db.ServerHost(), "gnudb.gnudb.org");
    EXPECT_EQ(db.ServerPort(), 8880);
    EXPECT_EQ(db.UserName(), "clsCDDB");
    EXPECT_EQ(db.ClientName(), "clsCDDB");
    EXPECT_EQ(db.ClientVersion(), "v0.5");
    EXPECT_FALSE(db.ClientHost().isEmpty());
    EXPECT_FALSE(db.IsQuerying());
}

TEST(CddbDefaults, TheFactoryMakesTheRealControlUnlessTestsInstallAnother)
{
    EXPECT_NE(CreateFreeDB(), nullptr);
    int made = 0;
    SetFreeDBFactory([&made] {
        ++made;
        return std::make_unique<cFreeDB>();
    });
    CreateFreeDB();
    SetFreeDBFactory({});
    CreateFreeDB();
    EXPECT_EQ(made, 1);
}

TEST(CddbDefaults, ATestsServerStaysWhenTheWindowSetsThePublicOne)
{
    cFreeDB db;
    db.UseServer("127.0.0.1", 4321);
    db.SetServerHost(kFreeDBServerHost);
    db.SetServerPort(kFreeDBServerPort);
    EXPECT_EQ(db.ServerHost(), "127.0.0.1");
    EXPECT_EQ(db.ServerPort(), 4321);
}

TEST_F(CddbTest, TheDiscIdComesFromTheTableOfContents)
{
    // Tracks of 3, 4, 2 and 2 s from the disc's start: frames 150, 375, 675
    // and 825, lead-out at 975 frames (13 s). Digit sums 2+5+9+(1+1) = 18,
    // 13 - 2 = 11 seconds, 4 tracks.
    ASSERT_EQ(CddbDiscId(image), "12000b04");
    FakeCddbServer server(Serving(ExactMatch(), kEntry));
    Use(server);
    RunQuery(db);
    EXPECT_EQ(server.Received().value(2).simplified(), "cddb query 12000b04 4 150 375 675 825 13");
}

TEST_F(CddbTest, AnExactMatchGivesArtistAlbumAndEveryTrack)
{
    FakeCddbServer server(Serving(ExactMatch(), kEntry));
    Use(server);
    const Lookup l = RunQuery(db);
    EXPECT_FALSE(l.eventBeforeReturn);
    EXPECT_EQ(l.endings, QStringList{"Done"});
    QStringList results;
    for (const QString& e : l.events)
        if (!e.startsWith("State ")) results << e;
    // One artist's disc: a title with " / " stays whole.
    EXPECT_EQ(results, (QStringList{"Artist The Band", "Album First Light", "Track 1 The Band|Dawn", "Track 2 The Band|Noon",
                                    "Track 3 The Band|Guest Singer / Dusk", "Track 4 The Band|Data", "Done"}));
    EXPECT_TRUE(l.events.first().startsWith("State ")) << l.events.join("\n").toStdString();
    // The handshake as the window sets it, protocol level 6, the first match read, and goodbye.
    QStringList received = server.Received();
    for (QString& line : received) line = line.simplified();
    EXPECT_EQ(received, (QStringList{"cddb hello clsCDDB localhost clsCDDB v0.5", "proto 6",
                                     "cddb query 12000b04 4 150 375 675 825 13", "cddb read rock 12000b04", "quit"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.Closed() == 1; }, 10000));
    EXPECT_FALSE(db.IsQuerying());
}

TEST_F(CddbTest, AServerOfAnOlderProtocolLevelIsSpokenToAtItsHighest)
{
    const std::vector<std::pair<int, QStringList>> cases = {
        {6, {"proto 6"}},
        {5, {"proto 6", "proto", "proto 5"}},
        {1, {"proto 6", "proto"}},
    };
    for (const auto& [level, protos] : cases) {
        SCOPED_TRACE(level);
        FakeCddbServer::Answers answers = Serving(ExactMatch(), kEntry);
        answers.protoLevel = level;
        FakeCddbServer server(answers);
        Use(server);
        const Lookup l = RunQuery(db);
        EXPECT_EQ(l.endings, QStringList{"Done"}) << l.events.join("\n").toStdString();
        EXPECT_EQ(l.Track(4), "The Band|Data");
        QStringList received = server.Received();
        for (QString& line : received) line = line.simplified();
        const QStringList expected = QStringList{"cddb hello clsCDDB localhost clsCDDB v0.5"} + protos +
                                     QStringList{"cddb query 12000b04 4 150 375 675 825 13", "cddb read rock 12000b04", "quit"};
        EXPECT_EQ(received, expected);
    }
}

TEST_F(CddbTest, OfSeveralMatchesTheFirstIsRead)
{
    const QByteArray id = CddbDiscId(image).toUtf8();
    for (const QByteArray& code : {QByteArray("210 Found exact matches, list follows (until terminating `.')"),
                                   QByteArray("211 Found inexact matches, list follows (until terminating `.')")}) {
        SCOPED_TRACE(code.toStdString());
        FakeCddbServer::Answers answers = Serving(code + "\r\njazz " + id + " The Band / First Light\r\n"
                                                         "rock " + id + " Others / Second\r\nmisc 0a0b0c0d Third / Third\r\n.",
                                                  kEntry);
        answers.read.replace("210 rock", "210 jazz");
        FakeCddbServer server(answers);
        Use(server);
        const Lookup l = RunQuery(db);
        EXPECT_EQ(l.endings, QStringList{"Done"});
        EXPECT_TRUE(server.Received().contains("cddb read jazz " + id)) << server.Received().join("\n").toStdString();
        EXPECT_EQ(l.Track(1), "The Band|Dawn");
    }
}

TEST_F(CddbTest, TextsArriveAsUtf8AndRepeatedLinesAreJoined)
{
    FakeCddbServer server(Serving(ExactMatch(), {"DTITLE=Sigur Rós / Ágætis byrjun – ", "DTITLE=Édition spéciale",
                                                 "TTITLE0=Für Élise", "TTITLE1=Один день", "TTITLE2=A title that is cut",
                                                 "TTITLE2= over two lines", "TTITLE3=東京"}));
    Use(server);
    const Lookup l = RunQuery(db);
    ASSERT_EQ(l.endings, QStringList{"Done"});
    EXPECT_TRUE(l.events.contains("Artist Sigur Rós"));
    EXPECT_TRUE(l.events.contains("Album Ágætis byrjun – Édition spéciale")) << l.events.join("\n").toStdString();
    EXPECT_EQ(l.Track(1), "Sigur Rós|Für Élise");
    EXPECT_EQ(l.Track(2), "Sigur Rós|Один день");
    EXPECT_EQ(l.Track(3), "Sigur Rós|A title that is cut over two lines");
    EXPECT_EQ(l.Track(4), "Sigur Rós|東京");
}

TEST_F(CddbTest, AnEntryWithoutArtistOrAlbumSendsNeither)
{
    FakeCddbServer server(Serving(ExactMatch(), {"DTITLE=", "TTITLE0=One", "TTITLE1=Two", "TTITLE2=Three", "TTITLE3=Four"}));
    Use(server);
    const Lookup l = RunQuery(db);
    ASSERT_EQ(l.endings, QStringList{"Done"});
    for (const QString& e : l.events) {
        EXPECT_FALSE(e.startsWith("Artist ")) << e.toStdString();
        EXPECT_FALSE(e.startsWith("Album ")) << e.toStdString();
    }
    EXPECT_EQ(l.Track(4), "|Four");
}

// Entries that no one here made: old Latin-1 and Windows-1252 entries, bytes
// that are no text at all, lines no entry should hold. Each runs in a child
// process under each locale, so that a crash fails its case alone.
struct HostileCase {
    const char* name;
    QByteArray query; // empty: the usual exact match
    QList<QByteArray> entry;
    QStringList results; // every event but the states
};

// The read answer with these lines as they stand, byte for byte.
QByteArray RawReadAnswer(const CdImage& image, const QList<QByteArray>& lines)
{
    QByteArray answer = CddbReadAnswer("rock", CddbDiscId(image), CddbDiscOf(image), {"@LINES@"});
    return answer.replace("@LINES@", lines.join("\r\n"));
}

TEST_F(CddbTest, EntriesInAnyEncodingArriveWholeAndPromptlyInEveryLocale)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const QByteArray id = CddbDiscId(image).toUtf8();
    const std::vector<HostileCase> cases = {
        {"latin-1 title", {}, {"DTITLE=Caf\xe9 Band / Caf\xe9", "TTITLE0=Caf\xe9", "TTITLE1=Cr\xe8me", "TTITLE2=\xc0 bient\xf4t",
                               "TTITLE3=Na\xefve"},
         {"Artist Café Band", "Album Café", "Track 1 Café Band|Café", "Track 2 Café Band|Crème",
          "Track 3 Café Band|À bientôt", "Track 4 Café Band|Naïve", "Done"}},
        // One encoding for the whole entry: a line that is no UTF-8 makes it Windows-1252.
        {"utf-8 and windows-1252 in one entry", {}, {"DTITLE=Die \xc3\x84rzte / ", "DTITLE=\x93" "Best\x94 \x96 Live", "TTITLE0=\xc3\xa9t\xc3\xa9",
                                                     "TTITLE0= \xe9t\xe9", "TTITLE1=\x80 100", "TTITLE2=x", "TTITLE3=y"},
         {"Artist Die Ã„rzte", "Album “Best” – Live", "Track 1 Die Ã„rzte|Ã©tÃ© été", "Track 2 Die Ã„rzte|€ 100",
          "Track 3 Die Ã„rzte|x", "Track 4 Die Ã„rzte|y", "Done"}},
        // Lines of at most 256 bytes: a long value goes on on the next line, cut anywhere.
        {"utf-8 cut by the line length", {}, {"DTITLE=Bj\xc3\xb6rk / Homogenic", "TTITLE0=" + QByteArray(247, 'a') + "\xc3",
                                              "TTITLE0=\xb3ga", "TTITLE1=Unravel", "TTITLE2=Bachelorette", "TTITLE3=All Is Full of Love"},
         {"Artist Björk", "Album Homogenic", "Track 1 Björk|" + QString(247, 'a') + "óga", "Track 2 Björk|Unravel",
          "Track 3 Björk|Bachelorette", "Track 4 Björk|All Is Full of Love", "Done"}},
        {"escapes and a byte-order mark", {}, {"\xef\xbb\xbf" "DTITLE=AC\\\\DC / Live\\nat Donington", "TTITLE0=Thunder\\tstruck",
                                                "TTITLE1=a", "TTITLE2=b", "TTITLE3=c"},
         {"Artist AC\\DC", "Album Live at Donington", "Track 1 AC\\DC|Thunder struck", "Track 2 AC\\DC|a",
          "Track 3 AC\\DC|b", "Track 4 AC\\DC|c", "Done"}},
        {"bytes that are no text", {}, {"DTITLE=\xff\xfe / \xc3", QByteArray("TTITLE0=a\x00" "b\x1b[31m", 16), "TTITLE1=\xed\xa0\x80",
                                        "TTITLE2=\xf4\x90\x80\x80", "TTITLE3=\xc0\xaf"},
         {"Artist ÿþ", "Album Ã", "Track 1 ÿþ|a b [31m", "Track 2 ÿþ|í\u00a0€", "Track 3 ÿþ|ô €€",
          "Track 4 ÿþ|À¯", "Done"}},
        {"lines no entry should hold", {}, {"TTITLE99999999=far", "TTITLE-1=minus", "=x", "no equals", "TTITLE0=One",
                                            "DTITLE=Various / Mix", "TTITLE1=Singer / Song", "TTITLE3=Last", "TTITLE9=beyond"},
         {"Artist Various", "Album Mix", "Track 1 Various|One", "Track 2 Singer|Song", "Track 3 Various|",
          "Track 4 Various|Last", "Done"}},
        {"latin-1 in the match", "200 rock " + id + " Caf\xe9 / \xff", {"DTITLE=A / B", "TTITLE0=T"},
         {"Artist A", "Album B", "Track 1 A|T", "Track 2 A|", "Track 3 A|", "Track 4 A|", "Done"}},
        {"a line without end", {}, {"TTITLE0=" + QByteArray(200000, '\xe9')},
         {"Error 5 The answer of the CD database server 127.0.0.1 cannot be read (a line without end)."}},
        {"a match that cannot be sent back", "200 r\xe9" "ck " + id + " x / y", {"DTITLE=A / B"},
         {QString("Error 5 The answer of the CD database server 127.0.0.1 cannot be read (200 r\u00e9ck %1 x / y).")
              .arg(QString(id))}},
        {"control characters in the quoted answer", QByteArray("200 r\0ck\x1b[2J\x07\t", 14) + id + " x / y", {"DTITLE=A / B"},
         {QString("Error 5 The answer of the CD database server 127.0.0.1 cannot be read (200 rck[2J %1 x / y).")
              .arg(QString(id))}},
        // Real entries are a few KB; lines of a value go on without end.
        {"an entry too large", {}, QList<QByteArray>(20, "TTITLE0=" + QByteArray(60000, 'a')),
         {"Error 5 The answer of the CD database server 127.0.0.1 cannot be read (an entry too large)."}},
    };
    for (const char* locale : {"C", "POSIX", "C.UTF-8"}) {
        for (const HostileCase& c : cases) {
            SCOPED_TRACE(std::string(locale) + ": " + c.name);
            EXPECT_EXIT(
                {
                    if (!std::setlocale(LC_ALL, locale)) std::_Exit(3);
                    FakeCddbServer::Answers answers;
                    answers.query = c.query.isEmpty() ? ExactMatch() : c.query;
                    answers.read = RawReadAnswer(image, c.entry);
                    FakeCddbServer server(answers);
                    Use(server);
                    Lookup l;
                    QObject context;
                    Watch(db, &context, l);
                    db.StartQuery(); // the time-out stays 20 s
                    const bool ended = QTest::qWaitFor([&] { return !l.endings.isEmpty(); }, 2000);
                    Drain();
                    QStringList results;
                    for (const QString& e : l.events)
                        if (!e.startsWith("State ")) results << e;
                    if (!ended || results != c.results) {
                        std::fprintf(stderr, "%s\n", results.join("\n").toUtf8().constData());
                        std::fflush(stderr);
                        std::_Exit(1);
                    }
                    std::_Exit(0);
                },
                ::testing::ExitedWithCode(0), "");
        }
    }
}

// Lookups that end with one Error: the code and a clear text.
struct FailingCase {
    const char* name;
    std::function<void(FakeCddbServer::Answers&)> answers;
    std::int32_t code;
    const char* text;
};

TEST_F(CddbTest, ALookupThatFindsNothingEndsWithOneError)
{
    const std::vector<FailingCase> cases = {
        {"no match", [](FakeCddbServer::Answers& a) { a.query = "202 No match for disc ID 12000b04."; },
         kFreeDBErrNoMatch, "The CD database holds no entry for this CD."},
        {"handshake refused", [](FakeCddbServer::Answers& a) { a.hello = "431 Handshake not successful, closing connection."; },
         kFreeDBErrRefused, "The CD database server 127.0.0.1 refused the connection."},
        {"no connections allowed", [](FakeCddbServer::Answers& a) { a.banner = "432 No connections allowed: permission denied."; },
         kFreeDBErrRefused, "The CD database server 127.0.0.1 refused the connection."},
        {"database corrupt", [](FakeCddbServer::Answers& a) { a.query = "403 Database entry is corrupt."; },
         kFreeDBErrRefused, "The CD database server 127.0.0.1 refused the query."},
        {"entry gone", [](FakeCddbServer::Answers& a) { a.read = "401 Specified CDDB entry not found."; },
         kFreeDBErrNoMatch, "The CD database holds no entry for this CD."},
    };
    for (const FailingCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeCddbServer::Answers answers = Serving(ExactMatch(), kEntry);
        c.answers(answers);
        FakeCddbServer server(answers);
        Use(server);
        const Lookup l = RunQuery(db);
        EXPECT_EQ(l.endings, QStringList{"Error"}) << l.events.join("\n").toStdString();
        EXPECT_EQ(l.errorCode, c.code);
        EXPECT_EQ(l.errorText, c.text);
        EXPECT_FALSE(db.IsQuerying());
    }
}

TEST_F(CddbTest, AServerThatNeverAnswersEndsTheLookupAtTheTimeout)
{
    FakeCddbServer::Answers answers;
    answers.silent = true;
    FakeCddbServer server(answers);
    Use(server);
    db.SetTimeout(1);
    const Lookup l = RunQuery(db);
    EXPECT_EQ(l.endings, QStringList{"Error"});
    EXPECT_EQ(l.errorCode, kFreeDBErrTimeout);
    EXPECT_EQ(l.errorText, "The CD database server 127.0.0.1 did not answer within 1 seconds.");
    // The lookup's thread gives up on its own; nothing more arrives from it.
    Lookup later;
    QObject context;
    Watch(db, &context, later);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Closed() == 1; }, 10000));
    Drain();
    EXPECT_TRUE(later.events.isEmpty()) << later.events.join("\n").toStdString();
    EXPECT_TRUE(server.Received().isEmpty());
}

TEST_F(CddbTest, NoServerAtThePort)
{
    std::uint16_t port = 0;
    {
        FakeCddbServer gone({});
        port = gone.Port();
    }
    db.UseServer("127.0.0.1", port);
    EXPECT_FALSE(db.IsConnected());
    const Lookup l = RunQuery(db);
    EXPECT_EQ(l.endings, QStringList{"Error"});
    EXPECT_EQ(l.errorCode, kFreeDBErrConnect);
    EXPECT_EQ(l.errorText, QString("The CD database server 127.0.0.1 cannot be reached on port %1.").arg(port));
}

TEST_F(CddbTest, IsConnectedOpensAConnectionToTheSetServer)
{
    FakeCddbServer server({});
    Use(server);
    EXPECT_TRUE(db.IsConnected());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.Connections() == 1; }, 10000));
    db.UseServer("name.that.does.not.resolve.invalid", server.Port());
    EXPECT_FALSE(db.IsConnected());
}

TEST_F(CddbTest, AnUnknownServerName)
{
    db.UseServer("name.that.does.not.resolve.invalid", 8880);
    const Lookup l = RunQuery(db);
    EXPECT_EQ(l.endings, QStringList{"Error"});
    EXPECT_EQ(l.errorCode, kFreeDBErrConnect);
    EXPECT_EQ(l.errorText, "The CD database server name.that.does.not.resolve.invalid cannot be found.");
}

TEST_F(CddbTest, WithoutAnAudioCDTheServerIsNotAsked)
{
    const CdImage data = support::WriteCdImage(dir.path(), "data", {{2, 0, true}});
    SetCDDriveImages(QStringList{image.cue, dir.filePath("missing.cue"), data.cue});
    FakeCddbServer server(Serving(ExactMatch(), kEntry));
    Use(server);
    const std::vector<std::pair<QString, QString>> cases = {
        {"G:", "There is no CD drive G:."},
        {"E:", "There is no disc in drive E:."},
        {"F:", "The disc in drive F: is not an audio CD."},
    };
    for (const auto& [drive, text] : cases) {
        db.SetDrive(drive);
        const Lookup l = RunQuery(db);
        EXPECT_EQ(l.endings, QStringList{"Error"});
        EXPECT_EQ(l.errorCode, kFreeDBErrNoDisc);
        EXPECT_EQ(l.errorText, text);
    }
    EXPECT_EQ(server.Connections(), 0);
    db.SetDrive("d:"); // a letter in either case
    EXPECT_EQ(RunQuery(db).endings, QStringList{"Done"});
}

TEST_F(CddbTest, AbortEndsTheLookupWithoutAnEvent)
{
    FakeCddbServer::Answers answers = Serving(ExactMatch(), kEntry);
    answers.read = {}; // the entry is slow to come
    FakeCddbServer server(answers);
    Use(server);
    db.SetTimeout(1);
    Lookup l;
    QObject context;
    Watch(db, &context, l);
    db.StartQuery();
    EXPECT_TRUE(db.IsQuerying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Received().size() == 4; }, 10000));
    db.Abort();
    EXPECT_FALSE(db.IsQuerying());
    const QStringList before = l.events;
    // The lookup's thread notices, closes the connection and ends; nothing more arrives.
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Closed() == 1; }, 10000));
    Drain();
    EXPECT_EQ(l.events, before);
    EXPECT_TRUE(l.endings.isEmpty());
    // The control is ready for the next lookup.
    FakeCddbServer next(Serving(ExactMatch(), kEntry));
    Use(next);
    EXPECT_EQ(RunQuery(db).endings, QStringList{"Done"});
}

TEST_F(CddbTest, AHandlerThatAbortsStopsTheRestOfTheEntry)
{
    // As the lookup window does when the last track of its list has arrived.
    FakeCddbServer server(Serving(ExactMatch(), kEntry));
    Use(server);
    Lookup l;
    QObject context;
    Watch(db, &context, l, [this](int track) {
        if (track == 2) {
            db.Abort();
            db.Terminate();
        }
    });
    db.StartQuery();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Closed() == 1 && l.events.contains("Track 2 The Band|Noon"); }, 10000));
    Drain();
    EXPECT_EQ(l.events.last(), "Track 2 The Band|Noon");
    EXPECT_TRUE(l.endings.isEmpty());
}

TEST_F(CddbTest, ASecondStartWhileALookupRunsIsRefused)
{
    FakeCddbServer server(Serving(ExactMatch(), kEntry));
    Use(server);
    Lookup l;
    QObject context;
    Watch(db, &context, l);
    db.StartQuery();
    db.StartQuery();
    ASSERT_TRUE(QTest::qWaitFor([&] { return l.endings.size() == 2; }, 10000));
    Drain();
    EXPECT_TRUE(l.endings.contains("Done"));
    EXPECT_EQ(l.errorCode, kFreeDBErrBusy);
    EXPECT_EQ(l.endings.size(), 2);
}

TEST_F(CddbTest, AControlGoneBeforeTheAnswerIsNoHarm)
{
    FakeCddbServer::Answers answers = Serving(ExactMatch(), kEntry);
    answers.read = {};
    FakeCddbServer server(answers);
    {
        cFreeDB gone;
        gone.SetDrive("D:");
        gone.SetTimeout(1);
        gone.UseServer("127.0.0.1", server.Port());
        gone.StartQuery();
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.Received().size() == 4; }, 10000));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Closed() == 1; }, 10000));
    Drain();
}

} // namespace
