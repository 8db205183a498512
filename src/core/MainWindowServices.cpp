#include "core/MainWindowServices.h"

bool g_bExitApp = false;

namespace {
MainWindowServices* g_mainWindow = nullptr;
}

MainWindowServices::~MainWindowServices()
{
    if (g_mainWindow == this) g_mainWindow = nullptr;
}

MainWindowServices* MainWindow() { return g_mainWindow; }

void SetMainWindow(MainWindowServices* window) { g_mainWindow = window; }

bool MainWindowServices::IsMainNode(const QString& key) { return key.startsWith("##MAIN"); }

bool MainWindowServices::IsCDNode(const QString& key) { return key.left(4) == "##CD"; }

QString MainWindowServices::GetCDNameNode(const QString& key) { return key.mid(4, 2); }
