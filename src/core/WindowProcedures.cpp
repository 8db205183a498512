#include "core/WindowProcedures.h"

#include "controls/widgets/PlainText.h"
#include "controls/widgets/WindowWidgets.h"
#include "platform/Icons.h"
#include "platform/VbCompat.h"

#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QWidget>

void MakeTitleStrip(QWidget* window, int height, QFrame*& picTitle, QLabel*& lblTitle, const QString& text)
{
    const int margin = 10;
    picTitle = new QFrame(window);
    picTitle->setGeometry(0, 0, window->width(), height);
    lblTitle = widgets::PlainLabel(text, picTitle);
    lblTitle->setGeometry(margin, 0, window->width() - 2 * margin, height);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(titleFont.pointSize() + 3);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
}

void PlaceTabPages(const cTabControl* tabs, std::initializer_list<QWidget*> pages, int leftOverlapTwips)
{
    using platform::TwipsToPixels;
    const QRect area(TwipsToPixels(tabs->ClientLeft() - leftOverlapTwips), TwipsToPixels(tabs->ClientTop()),
                     TwipsToPixels(tabs->ClientWidth() + leftOverlapTwips), TwipsToPixels(tabs->ClientHeight()));
    for (QWidget* page : pages) {
        page->setGeometry(area);
        page->raise();
    }
}

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
