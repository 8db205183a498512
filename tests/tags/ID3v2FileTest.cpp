// Reading and writing ID3v2 tags in files: finding the header, the 2.2, 2.3
// and 2.4 layouts, both forms of the tag size, writing in place or through a
// rebuilt file, and failures that must leave the file as it was.
#include "TagTestSupport.h"
#include "tags/ID3v2Format.h"
#include "tags/TagError.h"
#include "tags/TagFile.h"
#include "tags/cMP3ID3v2.h"

#include <QFile>
#include <QFileInfo>

using namespace tagtest;

namespace {

QByteArray Text(const QByteArray& s) { return Latin1Text(s); }

QByteArray Unsynchronised(const QByteArray& in)
{
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        out += in[i];
        if (uchar(in[i]) == 0xFF && i + 1 < in.size() && (uchar(in[i + 1]) >= 0xE0 || in[i + 1] == 0)) out += '\0';
    }
    return out;
}

class ID3v2FileTest : public TagTest {
protected:
    static id3v2::FoundTag TagIn(const QString& path)
    {
        TagFile file("test");
        file.OpenRead(path);
        return id3v2::FindTag(file);
    }
    // Reads the file, sets a title and writes the tag back.
    void Retitle(const QString& path, const QString& title)
    {
        cMP3ID3v2 t;
        t.SetMP3File(path);
        t.SetTitle(title);
        t.Update();
    }
    void TearDown() override { EXPECT_TRUE(Leftovers().isEmpty()) << Leftovers().join(' ').toStdString(); }
};

TEST_F(ID3v2FileTest, FileWithoutTagGetsOneInFront)
{
    const QByteArray audio = Mp3Audio();
    ASSERT_EQ(audio.left(2), "\xff\xfb");
    const QString path = Write("a.mp3", audio);
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    EXPECT_FALSE(tag.HasID3v2Tag());
    EXPECT_EQ(tag.TagVersion(), 0);
    tag.SetTitle("Title");
    tag.Update();
    EXPECT_FALSE(tag.HasID3v2Tag()) << "the object still describes the tag as read";
    const QByteArray file = Read(path);
    ASSERT_EQ(file.size(), audio.size() + 2048);
    EXPECT_EQ(file.left(10), QByteArray("ID3\x03\0\0", 6) + SyncSafe(2038));
    const QByteArray frame = V23Frame("TIT2", Text("Title"));
    EXPECT_EQ(file.mid(10, frame.size()), frame);
    EXPECT_EQ(file.mid(10 + frame.size(), 2048 - 10 - frame.size()), QByteArray(2048 - 10 - frame.size(), '\0'));
    EXPECT_EQ(Sha256(file.mid(2048)), Sha256(audio));
}

TEST_F(ID3v2FileTest, EmptyFrameListStillWritesATag)
{
    const QString path = Write("a.mp3", Mp3Audio());
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    tag.Update();
    const QByteArray file = Read(path);
    EXPECT_EQ(file.left(10), QByteArray("ID3\x03\0\0", 6) + SyncSafe(2038));
    EXPECT_EQ(file.mid(10, 2038), QByteArray(2038, '\0'));
    tag.SetMP3File(path);
    EXPECT_TRUE(tag.HasID3v2Tag());
    EXPECT_EQ(tag.FrameCount(), 0);
}

TEST_F(ID3v2FileTest, WhereTheScanFindsATag)
{
    const QByteArray audio = Mp3Audio();
    const QByteArray tagBytes = Tag(3, V23Frame("TIT2", Text("found")), 512);
    struct Case {
        const char* what;
        QByteArray file;
        bool found;
    } cases[] = {
        {"at the start", tagBytes + audio, true},
        {"after junk", QByteArray(100, 'x') + tagBytes + audio, true},
        // "ID3" on bytes 4095 to 4097, across the first window's end.
        {"across the first window", QByteArray(4094, 'x') + tagBytes + audio, true},
        {"after audio began", audio.left(5000) + tagBytes + audio.mid(5000), false},
        {"behind an audio frame start in the first window", QByteArray("\xff\xfb", 2) + QByteArray(5000, 'x') + tagBytes,
         false},
    };
    for (const Case& c : cases) {
        cMP3ID3v2 tag;
        tag.SetMP3File(Write("a.mp3", c.file));
        EXPECT_EQ(tag.HasID3v2Tag(), c.found) << c.what;
        EXPECT_EQ(tag.Title(), c.found ? "found" : "") << c.what;
    }
}

