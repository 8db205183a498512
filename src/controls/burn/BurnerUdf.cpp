// The UDF bridge disc: libisofs writes no UDF, so genisoimage makes the
// image (ISO 9660 with Rock Ridge, Joliet names when asked, and UDF 1.02),
// run as a child process with an argument list.
#include "controls/burn/BurnerEngine.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace burnengine {

namespace {

constexpr const char* kUdfMaker = "genisoimage";
constexpr int kIsoVolumeChars = 32;
constexpr std::int64_t kSectorBytes = 2048;

// "name=path" for genisoimage's graft points: the entry at the root of the
// disc, a folder with everything in it. '\' and '=' in the name are escaped.
QString GraftPoint(const QString& path)
{
    const QFileInfo info(path);
    QString name = info.fileName();
    name.replace('\\', "\\\\").replace('=', "\\=");
    if (info.isDir()) name += '/';
    return name + '=' + info.absoluteFilePath();
}

// The arguments before the output: "-print-size", or "-o image".
QStringList UdfArguments(const DataBurnRequest& r, const QStringList& output)
{
    // Rock Ridge with files readable, not executable.
    QStringList args{"-udf", "-r", "-file-mode", "0444", "-input-charset", "utf-8", "-output-charset", "utf-8"};
    if (r.joliet) args << "-J" << "-joliet-long";
    if (!r.volume.isEmpty()) args << "-V" << r.volume.left(kIsoVolumeChars);
    if (!r.publisher.isEmpty()) args << "-publisher" << r.publisher;
    if (!r.application.isEmpty()) args << "-A" << r.application;
    args << output << "-graft-points";
    for (const QString& path : r.files) args << GraftPoint(path);
    return args;
}

// "  3.40% done, estimate finish ...": what genisoimage says as it writes.
int DonePercent(const QString& line)
{
    static const QRegularExpression done(R"(^\s*(\d+)(?:\.\d+)?% done)");
    const QRegularExpressionMatch m = done.match(line);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A write that failed for want of room, in the C locale genisoimage is run
// in: ENOSPC, EDQUOT, EFBIG (a file size limit).
bool SaysTheDiskIsFull(const QString& said)
{
    for (const char* text : {"No space left on device", "Disk quota exceeded", "File too large"})
        if (said.contains(QLatin1String(text))) return true;
    return false;
}

// Runs genisoimage with the arguments to its end; its standard output, and
// what it said on standard error but its progress lines, which go to `progress`.
Status RunMaker(const QStringList& args, const std::atomic<bool>& abort, const std::function<void(int)>& progress,
                QByteArray* out, QString* said)
{
    const QString program = QStandardPaths::findExecutable(kUdfMaker);
    if (program.isEmpty())
        return Fail(kBurnErrNotInstalled,
                    QString("UDF discs need %1, which is not installed (Debian package genisoimage).").arg(kUdfMaker));
    QProcess maker;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C"); // messages in English, whatever the user's language
    maker.setProcessEnvironment(env);
    maker.setReadChannel(QProcess::StandardError);
    maker.start(program, args);
    if (!maker.waitForStarted())
        return Fail(kBurnErrNotInstalled, QString("%1 cannot be started: %2").arg(kUdfMaker, maker.errorString()));
    QStringList lines;
    auto readLines = [&](bool all) {
        while (maker.canReadLine() || (all && maker.bytesAvailable() > 0)) {
            const QString line = QString::fromLocal8Bit(maker.canReadLine() ? maker.readLine() : maker.readAll()).trimmed();
            if (const int percent = DonePercent(line); percent >= 0) {
                if (progress) progress(percent);
            } else if (!line.isEmpty()) {
                lines << line;
            }
        }
    };
    for (bool finished = false; !finished;) {
        finished = maker.waitForFinished(100);
        readLines(finished);
        if (!finished && abort) {
            maker.kill();
            maker.waitForFinished();
            return Fail(kBurnErrAborted, "The burn was aborted.");
        }
    }
    *out = maker.readAllStandardOutput();
    *said = lines.join('\n');
    if (maker.exitStatus() == QProcess::NormalExit && maker.exitCode() == 0) return {};
    return Fail(kBurnErrSource, "The disc's UDF file system cannot be built" + (said->isEmpty() ? "." : ": " + *said));
}

} // namespace

Status UdfImageSize(const DataBurnRequest& request, const std::atomic<bool>& abort, std::int64_t* bytes)
{
    QByteArray out;
    QString said;
    const Status s = RunMaker(UdfArguments(request, {"-quiet", "-print-size"}), abort, {}, &out, &said);
    if (!s.ok()) return s;
    bool ok = false;
    *bytes = out.trimmed().toLongLong(&ok) * kSectorBytes;
    if (!ok) return Fail(kBurnErrSource, QString("%1 did not say the size of the disc's image.").arg(kUdfMaker));
    return {};
}

Status MakeUdfImage(const DataBurnRequest& request, const QString& image, const std::atomic<bool>& abort,
                    const std::function<void(int)>& progress)
{
    QByteArray out;
    QString said;
    // -gui: a progress line every 500 sectors, not every 5,000.
    const Status s = RunMaker(UdfArguments(request, {"-gui", "-o", image}), abort, progress, &out, &said);
    if (s.ok() || s.code != kBurnErrSource || !SaysTheDiskIsFull(said)) return s;
    return Fail(kBurnErrWrite, "The disk is full: " + QFileInfo(image).absolutePath());
}

} // namespace burnengine
