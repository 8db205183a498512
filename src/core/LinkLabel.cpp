#include "core/LinkLabel.h"

#include "controls/widgets/PlainText.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    widgets::ShowPlainText(this);
    // Blue only while it can be clicked; the disabled text keeps the style's grey.
    QPalette p = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) p.setColor(group, QPalette::WindowText, Qt::blue);
    setPalette(p);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    ShowEnabledState();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit Click();
}

void LinkLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) ShowEnabledState();
}

void LinkLabel::ShowEnabledState()
{
    if (isEnabled()) setCursor(Qt::PointingHandCursor);
    else unsetCursor();
}
