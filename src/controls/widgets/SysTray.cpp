#include "controls/widgets/WindowWidgets.h"

#include "controls/widgets/PlainText.h"
#include "platform/Icons.h"

#include <QFile>
#include <QFileInfo>
#include <QSystemTrayIcon>

namespace {
int& availableOverride()
{
    static int v = -1;
    return v;
}
} // namespace

cSysTray::cSysTray(QObject* parent) : QObject(parent), m_icon(std::make_unique<QSystemTrayIcon>())
{
    m_icon->setIcon(platform::LoadIconResource("AAA"));
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        switch (r) {
        case QSystemTrayIcon::Trigger: emit TrayClick(1); break;
        case QSystemTrayIcon::Context: emit TrayClick(2); break;
        case QSystemTrayIcon::DoubleClick: emit TrayClick(3); break;
        case QSystemTrayIcon::MiddleClick: emit TrayClick(4); break;
        default: break;
        }
    });
}

cSysTray::~cSysTray() = default;

void cSysTray::AddIcon()
{
    m_shown = true;
    m_icon->show();
}

void cSysTray::RemoveIcon()
{
    m_shown = false;
    m_icon->hide();
}

void cSysTray::SetToolTip(const QString& text)
{
    m_toolTip = text;
    m_icon->setToolTip(widgets::PlainToolTip(text));
}

void cSysTray::SetIconFile(const QString& path)
{
    m_iconFile = path;
    // The icon may be given as .ico; a PNG of the same name stands in for it.
    QString file = path;
    if (!QFile::exists(file)) {
        QFileInfo fi(path);
        file = fi.path() + "/" + fi.completeBaseName() + ".png";
    }
    QIcon icon(file);
    if (QFile::exists(file) && !icon.isNull()) m_icon->setIcon(icon);
}

void cSysTray::ShowBalloon(const QString& text, const QString& title, int icon, int timeout)
{
    m_balloons.push_back({text, title, icon, timeout});
    if (!m_shown || !IsAvailable()) return;
    QSystemTrayIcon::MessageIcon mi = QSystemTrayIcon::NoIcon;
    if (icon == 1) mi = QSystemTrayIcon::Information;
    if (icon == 2) mi = QSystemTrayIcon::Warning;
    if (icon == 3) mi = QSystemTrayIcon::Critical;
    m_icon->showMessage(title, text, mi, timeout * 1000);
}

bool cSysTray::IsAvailable()
{
    if (availableOverride() >= 0) return availableOverride() != 0;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void cSysTray::SetAvailableOverride(int available) { availableOverride() = available; }
