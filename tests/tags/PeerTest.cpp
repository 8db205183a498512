// Our tags against other programs' readers and writers: what we write reads
// the same through mutagen and id3v2, and what they write reads the same
// through ours and keeps its bytes where we did not change it.
#include "controls/audio/AudioTestSupport.h"
#include "PeerScripts.h"
#include "TagTestSupport.h"
#include "tags/ID3Genres.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace tagtest;
using audiotest::HaveTool;
using audiotest::MutagenPython;
using audiotest::RunTool;

namespace {

class PeerTest : public TagTest {
protected:
    void SetUp() override
    {
        python = MutagenPython();
        if (python.isEmpty()) GTEST_SKIP() << "mutagen is not installed";
    }
    QString python;
};

const QString kTitle = QString::fromUtf8("T\u00eftle \u2603");

TEST_F(PeerTest, OurTagsReadTheSameThroughMutagen)
{
    const QString path = Write("a.mp3", Mp3Audio());
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    tag.SetTitle(kTitle);
    tag.SetArtist(QString::fromUtf8("K\u00fcnstler"));
    tag.SetAlbum("Album");
    tag.SetYear("1999");
    tag.SetComment(QString::fromUtf8("Comment \u2603"));
    tag.SetLyrics("Line one\nLine two");
    tag.SetTrack("3/12");
    tag.SetGenre(17);
    tag.SetOtherGenreName("Rock");
    tag.SetLinkTo("http://example.com/");
    tag.SetArtistURL("http://artist.example/");
    tag.SetCopyright("(c) 2024");
    tag.SetEncodedBy("Tarvello");
    tag.SetOriginalArtist("Original");
    tag.SetPlayCounter("12");
    tag.Update();

    const QJsonObject dump = RunJson(python, kMutagenFrames, {path});
    EXPECT_EQ(dump["version"].toInt(), 3);
    EXPECT_EQ(Texts(FirstFrame(dump, "TIT2")), QStringList{kTitle});
    EXPECT_EQ(Texts(FirstFrame(dump, "TPE1")), QStringList{QString::fromUtf8("K\u00fcnstler")});
    EXPECT_EQ(Texts(FirstFrame(dump, "TALB")), QStringList{"Album"});
    EXPECT_EQ(Texts(FirstFrame(dump, "TYER")), QStringList{"1999"});
    EXPECT_EQ(Texts(FirstFrame(dump, "TRCK")), QStringList{"3/12"});
    EXPECT_EQ(FirstFrame(dump, "TCON")["genres"].toArray().first().toString(), "Rock");
    const QJsonObject comm = FirstFrame(dump, "COMM");
    EXPECT_EQ(comm["lang"].toString(), "eng");
    EXPECT_EQ(comm["desc"].toString(), "");
    EXPECT_EQ(Texts(comm), QStringList{QString::fromUtf8("Comment \u2603")});
    const QJsonObject uslt = FirstFrame(dump, "USLT");
    EXPECT_EQ(uslt["lang"].toString(), "eng");
    EXPECT_EQ(uslt["text"].toString(), "Line one\nLine two");
    EXPECT_EQ(FirstFrame(dump, "WXXX")["url"].toString(), "http://example.com/");
    EXPECT_EQ(FirstFrame(dump, "WOAR")["url"].toString(), "http://artist.example/");
    EXPECT_EQ(Texts(FirstFrame(dump, "TCOP")), QStringList{"(c) 2024"});
    EXPECT_EQ(Texts(FirstFrame(dump, "TENC")), QStringList{"Tarvello"});
    EXPECT_EQ(Texts(FirstFrame(dump, "TOPE")), QStringList{"Original"});
    EXPECT_EQ(FirstFrame(dump, "PCNT")["count"].toInt(), 12);
}

TEST_F(PeerTest, CustomGenreReadsAsWritten)
{
    // A genre text without a number, as a tag editor keeps it.
    const QString path = Write("a.mp3", Mp3Audio());
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    tag.SetGenre(ID3GenreFromText("My Mix"));
    tag.SetOtherGenreName("My Mix");
    tag.Update();
    const QJsonObject dump = RunJson(python, kMutagenFrames, {path});
    EXPECT_EQ(FirstFrame(dump, "TCON")["genres"].toArray(), QJsonArray{"My Mix"});
    tag.SetMP3File(path);
    EXPECT_EQ(tag.Genre(), 255);
    EXPECT_EQ(tag.OtherGenreName(), "My Mix");
}

TEST_F(PeerTest, OurTagsReadTheSameThroughId3v2)
{
    if (!HaveTool("id3v2")) GTEST_SKIP() << "id3v2 is not installed";
    const QString path = Write("a.mp3", Mp3Audio());
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    tag.SetTitle("Title");
    tag.SetArtist("Artist");
    tag.SetAlbum("Album");
    tag.SetYear("1999");
    tag.SetComment("A comment");
    tag.SetTrack("3");
    tag.SetGenre(17);
    tag.Update();
    cMP3ID3v1 v1;
    v1.SetMP3File(path);
    v1.SetTitle("Title");
    v1.SetArtist("Artist");
    v1.SetGenre(17);
    v1.SetComment("A comment");
    v1.Update();

    const audiotest::ToolRun r = RunTool("id3v2", {"-l", path});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    const QStringList lines = r.out.split('\n');
    for (const char* expected :
         {"TIT2 (Title/songname/content description): Title", "TPE1 (Lead performer(s)/Soloist(s)): Artist",
          "TALB (Album/Movie/Show title): Album", "TYER (Year): 1999", "TRCK (Track number/Position in set): 3",
          "TCON (Content type): Rock (17)", "COMM (Comments): ()[eng]: A comment"})
        EXPECT_TRUE(lines.contains(expected)) << expected << "\n" << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Title  : Title")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Genre: Rock (17)")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Comment: A comment")) << r.out.toStdString();
}

