// The ID3v1 block at the end of an MP3 file: its layout, the cleaning of its
// texts, the track byte, and what happens on short or missing files.
#include "TagTestSupport.h"
#include "tags/TagError.h"
#include "tags/cMP3ID3v1.h"

#include <QFile>

using namespace tagtest;

namespace {

// A block from another writer: "TAG", the five fields as given (no padding
// added beyond what the bytes hold), then track and genre bytes.
QByteArray Block(const QByteArray& fields125)
{
    QByteArray b = "TAG" + fields125;
    b.resize(128, '\0');
    return b;
}

QByteArray Field(const QByteArray& text, int width)
{
    QByteArray f = text.left(width);
    f.append(QByteArray(width - f.size(), ' '));
    return f;
}

class ID3v1Test : public TagTest {
protected:
    cMP3ID3v1 tag;
};

TEST_F(ID3v1Test, NewObjectAndFileWithoutBlock)
{
    EXPECT_EQ(tag.Genre(), 0);
    EXPECT_EQ(tag.Track(), 0);
    tag.SetTitle("old");
    tag.SetMP3File(Write("a.mp3", Mp3Audio()));
    EXPECT_FALSE(tag.HasID3v1Tag());
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.Genre(), 255);
    EXPECT_EQ(tag.GenreName(tag.Genre()), "");
    EXPECT_EQ(tag.Track(), 0);
}

TEST_F(ID3v1Test, WritesTheBlockLayout)
{
    const QByteArray audio = Mp3Audio();
    const QString path = Write("a.mp3", audio);
    tag.SetMP3File(path);
    tag.SetTitle("Title");
    tag.SetArtist("Artist");
    tag.SetAlbum("Album");
    tag.SetYear("2024");
    tag.SetComment("Comment");
    tag.SetTrack(7);
    tag.SetGenre(17);
    tag.Update();
    const QByteArray file = Read(path);
    ASSERT_EQ(file.size(), audio.size() + 128);
    EXPECT_EQ(file.left(audio.size()), audio);
    const QByteArray block = file.right(128);
    EXPECT_EQ(block, "TAG" + Field("Title", 30) + Field("Artist", 30) + Field("Album", 30) + "2024" +
                         Field("Comment", 28) + '\0' + char(7) + char(17));
    EXPECT_FALSE(tag.HasID3v1Tag()) << "Update does not change what the last read found";

    cMP3ID3v1 again;
    again.SetMP3File(path);
    EXPECT_TRUE(again.HasID3v1Tag());
    EXPECT_EQ(again.Title(), "Title");
    EXPECT_EQ(again.Comment(), "Comment");
    EXPECT_EQ(again.Track(), 7);
    EXPECT_EQ(again.Genre(), 17);
    EXPECT_EQ(again.GenreName(again.Genre()), "Rock");
}

TEST_F(ID3v1Test, RewritesAnExistingBlockInPlace)
{
    const QByteArray audio = Mp3Audio();
    const QString path = Write("a.mp3", audio + Block(Field("x", 30)));
    tag.SetMP3File(path);
    tag.SetTitle(QString(31, 'T'));
    tag.SetArtist(QString::fromUtf8("Caf\u00e9 \u2603")); // é fits ISO-8859-1, the snowman does not
    tag.SetGenre(255);
    tag.Update();
    const QByteArray file = Read(path);
    ASSERT_EQ(file.size(), audio.size() + 128);
    EXPECT_EQ(file.mid(audio.size() + 3, 30), QByteArray(30, 'T'));
    EXPECT_EQ(file.mid(audio.size() + 33, 6), "Caf\xe9 ?");
    EXPECT_EQ(uchar(file.back()), 255);
    tag.SetMP3File(path);
    EXPECT_EQ(tag.Title(), QString(30, 'T'));
    EXPECT_EQ(tag.Artist(), QString::fromUtf8("Caf\u00e9 ?"));
}

struct CleanCase {
    QByteArray field;
    const char* text;
};

TEST_F(ID3v1Test, CleansTextFields)
{
    const CleanCase cases[] = {
        {QByteArray("ab\0cd", 5), "abcd"},   // a NUL is removed, the text after it stays
        {QByteArray("abc") + QByteArray(27, '\0'), "abc"},
        {QByteArray("abc") + QByteArray(27, ' '), "abc"},
        {QByteArray("   abc  "), "abc"},
        {QByteArray("\tabc\t"), "\tabc\t"},  // only spaces are trimmed
        {QByteArray(30, '\0'), ""},
    };
    for (const CleanCase& c : cases) {
        QByteArray title = c.field;
        title.resize(30, '\0');
        tag.SetMP3File(Write("a.mp3", Mp3Audio() + Block(title)));
        EXPECT_TRUE(tag.HasID3v1Tag());
        EXPECT_EQ(tag.Title(), QString::fromLatin1(c.text)) << c.field.toHex().toStdString();
    }
}

