// The UDF bridge disc: libisofs writes no UDF, so genisoimage makes the
// image (ISO 9660 with Rock Ridge, Joliet names when asked, and UDF 1.02),
// run as a child process with an argument list.
#include "controls/burn/BurnerEngine.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace burnengine {

namespace {

constexpr const char* kUdfMaker = "genisoimage";
constexpr int kIsoVolumeChars = 32;

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

QStringList UdfArguments(const DataBurnRequest& r, const QString& image)
{
    // Rock Ridge with files readable, not executable.
    QStringList args{"-quiet", "-udf", "-r", "-file-mode", "0444", "-input-charset", "utf-8", "-output-charset", "utf-8"};
    if (r.joliet) args << "-J" << "-joliet-long";
    if (!r.volume.isEmpty()) args << "-V" << r.volume.left(kIsoVolumeChars);
    if (!r.publisher.isEmpty()) args << "-publisher" << r.publisher;
    if (!r.application.isEmpty()) args << "-A" << r.application;
    args << "-o" << image << "-graft-points";
    for (const QString& path : r.files) args << GraftPoint(path);
    return args;
}

} // namespace

Status MakeUdfImage(const DataBurnRequest& request, const QString& image, const std::atomic<bool>& abort)
{
    const QString program = QStandardPaths::findExecutable(kUdfMaker);
    if (program.isEmpty())
        return Fail(kBurnErrNotInstalled,
                    QString("UDF discs need %1, which is not installed (Debian package genisoimage).").arg(kUdfMaker));
    QProcess maker;
    maker.setProcessChannelMode(QProcess::SeparateChannels);
    maker.setStandardOutputFile(QProcess::nullDevice());
    maker.start(program, UdfArguments(request, image));
    if (!maker.waitForStarted())
        return Fail(kBurnErrNotInstalled, QString("%1 cannot be started: %2").arg(kUdfMaker, maker.errorString()));
    while (!maker.waitForFinished(100)) {
        if (abort) {
            maker.kill();
            maker.waitForFinished();
            return Fail(kBurnErrAborted, "The burn was aborted.");
        }
    }
    if (maker.exitStatus() == QProcess::NormalExit && maker.exitCode() == 0) return {};
    const QString said = QString::fromLocal8Bit(maker.readAllStandardError()).trimmed();
    return Fail(kBurnErrSource, "The disc's UDF file system cannot be built" + (said.isEmpty() ? "." : ": " + said));
}

} // namespace burnengine