TEST_F(ID3v2FileTest, HeadersThatDoNotHoldAreNoTag)
{
    const QByteArray audio = Mp3Audio();
    const QByteArray good = Tag(3, V23Frame("TIT2", Text("x")), 256);
    auto with = [&](int at, char byte) {
        QByteArray t = good;
        t[at] = byte;
        return t;
    };
    struct Case {
        const char* what;
        QByteArray tag;
    } cases[] = {
        {"version 5", with(3, 5)},
        {"version 1", with(3, 1)},
        {"revision 255", with(4, char(0xFF))},
    };
    for (const Case& c : cases) {
        const QByteArray before = c.tag + audio;
        const QString path = Write("a.mp3", before);
        cMP3ID3v2 tag;
        tag.SetMP3File(path);
        EXPECT_FALSE(tag.HasID3v2Tag()) << c.what;
        EXPECT_EQ(tag.FrameCount(), 0) << c.what;
        tag.SetTitle("new");
        tag.Update();
        // The new tag goes in front; nothing of the old bytes is written over.
        const QByteArray after = Read(path);
        EXPECT_EQ(after.mid(2048), before) << c.what;
        tag.SetMP3File(path);
        EXPECT_EQ(tag.Title(), "new") << c.what;
    }
}

TEST_F(ID3v2FileTest, ATagThatRunsPastTheEndOfTheFileIsReadButNotWrittenOver)
{
    // A file cut short inside its tag, or a tag whose size is wrong: a new tag
    // in front would leave the old one behind it, hiding its frames from
    // every reader.
    const QByteArray title = V23Frame("TIT2", Text("title")) + V23Frame("TPE1", Text("artist"));
    const QByteArray picture = V23Frame("APIC", QByteArray("\0image/png\0\x03\0", 13) + QByteArray(5000, '\x89'));
    struct Case {
        const char* what;
        QByteArray file;
        int frames;
    } cases[] = {
        {"cut inside a frame, no audio", Tag(3, title + picture, 20000).left(3000), 2},
        {"cut in its padding, no audio", Tag(3, title, 20000).left(3000), 2},
        {"a size past the end, audio behind the padding",
         QByteArray("ID3\x03\0\0", 6) + SyncSafe(0x0FFFFFFF) + Tag(3, title, 256).mid(10) + Mp3Audio(), 2},
        {"a 2.2 tag cut inside a frame",
         Tag(2, V22Frame("TT2", Text("title")) + V22Frame("TP1", Text("artist")) + V22Frame("PIC", QByteArray(5000, 'p')),
             20000)
             .left(3000),
         2},
    };
    for (const Case& c : cases) {
        const QString path = Write("a.mp3", c.file);
        cMP3ID3v2 tag;
        tag.SetMP3File(path);
        EXPECT_TRUE(tag.HasID3v2Tag()) << c.what;
        EXPECT_EQ(tag.FrameCount(), c.frames) << c.what;
        EXPECT_EQ(tag.Title(), "title") << c.what;
        EXPECT_EQ(tag.Artist(), "artist") << c.what;
        tag.SetTitle("new");
        EXPECT_EQ(ErrorOf([&] { tag.Update(); }, "cMP3ID3v2"), kTagErrNotMP3) << c.what;
        EXPECT_EQ(Read(path), c.file) << c.what;
    }
}

