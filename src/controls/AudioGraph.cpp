#include "controls/AudioGraph.h"

#include "controls/WidgetSupport.h"

#include <QPainter>

#include <algorithm>

cAudioGraph::cAudioGraph(Kind kind, QWidget* parent) : QWidget(parent), m_kind(kind) {}

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

// The data's bytes are taken as levels 0..255, one per bar or trace point.
void cAudioGraph::Draw()
{
    if (m_terminated) return;
    m_levels.clear();
    auto bits = static_cast<std::uint32_t>(m_data);
    for (int i = 0; i < 4; ++i) m_levels.push_back(int((bits >> (8 * i)) & 0xFF));
    update();
}

void cAudioGraph::Clear()
{
    m_levels.clear();
    update();
}

void cAudioGraph::Terminate()
{
    m_terminated = true;
    Clear();
}

void cAudioGraph::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), widgets::ColorFromNumber(m_backColor));
    const QColor ink = widgets::ColorFromNumber(m_kind == Amplitude ? m_ampColor : m_freqColor);
    const int mid = height() / 2;
    if (m_levels.empty()) {
        p.setPen(ink);
        if (m_kind == Amplitude) p.drawLine(0, mid, width(), mid);
        else p.drawLine(0, height() - 1, width(), height() - 1);
        return;
    }
    const int n = int(m_levels.size());
    const int step = std::max(1, width() / n);
    for (int i = 0; i < n; ++i) {
        const int level = m_levels[size_t(i)] * height() / 255;
        if (m_kind == Frequency) p.fillRect(i * step + 1, height() - level, step - 2, level, ink);
        else p.fillRect(i * step, mid - level / 2, step - 1, std::max(1, level), ink);
    }
}