class PeerWrittenTest : public PeerTest, public ::testing::WithParamInterface<int> {};

TEST_P(PeerWrittenTest, ReadTheSameAndKeepTheirBytes)
{
    const int version = GetParam();
    const QByteArray audio = Mp3Audio();
    const QString path = Write("a.mp3", audio);
    RunJson(python, kMutagenWrite, {path, QString::number(version)});
    const QJsonObject before = RunJson(python, kRawFrames, {path});
    ASSERT_EQ(before["version"].toInt(), version);
    ASSERT_EQ(Sha256(Read(path).mid(before["end"].toInt())), Sha256(audio));

    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    EXPECT_EQ(tag.TagVersion(), version);
    EXPECT_EQ(tag.Title(), kTitle);
    EXPECT_EQ(tag.Artist(), "Artist");
    EXPECT_EQ(tag.Album(), QString::fromUtf8("\u00c4lbum"));
    EXPECT_EQ(tag.Year(), "2010");
    EXPECT_EQ(tag.Genre(), 255);
    EXPECT_EQ(tag.OtherGenreName(), "Rock");
    EXPECT_EQ(tag.Track(), "5/9");
    EXPECT_EQ(tag.Comment(), QString::fromUtf8("C\u00f6mment \u2603"));
    EXPECT_EQ(tag.Lyrics(), QString::fromUtf8("La la \u2603"));
    EXPECT_EQ(tag.LinkTo(), "http://example.com/");
    EXPECT_EQ(tag.PlayCounter(), "7");

    // Every field set back as read, as an editor's Apply does, and one changed.
    tag.SetTitle(tag.Title());
    tag.SetAlbum(tag.Album());
    tag.SetYear(tag.Year());
    tag.SetComment(tag.Comment());
    tag.SetTrack(tag.Track());
    tag.SetGenre(tag.Genre());
    tag.SetOtherGenreName(tag.OtherGenreName());
    tag.SetLyrics(tag.Lyrics());
    tag.SetLinkTo(tag.LinkTo());
    tag.SetArtist(QString::fromUtf8("New \u00c4rtist"));
    tag.Update();

    const QJsonObject after = RunJson(python, kRawFrames, {path});
    EXPECT_EQ(after["version"].toInt(), version);
    ExpectFramesKept(before, after, "TPE1");
    EXPECT_EQ(after["frames"].toArray().size(), before["frames"].toArray().size());
    const QByteArray file = Read(path);
    EXPECT_EQ(Sha256(file.mid(after["end"].toInt())), Sha256(audio)) << "the audio behind the tag";

    const QJsonObject dump = RunJson(python, kMutagenFrames, {path});
    EXPECT_EQ(Texts(FirstFrame(dump, "TPE1")), QStringList{QString::fromUtf8("New \u00c4rtist")});
    QByteArray picture;
    for (int i = 0; i < 8 * 256; ++i) picture += char(i & 0xFF);
    EXPECT_EQ(FirstFrame(dump, "APIC")["data"].toString(), QString(picture.toHex()));
    EXPECT_EQ(Texts(FirstFrame(dump, "COMM")), QStringList{QString::fromUtf8("C\u00f6mment \u2603")});
}

INSTANTIATE_TEST_SUITE_P(Versions, PeerWrittenTest, ::testing::Values(3, 4));