TEST_F(ID3v2FileTest, ReadsVersion22AndWritesItAs23)
{
    const QByteArray pic = QByteArray("\0JPG\x03", 5) + "cover" + '\0' + QByteArray("\xff\xd8\xff\xe0jpegdata", 12);
    const QByteArray frames = V22Frame("TT2", Text("abc")) + V22Frame("TP1", Text("artist")) +
                              V22Frame("COM", QByteArray("\0eng\0note", 9)) + V22Frame("TCO", Text("(17)")) +
                              V22Frame("TYE", Text("1999")) + V22Frame("XYZ", "unknown") + V22Frame("PIC", pic);
    const QByteArray audio = Mp3Audio();
    const QString path = Write("a.mp3", Tag(2, frames, 1024) + audio);
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    EXPECT_EQ(tag.TagVersion(), 2);
    EXPECT_EQ(tag.Title(), "abc");
    EXPECT_EQ(tag.Artist(), "artist");
    EXPECT_EQ(tag.Comment(), "note");
    EXPECT_EQ(tag.Genre(), 17);
    EXPECT_EQ(tag.Year(), "1999");
    EXPECT_EQ(tag.FrameCount(), 7);
    EXPECT_EQ(tag.Frame(6), "XYZ");
    tag.Update();

    const id3v2::FoundTag written = TagIn(path);
    EXPECT_EQ(written.version, 3);
    QStringList ids;
    for (const auto& f : written.frames) ids << f.id;
    EXPECT_EQ(ids, QStringList({"TIT2", "TPE1", "COMM", "TCON", "TYER", "APIC"}));
    EXPECT_EQ(written.frames[0].data, Text("abc"));
    EXPECT_EQ(written.frames[5].data, QByteArray("\0image/jpeg\0\x03", 13) + "cover" + '\0' +
                                          QByteArray("\xff\xd8\xff\xe0jpegdata", 12));
    EXPECT_EQ(Sha256(Read(path).mid(int(written.end))), Sha256(audio));
}

TEST_F(ID3v2FileTest, ReadsVersion24)
{
    const QByteArray longTitle(300, 'L'); // its sync-safe size differs from the plain one
    const QByteArray utf8 = QByteArray("\x03") + QString::fromUtf8("Gr\u00fc\u00dfe \u2603").toUtf8();
    const QByteArray frames = V24Frame("TIT2", Text(longTitle)) + V24Frame("TPE1", QByteArray("\x03" "A\0B", 4)) +
                              V24Frame("TALB", utf8) + V24Frame("TDRC", Text("2004-05-06")) +
                              V24Frame("TCON", Text("Rock"));
    cMP3ID3v2 tag;
    tag.SetMP3File(Write("a.mp3", Tag(4, frames, 2048) + Mp3Audio()));
    EXPECT_EQ(tag.TagVersion(), 4);
    EXPECT_EQ(tag.Title(), QString(longTitle));
    EXPECT_EQ(tag.Artist(), "A/B");
    EXPECT_EQ(tag.Album(), QString::fromUtf8("Gr\u00fc\u00dfe \u2603"));
    EXPECT_EQ(tag.Year(), "2004-05-06");
    EXPECT_EQ(tag.Genre(), 255);
    EXPECT_EQ(tag.OtherGenreName(), "Rock");

    // Frame sizes written plain in a 2.4 tag, as some writers do.
    const QByteArray plainSized = V23Frame("TIT2", Text(longTitle)) + V23Frame("TPE1", Text("artist"));
    tag.SetMP3File(Write("b.mp3", Tag(4, plainSized, 1024) + Mp3Audio()));
    EXPECT_EQ(tag.Title(), QString(longTitle));
    EXPECT_EQ(tag.Artist(), "artist");
}

