#pragma once
// Helpers for the conversion control's tests: generated WAV sources, running
// a conversion to its end, decoding outputs back through FFmpeg, and the
// outside programs that check our files when they are installed.
#include "controls/audio/AudioConverter.h"
#include "controls/audio/AudioJoin.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMap>
#include <QObject>
#include <QTimer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace audiotest {

// A generated source: per channel a sine (or white noise when frequency is
// 0), amplitude by second of the file.
struct Signal {
    double frequency = 440.0;
    std::vector<double> amplitudeBySecond{0.5}; // the last value holds on
};

void WriteWav(const QString& path, int sampleRate, int channels, int bits, double seconds,
              const Signal& signal = Signal{});
// A 128 kbit/s MP3 of a 44.1 kHz stereo sine, made by the conversion control
// from a WAV written beside it (`path` & ".wav"); false when that failed.
bool WriteMp3(const QString& path, double seconds, const Signal& signal = Signal{660, {0.5}});
// A 44.1 kHz stereo 16-bit WAV holding `seconds` whose header declares a
// data chunk of `declaredBytes` (0 and 0xFFFFFFFF: a length not known).
void WriteWavDeclaring(const QString& path, double seconds, quint32 declaredBytes);
inline constexpr quint32 kTenSecondsOfWav = 10 * 44100 * 4;

// What FFmpeg reads back from a file.
struct Decoded {
    bool ok = false;
    QString container, codec;
    int sampleRate = 0, channels = 0;
    std::int64_t samples = 0;
    int maxFrame = 0;            // largest decoded frame, in samples
    double rms = 0;              // over all samples and channels, full scale 1.0
    QMap<QString, QString> tags; // container and stream tags, keys in lower case
    std::vector<float> pcm;      // interleaved samples, when asked for
};
Decoded Decode(const QString& path, bool keepSamples = false);

// The end of one job of a control (a conversion, a rip) as the window sees it.
struct JobEvents {
    std::vector<std::int32_t> progress;
    QStringList endings; // "Done", "Aborted", "Error"
    std::int32_t errorCode = 0;
    QString errorText;
    bool eventBeforeReturn = false; // an event arrived before the start call returned
};
using ConvertEvents = JobEvents;

// Starts a control's job and runs the event loop until it has ended, then
// lets any further queued events arrive. `onProgress` may act on the control.
template <class Control>
JobEvents RunJob(Control& c, void (Control::*start)(), void (Control::*progress)(std::int32_t),
                 void (Control::*done)(), void (Control::*aborted)(),
                 void (Control::*error)(std::int32_t, const QString&),
                 const std::function<void(std::int32_t)>& onProgress = {})
{
    JobEvents ev;
    QEventLoop loop;
    QObject context;
    auto ended = [&](const QString& how) {
        ev.endings << how;
        loop.quit();
    };
    QObject::connect(&c, progress, &context, [&](std::int32_t p) {
        ev.progress.push_back(p);
        if (onProgress) onProgress(p);
    });
    QObject::connect(&c, done, &context, [&] { ended("Done"); });
    QObject::connect(&c, aborted, &context, [&] { ended("Aborted"); });
    QObject::connect(&c, error, &context, [&](std::int32_t code, const QString& text) {
        ev.errorCode = code;
        ev.errorText = text;
        ended("Error");
    });
    (c.*start)();
    ev.eventBeforeReturn = !ev.progress.empty() || !ev.endings.isEmpty();
    QTimer::singleShot(120000, &loop, [&] { ended("Timeout"); }); // a safety net, not a measure
    if (ev.endings.isEmpty()) loop.exec();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
    return ev;
}

// Runs Convert to its end (RunJob).
ConvertEvents RunConvert(cAudioConverter& c, const std::function<void(std::int32_t)>& onProgress = {});

// The end of one join as the window sees it.
struct JoinEvents {
    std::int32_t started = -1;                                   // what Join returned
    std::vector<std::pair<std::int32_t, std::int32_t>> progress; // (file, percent)
    QStringList endings;                                         // "Done", "Aborted", "Error"
    std::int32_t errorCode = 0;
    QString errorText;
    bool eventBeforeReturn = false;
};
// Runs Join and the event loop until the join has ended, then lets any
// further queued events arrive. `onProgress` may act on the control.
JoinEvents RunJoin(cAudioJoin& j, const std::function<void(std::int32_t file, std::int32_t percent)>& onProgress = {});

// An outside program's run; ok is false when it is not installed.
struct ToolRun {
    bool ok = false;
    int exitCode = -1;
    QString out;
};
ToolRun RunTool(const QString& program, const QStringList& args);
bool HaveTool(const QString& program);
// Encodes the file `in` into `out` with the command line of "ffmpeg", "lame"
// or "oggenc" and the tool's options besides its input and output; false
// when the tool is missing or fails.
bool EncodeWith(const QString& tool, const QStringList& options, const QString& in, const QString& out);
// ffprobe's value of one stream entry ("codec_name", "sample_rate", "channels").
QString ProbeStream(const QString& path, const QString& entry);
// ffprobe's length of the file in seconds; -1 when it cannot tell.
double ProbeDuration(const QString& path);
// ffprobe's view of a file's first audio stream and length, in one run; ok
// is false when ffprobe is missing or cannot read the file.
struct Probe {
    bool ok = false;
    QString codec;
    int sampleRate = 0, channels = 0;
    double duration = -1; // seconds
};
Probe ProbeFile(const QString& path);
// The number of sample frames the ffmpeg program decodes from the file; -1
// when ffmpeg is missing or cannot decode it.
std::int64_t FfmpegDecodedSamples(const QString& path);
// A Python that can import mutagen; empty when there is none.
QString MutagenPython();

void WriteFile(const QString& path, const QByteArray& content);
// The file's bytes; empty when it cannot be read.
QByteArray ReadFile(const QString& path);

// Temporary files the control leaves in a folder (there should be none).
QStringList LeftoverTempFiles(const QString& folder);

// A folder this process cannot write into while the object lives: read-only
// permissions, or, for root whom permissions do not bind, the immutable
// attribute. Locked() is false where neither works.
class LockedFolder {
public:
    explicit LockedFolder(const QString& path);
    ~LockedFolder();
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;
    bool Locked() const;

private:
    QString m_path;
    bool m_immutable = false;
};

// A temporary folder per test, and a control with default settings.
class ConverterTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Wav(const QString& name, int rate, int channels, int bits, double seconds, const Signal& s = Signal{})
    {
        WriteWav(Path(name), rate, channels, bits, seconds, s);
        return Path(name);
    }
    void TearDown() override { EXPECT_TRUE(LeftoverTempFiles(dir.path()).isEmpty()); }

    QTemporaryDir dir;
    cAudioConverter conv;
};

} // namespace audiotest
