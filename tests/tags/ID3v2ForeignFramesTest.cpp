// Tags that other taggers wrote, built frame by frame: frames under ids that
// are not four capitals or digits, comments that hold players' data, and
// frames compressed with zlib. What we read, what we write back, and what
// mutagen reads of it afterwards.
#include "controls/audio/AudioTestSupport.h"
#include "PeerScripts.h"
#include "TagTestSupport.h"
#include "tags/cMP3ID3v2.h"

#include <QJsonArray>
#include <QJsonObject>
#include <functional>

using namespace tagtest;

namespace {

QByteArray Comm(const QByteArray& desc, const QByteArray& text) { return QByteArray("\0eng", 4) + desc + '\0' + text; }

// A 2.3 frame compressed with zlib: the size before compression, then the stream.
QByteArray Packed23(const char* id, const QByteArray& data) { return V23Frame(id, qCompress(data), 0x0080); }
// A 2.4 frame compressed with zlib, with its data length indicator.
QByteArray Packed24(const char* id, const QByteArray& data)
{
    return V24Frame(id, SyncSafe(std::uint32_t(data.size())) + qCompress(data).mid(4), 0x0009);
}

const QByteArray kSmpb = " 00000000 00000210 000007A4 00000000000A9F4C";
const QByteArray kNorm = " 000003E8 00000427 00002A9C 00002E35 00024CA8";

struct ForeignCase {
    const char* name;
    int version;
    QByteArray frames;
    QStringList read; // title, artist, album and comment as read
    std::function<void(cMP3ID3v2&)> edit;
    QStringList mutagen;       // every frame mutagen reads afterwards: "ID text" or "COMM:desc text"
    QList<QByteArray> kept;    // frames that must stand in the file byte for byte
};

// Every frame of a mutagen dump as "ID text", comments with their description, sorted.
QStringList MutagenView(const QJsonObject& dump)
{
    QStringList out;
    const QJsonObject frames = dump["frames"].toObject();
    for (auto it = frames.begin(); it != frames.end(); ++it) {
        for (const auto& value : it.value().toArray()) {
            const QJsonObject f = value.toObject();
            const QString key = it.key() == "COMM" ? "COMM:" + f["desc"].toString() : it.key();
            const QString text = f["text"].isArray() ? Texts(f).join('/') : f["text"].toString();
            out << key + " " + text;
        }
    }
    out.sort();
    return out;
}

class ID3v2ForeignFramesTest : public TagTest {
protected:
    void SetUp() override
    {
        python = audiotest::MutagenPython();
        if (python.isEmpty()) GTEST_SKIP() << "mutagen is not installed";
    }
    QString python;
};

TEST_F(ID3v2ForeignFramesTest, OtherTaggersFramesSurviveEveryWrite)
{
    const QByteArray badId = V23Frame("Ab!c", "some bytes of another tagger");
    const QByteArray lowerTitle = V23Frame("tit2", Latin1Text("not the title"));
    const QByteArray smpb = V23Frame("COMM", Comm("iTunSMPB", kSmpb));
    const QByteArray norm = V23Frame("COMM", Comm("iTunNORM", kNorm));
    const QByteArray packedTitle = Packed23("TIT2", Latin1Text("Packed title"));
    const QByteArray packedTitle24 = Packed24("TIT2", Latin1Text("Packed title"));
    const auto setYear = [](cMP3ID3v2& t) { t.SetYear("2001"); };
    const std::vector<ForeignCase> cases = {
        {"a bad id between frames", 3,
         V23Frame("TIT2", Latin1Text("Title")) + badId + V23Frame("TPE1", Latin1Text("Artist")) +
             V23Frame("TALB", Latin1Text("Album")),
         {"Title", "Artist", "Album", ""}, setYear,
         {"TALB Album", "TIT2 Title", "TPE1 Artist", "TYER 2001"}, {badId}},
        {"an id in small letters", 3, lowerTitle + V23Frame("TIT2", Latin1Text("Title")) + V23Frame("TPE1", Latin1Text("A")),
         {"Title", "A", "", ""}, [](cMP3ID3v2& t) { t.SetTitle("New"); },
         {"TIT2 New", "TPE1 A"}, {lowerTitle}},
        {"a bad id in a 2.4 tag", 4,
         V24Frame("TIT2", Latin1Text("Title")) + V24Frame("x y ", "junk") + V24Frame("TPE1", Latin1Text("Artist")),
         {"Title", "Artist", "", ""}, setYear,
         {"TDRC 2001", "TIT2 Title", "TPE1 Artist"}, {V24Frame("x y ", "junk")}},
        {"players' comments and the user's", 3, smpb + V23Frame("COMM", Comm("", "mine")) + norm,
         {"", "", "", "mine"}, [](cMP3ID3v2& t) { t.SetComment("changed"); },
         {"COMM: changed", "COMM:iTunNORM " + QString(kNorm), "COMM:iTunSMPB " + QString(kSmpb)}, {smpb, norm}},
        {"players' comments alone", 3, smpb + norm, {"", "", "", ""},
         [](cMP3ID3v2& t) {
             t.SetComment(t.Comment());
             t.SetComment("new");
         },
         {"COMM: new", "COMM:iTunNORM " + QString(kNorm), "COMM:iTunSMPB " + QString(kSmpb)}, {smpb, norm}},
        {"players' comments, the user's removed", 3, smpb + V23Frame("COMM", Comm("", "mine")),
         {"", "", "", "mine"}, [](cMP3ID3v2& t) { t.SetComment(""); },
         {"COMM:iTunSMPB " + QString(kSmpb)}, {smpb}},
        {"a compressed title kept", 3, packedTitle + V23Frame("TPE1", Latin1Text("A")), {"Packed title", "A", "", ""},
         [](cMP3ID3v2& t) {
             t.SetTitle(t.Title());
             t.SetArtist("B");
         },
         {"TIT2 Packed title", "TPE1 B"}, {packedTitle}},
        {"a compressed title changed", 3, packedTitle, {"Packed title", "", "", ""},
         [](cMP3ID3v2& t) { t.SetTitle("Plain"); }, {"TIT2 Plain"}, {}},
        {"a compressed 2.4 title kept", 4, packedTitle24 + V24Frame("TPE1", Latin1Text("A")),
         {"Packed title", "A", "", ""}, setYear, {"TDRC 2001", "TIT2 Packed title", "TPE1 A"}, {packedTitle24}},
    };
    for (const ForeignCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Write("a.mp3", Tag(std::uint8_t(c.version), c.frames, 2048) + Mp3Audio());
        cMP3ID3v2 tag;
        tag.SetMP3File(path);
        EXPECT_EQ((QStringList{tag.Title(), tag.Artist(), tag.Album(), tag.Comment()}), c.read);
        c.edit(tag);
        tag.Update();
        const QByteArray written = Read(path);
        for (const QByteArray& frame : c.kept) EXPECT_TRUE(written.contains(frame)) << frame.toHex().toStdString();
        EXPECT_EQ(MutagenView(RunJson(python, kMutagenFrames, {path})), c.mutagen);
    }
}

TEST_F(ID3v2ForeignFramesTest, FramesThatCannotBeReadAreKeptAsTheyAre)
{
    // Encrypted, and compressed data that is no zlib stream: no text, but the bytes stay.
    const QByteArray encrypted = V23Frame("TALB", QByteArray("\x80") + "secret", 0x0040);
    const QByteArray broken = V23Frame("TIT2", Plain32(20) + "not zlib at all", 0x0080);
    const QByteArray comment = V23Frame("COMM", Plain32(20) + "not zlib either", 0x0080);
    const QString path = Write("a.mp3", Tag(3, encrypted + broken + comment, 1024) + Mp3Audio());
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.Comment(), "");
    tag.SetArtist("A");
    tag.SetComment("mine");
    tag.Update();
    const QByteArray written = Read(path);
    for (const QByteArray& frame : {encrypted, broken, comment}) EXPECT_TRUE(written.contains(frame));
    cMP3ID3v2 back;
    back.SetMP3File(path);
    EXPECT_EQ(back.Comment(), "mine");
    EXPECT_EQ(back.FrameCount(), 4);
}

} // namespace