TEST_F(ID3v2FileTest, Version24StaysVersion24)
{
    const QByteArray pic = QByteArray("\0image/png\0\x03\0", 13) + QByteArray(200, '\x89');
    const QString path =
        Write("a.mp3", Tag(4, V24Frame("TIT2", Text("t")) + V24Frame("APIC", pic), 512) + Mp3Audio());
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    tag.SetTitle(QString(200, 'x'));
    tag.SetYear("2001");
    tag.SetComment(QString::fromUtf8("\u2603"));
    tag.Update();
    const QByteArray file = Read(path);
    EXPECT_EQ(file[3], 4);
    const id3v2::FoundTag written = TagIn(path);
    ASSERT_EQ(written.frames.size(), 4u);
    // The set frames move to the end of the frame list; the picture keeps its bytes.
    EXPECT_EQ(written.frames[0].id, "APIC");
    EXPECT_EQ(written.frames[0].data, pic);
    EXPECT_EQ(written.frames[2].id, "TDRC");
    EXPECT_EQ(written.frames[3].data, QByteArray("\x03" "eng\0\xe2\x98\x83", 8)) << "UTF-8 in a 2.4 tag";
    // The title frame's size is sync-safe: 201 is 00 00 01 49.
    EXPECT_NE(file.indexOf(QByteArray("TIT2") + SyncSafe(201)), -1);
    tag.SetMP3File(path);
    EXPECT_EQ(tag.Title(), QString(200, 'x'));
    EXPECT_EQ(tag.Year(), "2001");
}

TEST_F(ID3v2FileTest, PlainSizedTagsStayReadable)
{
    const QByteArray audio = Mp3Audio();
    const QByteArray title = V23Frame("TIT2", Text("plain"));
    struct Case {
        const char* what;
        QByteArray tag;
        std::int64_t end;
    } cases[] = {
        // 0x8800: a size byte with its top bit set.
        {"top bit set", PlainSizeTag(3, title, 0x8800), 0x8800},
        // 4096 read sync-safe ends at 2058, inside a frame.
        {"frames past the sync-safe end", PlainSizeTag(3, V23Frame("TXXX", QByteArray(3000, 'x')) + title, 4096),
         4096},
        // Room that holds what an earlier, longer tag left there.
        {"old frames in the room",
         PlainSizeTag(3, title + QByteArray(4, '\0') + V23Frame("TALB", Text("left over")), 4096), 4096},
    };
    for (const Case& c : cases) {
        const QString path = Write("a.mp3", c.tag + audio);
        cMP3ID3v2 tag;
        tag.SetMP3File(path);
        EXPECT_EQ(tag.Title(), "plain") << c.what;
        EXPECT_EQ(TagIn(path).end, c.end) << c.what;
        // Rewritten in place with the standard size; the audio stays.
        tag.SetArtist("a");
        tag.Update();
        const QByteArray after = Read(path);
        EXPECT_EQ(after.size(), c.end + audio.size()) << c.what;
        EXPECT_EQ(after.mid(6, 4), SyncSafe(std::uint32_t(c.end - 10))) << c.what;
        EXPECT_EQ(Sha256(after.mid(int(c.end))), Sha256(audio)) << c.what;
    }
}

TEST_F(ID3v2FileTest, StandardSizeIsNotStretchedOverAudio)
{
    // Standard size 2048 reads as 4096 plain; with rubbish in the padding the
    // plain reading would reach into the audio behind the tag.
    const QByteArray audio = Mp3Audio();
    QByteArray tagBytes = Tag(3, V23Frame("TIT2", Text("t")), 2058);
    tagBytes[1000] = 'r';
    const QString path = Write("a.mp3", tagBytes + audio);
    EXPECT_EQ(TagIn(path).end, 2058);
    Retitle(path, "u");
    const QByteArray after = Read(path);
    EXPECT_EQ(after.size(), tagBytes.size() + audio.size());
    EXPECT_EQ(Sha256(after.mid(2058)), Sha256(audio));
    EXPECT_EQ(after.mid(30, 2058 - 30), QByteArray(2058 - 30, '\0')) << "padding is zeros";
}

