#pragma once
// The level graphs of the preview player: a panel in its background colour
// that draws the sound it was last given, either as the amplitude of each
// channel (AmpColor: a bar to the RMS level, lighter up to the peak, on a
// decibel scale) or as a frequency spectrum (FreqColor: bars on a logarithmic
// frequency scale, from FFmpeg's real FFT). Clear blanks it.
//
// The sound travels as a number: a player publishes a short block of what is
// being heard (PublishAudioBlock), hands its number to the window
// (cPlayer::AudioData), and the window hands it unchanged to SetData.
#include "controls/audio/AudioBlocks.h"

#include <QWidget>
#include <cstdint>
#include <memory>

class cAudioGraph : public QWidget {
    Q_OBJECT
public:
    enum Kind { Amplitude, Frequency };
    explicit cAudioGraph(Kind kind, QWidget* parent = nullptr);
    ~cAudioGraph() override;

    std::int32_t BackgroundColor() const { return m_backColor; }
    void SetBackgroundColor(std::int32_t color);
    std::int32_t AmpColor() const { return m_ampColor; }
    void SetAmpColor(std::int32_t color);
    std::int32_t FreqColor() const { return m_freqColor; }
    void SetFreqColor(std::int32_t color);

    // Keeps the number of an audio block for the next Draw.
    void SetData(std::int32_t data);
    // Draws the block SetData named; a number that finds no block draws the
    // empty graph.
    void Draw();
    void Clear();
    // Releases the graph; it draws nothing more.
    void Terminate();
    bool Terminated() const { return m_terminated; }

signals:
    void GraphEvent(std::int32_t code);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct ChannelLevel {
        float rms = 0, peak = 0; // 0..1 on the decibel scale
    };
    class Spectrum;

    void measureAmplitude(const AudioBlock& block);
    void paintAmplitude(QPainter& p, const QColor& ink);
    void paintSpectrum(QPainter& p, const QColor& ink);

    Kind m_kind;
    std::int32_t m_backColor = 0;
    std::int32_t m_ampColor = 0x00FF00;
    std::int32_t m_freqColor = 0x00FF00;
    std::int32_t m_data = 0;
    bool m_hasLevels = false;
    std::vector<ChannelLevel> m_channels;
    std::unique_ptr<Spectrum> m_spectrum;
    bool m_terminated = false;
};
