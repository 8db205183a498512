// Not a test: the main window of an edition with the CD tools, to look at the
// CD drives and the CD Ripper window under Xvfb. This edition has them
// switched off; here they are switched on before the windows load.
//
//   cd_look --write-disc DIR     writes the tests' disc image DIR/disc.cue
//   TARVELLO_CD_IMAGES=DIR/disc.cue cd_look [ripper]
//                                opens the first audio CD; with "ripper" the
//                                Audio CD Ripper command runs on it
//   TARVELLO_CD_IMAGES=DIR/disc.cue cd_look freedb [slow]
//                                looks the CD up on a CDDB server of its own on
//                                127.0.0.1 (with "slow" the entry never comes)
#include "controls/cd/AudioCD.h"
#include "controls/widgets/PopupMenu.h"
#include "core/Edition.h"
#include "mainwindow/frmMain.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/CdImage.h"
#include "support/FakeCddbServer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Writing the image only writes files: no display is needed for it.
int WriteDisc(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = app.arguments().value(2);
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        std::fprintf(stderr, "cd_look --write-disc DIR: name a folder that can be made\n");
        return 2;
    }
    std::printf("%s\n", qPrintable(support::WriteTestDisc(folder).cue));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--write-disc") == 0) return WriteDisc(argc, argv);
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    app.setQuitOnLastWindowClosed(false);
    SetEditionModes();
    lAppIncCDRipper = 1;
    lAppIncListsTree = 1;
    frmOptions.get();
    g_frmAudioProp.get();
    std::unique_ptr<support::FakeCddbServer> server;
    if (args.contains("freedb")) {
        support::FakeCddbServer::Answers answers;
        answers.query = "200 rock 12000b04 The Band / First Light";
        const QStringList entry{"DTITLE=The Band / First Light", "TTITLE0=Dawn", "TTITLE1=Noon", "TTITLE2=Dusk",
                                "TTITLE3=Data"};
        answers.read = args.contains("slow") ? QByteArray()
                                             : support::CddbReadAnswer("rock", "12000b04", {{150, 375, 675, 825}, 13}, entry);
        server = std::make_unique<support::FakeCddbServer>(answers);
        SetFreeDBFactory([port = server->Port()] {
            auto control = std::make_unique<cFreeDB>();
            control->UseServer("127.0.0.1", port);
            return control;
        });
    }
    CfrmMain* main = frmMain.get();
    main->Show();
    // Once the first list has opened: a click on a node waits for that.
    main->RunAfterListLoad([main, ripper = args.contains("ripper"), lookup = server != nullptr] {
        main->OpenFirstAudioCD();
        if (ripper) main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio CD Ripper"));
        if (lookup) main->m_cMenu_Click(main->m_cMenu->IndexForKey("FreeDB"));
    });
    return app.exec();
}