TEST_F(ID3v2FileTest, WritesInPlaceWhenTheNewTagFits)
{
    const QByteArray audio = Mp3Audio();
    const QByteArray old = Tag(3, V23Frame("TIT2", Text(QByteArray(500, 'o'))) + V23Frame("TPE1", Text("a")), 4096);
    const QString path = Write("a.mp3", old + audio);
    Retitle(path, "short");
    const QByteArray after = Read(path);
    ASSERT_EQ(after.size(), old.size() + audio.size());
    EXPECT_EQ(after.left(10), old.left(10));
    const QByteArray frames = V23Frame("TPE1", Text("a")) + V23Frame("TIT2", Text("short"));
    EXPECT_EQ(after.mid(10, frames.size()), frames);
    EXPECT_EQ(after.mid(10 + frames.size(), 4096 - 10 - frames.size()), QByteArray(4096 - 10 - frames.size(), '\0'));
    EXPECT_EQ(Sha256(after.mid(4096)), Sha256(audio));
}

TEST_F(ID3v2FileTest, RebuildsTheFileWhenTheTagGrows)
{
    const QByteArray audio = Mp3Audio();
    const QString path = Write("a.mp3", audio);
    Retitle(path, "first");
    ASSERT_EQ(Read(path).size(), audio.size() + 2048);
    // A tag as long as its room or longer moves the audio to the next room size.
    Retitle(path, QString(2048 - 10 - 10 - 1 - 4, 'x')); // exactly 2048 bytes with its four zero bytes
    QByteArray after = Read(path);
    ASSERT_EQ(after.size(), audio.size() + 4096);
    EXPECT_EQ(after.mid(6, 4), SyncSafe(4086));
    EXPECT_EQ(Sha256(after.mid(4096)), Sha256(audio));
    Retitle(path, QString(70000, 'y'));
    after = Read(path);
    const std::int64_t room = (10 + 10 + 70001 + 4) / 2048 * 2048 + 2048;
    ASSERT_EQ(after.size(), audio.size() + room);
    EXPECT_EQ(after.mid(14, 4), Plain32(70001)) << "a large frame keeps its full size";
    EXPECT_EQ(Sha256(after.mid(int(room))), Sha256(audio));
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    EXPECT_EQ(tag.Title(), QString(70000, 'y'));
}

TEST_F(ID3v2FileTest, TagAfterJunkMovesToTheStart)
{
    const QByteArray audio = Mp3Audio();
    const QByteArray junk(100, 'j');
    const QString path = Write("a.mp3", junk + Tag(3, V23Frame("TIT2", Text("t")), 512) + audio);
    Retitle(path, "moved");
    const QByteArray after = Read(path);
    EXPECT_EQ(after.size(), 2048 + junk.size() + audio.size());
    EXPECT_EQ(after.mid(2048), junk + audio);
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    EXPECT_EQ(tag.Title(), "moved");
}

TEST_F(ID3v2FileTest, FramesFillingTheTagAreAllRead)
{
    const QByteArray frames = V23Frame("TIT2", Text("t")) + V23Frame("TPE1", Text("a"));
    cMP3ID3v2 tag;
    tag.SetMP3File(Write("a.mp3", Tag(3, frames + QByteArray(4, '\0')) + Mp3Audio()));
    EXPECT_EQ(tag.Title(), "t");
    EXPECT_EQ(tag.Artist(), "a");
    tag.SetMP3File(Write("b.mp3", Tag(3, frames) + Mp3Audio()));
    EXPECT_EQ(tag.Artist(), "a");
}

