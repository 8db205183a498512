// The level graphs: the blocks they are handed, and what they draw.
#include "controls/widgets/AudioGraph.h"
#include "controls/widgets/WidgetSupport.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr std::int32_t kBlack = 0x000000;
constexpr std::int32_t kGreen = 0x00FF00; // the colour numbers keep red in the low byte

AudioBlock Sine(double hz, double amplitude, int channels, int silentChannel = -1)
{
    AudioBlock b;
    b.sampleRate = 44100;
    b.channels = channels;
    for (int i = 0; i < 4096; ++i)
        for (int c = 0; c < channels; ++c)
            b.samples.push_back(c == silentChannel ? 0.0f
                                                   : float(amplitude * std::sin(2 * M_PI * hz * i / b.sampleRate)));
    return b;
}

QImage Render(cAudioGraph& graph, std::int32_t data)
{
    graph.SetData(data);
    graph.Draw();
    QImage image(graph.size(), QImage::Format_RGB32);
    graph.render(&image);
    return image;
}

// A graph at its size in the player pane, green on black.
std::unique_ptr<cAudioGraph> Graph(cAudioGraph::Kind kind)
{
    auto graph = std::make_unique<cAudioGraph>(kind);
    graph->resize(120, 24);
    graph->SetBackgroundColor(kBlack);
    graph->SetAmpColor(kGreen);
    graph->SetFreqColor(kGreen);
    return graph;
}

const QColor kInk = widgets::ColorFromNumber(kGreen);

bool Inked(const QImage& image, int x, int y) { return image.pixelColor(x, y) == kInk; }

TEST(AudioBlocks, AreFoundByTheirNumberWhileKept)
{
    const std::int32_t first = PublishAudioBlock(Sine(440, 0.5, 2));
    ASSERT_NE(first, 0);
    EXPECT_EQ(FindAudioBlock(first)->Frames(), 4096);
    std::int32_t last = first;
    for (int i = 0; i < 16; ++i) last = PublishAudioBlock(AudioBlock{});
    EXPECT_NE(last, first);
    EXPECT_FALSE(FindAudioBlock(first));
    EXPECT_TRUE(FindAudioBlock(last));
    EXPECT_FALSE(FindAudioBlock(0));
}

// One row a channel: solid to the RMS level, lighter to the peak, on a
// decibel scale from -48 dB.
TEST(AudioGraphs, AmplitudeShowsRmsAndPeakOfEachChannel)
{
    const auto graph = Graph(cAudioGraph::Amplitude);
    const QImage image = Render(*graph, PublishAudioBlock(Sine(1000, 0.5, 2, 1)));
    // A half-scale sine: RMS -9 dB (x = 97), peak -6 dB (x = 105).
    EXPECT_TRUE(Inked(image, 90, 5));
    EXPECT_FALSE(Inked(image, 100, 5));
    EXPECT_NE(image.pixelColor(100, 5), widgets::ColorFromNumber(kBlack));
    EXPECT_TRUE(Inked(image, 104, 5)); // the peak tick
    EXPECT_EQ(image.pixelColor(110, 5), widgets::ColorFromNumber(kBlack));
    EXPECT_EQ(image.pixelColor(10, 18), widgets::ColorFromNumber(kBlack)); // the silent channel

    graph->Clear();
    QImage cleared(graph->size(), QImage::Format_RGB32);
    graph->render(&cleared);
    EXPECT_EQ(cleared.pixelColor(10, 5), widgets::ColorFromNumber(kBlack));
}

int BarHeight(const QImage& image, int x)
{
    int h = 0;
    while (h < image.height() && image.pixelColor(x, image.height() - 1 - h) == kInk) ++h;
    return h;
}

