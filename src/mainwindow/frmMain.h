#pragma once
#include "core/Form.h"

#include <QMap>

class cFormMenu;
class cSysTray;
class QFrame;
class QLabel;

// False while the program runs; True from the first step of the main window's
// unload until the program ends (or the user decides to stay).
extern bool g_bExitApp;

// The main window: items lists, tools and the command dispatcher.
class CfrmMain : public Form {
    Q_OBJECT
public:
    CfrmMain();

    cFormMenu* m_cMenu = nullptr;
    cSysTray* cSysTray1 = nullptr;

    // The command dispatcher: every menu item, button, panel and tray item ends here.
    void m_cMenu_Click(int ItemNumber);
    void cSysTray1_TrayClick(int code);

    bool IsInTray() const { return m_bInTray; }

    // The title strip across the top.
    QFrame* picTitle = nullptr;
    QLabel* lblTitle = nullptr;

    // What the options dialog changes on the main window.
    void ListsFolderChanged();
    void ApplyViewOptions();
    void SetTitleBackColor(std::int32_t color);
    void SetTitleTextColor(std::int32_t color);
    // Lays the window out again from the view settings.
    void Form_Resize();

    // ---- Notes digest and status panels ----
    // "Notes [ <the notes on one line, cut to 35 characters> ]", or "Notes [ Empty ]".
    QString GetNotesToStatus();
    // The status bar's panel texts by key ("Main", "Items List Properties", "Notes", ...).
    void SetStatusPanelText(const QString& key, const QString& text);
    QString StatusPanelText(const QString& key) const;
    // ---- end of notes digest and status panels ----

    // ==== Window life, menus, dispatcher, toolbars, status bar, tray, layout ====
    // ==== end of window life ====

    // ==== Items lists: grid, tree, list files, adding files, row operations, totals ====
    // ==== end of items lists ====

    // ==== Job tools: hand-over, naming and placeholder procedures ====
    // ==== end of job tools ====

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_Terminate() override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    void GoToTray();
    void RestoreFromTray();
    void SetTrayCaption(const QString& caption);

    bool m_bInTray = false;
    QLabel* lblWelcome = nullptr;
    QMap<QString, QString> m_statusPanels;

    // ==== private: window life, menus, toolbars, layout ====
    // ==== end of private: window life ====

    // ==== private: items lists ====
    // Creates the controls of the items lists (grid, tree, info panel...); the layout places them.
    void CreateListControls();
    // ==== end of private: items lists ====

    // ==== private: job tools ====
    // ==== end of private: job tools ====
};

extern DefaultInstance<CfrmMain> frmMain;