TEST_F(ID3v2FileTest, UnsynchronisationExtendedHeaderAndFooter)
{
    // An unsynchronised 2.3 tag: a zero byte follows every FF that could be taken for an audio frame start.
    const QByteArray frame = V23Frame("TIT2", QByteArray("\0\xff\xe0x", 4));
    cMP3ID3v2 tag;
    tag.SetMP3File(Write("a.mp3", Tag(3, Unsynchronised(frame), 0, 0x80) + Mp3Audio()));
    EXPECT_EQ(tag.Title(), QString::fromLatin1("\xff\xe0x"));

    const QByteArray ext23 = Plain32(6) + QByteArray(6, '\0');
    tag.SetMP3File(Write("b.mp3", Tag(3, ext23 + V23Frame("TIT2", Text("ext")), 256, 0x40) + Mp3Audio()));
    EXPECT_EQ(tag.Title(), "ext");

    const QByteArray ext24 = SyncSafe(6) + QByteArray("\x01\0", 2);
    tag.SetMP3File(Write("c.mp3", Tag(4, ext24 + V24Frame("TIT2", Text("ext4")), 256, 0x40) + Mp3Audio()));
    EXPECT_EQ(tag.Title(), "ext4");

    // A 2.4 tag with a footer: the footer's ten bytes end the tag.
    const QByteArray body = V24Frame("TIT2", Text("foot"));
    const QByteArray footed = QByteArray("ID3\x04\0\x10", 6) + SyncSafe(std::uint32_t(body.size())) + body +
                              QByteArray("3DI\x04\0\x10", 6) + SyncSafe(std::uint32_t(body.size()));
    const QString path = Write("d.mp3", footed + Mp3Audio());
    tag.SetMP3File(path);
    EXPECT_EQ(tag.Title(), "foot");
    EXPECT_EQ(TagIn(path).end, footed.size());

    // Frames of an unsynchronised 2.4 tag keep their bytes and say they are unsynchronised.
    const QByteArray raw("\0\xff\x00\xe0", 4);
    const QString unsync = Write("e.mp3", Tag(4, V24Frame("TIT2", raw) + V24Frame("TPE1", Text("a")), 256, 0x80) + Mp3Audio());
    tag.SetMP3File(unsync);
    EXPECT_EQ(tag.Title(), QString::fromLatin1("\xff\xe0"));
    tag.SetArtist("b");
    tag.Update();
    const id3v2::FoundTag written = TagIn(unsync);
    EXPECT_EQ(written.flags, 0);
    EXPECT_EQ(written.frames[0].data, raw);
    EXPECT_EQ(written.frames[0].flags, id3v2::kFrame24Unsync);
    tag.SetMP3File(unsync);
    EXPECT_EQ(tag.Title(), QString::fromLatin1("\xff\xe0"));
}

TEST_F(ID3v2FileTest, FailedRebuildLeavesTheFileAsItWas)
{
    const QByteArray before = Tag(3, V23Frame("TIT2", Text("t")), 512) + Mp3Audio();
    const QString path = Write("a.mp3", before);
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    tag.SetTitle(QString(1000, 'x'));
    {
        WriteLimit limit(before.size());
        EXPECT_EQ(ErrorOf([&] { tag.Update(); }), 61);
    }
    EXPECT_EQ(Read(path), before);
    // Leftovers are checked when the test ends.
}

TEST_F(ID3v2FileTest, FrameIdsThatCannotBeWritten)
{
    const QByteArray before = Mp3Audio();
    const QString path = Write("a.mp3", before);
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    tag.AddTag("AB", "too short");
    EXPECT_EQ(ErrorOf([&] { tag.Update(); }), kTagErrInvalidCall);
    EXPECT_EQ(Read(path), before) << "the build fails before the file is opened";
    tag.RemoveFrame("AB");
    // An id holding "ID3" is left out, as is a 2.2 frame without a later id.
    tag.AddTag("ID3X", "left out");
    tag.AddTag("tit2", "small letters");
    tag.Update();
    tag.SetMP3File(path);
    EXPECT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.Frame(1), "TIT2");
    EXPECT_EQ(tag.Title(), "small letters");
}

