// Reading stored text: each line (or each piece) as UTF-8 when it is valid
// UTF-8, else as Windows-1252, so one stray byte spoils nothing else.
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace {

const QString kBom = QString(QChar(0xFEFF));

TEST(TextCodec, EachLineIsDecodedOnItsOwn)
{
    const struct {
        const char* what;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"UTF-8 only", "Bj\xc3\xb6rk\r\n\xe6\x97\xa5\xe6\x9c\xac", "Björk\r\n日本"},
        {"one Windows-1252 line among UTF-8 ones", "Bj\xc3\xb6rk\r\ncaf\xe9 \x80\r\n\xe6\x97\xa5\xe6\x9c\xac\r\n",
         "Björk\r\ncafé €\r\n日本\r\n"},
        {"lines ended by LF alone", "caf\xe9\n\xc3\xa9t\xc3\xa9\n", "café\nété\n"},
        {"lines ended by CR alone", "\xc3\xa9t\xc3\xa9\rcaf\xe9\r\xc3\xa9", "été\rcafé\ré"},
        {"a UTF-8 sequence cut by a line end", "\xc3\n\xc3\xa9", "Ã\né"},
        {"a byte-order mark at the start is dropped", "\xef\xbb\xbf" "caf\xc3\xa9", "café"},
        {"a byte-order mark on a later line stays", "a\r\n\xef\xbb\xbf" "b", "a\r\n" + kBom + "b"},
        {"a byte-order mark on a later Windows-1252 line", "a\n\xef\xbb\xbf\xe9", "a\nï»¿é"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::DecodeText(c.bytes), c.text) << c.what;
}

TEST(TextCodec, PiecesStartAtTheirMark)
{
    const struct {
        const char* what;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"one stray byte in the middle record", "<I>\xc3\xa9<I>caf\xe9\r\n\xc3\xa9<I>\xc3\xa9", "<I>é<I>café\r\nÃ©<I>é"},
        {"text before the first mark", "caf\xe9<I>\xc3\xa9", "café<I>é"},
        {"no mark", "\xc3\xa9", "é"},
        {"a byte-order mark after a mark stays", "<I>\xef\xbb\xbf", "<I>" + kBom},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::DecodeTextPieces(c.bytes, "<I>"), c.text) << c.what;
}

TEST(TextCodec, TextWrittenReadsBack)
{
    const QString text = "Björk – 日本\r\ncafé";
    EXPECT_EQ(platform::DecodeText(platform::EncodeText(text)), text);
}

} // namespace