// Bars on a logarithmic scale from 40 Hz to 16 kHz: a 1 kHz tone stands
// out a little right of the middle.
TEST(AudioGraphs, FrequencyBarsShowWhereTheToneIs)
{
    const auto graph = Graph(cAudioGraph::Frequency);
    const QImage image = Render(*graph, PublishAudioBlock(Sine(1000, 0.5, 2)));
    int tallest = 0;
    for (int x = 1; x < image.width(); ++x)
        if (BarHeight(image, x) > BarHeight(image, tallest)) tallest = x;
    const int expected = int(120 * std::log(1000.0 / 40) / std::log(16000.0 / 40));
    EXPECT_NEAR(tallest, expected, 4);
    EXPECT_GT(BarHeight(image, tallest), 18);
    EXPECT_LE(BarHeight(image, 10), 6);  // around 60 Hz
    EXPECT_LE(BarHeight(image, 110), 6); // around 12 kHz

    // When the tone stops its bar falls gently; after Clear it is gone.
    const int before = BarHeight(image, tallest);
    const int after = BarHeight(Render(*graph, PublishAudioBlock(Sine(1000, 0, 2))), tallest);
    EXPECT_LT(after, before);
    EXPECT_GT(after, before / 2);
    graph->Clear();
    EXPECT_LE(BarHeight(Render(*graph, PublishAudioBlock(Sine(1000, 0, 2))), tallest), 1);
}

TEST(AudioGraphs, AnUnknownNumberOrATerminatedGraphDrawsNothing)
{
    const auto graph = Graph(cAudioGraph::Frequency);
    EXPECT_EQ(BarHeight(Render(*graph, 0), 60), 1); // the base line only
    graph->Terminate();
    EXPECT_EQ(BarHeight(Render(*graph, PublishAudioBlock(Sine(1000, 0.5, 2))), 60), 1);
}

// The colours of an empty settings key are both black: the graphs draw in
// white then, and a colour that stands out is kept.
TEST(AudioGraphs, InkLikeTheBackgroundIsDrawnToStandOut)
{
    const std::int32_t tone = PublishAudioBlock(Sine(1000, 0.5, 2));
    const auto amp = Graph(cAudioGraph::Amplitude);
    amp->SetAmpColor(0x101010);
    EXPECT_EQ(Render(*amp, tone).pixelColor(90, 5), QColor(Qt::white));
    amp->SetBackgroundColor(0xFFFFFF);
    amp->SetAmpColor(0xFFFFFF);
    EXPECT_EQ(Render(*amp, tone).pixelColor(90, 5), QColor(Qt::black));
    amp->SetAmpColor(0x0000FF);
    EXPECT_EQ(Render(*amp, tone).pixelColor(90, 5), QColor(Qt::red));
}

// Faint lines at 100 Hz, 1 kHz and 10 kHz, under the bars.
TEST(AudioGraphs, TheSpectrumHasGuidesAtTheDecades)
{
    const auto graph = Graph(cAudioGraph::Frequency);
    const QImage image = Render(*graph, PublishAudioBlock(Sine(220, 0.5, 2)));
    const QColor back = widgets::ColorFromNumber(kBlack);
    for (double hz : {100.0, 1000.0, 10000.0}) {
        const int x = int(std::lround(120 * std::log(hz / 40) / std::log(16000.0 / 40)));
        EXPECT_NE(image.pixelColor(x, 2), back) << hz;
        EXPECT_NE(image.pixelColor(x, 2), kInk) << hz;
        EXPECT_EQ(image.pixelColor(x + 2, 2), back) << hz;
    }
}

// For looking at: TARVELLO_GRAPH_SHOT=file.png saves both graphs, large.
TEST(AudioGraphs, Picture)
{
    const QString shot = qEnvironmentVariable("TARVELLO_GRAPH_SHOT");
    if (shot.isEmpty()) GTEST_SKIP() << "set TARVELLO_GRAPH_SHOT to save a picture";
    AudioBlock music = Sine(220, 0.3, 2);
    const AudioBlock overtone = Sine(3300, 0.05, 2);
    for (size_t i = 0; i < music.samples.size(); ++i) music.samples[i] += overtone.samples[i];
    const std::int32_t n = PublishAudioBlock(music);
    QImage sheet(2 * 121 + 8, 24, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    cAudioGraph freq(cAudioGraph::Frequency), amp(cAudioGraph::Amplitude);
    for (cAudioGraph* g : {&freq, &amp}) {
        g->resize(121, 24);
        g->SetBackgroundColor(0x402000);
        g->SetAmpColor(0x00FFFF);
        g->SetFreqColor(0x00FFFF);
    }
    QPainter p(&sheet);
    p.drawImage(0, 0, Render(freq, n));
    p.drawImage(129, 0, Render(amp, n));
    p.end();
    EXPECT_TRUE(sheet.scaled(sheet.size() * 4).save(shot));
}

} // namespace
