#include "mainwindow/frmMain.h"

#include "controls/PopupMenu.h"
#include "controls/WindowWidgets.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/TextFiles.h"
#include "core/frmNotes.h"
#include "core/WindowProcedures.h"
#include "core/mdlMain.h"
#include "platform/AppInfo.h"
#include "platform/VbCompat.h"
#include "core/Skin.h"
#include "settings/mdlOptions.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

bool g_bExitApp = false;
DefaultInstance<CfrmMain> frmMain;

CfrmMain::CfrmMain() : Form("frmMain")
{
    resize(900, 600);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    picTitle = new QFrame(this);
    picTitle->setFixedHeight(platform::TwipsToPixels(375));
    lblTitle = new QLabel(picTitle);
    lblTitle->setGeometry(10, 0, 600, picTitle->height());
    layout->addWidget(picTitle);
    lblWelcome = new QLabel(this);
    lblWelcome->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblWelcome);
    CreateListControls();
}

void CfrmMain::Form_Load()
{
    g_bExitApp = false;
    setWindowTitle(g_sAppName + " " + g_sAppVersion);
    SetFormIcon32(this, "AAA", true);
    lblWelcome->setText(g_sAppName + " " + g_sAppVersion + "\n" + g_sAppDescription);
    lblTitle->setText(g_sAppName + " " + g_sAppVersion);
    SetTitleBackColor(g_lColor);
    SetTitleTextColor(g_lTextColor);
    Form_Resize();
    BuildMenus();

    cSysTray1 = new cSysTray(this);
    cSysTray1->AddIcon();
    cSysTray1->SetToolTip(g_sAppName + " " + g_sAppVersion);
    cSysTray1->SetIconFile(platform::AppPath() + "/SysIcon/systrayicon.ico");
    connect(cSysTray1, &cSysTray::TrayClick, this, &CfrmMain::cSysTray1_TrayClick);
}

void CfrmMain::BuildMenus()
{
    m_cMenu = new cFormMenu(this);
    m_cMenu->Attach(this);
    int mode = m_cMenu->AddItem("Mode", "", 0, 0, -1, false, true, "Mode");
    m_cMenu->AddItem("Go to SysTray", "", 0, mode, -1, false, true, "GoSysTray");
    m_cMenu->AddItem("Exit", "", 0, mode, -1, false, true, "Exit");
    m_cMenu->SetVisible(mode, false);
    int tray = m_cMenu->AddItem("mnuSysTry", "", 0, 0, -1, false, true, "mnuSysTry");
    m_cMenu->AddItem("Hide", "", 0, tray, -1, false, true, "RC Open");
    m_cMenu->AddItem(QString("Exit") + QString(22, ' '), "", 0, tray, -1, false, true, "RC Exit");
    m_cMenu->SetVisible(tray, false);
    connect(m_cMenu, &cFormMenu::Click, this, &CfrmMain::m_cMenu_Click);
}

void CfrmMain::m_cMenu_Click(int ItemNumber)
{
    const QString key = m_cMenu->ItemKey(ItemNumber);
    if (key.isEmpty()) return;
    if (key == "GoSysTray") {
        GoToTray();
    } else if (key == "RC Open") {
        cSysTray1_TrayClick(1);
    } else if (key == "Exit" || key == "RC Exit") {
        Unload();
    }
}

void CfrmMain::cSysTray1_TrayClick(int code)
{
    if (code == 1) {
        if (isMinimized() && m_bInTray)
            RestoreFromTray();
        else
            GoToTray();
    } else if (code == 2) {
        QPoint at = QCursor::pos();
        m_cMenu->ShowPopupAtCursor(at.x(), at.y(), m_cMenu->IndexForKey("RC Open"), -1);
    }
}

void CfrmMain::GoToTray()
{
    m_bInTray = true;
    SetTrayCaption("Show");
    showMinimized();
    // Without a tray to come back from, the window stays minimised on the task bar.
    if (cSysTray::IsAvailable()) hide();
}

void CfrmMain::RestoreFromTray()
{
    m_bInTray = false;
    SetTrayCaption("Hide");
    showNormal();
    activateWindow();
}

void CfrmMain::SetTrayCaption(const QString& caption)
{
    if (m_cMenu) m_cMenu->SetCaption(m_cMenu->IndexForKey("RC Open"), caption);
}

void CfrmMain::changeEvent(QEvent* event)
{
    Form::changeEvent(event);
    // Restored from the task bar while marked as in the tray: the mark goes.
    if (event->type() == QEvent::WindowStateChange && m_bInTray && !isMinimized() && isVisible()) {
        m_bInTray = false;
        SetTrayCaption("Hide");
    }
}

void CfrmMain::Form_Unload(int& Cancel)
{
    g_bExitApp = true;
    for (Form* f : Form::Forms())
        if (f != this) f->Unload();
    if (cSysTray1) cSysTray1->RemoveIcon();
    QApplication::quit();
}

void CfrmMain::ListsFolderChanged() {}

void CfrmMain::ApplyViewOptions() { Form_Resize(); }

void CfrmMain::SetTitleBackColor(std::int32_t color) { SetBackColor(picTitle, ColorFromNumber(color)); }

void CfrmMain::SetTitleTextColor(std::int32_t color) { SetForeColor(lblTitle, ColorFromNumber(color)); }

void CfrmMain::Form_Resize()
{
    if (isMinimized()) return;
    picTitle->setVisible(g_bDisplayTitle);
}

void CfrmMain::Form_Terminate() { SetNoCrashDialog(); }

// ---- Notes digest and status panels ----

QString CfrmMain::GetNotesToStatus()
{
    if (FileExists(NotesFile())) {
        QString text = ReadTextFile(NotesFile());
        if (!text.isEmpty() && text != kCrLf) {
            text.replace(kCrLf, " ");
            if (text.size() < 37) return "Notes [ " + text + " ]";
            return "Notes [ " + text.left(35) + "..." + " ]";
        }
    }
    return "Notes [ Empty ]";
}

void CfrmMain::SetStatusPanelText(const QString& key, const QString& text) { m_statusPanels[key] = text; }

QString CfrmMain::StatusPanelText(const QString& key) const { return m_statusPanels.value(key); }

// ---- end of notes digest and status panels ----