TEST_F(PeerTest, ItunesFramesOfAVersion22TagSurviveTheUpgrade)
{
    // No tool writes 2.2 tags any more; old iTunes put these frames in them.
    const std::vector<std::pair<const char*, QByteArray>> written = {
        {"TT2", "Title"},      {"TCP", "1"},        {"TST", "Title, The"}, {"TSA", "Album, The"},
        {"TSP", "Artist, The"}, {"TS2", "Band, The"}, {"TSC", "Composer, A"}, {"GP1", "Grouping"},
        {"MVN", "Movement"},   {"MVI", "2/3"}};
    QByteArray frames;
    for (const auto& [id, text] : written) frames += V22Frame(id, Latin1Text(text));
    const QByteArray audio = Mp3Audio();
    const QString path = Write("a.mp3", Tag(2, frames, 1024) + audio);
    // mutagen reads them under their later ids.
    const QJsonObject before = RunJson(python, kMutagenFrames, {path});
    ASSERT_EQ(before["version"].toInt(), 2);

    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    tag.SetArtist("Artist");
    tag.Update();

    const QJsonObject after = RunJson(python, kMutagenFrames, {path});
    EXPECT_EQ(after["version"].toInt(), 3);
    QJsonObject expected = before["frames"].toObject();
    expected["TPE1"] = QJsonArray{QJsonObject{{"text", QJsonArray{"Artist"}}}};
    EXPECT_EQ(after["frames"].toObject(), expected)
        << QJsonDocument(after).toJson().toStdString() << QJsonDocument(before).toJson().toStdString();
    for (const char* id : {"TCMP", "TSOT", "TSOA", "TSOP", "TSO2", "TSOC", "GRP1", "MVNM", "MVIN"})
        EXPECT_TRUE(expected.contains(id)) << id;
    EXPECT_EQ(Sha256(Read(path).mid(RunJson(python, kRawFrames, {path})["end"].toInt())), Sha256(audio));
}

TEST_F(PeerTest, Mid3v2CommandLineTagsRead)
{
    if (!HaveTool("mid3v2")) GTEST_SKIP() << "mid3v2 is not installed";
    const QString path = Write("a.mp3", Mp3Audio());
    const QString cover = Write("cover.png", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(300, 'p'));
    const audiotest::ToolRun r =
        RunTool("mid3v2", {"-t", kTitle, "-a", "Artist", "-A", "Album", "-y", "2011", "-g", "Rock", "-T", "4/10",
                           "-c", QString::fromUtf8("Comment \u00fc"), "-p", cover + ":Cover:3:image/png", path});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    EXPECT_EQ(tag.TagVersion(), 4);
    EXPECT_EQ(tag.Title(), kTitle);
    EXPECT_EQ(tag.Artist(), "Artist");
    EXPECT_EQ(tag.Album(), "Album");
    EXPECT_EQ(tag.Year(), "2011");
    EXPECT_EQ(tag.OtherGenreName(), "Rock");
    EXPECT_EQ(tag.Track(), "4/10");
    EXPECT_EQ(tag.Comment(), QString::fromUtf8("Comment \u00fc"));
    EXPECT_EQ(tag.TagsInFrame("APIC"), 1);
}

TEST_F(PeerTest, Id3v2CommandLineTagsRead)
{
    if (!HaveTool("id3v2")) GTEST_SKIP() << "id3v2 is not installed";
    const QString path = Write("a.mp3", Mp3Audio());
    const audiotest::ToolRun r = RunTool(
        "id3v2", {"-t", "Title", "-a", "Artist", "-A", "Album", "-y", "2012", "-g", "17", "-T", "6", "-c", "Text", path});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    EXPECT_EQ(tag.TagVersion(), 3);
    EXPECT_EQ(tag.Title(), "Title");
    EXPECT_EQ(tag.Artist(), "Artist");
    EXPECT_EQ(tag.Album(), "Album");
    EXPECT_EQ(tag.Year(), "2012");
    EXPECT_EQ(tag.Genre(), 17);
    EXPECT_EQ(tag.Track(), "6");
    EXPECT_EQ(tag.Comment(), "Text");
    cMP3ID3v1 v1;
    v1.SetMP3File(path);
    EXPECT_TRUE(v1.HasID3v1Tag());
    EXPECT_EQ(v1.Title(), "Title");
    EXPECT_EQ(v1.Year(), "2012");
    EXPECT_EQ(v1.Genre(), 17);
    EXPECT_EQ(v1.Track(), 6);
    EXPECT_EQ(v1.Comment(), "Text");
}

} // namespace
