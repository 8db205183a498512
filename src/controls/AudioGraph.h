#pragma once
// The level graph of the preview player: a panel in its background colour
// that draws the last data it was given, as an amplitude trace (AmpColor) or
// as frequency bars (FreqColor). Clear blanks it.
#include <QWidget>
#include <cstdint>
#include <vector>

class cAudioGraph : public QWidget {
    Q_OBJECT
public:
    enum Kind { Amplitude, Frequency };
    explicit cAudioGraph(Kind kind, QWidget* parent = nullptr);

    std::int32_t BackgroundColor() const { return m_backColor; }
    void SetBackgroundColor(std::int32_t color);
    std::int32_t AmpColor() const { return m_ampColor; }
    void SetAmpColor(std::int32_t color);
    std::int32_t FreqColor() const { return m_freqColor; }
    void SetFreqColor(std::int32_t color);

    // Keeps one data value for the next Draw.
    void SetData(std::int32_t data);
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
    Kind m_kind;
    std::int32_t m_backColor = 0;
    std::int32_t m_ampColor = 0x00FF00;
    std::int32_t m_freqColor = 0x00FF00;
    std::int32_t m_data = 0;
    std::vector<int> m_levels;
    bool m_terminated = false;
};
