#pragma once
#include "core/Form.h"

class cFormMenu;
class cSysTray;
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
};

extern DefaultInstance<CfrmMain> frmMain;
