#include "PeerScripts.h"

#include "controls/audio/AudioTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <gtest/gtest.h>

namespace tagtest {

// Every frame as mutagen reads it, without converting between versions.
const char* const kMutagenFrames = R"(
import sys, json
from mutagen.id3 import ID3
t = ID3(sys.argv[1], translate=False)
frames = {}
for f in t.values():
    d = {}
    for a in ("text", "lang", "desc", "url", "count", "mime", "type", "data"):
        if hasattr(f, a):
            v = getattr(f, a)
            if a == "data": v = v.hex()
            elif a == "text" and not isinstance(v, str): v = [str(x) for x in v]
            elif a == "type": v = int(v)
            d[a] = v
    if f.FrameID == "TCON": d["genres"] = f.genres
    frames.setdefault(f.FrameID, []).append(d)
print(json.dumps({"version": t.version[1], "frames": frames}))
)";

// The frames of a standard tag at the start of a file, byte by byte.
const char* const kRawFrames = R"(
import sys, json
d = open(sys.argv[1], 'rb').read()
v = d[3]
ss = lambda b: (b[0] << 21) | (b[1] << 14) | (b[2] << 7) | b[3]
end = 10 + ss(d[6:10])
pos, frames = 10, []
while pos + 10 <= end and d[pos] != 0:
    n = ss(d[pos+4:pos+8]) if v == 4 else int.from_bytes(d[pos+4:pos+8], 'big')
    frames.append([d[pos:pos+4].decode('latin1'), d[pos+8:pos+10].hex(), d[pos+10:pos+10+n].hex()])
    pos += 10 + n
print(json.dumps({"version": v, "end": end, "frames": frames}))
)";

// Writes a tag as another program does: texts in UTF-16 (2.3) or UTF-8
// (2.4), a picture, a UTF-16 comment, lyrics, a link and a play count.
const char* const kMutagenWrite = R"(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TYER, TDRC, TCON, TRCK, COMM, APIC, USLT, WXXX, PCNT, TXXX
path, version = sys.argv[1], int(sys.argv[2])
enc = 1 if version == 3 else 3
t = ID3()
t.add(TIT2(encoding=enc, text="T\u00eftle \u2603"))
t.add(TPE1(encoding=0, text="Artist"))
t.add(TALB(encoding=enc, text="\u00c4lbum"))
t.add(TYER(encoding=0, text="2010") if version == 3 else TDRC(encoding=0, text="2010"))
t.add(TCON(encoding=0, text="Rock"))
t.add(TRCK(encoding=0, text="5/9"))
t.add(COMM(encoding=1, lang="eng", desc="", text="C\u00f6mment \u2603"))
t.add(APIC(encoding=0, mime="image/png", type=3, desc="cover", data=bytes(range(256)) * 8))
t.add(USLT(encoding=1, lang="eng", desc="", text="La la \u2603"))
t.add(WXXX(encoding=0, desc="", url="http://example.com/"))
t.add(PCNT(count=7))
t.add(TXXX(encoding=enc, desc="mood", text="calm"))
t.save(path, v2_version=version)
)";

QJsonObject RunJson(const QString& python, const char* script, const QStringList& args)
{
    const audiotest::ToolRun r = audiotest::RunTool(python, QStringList{"-c", script} + args);
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    return QJsonDocument::fromJson(r.out.toUtf8()).object();
}

QJsonObject FirstFrame(const QJsonObject& dump, const char* id)
{
    return dump["frames"].toObject()[id].toArray().first().toObject();
}

QStringList Texts(const QJsonObject& frame)
{
    QStringList out;
    for (const auto& v : frame["text"].toArray()) out << v.toString();
    return out;
}

void ExpectFramesKept(const QJsonObject& before, const QJsonObject& after, const QString& changedId)
{
    QMap<QString, QJsonValue> written;
    for (const auto& f : after["frames"].toArray()) written.insert(f.toArray()[0].toString(), f);
    for (const auto& f : before["frames"].toArray()) {
        const QString id = f.toArray()[0].toString();
        if (id != changedId) {
            EXPECT_EQ(written.value(id), f) << id.toStdString();
        }
    }
}

} // namespace tagtest
