// The ID3v2 frame model: the frame list and its entries, the properties and
// the frames they write, the genre rule, and the members used before a read.
#include "TagTestSupport.h"
#include "tags/ID3v2Format.h"
#include "tags/TagError.h"
#include "tags/TagFile.h"
#include "tags/cMP3ID3v2.h"

using namespace tagtest;

namespace {

QByteArray Comm(const QByteArray& lang, const QByteArray& desc, const QByteArray& text)
{
    return '\0' + lang + desc + '\0' + text;
}

class ID3v2FramesTest : public TagTest {
protected:
    QString WithFrames(const QByteArray& frames, const QString& name = "a.mp3")
    {
        return Write(name, Tag(3, frames, 1024) + Mp3Audio());
    }
    // The frames of the tag in a file, as they stand there.
    static id3v2::FoundTag TagIn(const QString& path)
    {
        TagFile file("test");
        file.OpenRead(path);
        return id3v2::FindTag(file);
    }
    static QStringList Ids(const id3v2::FoundTag& t)
    {
        QStringList ids;
        for (const auto& f : t.frames) ids << f.id;
        return ids;
    }
    static QByteArray DataOf(const id3v2::FoundTag& t, const QString& id, int nth = 0)
    {
        for (const auto& f : t.frames)
            if (f.id == id && nth-- == 0) return f.data;
        return "<none>";
    }
    cMP3ID3v2 tag;
};

TEST_F(ID3v2FramesTest, RepeatedFrameCountsOnceAndKeepsBothEntries)
{
    const QString path = WithFrames(V23Frame("TIT2", Latin1Text("first")) + V23Frame("TPE1", Latin1Text("x")) +
                                    V23Frame("TIT2", Latin1Text("second")));
    tag.SetMP3File(path);
    EXPECT_EQ(tag.FrameCount(), 2);
    EXPECT_EQ(tag.Frame(1), "TIT2");
    EXPECT_EQ(tag.Frame(2), "TPE1");
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 2);
    EXPECT_EQ(tag.TagsInFrame("tit2"), 2);
    EXPECT_EQ(tag.Title(), "second");
    tag.SetArtist("y");
    tag.Update();
    const auto written = TagIn(path);
    EXPECT_EQ(Ids(written), QStringList({"TIT2", "TIT2", "TPE1"}));
    EXPECT_EQ(DataOf(written, "TIT2", 1), Latin1Text("second"));
}

TEST_F(ID3v2FramesTest, CommentsReadByStructure)
{
    tag.SetMP3File(WithFrames(V23Frame("COMM", Comm("eng", "", "a")) + V23Frame("COMM", Comm("eng", "", "b"))));
    EXPECT_EQ(tag.Comment(), QString("a") + QChar(0) + "\r\nb");
    // A comment with a description holds a player's data, not the user's comment.
    tag.SetMP3File(WithFrames(V23Frame("COMM", Comm("deu", "Beschreibung", "ntabc")), "b.mp3"));
    EXPECT_EQ(tag.Comment(), "");
}

TEST_F(ID3v2FramesTest, FramesInTheEarlierLayoutStayReadable)
{
    // Comment: encoding, the language bytes 00 6E 74, an empty description;
    // lyrics: encoding and a zero byte; link: encoding and a zero byte.
    tag.SetMP3File(WithFrames(V23Frame("COMM", QByteArray("\0\0nt\0a comment", 15)) +
                              V23Frame("USLT", QByteArray("\0\0la la", 7)) +
                              V23Frame("WXXX", QByteArray("\0\0http://x/", 11))));
    EXPECT_EQ(tag.Comment(), "a comment");
    EXPECT_EQ(tag.Lyrics(), "la la");
    EXPECT_EQ(tag.LinkTo(), "http://x/");
}

TEST_F(ID3v2FramesTest, CommentAndLyricsWrittenInTheStandardLayout)
{
    const QString path = WithFrames({});
    tag.SetMP3File(path);
    tag.SetComment("ntabc");
    tag.SetLyrics("la la");
    tag.SetLinkTo("http://example.com/");
    tag.SetArtistURL("http://artist.example/");
    tag.SetPlayCounter("42");
    tag.Update();
    const auto written = TagIn(path);
    EXPECT_EQ(DataOf(written, "COMM"), QByteArray("\0eng\0ntabc", 10));
    EXPECT_EQ(DataOf(written, "USLT"), QByteArray("\0eng\0la la", 10));
    EXPECT_EQ(DataOf(written, "WXXX"), QByteArray("\0\0http://example.com/", 21));
    EXPECT_EQ(DataOf(written, "WOAR"), "http://artist.example/");
    EXPECT_EQ(DataOf(written, "PCNT"), QByteArray("\0\0\0\x2a", 4));

    cMP3ID3v2 back;
    back.SetMP3File(path);
    EXPECT_EQ(back.Comment(), "ntabc");
    EXPECT_EQ(back.Lyrics(), "la la");
    EXPECT_EQ(back.LinkTo(), "http://example.com/");
    EXPECT_EQ(back.ArtistURL(), "http://artist.example/");
    EXPECT_EQ(back.PlayCounter(), "42");
}

