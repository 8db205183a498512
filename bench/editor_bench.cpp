// The audio editor control on a long file.
//
// Run from the build tree: build/<dir>/bench/editor_bench [--minutes M] [--short]
// Writes a 44.1 kHz stereo 16-bit wave file of M minutes (60 by default,
// about 635 MB, in the system's temporary folder; the file is then in the
// page cache, as a file just converted or recorded is), shows the editor
// 1600 pixels wide offscreen, and measures
// - open: from LoadFile until the waveform of the whole file is drawn;
// - zoom: from Zoom, with 10 seconds selected by the mouse, until the
//   waveform of the selection is drawn (the median of 9 selections).
// Prints "open_60min_ms=N" (with another length: open_<M>min_ms) and
// "zoom_ms=N"; the targets are 1,500 ms and 50 ms. --short: 3 minutes, to
// see that it runs.
#include "AudioBenchSupport.h"
#include "controls/widgets/AudioEditor.h"
#include "controls/audio/WaveFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kWidth = 1600;

bool WriteLongWave(const QString& path, int minutes)
{
    // One second of noise at varying loudness, repeated: real samples on disk.
    QByteArray second(kRate * 4, '\0');
    QRandomGenerator random(11);
    auto* samples = reinterpret_cast<std::int16_t*>(second.data());
    for (int i = 0; i < kRate * 2; ++i)
        samples[i] = std::int16_t((int(random.bounded(65536)) - 32768) * (i % 9000) / 9000);
    wavefile::Writer out;
    if (!out.Create(path, {2, kRate, 16}).ok()) return false;
    for (int s = 0; s < minutes * 60; ++s)
        if (!out.Append(second.constData(), second.size())) return false;
    return out.Commit().ok();
}

// Runs the event loop until the editor says its waveform is ready, then draws it.
double UntilDrawn(cAudioEditor& editor, const std::function<void()>& start)
{
    QEventLoop loop;
    QObject::connect(&editor, &cAudioEditor::WaveformReady, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    start();
    if (!editor.ShownPeaks()) loop.exec();
    editor.repaint();
    return double(timer.nsecsElapsed()) / 1e6;
}

void Drag(cAudioEditor& editor, double x0, double x1)
{
    for (auto [type, x] : {std::pair{QEvent::MouseButtonPress, x0}, std::pair{QEvent::MouseMove, x1},
                           std::pair{QEvent::MouseButtonRelease, x1}}) {
        QMouseEvent e(type, QPointF(x, 100), QPointF(x, 100), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&editor, &e);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int minutes = std::max(1, bench::IntOption(args, "--minutes", bench::ShortMode(args) ? 3 : 60));

    QTemporaryDir dir;
    const QString path = dir.filePath("long.wav");
    if (!WriteLongWave(path, minutes)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    cAudioEditor editor;
    editor.resize(kWidth, 300);
    editor.show();
    QCoreApplication::processEvents();
    const double openMs = UntilDrawn(editor, [&] { editor.LoadFile(path); });
    QCoreApplication::processEvents();

    // Ten seconds at this width is a few pixels: the mouse gives fractions.
    const double tenSeconds = double(kWidth) * 10.0 / (minutes * 60.0);
    std::vector<double> zooms;
    for (int i = 0; i < 9; ++i) {
        const double x0 = 100.0 + i * 150.0;
        Drag(editor, x0, x0 + tenSeconds);
        zooms.push_back(UntilDrawn(editor, [&] { editor.Zoom(); }));
        editor.RestoreZoom();
        QCoreApplication::processEvents();
    }
    std::sort(zooms.begin(), zooms.end());

    std::printf("open_%dmin_ms=%.0f\n", minutes, openMs);
    std::printf("zoom_ms=%.1f\n", zooms[zooms.size() / 2]);
    return 0;
}
