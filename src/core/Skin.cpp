#include "core/Skin.h"

#include "core/Edition.h"
#include "platform/AppInfo.h"
#include "settings/mdlOptions.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

void SetBackColor(QWidget* widget, const QColor& color)
{
    if (!widget) return;
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    p.setColor(QPalette::Button, color);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void SetForeColor(QWidget* widget, const QColor& color)
{
    if (!widget) return;
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    widget->setPalette(p);
}

void SetBackPicture(QWidget* widget, const QString& file)
{
    if (!widget || !QFile::exists(file)) return;
    QPixmap pm(file);
    if (pm.isNull()) return;
    QPalette p = widget->palette();
    p.setBrush(QPalette::Window, QBrush(pm));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void ApplyWindowSkin(QWidget* window, QWidget* picTitle, QLabel* lblTitle, std::initializer_list<QWidget*> panels)
{
    SetBackColor(picTitle, ColorFromNumber(g_lColor));
    SetForeColor(lblTitle, ColorFromNumber(g_lTextColor));
    bool ok = false;
    std::int32_t appColor = std::int32_t(g_sAppColor.toLongLong(&ok));
    if (!g_sAppColor.isEmpty() && ok) {
        SetBackColor(window, ColorFromNumber(appColor));
        for (QWidget* w : panels) SetBackColor(w, ColorFromNumber(appColor));
    }
    const QString view = platform::AppPath() + "/View/";
    if (!g_sAppBackPicture.isEmpty()) {
        SetBackPicture(window, view + g_sAppBackPicture);
        for (QWidget* w : panels) SetBackPicture(w, view + g_sAppBackPicture);
    }
    if (!g_sAppTitlePicture.isEmpty()) SetBackPicture(picTitle, view + g_sAppTitlePicture);
}
