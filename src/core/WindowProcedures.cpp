#include "core/WindowProcedures.h"

#include "platform/Icons.h"

#include <QCursor>
#include <QWidget>

void SetFormOnTop(QWidget* form, bool on)
{
    if (!form) return;
    if (form->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != on) form->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    bool old = form->testAttribute(Qt::WA_ShowWithoutActivating);
    form->setAttribute(Qt::WA_ShowWithoutActivating, true);
    form->show();
    form->setAttribute(Qt::WA_ShowWithoutActivating, old);
}

std::int32_t SetTransparency(QWidget* form, int alpha)
{
    if (alpha < 0 || alpha > 255) return 1;
    if (!form) return 2;
    form->setWindowOpacity(alpha / 255.0);
    return 0;
}

std::int32_t RemoveTransparency(QWidget* form)
{
    if (!form) return 2;
    form->setWindowOpacity(1.0);
    return 0;
}

void SetFormIcon32(QWidget* form, const QString& iconName, bool alsoOwner)
{
    if (!form) return;
    QIcon icon = platform::LoadIconResource(iconName);
    if (alsoOwner) {
        QWidget* owner = form;
        while (owner->parentWidget()) owner = owner->parentWidget()->window();
        if (owner != form) owner->setWindowIcon(icon);
    }
    form->setWindowIcon(icon);
}

void GetMousePosition(std::int32_t& x, std::int32_t& y)
{
    const QPoint at = QCursor::pos();
    x = at.x();
    y = at.y();
}
