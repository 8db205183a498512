#pragma once
// The window widgets the program's windows host: grid, tree, toolbars with
// their hosts and rebar, status bar, tabs, slider, image list, progress bar
// and tray icon. Numbering, events and colours: see WidgetTypes.h.
#include "controls/widgets/Grid.h"
#include "controls/widgets/ImageList.h"
#include "controls/widgets/ProgressBar.h"
#include "controls/widgets/Slider.h"
#include "controls/widgets/StatusBar.h"
#include "controls/widgets/TabControl.h"
#include "controls/widgets/Toolbar.h"
#include "controls/widgets/TreeView.h"
#include "controls/widgets/WidgetTypes.h"

#include <QObject>
#include <QString>
#include <memory>

class QSystemTrayIcon;

// The notification-area icon. TrayClick codes: 1 left click, 2 right click,
// 3 double click, 4 middle click.
class cSysTray : public QObject {
    Q_OBJECT
public:
    explicit cSysTray(QObject* parent = nullptr);
    ~cSysTray() override;

    void AddIcon();
    void RemoveIcon();
    bool IconShown() const { return m_shown; }
    QString ToolTip() const { return m_toolTip; }
    void SetToolTip(const QString& text);
    QString IconFile() const { return m_iconFile; }
    void SetIconFile(const QString& path);
    // icon: 0 none, 1 information, 2 warning, 3 error; timeout in seconds.
    void ShowBalloon(const QString& text, const QString& title, int icon, int timeout);

    // Whether the desktop shows tray icons at all; tests may pretend either way.
    static bool IsAvailable();
    static void SetAvailableOverride(int available); // -1: ask the desktop

    struct Balloon {
        QString text, title;
        int icon = 0, timeout = 0;
    };
    // The balloons shown so far (tests read them).
    const std::vector<Balloon>& Balloons() const { return m_balloons; }

signals:
    void TrayClick(int code);

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
    bool m_shown = false;
    QString m_toolTip;
    QString m_iconFile;
    std::vector<Balloon> m_balloons;
};
