#include "core/Paths.h"
#include "core/mdlMain.h"
#include "mainwindow/frmMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The program ends when the main window unloads, not when its last window hides.
    app.setQuitOnLastWindowClosed(false);
    // An installed program keeps each user's lists and settings in a folder of his own.
    SetUpProgramFolder(QCoreApplication::applicationDirPath());
    Main();
    if (!frmMain.IsLoaded()) return 0;
    return app.exec();
}
