// Opens an items list of 10,000 rows of generated short WAV files (each file
// read for its length, size, date and tags). Prints first how long reading
// the same files' facts alone takes (read_facts_10000_files_ms=R), then, on
// the last line, open_10000_rows_ms=N.
#include "ListsBenchSupport.h"

#include "controls/AudioConverter.h"
#include "controls/WindowWidgets.h"
#include "core/FileSystem.h"
#include "mainwindow/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    listsbench::SetUpProgram(dir);
    const QStringList paths = listsbench::MakeWavFiles(dir, 10000);
    if (paths.size() != 10000) {
        std::fprintf(stderr, "could not write the WAV files\n");
        return 1;
    }
    QString text;
    for (const QString& path : paths)
        text += "<ITEM><Inc>1</Inc><Type>Audio</Type><Item Name>" + path.section('/', -1) +
                "</Item Name><COL_FILE>" + path +
                "</COL_FILE><COL_RANGE_ALL>1</COL_RANGE_ALL><COL_RANGE_START_TIME></COL_RANGE_START_TIME>"
                "<COL_RANGE_LENGTH_TIME></COL_RANGE_LENGTH_TIME><COL_TAG_ALBUM></COL_TAG_ALBUM>"
                "<COL_TAG_ARTIST></COL_TAG_ARTIST><COL_TAG_COMMENT></COL_TAG_COMMENT><COL_TAG_GEN></COL_TAG_GEN>"
                "<COL_TAG_YEAR></COL_TAG_YEAR><COL_TAG_TITLE></COL_TAG_TITLE><COL_TAG_TRACK></COL_TAG_TRACK></ITEM>";
    QFile list(g_sToPath + "Bench.flst");
    if (!list.open(QIODevice::WriteOnly) || list.write((text + "\r\n").toUtf8()) < 0) return 1;
    list.close();
    // Start-up opens this empty list first.
    QFile(g_sToPath + "A first.flst").open(QIODevice::WriteOnly);

    CfrmMain* main = frmMain.get();
    main->show();
    QApplication::processEvents();
    cTreeNode* bench = main->cTreeView1->Nodes()->Item(g_sToPath + "Bench.flst");
    if (!bench) return 1;

    // What the files' facts cost alone: the reader the list uses, as it uses it.
    QElapsedTimer timer;
    timer.start();
    {
        std::unique_ptr<cAudioConverter> reader = CreateAudioConverter();
        for (const QString& path : paths) {
            QFileInfo(path).size();
            GetFileCreatedDate(path);
            if (reader->OpenSourceFile(path) == 0 && g_bCopyID3FromSource) reader->ReadTags(path);
        }
    }
    std::printf("read_facts_10000_files_ms=%lld\n", static_cast<long long>(timer.elapsed()));

    timer.start();
    main->cTreeView1_NodeClick(bench);
    QApplication::processEvents();
    const qint64 ms = timer.elapsed();

    if (main->cGrid1->Rows() != 10000) {
        std::fprintf(stderr, "the grid holds %d rows\n", main->cGrid1->Rows());
        return 1;
    }
    std::printf("open_10000_rows_ms=%lld\n", static_cast<long long>(ms));
    listsbench::Close(main);
    return 0;
}
