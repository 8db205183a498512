#include "ListsTestSupport.h"

#include "controls/audio/AudioConverter.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "mainwindow/frmMain.h"
#include "settings/mdlOptions.h"

#include <QDir>
#include <QTest>
#include <QFile>
#include <QTest>
#include <QToolTip>
#include <QtEndian>
#include <cmath>

namespace liststest {

void WriteWav(const QString& path, double seconds, int rate, int channels)
{
    const quint32 frames = quint32(std::lround(seconds * rate));
    const quint32 dataBytes = frames * quint32(channels) * 2;
    QByteArray bytes;
    auto le = [&](quint32 v, int size) {
        for (int i = 0; i < size; ++i) bytes.append(char((v >> (8 * i)) & 0xFF));
    };
    bytes += "RIFF";
    le(36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    le(16, 4), le(1, 2), le(quint32(channels), 2), le(quint32(rate), 4), le(quint32(rate * channels * 2), 4),
        le(quint32(channels * 2), 2), le(16, 2);
    bytes += "data";
    le(dataBytes, 4);
    for (quint32 i = 0; i < frames; ++i) {
        const auto sample = qint16(std::lround(8000 * std::sin(2 * M_PI * 440.0 * i / rate)));
        for (int c = 0; c < channels; ++c) le(quint16(sample), 2);
    }
    WriteBytes(path, bytes);
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void HideToolTip()
{
    QToolTip::hideText();
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::text().isEmpty(); }));
}

Item ItemOf(const QString& name, const QString& file)
{
    Item item;
    item.name = name;
    item.file = file;
    return item;
}

FakeAudioConverter::File FakeFile(int lengthMs)
{
    FakeAudioConverter::File file;
    file.lengthMs = lengthMs;
    return file;
}

QString Record(const Item& item)
{
    const QString values[14] = {item.inc,    item.type,   item.name,    item.file,  item.rangeAll,
                                item.start,  item.length, item.album,   item.artist, item.comment,
                                item.genre,  item.year,   item.title,   item.track};
    static const char* const keys[14] = {"Inc",           "Type",          "Item Name",     "COL_FILE",
                                         "COL_RANGE_ALL", "COL_RANGE_START_TIME", "COL_RANGE_LENGTH_TIME",
                                         "COL_TAG_ALBUM", "COL_TAG_ARTIST", "COL_TAG_COMMENT", "COL_TAG_GEN",
                                         "COL_TAG_YEAR",  "COL_TAG_TITLE", "COL_TAG_TRACK"};
    QString record = "<ITEM>";
    for (int i = 0; i < 14; ++i) record += QString("<%1>%2</%1>").arg(keys[i], values[i]);
    return record + "</ITEM>";
}

void ListsTest::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    SetAudioConverterFactory({});
    g_sToPath = ListsDir();
    g_bCopyID3FromSource = false;
    g_bSelectTheLastItem = false;
    g_bDisplayMSGWhenErase = false;
    g_bDisplayMSGWhenExit = false;
    g_bClearOnExit = false;
    g_sTagAlbum = g_sTagArtist = g_sTagComment = g_sTagGenre = g_sTagYear = g_sTagSong = g_sTagTrack = QString();
    QDir().mkpath(ListsDir());
    QDir().mkpath(MediaDir());
}

void ListsTest::TearDown()
{
    ProgramFixture::TearDown();
    SetAudioConverterFactory({});
}

QString ListsTest::Wav(const QString& name, double seconds, int rate, int channels)
{
    const QString path = MediaDir() + name;
    WriteWav(path, seconds, rate, channels);
    return path;
}

void ListsTest::WriteList(const QString& name, const QList<Item>& items)
{
    QString text;
    for (const Item& item : items) text += Record(item);
    WriteBytes(ListPath(name), text.toUtf8() + "\r\n");
}

Item ListsTest::FileItem(const QString& name, double seconds) { return ItemOf(name, Wav(name, seconds)); }

CfrmMain* ListsTest::Main()
{
    CfrmMain* main = frmMain.get();
    WaitForOpenList();
    return main;
}

cTreeNode* ListsTest::ListNode(const QString& text)
{
    cTreeNode* root = frmMain->g_nodMainItems;
    if (!root) return nullptr;
    for (int i = 1; i <= root->Child()->Count(); ++i)
        if (root->Child()->Item(i)->Text() == text) return root->Child()->Item(i);
    return nullptr;
}

void ListsTest::Open(const QString& text)
{
    cTreeNode* node = ListNode(text);
    ASSERT_NE(node, nullptr) << text.toStdString();
    Main()->cTreeView1_NodeClick(node);
    WaitForOpenList();
}

QString ListsTest::Cell(int row, const char* key) { return Main()->cGrid1->CellText(row, key).toString(); }

int ListsTest::Icon(int row, const char* key) { return Main()->cGrid1->CellIconIndex(row, key); }

int ListsTest::Rows() { return Main()->cGrid1->Rows(); }

QStringList ListsTest::Column(const char* key)
{
    QStringList texts;
    for (int row = 1; row <= Rows(); ++row) texts << Cell(row, key);
    return texts;
}

} // namespace liststest
