// The genre table: its own spellings, the numbers without a name, and
// number 133 as the common extended list names it.
#include "controls/audio/AudioTestSupport.h"
#include "tags/ID3Genres.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

#include <gtest/gtest.h>

namespace {

TEST(GenresTest, NamesByNumber)
{
    const std::pair<int, const char*> cases[] = {
        {0, "Blues"},          {7, "Hip Hop"},       {17, "Rock"},          {25, "Euro - Techno"},
        {29, "Jazz - Funk"},   {40, "Alt.Rock"},     {71, "Lo - fi"},       {78, "Rock 'n'Roll"},
        {109, "Pr0n Groove"},  {122, "Drum Solo"},   {123, ""},             {124, "Euro - House"},
        {132, "Brit Pop"},     {134, "Polsk Punk"},  {147, "Synth Pop"},    {148, ""},
        {200, ""},             {255, ""}};
    for (const auto& [number, name] : cases)
        EXPECT_EQ(ID3GenreName(std::uint8_t(number)), QString(name)) << number;
}

TEST(GenresTest, BothClassesListTheSameNames)
{
    cMP3ID3v1 v1;
    cMP3ID3v2 v2;
    int named = 0;
    for (int n = 0; n <= 255; ++n) {
        EXPECT_EQ(v1.GenreName(std::uint8_t(n)), v2.GenreName(std::uint8_t(n)));
        if (!v1.GenreName(std::uint8_t(n)).isEmpty()) ++named;
        EXPECT_LE(v1.GenreName(std::uint8_t(n)).size(), 22);
    }
    EXPECT_EQ(named, 147);
}

TEST(GenresTest, NumberFromTypedText)
{
    const std::pair<const char*, int> cases[] = {
        {"Rock", 17},       // an exact name wins over "Classic Rock"
        {"Roc", 1},         // else the first name that holds the text
        {"Pop", 13},        {"Synth Pop", 147}, {"Jazz - Funk", 29}, {"Metal", 9},
        {"rock", 255},      // names compare case-sensitively
        {"", 255},          {"My Mix", 255}};
    for (const auto& [text, number] : cases) EXPECT_EQ(ID3GenreFromText(text), number) << text;
}

TEST(GenresTest, Number133AsTheCommonListNamesIt)
{
    const QString python = audiotest::MutagenPython();
    if (python.isEmpty()) GTEST_SKIP() << "mutagen is not installed";
    const audiotest::ToolRun r =
        audiotest::RunTool(python, {"-c", "from mutagen._constants import GENRES; print(GENRES[133])"});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(ID3GenreName(133), r.out.trimmed());
}

} // namespace
