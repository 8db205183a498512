#include "controls/widgets/Slider.h"

#include "controls/widgets/WidgetSupport.h"
#include "platform/VbCompat.h"

#include <QHBoxLayout>
#include <QProxyStyle>
#include <QSlider>

namespace {

// A press on the track puts the knob there and drags it from there, as a
// press on the knob does, so one click seeks.
class ClickToPositionStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons) return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

cSlider::cSlider(QWidget* parent) : QWidget(parent), m_slider(new QSlider(Qt::Horizontal, this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_slider);
    m_slider->setRange(0, 10);
    auto* style = new ClickToPositionStyle;
    style->setParent(m_slider);
    m_slider->setStyle(style);
    setAutoFillBackground(true);
    connect(m_slider, &QSlider::valueChanged, this, &cSlider::Change);
    connect(m_slider, &QSlider::sliderPressed, this, &cSlider::ScrollStart);
    connect(m_slider, &QSlider::sliderReleased, this, &cSlider::ScrollEnd);
    new widgets::DropReceiver(m_slider, this, [this](QObject* source, QPointF at) {
        emit DragDrop(source, float(platform::PixelsToTwips(int(at.x()))), float(platform::PixelsToTwips(int(at.y()))));
    });
}

int cSlider::Min() const { return m_slider->minimum(); }
void cSlider::SetMin(int value) { m_slider->setMinimum(value); }
int cSlider::Max() const { return m_slider->maximum(); }
void cSlider::SetMax(int value) { m_slider->setMaximum(value); }
int cSlider::Value() const { return m_slider->value(); }
void cSlider::SetValue(int value) { m_slider->setValue(value); }

void cSlider::SetBackColor(std::int32_t color)
{
    m_backColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, widgets::ColorFromNumber(color));
    setPalette(pal);
}