TEST_F(ID3v2FramesTest, SettersReplaceTheirFrame)
{
    tag.SetMP3File(WithFrames(V23Frame("TPE1", Latin1Text("x"))));
    tag.SetTitle("one");
    tag.SetArtist("y");
    tag.SetTitle("two");
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 1);
    EXPECT_EQ(tag.Title(), "two");
    EXPECT_EQ(tag.Frame(tag.FrameCount()), "TIT2");
    // An empty value still writes its frame.
    tag.SetAlbum("");
    EXPECT_EQ(tag.TagsInFrame("TALB"), 1);
}

TEST_F(ID3v2FramesTest, SetterLeavesAFrameThatHoldsTheValue)
{
    // A UTF-16 title from another writer stays as it is when set to what it holds.
    const QByteArray utf16("\x01\xff\xfeT\0i\0t\0l\0e\0", 13);
    const QString path = WithFrames(V23Frame("TIT2", utf16) + V23Frame("TPE1", Latin1Text("x")));
    tag.SetMP3File(path);
    tag.SetTitle("Title");
    tag.SetArtist("y");
    tag.Update();
    const auto written = TagIn(path);
    EXPECT_EQ(Ids(written), QStringList({"TIT2", "TPE1"}));
    EXPECT_EQ(DataOf(written, "TIT2"), utf16);
}

TEST_F(ID3v2FramesTest, FrameMembers)
{
    tag.SetMP3File(WithFrames(V23Frame("TPE1", Latin1Text("x"))));
    EXPECT_EQ(ErrorOf([&] { tag.SetTitle("t"); }, "cMP3ID3v2"), 0);
    tag.RemoveFrame("TIT2");
    EXPECT_EQ(ErrorOf([&] { tag.RemoveFrame("TIT2"); }, "cMP3ID3v2"), kTagErrInvalidCall);
    EXPECT_EQ(ErrorOf([&] { tag.Frame(0); }, "cMP3ID3v2"), kTagErrOutOfRange);
    EXPECT_EQ(ErrorOf([&] { tag.Frame(2); }, "cMP3ID3v2"), kTagErrOutOfRange);
    EXPECT_EQ(ErrorOf([&] { tag.RemoveFrame(5); }, "cMP3ID3v2"), kTagErrOutOfRange);
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 0);

    tag.SetTitle("kept");
    tag.AddTag("TIT2", "added");
    tag.AddTag("tit2", "small letters");
    EXPECT_EQ(tag.Title(), "kept");
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 3);
    EXPECT_EQ(tag.FrameCount(), 2);

    // Removing an entry renumbers the rest; the last one takes the frame along.
    tag.AddTag("COMM", "a");
    tag.AddTag("COMM", "b");
    tag.AddTag("COMM", "c");
    tag.RemoveTag("COMM", 1);
    EXPECT_EQ(tag.TagsInFrame("COMM"), 2);
    EXPECT_EQ(ErrorOf([&] { tag.RemoveTag("COMM", 3); }, "cMP3ID3v2"), kTagErrInvalidCall);
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 3);
    tag.RemoveTag("TPE1", 1);
    EXPECT_EQ(tag.FrameCount(), 2);
    EXPECT_EQ(tag.TagsInFrame("TPE1"), 0);
    EXPECT_EQ(tag.Artist(), "x") << "the property keeps its value";
    tag.RemoveFrame(1);
    EXPECT_EQ(tag.Frame(1), "COMM");

    // The entries left go to the file in order.
    const QString path = tag.MP3File();
    tag.Update();
    cMP3ID3v2 back;
    back.SetMP3File(path);
    EXPECT_EQ(back.Comment(), QString("b") + QChar(0) + "\r\nc");
}

TEST_F(ID3v2FramesTest, MembersBeforeAnyRead)
{
    EXPECT_EQ(ErrorOf([&] { tag.FrameCount(); }, "cMP3ID3v2"), kTagErrNoFile);
    EXPECT_EQ(ErrorOf([&] { tag.AddTag("TIT2", "x"); }, "cMP3ID3v2"), kTagErrNoFile);
    EXPECT_EQ(ErrorOf([&] { tag.Update(); }, "cMP3ID3v2"), kTagErrNoFile);
    EXPECT_EQ(ErrorOf([&] { tag.SetTitle("stored"); }, "cMP3ID3v2"), kTagErrNoFile);
    EXPECT_EQ(tag.Title(), "stored");
    EXPECT_EQ(tag.TagsInFrame("TIT2"), 0);
    EXPECT_EQ(tag.Genre(), 0);
    EXPECT_FALSE(tag.HasID3v2Tag());
}

