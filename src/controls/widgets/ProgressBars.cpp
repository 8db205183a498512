#include "controls/widgets/ProgressBars.h"

#include "controls/widgets/WidgetSupport.h"

#include <QPainter>

XP_ProgressBar::XP_ProgressBar(QWidget* parent) : RangeBar(parent) {}

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
    widgets::PaintBar(painter, rect(), Fraction(), widgets::ColorFromNumber(m_color), QPixmap(), QString());
}
