#include "controls/widgets/AudioGraph.h"

#include "controls/widgets/WidgetSupport.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

extern "C" {
#include <libavutil/tx.h>
}

namespace {

// Levels are drawn on decibel scales: the amplitude from -48 dB, the
// spectrum from -72 dB, up to full scale.
constexpr float kAmplitudeFloorDb = -48;
constexpr float kSpectrumFloorDb = -72;
constexpr double kLowestHz = 40;
constexpr double kHighestHz = 16000;
constexpr int kBarPixels = 4; // a spectrum bar and its gap
constexpr int kLargestFft = 4096;
constexpr int kSmallestFft = 64;
constexpr float kSpectrumFall = 0.12f; // of the scale, from one Draw to the next
constexpr int kLeastInkDifference = 48;  // of 255, in one of red, green and blue

float Scale(float value, float floorDb)
{
    if (value <= 0) return 0;
    const float db = 20 * std::log10(value);
    return std::clamp((db - floorDb) / -floorDb, 0.0f, 1.0f);
}

} // namespace

// ---------------------------------------------------------------------------
// The spectrum of the last frames of a block: the channels mixed, a Hann
// window, FFmpeg's real FFT; each bin's level on the decibel scale, where a
// full-scale sine reads 1.

class cAudioGraph::Spectrum {
public:
    ~Spectrum() { av_tx_uninit(&m_tx); }

    void Measure(const AudioBlock& block)
    {
        int size = kLargestFft;
        while (size > block.Frames()) size /= 2;
        if (size < kSmallestFft || !Prepare(size)) {
            Forget();
            return;
        }
        const int first = block.Frames() - size;
        for (int i = 0; i < size; ++i) {
            float sum = 0;
            for (int c = 0; c < block.channels; ++c) sum += block.samples[size_t((first + i) * block.channels + c)];
            m_input[size_t(i)] = sum / float(block.channels) * m_window[size_t(i)];
        }
        m_fft(m_tx, m_output.data(), m_input.data(), sizeof(float));
        const float fullScale = float(size) / 4; // a full-scale sine through the Hann window
        // Bars rise at once and fall gently, which keeps a small graph readable.
        if (m_levels.size() != m_output.size() || m_rate != block.sampleRate) m_levels.assign(m_output.size(), 0);
        for (size_t k = 0; k < m_output.size(); ++k) {
            const float level = Scale(std::hypot(m_output[k].re, m_output[k].im) / fullScale, kSpectrumFloorDb);
            m_levels[k] = std::max(level, m_levels[k] - kSpectrumFall);
        }
        m_rate = block.sampleRate;
    }

    void Forget() { m_levels.clear(); }

    bool Empty() const { return m_levels.empty(); }
    double TopHz() const { return std::min(kHighestHz, m_rate / 2.0); }

    // The loudest bin between the two frequencies, or the bin nearest their
    // middle when the band is narrower than a bin.
    float Band(double lowHz, double highHz) const
    {
        const double binHz = double(m_rate) / double(m_size);
        const auto last = long(m_levels.size()) - 1;
        long from = std::lround(std::ceil(lowHz / binHz));
        long to = std::min(last, long(std::floor(highHz / binHz)));
        if (from > to) from = to = std::min(last, std::lround((lowHz + highHz) / 2 / binHz));
        float level = 0;
        for (long k = std::max(0L, from); k <= to; ++k) level = std::max(level, m_levels[size_t(k)]);
        return level;
    }

private:
    bool Prepare(int size)
    {
        if (size == m_size && m_tx) return true;
        av_tx_uninit(&m_tx);
        const float scale = 1.0f;
        if (av_tx_init(&m_tx, &m_fft, AV_TX_FLOAT_RDFT, 0, size, &scale, AV_TX_UNALIGNED) < 0) return false;
        m_size = size;
        m_input.assign(size_t(size), 0);
        m_output.assign(size_t(size / 2 + 1), {});
        m_window.resize(size_t(size));
        for (int i = 0; i < size; ++i) m_window[size_t(i)] = float(0.5 - 0.5 * std::cos(2 * M_PI * i / (size - 1)));
        return true;
    }

    AVTXContext* m_tx = nullptr;
    av_tx_fn m_fft = nullptr;
    int m_size = 0;
    int m_rate = 44100;
    std::vector<float> m_input, m_window, m_levels;
    std::vector<AVComplexFloat> m_output;
};

// ---------------------------------------------------------------------------

