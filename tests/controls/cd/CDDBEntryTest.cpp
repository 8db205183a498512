// The CDDB disc id and the reading of xmcd entries, without a server.
#include "controls/cd/CddbEntry.h"

#include <gtest/gtest.h>

using cddbquery::DiscFrames;
using cddbquery::Entry;
using cddbquery::ParseEntry;

namespace {

// "artist|title" of every track.
QStringList Tracks(const Entry& e)
{
    QStringList tracks;
    for (const Entry::Track& t : e.tracks) tracks << QString("%1 %2|%3").arg(t.number).arg(t.artist, t.title);
    return tracks;
}

TEST(CddbDiscId, TheStandardSumOfTrackStartsLengthAndCount)
{
    // Three tracks at 2 s, 4 min 57.6 s and 10 min 3 s, lead-out at 45 min 2 s:
    // digit sums 2 + (2+9+7) + (6+0+3) = 29, 2702 - 2 = 2700 s (0x0a8c), 3 tracks.
    const DiscFrames disc{{150, 22320, 45225}, 202650};
    EXPECT_EQ(cddbquery::DiscId(disc), 0x1d0a8c03u);
    EXPECT_EQ(cddbquery::QueryCommand(disc), "cddb query 1d0a8c03 3 150 22320 45225 2702");
    // Digit sums above 255 wrap.
    DiscFrames many;
    for (int i = 0; i < 40; ++i) many.tracks.push_back(150 + i * 75 * 99); // sums 18 for most
    many.leadout = many.tracks.back() + 75 * 60;
    EXPECT_LT(cddbquery::DiscId(many) >> 24, 255u);
    EXPECT_EQ(cddbquery::DiscId(many) & 0xff, 40u);
}

struct SplitCase {
    const char* dtitle;
    const char* track;
    const char* artist; // the disc's
    const char* album;
    const char* result; // "artist|title" of the track
};

TEST(CddbEntry, ATrackIsSplitIntoArtistAndTitleOnlyOnAVariousArtistsDisc)
{
    const std::vector<SplitCase> cases = {
        {"Die Band / Lieder", "Zweites Lied / mit Gast", "Die Band", "Lieder", "Die Band|Zweites Lied / mit Gast"},
        {"Various / Hits", "Singer / Song", "Various", "Hits", "Singer|Song"},
        {"Various Artists / Hits", "Singer / Song", "Various Artists", "Hits", "Singer|Song"},
        {"various artists / Hits", "Singer / Song / Remix", "various artists", "Hits", "Singer|Song / Remix"},
        {"Various / Hits", "No Artist Here", "Various", "Hits", "Various|No Artist Here"},
        {"Various Artists Tribute / Hits", "Singer / Song", "Various Artists Tribute", "Hits",
         "Various Artists Tribute|Singer / Song"},
        {"AC/DC / Back in Black", "Hells Bells", "AC/DC", "Back in Black", "AC/DC|Hells Bells"},
        // Without " / " the artist is the title.
        {"Just An Album", "Track", "Just An Album", "Just An Album", "Just An Album|Track"},
        {"Various", "Singer / Song", "Various", "Various", "Singer|Song"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.dtitle);
        const Entry e = ParseEntry({QByteArray("DTITLE=") + c.dtitle, QByteArray("TTITLE0=") + c.track}, 1);
        EXPECT_EQ(e.artist, c.artist);
        EXPECT_EQ(e.album, c.album);
        EXPECT_EQ(Tracks(e), QStringList{QString("1 ") + c.result});
    }
}

struct TextCase {
    const char* what;
    QList<QByteArray> lines;
    const char* artist;
    const char* album;
    QStringList tracks;
};

TEST(CddbEntry, TheEntryIsDecodedAsAWholeAsUtf8OrWindows1252)
{
    const std::vector<TextCase> cases = {
        {"utf-8 characters cut where a value goes on on the next line",
         {"DTITLE=Bj\xc3", "DTITLE=\xb6rk / Homogenic", "TTITLE0=J\xc3", "TTITLE0=\xb3ga", "EXTD=\xc2", "EXTD=\xa9 1997"},
         "Björk", "Homogenic", {"1 Björk|Jóga"}},
        {"windows-1252", {"DTITLE=Caf\xe9 / \x93" "Best\x94", "TTITLE0=Cr\xe8me"}, "Café", "“Best”", {"1 Café|Crème"}},
        {"utf-8 and windows-1252 in one entry: windows-1252 throughout",
         {"DTITLE=Sigur R\xc3\xb3s / Caf\xe9", "TTITLE0=\xc3\xa9t\xc3\xa9"}, "Sigur RÃ³s", "Café",
         {"1 Sigur RÃ³s|Ã©tÃ©"}},
        {"a character cut at the end", {"DTITLE=A / B", "TTITLE0=cut \xc3"}, "A", "B", {"1 A|cut Ã"}},
        {"bytes that are no text", {"DTITLE=A / B", QByteArray("TTITLE0=\xff\xfe\x00x", 12)}, "A", "B", {"1 A|ÿþ x"}},
        {"byte-order marks in front of lines",
         {"\xef\xbb\xbf" "DTITLE=Sigur R\xc3\xb3s / Takk", "\xef\xbb\xbf" "TTITLE0=Gl\xc3\xb3s\xc3\xb3li"}, "Sigur Rós",
         "Takk", {"1 Sigur Rós|Glósóli"}},
        {"escapes", {"DTITLE=AC\\\\DC / Two\\nLines", "TTITLE0=Tab\\there \\x stays", "TTITLE0= and cut\\", "TTITLE0=nover"},
         "AC\\DC", "Two Lines", {"1 AC\\DC|Tab here \\x stays and cut over"}},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        const Entry e = ParseEntry(c.lines, 1);
        EXPECT_EQ(e.artist, QString::fromUtf8(c.artist));
        EXPECT_EQ(e.album, QString::fromUtf8(c.album));
        EXPECT_EQ(Tracks(e), c.tracks);
    }
}

TEST(CddbEntry, StrangeLinesAreSkippedAndEveryTrackOfTheDiscArrives)
{
    const Entry e = ParseEntry({"# comment =", "no equals sign", "=value without key", "TTITLE=no number", "TTITLE-1=minus",
                                "TTITLE99999999=far", "TTITLE7=beyond the disc", "TTITLE1x=letters", "TTITLE1=Second",
                                "DTITLE"},
                               3);
    EXPECT_EQ(Tracks(e), (QStringList{"1 |", "2 |Second", "3 |"}));
    EXPECT_TRUE(e.album.isEmpty());
}

} // namespace
