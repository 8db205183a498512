#include "tags/ID3Genres.h"

#include <array>

namespace {

// Numbers 0 to 147; an empty entry has no name.
constexpr std::array<const char*, 148> kGenres = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro - Techno", "Ambient", "Trip Hop", "Vocal",
    "Jazz - Funk",
    "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise",
    "Alt.Rock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic",
    "Gothic",
    "Darkwave", "Techno - Industrial", "Electronic", "Pop / Folk", "Eurodance", "Dream", "Southern Rock", "Comedy",
    "Cult", "Gangsta Rap",
    "Top 40", "Christian Rap", "Pop / Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychedelic",
    "Rave", "Showtunes",
    "Trailer", "Lo - fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock 'n'Roll",
    "Hard Rock",
    "Folk", "Folk / Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic",
    "Blue Grass",
    "Avant Garde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band",
    "Chorus", "Easy Listening", "Acoustic",
    "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
    "Pr0n Groove",
    "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul",
    "Freestyle",
    "Duet", "Punk Rock", "Drum Solo", "", "Euro - House", "Dance Hall", "Goa", "Drum & Bass", "Club - House",
    "Hardcore",
    "Terror", "Indie", "Brit Pop", "Afro-Punk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
    "Black Metal", "Crossover",
    "Contemporary Christian", "Christian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime", "JPop", "Synth Pop"};

} // namespace

QString ID3GenreName(std::uint8_t genre)
{
    return genre < kGenres.size() ? QString::fromLatin1(kGenres[genre]) : QString();
}

std::uint8_t ID3GenreFromText(const QString& text)
{
    if (text.isEmpty()) return kNoGenre;
    for (size_t n = 0; n < kGenres.size(); ++n)
        if (text == QLatin1String(kGenres[n])) return std::uint8_t(n);
    for (size_t n = 0; n < kGenres.size(); ++n)
        if (QLatin1String(kGenres[n]).contains(text)) return std::uint8_t(n);
    return kNoGenre;
}
