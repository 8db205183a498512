#include "controls/ProgressBars.h"

#include "controls/WidgetSupport.h"

#include <QPainter>

XP_ProgressBar::XP_ProgressBar(QWidget* parent) : QWidget(parent) {}

void XP_ProgressBar::SetMin(int value)
{
    m_min = value;
    update();
}

void XP_ProgressBar::SetMax(int value)
{
    m_max = value;
    update();
}

void XP_ProgressBar::SetValue(int value)
{
    m_value = value;
    update();
}

void XP_ProgressBar::SetColor(std::int32_t color)
{
    m_color = color;
    update();
}

bool XP_ProgressBar::Visible() const
{
    return !(testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden));
}

void XP_ProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double span = m_max - m_min;
    const double fraction = span > 0 ? (m_value - m_min) / span : 0.0;
    widgets::PaintBar(painter, rect(), fraction, widgets::ColorFromNumber(m_color), QPixmap(), QString());
}