TEST_F(ID3v2FileTest, EmptyMissingAndFolder)
{
    const QString empty = Write("empty.mp3", {});
    cMP3ID3v2 tag;
    tag.SetMP3File(empty);
    EXPECT_FALSE(tag.HasID3v2Tag());
    EXPECT_EQ(ErrorOf([&] { tag.Update(); }), kTagErrNotMP3);
    EXPECT_EQ(QFileInfo(empty).size(), 0);

    EXPECT_EQ(ErrorOf([&] { tag.SetMP3File(Path("missing.mp3")); }), 53);
    EXPECT_EQ(ErrorOf([&] { tag.Update(); }), 53);
    EXPECT_FALSE(QFile::exists(Path("missing.mp3")));

    EXPECT_NE(ErrorOf([&] { tag.SetMP3File(dir.path()); }), 0);
}

TEST_F(ID3v2FileTest, FrameListRoundTrips)
{
    const QString path = Write("a.mp3", Mp3Audio());
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    tag.SetArtistURL("http://a/");
    tag.SetBuyURL("http://b/");
    tag.SetAudioURL("http://c/");
    tag.SetCopyright("(c) me");
    tag.SetComposer("Composer");
    tag.SetOriginalArtist("Orig");
    tag.SetLinkTo("http://link/");
    tag.SetPlayCounter("4294967296");
    tag.SetEncodedBy("enc");
    tag.SetTitle("Title");
    tag.SetArtist("Artist");
    tag.SetAlbum("Album");
    tag.SetYear("1999");
    tag.SetComment(QString("one") + QChar(0) + "\r\ntwo");
    tag.SetLyrics("line 1\r\nline 2");
    tag.SetTrack("3/12");
    tag.SetGenre(31);
    tag.SetOtherGenreName("Trance!");
    tag.AddTag("TIT2", "second title");
    tag.AddTag("TXXX", "user text");
    tag.Update();

    cMP3ID3v2 back;
    back.SetMP3File(path);
    ASSERT_EQ(back.FrameCount(), tag.FrameCount());
    for (int i = 1; i <= tag.FrameCount(); ++i) {
        EXPECT_EQ(back.Frame(i), tag.Frame(i));
        EXPECT_EQ(back.TagsInFrame(tag.Frame(i)), tag.TagsInFrame(tag.Frame(i))) << tag.Frame(i).toStdString();
    }
    EXPECT_EQ(back.ArtistURL(), "http://a/");
    EXPECT_EQ(back.BuyURL(), "http://b/");
    EXPECT_EQ(back.AudioURL(), "http://c/");
    EXPECT_EQ(back.Copyright(), "(c) me");
    EXPECT_EQ(back.Composer(), "Composer");
    EXPECT_EQ(back.OriginalArtist(), "Orig");
    EXPECT_EQ(back.LinkTo(), "http://link/");
    EXPECT_EQ(back.PlayCounter(), "4294967296");
    EXPECT_EQ(back.EncodedBy(), "enc");
    EXPECT_EQ(back.Title(), "second title");
    EXPECT_EQ(back.Artist(), "Artist");
    EXPECT_EQ(back.Album(), "Album");
    EXPECT_EQ(back.Year(), "1999");
    EXPECT_EQ(back.Comment(), tag.Comment());
    EXPECT_EQ(back.Lyrics(), "line 1\r\nline 2");
    EXPECT_EQ(back.Track(), "3/12");
    EXPECT_EQ(back.Genre(), 31);
    EXPECT_EQ(back.OtherGenreName(), "Trance!");
}

TEST_F(ID3v2FileTest, RebuildFollowsLinksAndKeepsPermissions)
{
    const QString target = Write("a.mp3", Mp3Audio());
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QString link = Path("link.mp3");
    ASSERT_TRUE(QFile::link(target, link));
    Retitle(link, "via link");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(target).size(), Mp3Audio().size() + 2048);
    EXPECT_EQ(QFile::permissions(target) & 0xF0FF, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

} // namespace
