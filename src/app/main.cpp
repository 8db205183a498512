#include "core/mdlMain.h"
#include "mainwindow/frmMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The program ends when the main window unloads, not when its last window hides.
    app.setQuitOnLastWindowClosed(false);
    if (!StartAsTheRunningProgram()) return 0;
    Main();
    if (!frmMain.IsLoaded()) return 0;
    RunLaterStartsCommandLines();
    return app.exec();
}