cAudioGraph::cAudioGraph(Kind kind, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_spectrum(std::make_unique<Spectrum>())
{
}

cAudioGraph::~cAudioGraph() = default;

void cAudioGraph::SetBackgroundColor(std::int32_t color)
{
    m_backColor = color;
    update();
}

void cAudioGraph::SetAmpColor(std::int32_t color)
{
    m_ampColor = color;
    update();
}

void cAudioGraph::SetFreqColor(std::int32_t color)
{
    m_freqColor = color;
    update();
}

void cAudioGraph::SetData(std::int32_t data) { m_data = data; }

void cAudioGraph::measureAmplitude(const AudioBlock& block)
{
    m_channels.assign(size_t(std::max(block.channels, 0)), {});
    for (int c = 0; c < block.channels; ++c) {
        float peak = 0;
        double power = 0;
        for (size_t i = size_t(c); i < block.samples.size(); i += size_t(block.channels)) {
            const float v = block.samples[i];
            peak = std::max(peak, std::abs(v));
            power += double(v) * v;
        }
        const float rms = block.Frames() > 0 ? float(std::sqrt(power / block.Frames())) : 0.0f;
        m_channels[size_t(c)] = {Scale(rms, kAmplitudeFloorDb), Scale(peak, kAmplitudeFloorDb)};
    }
}

void cAudioGraph::Draw()
{
    if (m_terminated) return;
    const std::shared_ptr<const AudioBlock> block = FindAudioBlock(m_data);
    m_hasLevels = block && block->Frames() > 0;
    if (m_hasLevels) {
        if (m_kind == Amplitude) measureAmplitude(*block);
        else m_spectrum->Measure(*block);
    }
    update();
}

void cAudioGraph::Clear()
{
    m_hasLevels = false;
    m_spectrum->Forget();
    update();
}

void cAudioGraph::Terminate()
{
    m_terminated = true;
    Clear();
}

namespace {

// Ink that differs too little from the background (both black, as the
// colours of an empty settings key are) would show nothing: black or white
// then, whichever stands out.
QColor ReadableInk(const QColor& ink, const QColor& back)
{
    const int difference = std::max({std::abs(ink.red() - back.red()), std::abs(ink.green() - back.green()),
                                     std::abs(ink.blue() - back.blue())});
    if (difference >= kLeastInkDifference) return ink;
    return back.lightnessF() < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace

void cAudioGraph::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor back = widgets::ColorFromNumber(m_backColor);
    p.fillRect(rect(), back);
    const QColor ink = ReadableInk(widgets::ColorFromNumber(m_kind == Amplitude ? m_ampColor : m_freqColor), back);
    if (m_kind == Amplitude) paintAmplitude(p, ink);
    else paintSpectrum(p, ink);
}

// One row per channel: the RMS level solid, the peak as a lighter run ending
// in a solid tick.
void cAudioGraph::paintAmplitude(QPainter& p, const QColor& ink)
{
    if (!m_hasLevels || m_channels.empty()) {
        p.setPen(ink);
        p.drawLine(0, height() / 2, width(), height() / 2);
        return;
    }
    QColor light = ink;
    light.setAlphaF(0.45f);
    const int rows = int(m_channels.size());
    for (int c = 0; c < rows; ++c) {
        const int top = c * height() / rows + 1;
        const int rowHeight = std::max(1, (c + 1) * height() / rows - top - 1);
        const int rms = int(std::lround(m_channels[size_t(c)].rms * width()));
        const int peak = int(std::lround(m_channels[size_t(c)].peak * width()));
        p.fillRect(0, top, peak, rowHeight, light);
        p.fillRect(0, top, rms, rowHeight, ink);
        if (peak > 0) p.fillRect(std::max(0, peak - 2), top, 2, rowHeight, ink);
    }
}

// Bars from kLowestHz up, each band a equal step on the logarithmic scale,
// over faint lines at 100 Hz, 1 kHz and 10 kHz to read them by.
void cAudioGraph::paintSpectrum(QPainter& p, const QColor& ink)
{
    p.setPen(ink);
    p.drawLine(0, height() - 1, width(), height() - 1);
    if (!m_hasLevels || m_spectrum->Empty()) return;
    const double ratio = m_spectrum->TopHz() / kLowestHz;
    QColor guide = ink;
    guide.setAlphaF(0.3f);
    for (double hz : {100.0, 1000.0, 10000.0}) {
        if (hz >= m_spectrum->TopHz()) break;
        const int x = int(std::lround(width() * std::log(hz / kLowestHz) / std::log(ratio)));
        p.fillRect(x, 0, 1, height() - 1, guide);
    }
    const int bars = std::max(8, width() / kBarPixels);
    for (int i = 0; i < bars; ++i) {
        const double low = kLowestHz * std::pow(ratio, double(i) / bars);
        const double high = kLowestHz * std::pow(ratio, double(i + 1) / bars);
        const int level = int(std::lround(m_spectrum->Band(low, high) * (height() - 1)));
        const int left = i * width() / bars;
        const int barWidth = std::max(1, (i + 1) * width() / bars - left - 1);
        p.fillRect(left, height() - 1 - level, barWidth, level, ink);
    }
}