TEST_F(ID3v2FramesTest, PlayCounterMustBeACount)
{
    tag.SetMP3File(WithFrames(V23Frame("PCNT", QByteArray("\0\0\x01\x00", 4))));
    EXPECT_EQ(tag.PlayCounter(), "256");
    EXPECT_EQ(ErrorOf([&] { tag.SetPlayCounter("many"); }, "cMP3ID3v2"), kTagErrTypeMismatch);
    EXPECT_EQ(ErrorOf([&] { tag.AddTag("PCNT", "-1"); }, "cMP3ID3v2"), kTagErrTypeMismatch);
    EXPECT_EQ(tag.TagsInFrame("PCNT"), 1);
}

struct GenreCase {
    QByteArray tcon;
    int genre;
    const char* name;
};

TEST_F(ID3v2FramesTest, GenreRule)
{
    const GenreCase cases[] = {
        {"(17)", 17, "Rock"},        {"(5)Rock", 5, "Rock"},      {"(255)My Mix", 255, "My Mix"},
        {"Rock", 255, "Rock"},       {"(RX)", 255, "(RX)"},       {"(300)", 255, "(300)"},
        {"(123)", 123, ""},          {"17", 17, "Rock"},          {"", 255, ""},
        {"(0017)x", 17, "x"},        {"( 17)", 255, "( 17)"},     {"(99999999999)", 255, "(99999999999)"},
    };
    for (const GenreCase& c : cases) {
        tag.SetMP3File(WithFrames(V23Frame("TCON", Latin1Text(c.tcon))));
        EXPECT_EQ(tag.Genre(), c.genre) << c.tcon.constData();
        EXPECT_EQ(tag.OtherGenreName(), c.name) << c.tcon.constData();
    }
}

TEST_F(ID3v2FramesTest, GenreAndNameWriteOneFrame)
{
    const QString path = WithFrames(V23Frame("TIT2", Latin1Text("t")));
    tag.SetMP3File(path);
    tag.SetOtherGenreName("My Mix");
    EXPECT_EQ(tag.TagsInFrame("TCON"), 1);
    tag.Update();
    EXPECT_EQ(DataOf(TagIn(path), "TCON"), Latin1Text("My Mix"));

    tag.SetGenre(17);
    tag.SetOtherGenreName("Rock");
    tag.Update();
    EXPECT_EQ(DataOf(TagIn(path), "TCON"), Latin1Text("(17)Rock"));
    cMP3ID3v2 back;
    back.SetMP3File(path);
    EXPECT_EQ(back.Genre(), 17);
    EXPECT_EQ(back.OtherGenreName(), "Rock");

    // A frame that holds both values already stays as it was.
    const QString plain = WithFrames(V23Frame("TCON", Latin1Text("(17)")), "b.mp3");
    tag.SetMP3File(plain);
    tag.SetGenre(17);
    tag.SetOtherGenreName("Rock");
    tag.Update();
    EXPECT_EQ(DataOf(TagIn(plain), "TCON"), Latin1Text("(17)"));
}

TEST_F(ID3v2FramesTest, EachReadStartsAfresh)
{
    tag.SetMP3File(WithFrames(V23Frame("USLT", Comm("eng", "", "words")) + V23Frame("TCON", Latin1Text("(1)"))));
    EXPECT_EQ(tag.Lyrics(), "words");
    tag.SetMP3File(WithFrames(V23Frame("TIT2", Latin1Text("t")), "b.mp3"));
    EXPECT_EQ(tag.Lyrics(), "");
    EXPECT_EQ(tag.Genre(), 255);
    EXPECT_EQ(tag.OtherGenreName(), "");
    EXPECT_EQ(tag.FrameCount(), 1);
    // A file that cannot be read leaves an empty frame list.
    EXPECT_EQ(ErrorOf([&] { tag.SetMP3File(Path("missing.mp3")); }, "cMP3ID3v2"), 53);
    EXPECT_EQ(tag.FrameCount(), 0);
    EXPECT_EQ(tag.Title(), "");
}

TEST_F(ID3v2FramesTest, TextsOutsideLatin1)
{
    const QString snow = QString::fromUtf8("Sn\u00f6 \u2603");
    const QString path = WithFrames({});
    tag.SetMP3File(path);
    tag.SetTitle(snow);
    tag.SetArtist(QString::fromUtf8("Caf\u00e9"));
    tag.SetComment(snow);
    tag.Update();
    const auto written = TagIn(path);
    EXPECT_EQ(DataOf(written, "TIT2"), QByteArray("\x01\xff\xfeS\0n\0\xf6\0 \0\x03\x26", 13));
    EXPECT_EQ(DataOf(written, "TPE1"), QByteArray("\0Caf\xe9", 5));
    cMP3ID3v2 back;
    back.SetMP3File(path);
    EXPECT_EQ(back.Title(), snow);
    EXPECT_EQ(back.Comment(), snow);

    // Byte-order marks as characters, after a NUL as well.
    const QString marks = QChar(0xFFFE) + QString("a") + QChar(0) + QChar(0xFFFE) + "b" + QChar(0xFEFF);
    back.SetComment(marks);
    back.Update();
    back.SetMP3File(path);
    EXPECT_EQ(back.Comment(), marks);
}

} // namespace
