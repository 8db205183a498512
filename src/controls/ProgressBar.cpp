#include "controls/ProgressBar.h"

#include "controls/WidgetSupport.h"

#include <QPainter>

cProgressBar::cProgressBar(QWidget* parent) : QWidget(parent) {}

void cProgressBar::SetMin(int value)
{
    m_min = value;
    update();
}

void cProgressBar::SetMax(int value)
{
    m_max = value;
    update();
}

void cProgressBar::SetValue(int value)
{
    m_value = value;
    update();
}

void cProgressBar::SetBarColor(std::int32_t color)
{
    m_barColor = color;
    update();
}

void cProgressBar::SetBarPicture(const QPixmap& picture)
{
    m_barPicture = picture;
    update();
}

void cProgressBar::SetText(const QString& text)
{
    m_text = text;
    update();
}

void cProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double span = m_max - m_min;
    const double fraction = span > 0 ? (m_value - m_min) / span : 0.0;
    widgets::PaintBar(painter, rect(), fraction, widgets::ColorFromNumber(m_barColor), m_barPicture, m_text);
}