TEST_F(ID3v1Test, ThirtyByteCommentGivesItsLastByteAsTrack)
{
    const QByteArray fields = Field("t", 30) + Field("a", 30) + Field("b", 30) + "1999" + QByteArray(30, 'c');
    const QString path = Write("a.mp3", Mp3Audio() + Block(fields + char(12)));
    tag.SetMP3File(path);
    EXPECT_EQ(tag.Comment(), QString(28, 'c'));
    EXPECT_EQ(tag.Track(), uchar('c'));
    EXPECT_EQ(tag.Genre(), 12);
    tag.Update();
    const QByteArray block = Read(path).right(128);
    EXPECT_EQ(block.mid(97, 28), QByteArray(28, 'c'));
    EXPECT_EQ(block[125], '\0');
    EXPECT_EQ(block[126], 'c');
}

TEST_F(ID3v1Test, RoundTripsTextsTrackAndGenre)
{
    const QString path = Write("a.mp3", Mp3Audio());
    tag.SetMP3File(path);
    const QString texts[] = {"A title of thirty characters..", QString::fromUtf8("K\u00fcnstler"), "Album", "1987",
                             "Twenty-eight characters ok."};
    tag.SetTitle(texts[0]);
    tag.SetArtist(texts[1]);
    tag.SetAlbum(texts[2]);
    tag.SetYear(texts[3]);
    tag.SetComment(texts[4]);
    for (int track : {0, 1, 200, 255}) {
        tag.SetTrack(std::uint8_t(track));
        tag.SetGenre(std::uint8_t(255 - track));
        tag.Update();
        cMP3ID3v1 back;
        back.SetMP3File(path);
        EXPECT_EQ(back.Title(), texts[0]);
        EXPECT_EQ(back.Artist(), texts[1]);
        EXPECT_EQ(back.Album(), texts[2]);
        EXPECT_EQ(back.Year(), texts[3]);
        EXPECT_EQ(back.Comment(), texts[4]);
        EXPECT_EQ(back.Track(), track);
        EXPECT_EQ(back.Genre(), 255 - track);
    }
}

TEST_F(ID3v1Test, MarkerIsCaseSensitive)
{
    QByteArray lower = Block(Field("x", 30));
    lower.replace(0, 3, "tag");
    const QByteArray before = Mp3Audio() + lower;
    const QString path = Write("a.mp3", before);
    tag.SetMP3File(path);
    EXPECT_FALSE(tag.HasID3v1Tag());
    tag.Update();
    const QByteArray after = Read(path);
    EXPECT_EQ(after.size(), before.size() + 128);
    EXPECT_EQ(after.left(before.size()), before);
}

TEST_F(ID3v1Test, ShortFiles)
{
    // A file of exactly one block is no block, and nothing is written to it.
    const QByteArray only = Block(Field("x", 30));
    const QString exact = Write("exact.mp3", only);
    tag.SetMP3File(exact);
    EXPECT_FALSE(tag.HasID3v1Tag());
    EXPECT_EQ(ErrorOf([&] { tag.Update(); }, "cMP3ID3v1"), kTagErrNotMP3);
    EXPECT_EQ(Read(exact), only);

    // One byte more and the block is read.
    tag.SetMP3File(Write("129.mp3", "x" + Block(Field("Title", 30) + Field("Artist", 30))));
    EXPECT_TRUE(tag.HasID3v1Tag());
    EXPECT_EQ(tag.Title(), "Title");
    EXPECT_EQ(tag.Artist(), "Artist");

    // Short files and the empty one are reported, and stay as they were.
    for (int size : {0, 1, 100}) {
        const QString path = Write(QString("s%1.mp3").arg(size), QByteArray(size, 'x'));
        tag.SetMP3File(path);
        try {
            tag.Update();
            ADD_FAILURE() << "no error for " << size << " bytes";
        } catch (const TagError& e) {
            EXPECT_EQ(e.Number, kTagErrNotMP3);
            EXPECT_EQ(e.Description, path + " is not a valid MP3 file.");
        }
        EXPECT_EQ(Read(path), QByteArray(size, 'x'));
    }
}

TEST_F(ID3v1Test, MissingFile)
{
    const QString path = Path("missing.mp3");
    EXPECT_EQ(ErrorOf([&] { tag.SetMP3File(path); }, "cMP3ID3v1"), 53);
    EXPECT_EQ(tag.MP3File(), path);
    EXPECT_EQ(tag.Genre(), 255);
    // Writing creates the file empty and reports it.
    EXPECT_EQ(ErrorOf([&] { tag.Update(); }, "cMP3ID3v1"), kTagErrNotMP3);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFile(path).size(), 0);
    // A folder is no file.
    EXPECT_NE(ErrorOf([&] { tag.SetMP3File(dir.path()); }, "cMP3ID3v1"), 0);
    EXPECT_NE(ErrorOf([&] { tag.Update(); }, "cMP3ID3v1"), 0);
}

TEST_F(ID3v1Test, FailedAppendIsReportedAndUndone)
{
    const QByteArray audio = Mp3Audio();
    const QString path = Write("a.mp3", audio);
    tag.SetMP3File(path);
    tag.SetTitle("Title");
    {
        WriteLimit limit(audio.size() + 50);
        EXPECT_EQ(ErrorOf([&] { tag.Update(); }, "cMP3ID3v1"), 61);
    }
    EXPECT_EQ(Read(path), audio);
}

} // namespace
