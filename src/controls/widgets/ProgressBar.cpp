#include "controls/widgets/ProgressBar.h"

#include "controls/widgets/WidgetSupport.h"

#include <QPainter>

cProgressBar::cProgressBar(QWidget* parent) : RangeBar(parent) {}

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
    widgets::PaintBar(painter, rect(), Fraction(), widgets::ColorFromNumber(m_barColor), m_barPicture, m_text);
}
