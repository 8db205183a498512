// The Audio Converter's job against a shell loop of the oggenc command line.
//
// Run from the build tree: build/<dir>/bench/job_bench [--runs N] [--files F] [--seconds S] [--short]
// Generates F music-like 44.1 kHz stereo WAV files of S seconds (20 of 30 by
// default), then N times each (3 by default), alternating: converts them all
// to OGG at quality 50 through the converter window (offscreen, its queue,
// log and progress as a user's job runs them), and converts them with a
// `sh` loop of `oggenc -q 5`, the same quality with the Vorbis reference
// encoder (the faster of the command-line peers; ffmpeg's libvorbis is
// slower). --short: 3 files of 5 s, one run.
// Prints both medians; the last line reads "job_ratio=R" (ours / oggenc's).
#include "AudioBenchSupport.h"
#include "controls/audio/AudioConverter.h"
#include "controls/widgets/WindowWidgets.h"
#include "conversion/frmConverter.h"
#include "core/Edition.h"
#include "core/RegistryRoutines.h"
#include "lists/ItemRows.h"
#include "platform/AppInfo.h"
#include "settings/StoredControls.h"
#include "settings/mdlOptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace bench;

qint64 FolderBytes(const QString& folder)
{
    qint64 total = 0;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files)) total += f.size();
    return total;
}

// A settings key for the program in a temporary folder, nothing ticked at the end of a job.
void PrepareProgram(const QString& folder)
{
    QDir().mkpath(folder + "/app/Main");
    platform::SetAppPath(folder + "/app");
    qputenv("TARVELLO_REGISTRY_DIR", (folder + "/registry").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (folder + "/config").toLocal8Bit());
    SetEditionModes();
    RegistryRoutines reg;
    reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
    reg.KeyRoot = "SOFTWARE\\" + g_sAppCompany + "\\" + g_sAppName;
    for (const char* section : {"General", "Events", "ID3 Tags"}) reg.CreateKey(QString(section));
    g_OGGSettings = {-1, 50, 0, 128, 0};
}

// The whole job in the converter window; seconds, or -1 when an item failed.
double RunWindow(const QStringList& sources, const QString& outFolder)
{
    CfrmConverter* w = g_frmConverter.get();
    w->txtToPath->setEditText(outFolder);
    w->cboTargetFormat->setCurrentText("OGG - Ogg Media Format (*.ogg)");
    w->cboFileName->setCurrentText("[file_name].[dest_extension]");
    for (QCheckBox* box : {w->chkPlaySound, w->chkOpenDestFolder, w->chkNoticeApp, w->chkTurnOffComputer})
        SetCheckValue(box, 0);
    SetCheckValue(w->chkOverWrite, 1);
    for (int i = 0; i < sources.size(); ++i) {
        w->cGrid1->CellDetails(i + 1, kColItemName, QFileInfo(sources[i]).fileName());
        w->cGrid1->SetCellText(i + 1, kColFile, sources[i]);
        w->cGrid1->SetCellText(i + 1, kColRangeAll, "1");
    }
    QElapsedTimer timer;
    timer.start();
    w->cmdConvert_Click();
    while (!w->cmdConvert->isEnabled()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const bool failed = w->g_bConvertError;
    if (failed) std::fprintf(stderr, "%s\n", qPrintable(w->txtLog->toPlainText()));
    w->Unload();
    QCoreApplication::processEvents();
    return failed ? -1 : seconds;
}

double RunOggencLoop(const QString& sourceFolder, const QString& outFolder)
{
    const QString loop = "for f in \"$1\"/*.wav; do n=$(basename \"$f\" .wav); "
                         "oggenc -Q -q 5 -o \"$2/$n.ogg\" \"$f\" || exit 1; done";
    return TimeProgram("sh", {"-c", loop, "sh", sourceFolder, outFolder});
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const QStringList args = app.arguments();
    const bool brief = ShortMode(args);
    const int runs = std::max(1, IntOption(args, "--runs", brief ? 1 : 3));
    const int files = std::max(1, IntOption(args, "--files", brief ? 3 : 20));
    const int seconds = std::max(1, IntOption(args, "--seconds", brief ? 5 : 30));
    if (!HaveTools({"ffmpeg", "oggenc"})) return 1;
    QTemporaryDir dir;
    PrepareProgram(dir.path());
    const QString sourceFolder = dir.filePath("sources");
    QDir().mkpath(sourceFolder);
    QStringList sources;
    for (int n = 1; n <= files; ++n) {
        sources << QString("%1/track%2.wav").arg(sourceFolder).arg(n, 2, 10, QChar('0'));
        if (!MakeSource(sources.last(), seconds, n)) return 1;
    }
    std::printf("sources: %d files of %d s, 44100 Hz, stereo, 16 bit; OGG quality 50 (oggenc -q 5); %d runs each\n",
                files, seconds, runs);

    std::vector<double> ours, theirs;
    for (int r = 0; r < runs; ++r) {
        const QString oursOut = dir.filePath(QString("ours%1").arg(r)) + "/";
        const QString theirsOut = dir.filePath(QString("oggenc%1").arg(r));
        QDir().mkpath(oursOut);
        QDir().mkpath(theirsOut);
        const double a = RunWindow(sources, oursOut);
        const double b = RunOggencLoop(sourceFolder, theirsOut);
        if (a < 0 || b < 0) return 1;
        ours.push_back(a);
        theirs.push_back(b);
        std::printf("run %d: converter window %.3f s (%lld bytes), oggenc loop %.3f s (%lld bytes)\n", r + 1, a,
                    FolderBytes(oursOut), b, FolderBytes(theirsOut));
    }
    const double ratio = Median(ours) / Median(theirs);
    std::printf("median: converter window %.3f s (%.0fx real time), oggenc loop %.3f s\n", Median(ours),
                files * seconds / Median(ours), Median(theirs));
    std::printf("job_ratio=%.3f\n", ratio);
    return 0;
}
