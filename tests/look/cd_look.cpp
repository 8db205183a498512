// Not a test: the main window of an edition with the CD tools, to look at the
// CD drives and the CD Ripper window under Xvfb. This edition has them
// switched off; here they are switched on before the windows load.
//
//   cd_look --write-disc DIR     writes the tests' disc image DIR/disc.cue
//   TARVELLO_CD_IMAGES=DIR/disc.cue cd_look [ripper]
//                                opens the first audio CD; with "ripper" the
//                                Audio CD Ripper command runs on it
#include "controls/PopupMenu.h"
#include "core/Edition.h"
#include "mainwindow/frmMain.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/CdImage.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == "--write-disc") {
        QDir().mkpath(args.value(1));
        std::printf("%s\n", qPrintable(support::WriteTestDisc(args.value(1)).cue));
        return 0;
    }
    app.setQuitOnLastWindowClosed(false);
    SetEditionModes();
    lAppIncCDRipper = 1;
    lAppIncListsTree = 1;
    frmOptions.get();
    g_frmAudioProp.get();
    CfrmMain* main = frmMain.get();
    main->Show();
    main->OpenFirstAudioCD();
    if (args.contains("ripper"))
        QTimer::singleShot(500, main, [main] { main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio CD Ripper")); });
    return app.exec();
}
