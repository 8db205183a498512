// Fuzzes the ID3v2 tag reader and its write-back: any file must read without
// a fault; writing the tag back must keep every byte of the file outside the
// tag, put a tag at the start that reads back with the same frames and
// property values, and on failure leave the file as it was (an empty file and
// a tag cut short by the end of the file are refused). Inputs of odd
// length also get an edited comment and an added frame before the write.
#include "tags/ID3v2Format.h"
#include "tags/TagError.h"
#include "tags/TagFile.h"
#include "tags/cMP3ID3v2.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir* g_dir = nullptr;

struct Snapshot {
    QStringList frames; // id and entry count, for the ids a write keeps
    QStringList values;
    int genre = 0;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const cMP3ID3v2& t)
{
    Snapshot s;
    for (int i = 1; i <= t.FrameCount(); ++i)
        if (id3v2::IsWritableFrameId(t.Frame(i))) s.frames << t.Frame(i) + ":" + QString::number(t.TagsInFrame(t.Frame(i)));
    s.values = {t.ArtistURL(), t.BuyURL(),  t.AudioURL(), t.Copyright(), t.Composer(), t.OriginalArtist(),
                t.LinkTo(),    t.PlayCounter(), t.EncodedBy(), t.Title(),  t.Artist(),  t.Album(),
                t.Year(),      t.Comment(), t.Lyrics(),   t.Track(),     t.OtherGenreName()};
    s.genre = t.Genre();
    return s;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) std::abort();
    return f.readAll();
}

id3v2::FoundTag findTag(const QString& path)
{
    TagFile file("fuzz");
    file.OpenRead(path);
    return id3v2::FindTag(file);
}

QByteArray outsideTag(const QByteArray& bytes, const id3v2::FoundTag& tag)
{
    if (!tag.found()) return bytes;
    return bytes.left(qsizetype(tag.start)) + bytes.mid(qsizetype(tag.end));
}

QByteArray shown(const QString& s) { return s.toUtf8().toPercentEncoding(" :/"); }

[[noreturn]] void fail(const char* what, const QString& first = {}, const QString& second = {})
{
    std::fprintf(stderr, "id3v2 write-back: %s\n--- before ---\n%s\n--- after ---\n%s\n", what,
                 shown(first).constData(), shown(second).constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    new QCoreApplication(qtArgc, qtArgv);
    g_dir = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = g_dir->filePath("fuzz.mp3");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    if (size % 2 == 1) {
        tag.SetComment(tag.Comment() + "x");
        tag.AddTag("TXXX", "fuzz");
    }
    const Snapshot expected = snapshot(tag);
    const QByteArray before = readFile(path);
    const id3v2::FoundTag oldTag = findTag(path);
    try {
        tag.Update();
    } catch (const TagError& e) {
        if (readFile(path) != before) fail("a failed write changed the file");
        if ((before.isEmpty() || oldTag.cut) && e.Number == kTagErrNotMP3) return 0;
        fail("unexpected error", e.Description);
    }
    const QByteArray after = readFile(path);
    const id3v2::FoundTag newTag = findTag(path);
    if (!newTag.found() || newTag.start != 0) fail("the written tag is not found at the start");
    if (outsideTag(after, newTag) != outsideTag(before, oldTag)) fail("bytes outside the tag changed");

    cMP3ID3v2 back;
    back.SetMP3File(path);
    const Snapshot got = snapshot(back);
    if (got.frames != expected.frames) fail("frames changed", expected.frames.join(' '), got.frames.join(' '));
    if (got.genre != expected.genre) fail("genre changed");
    for (int i = 0; i < expected.values.size(); ++i)
        if (got.values[i] != expected.values[i]) fail("a property changed", expected.values[i], got.values[i]);
    return 0;
}
