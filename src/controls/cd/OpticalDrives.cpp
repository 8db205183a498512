#include "controls/cd/OpticalDrives.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <mutex>

#include <cdio/cdio.h>
#include <cdio/logging.h>

namespace optical {

namespace {

constexpr int kMaxDrives = 23; // D: to Z:

std::mutex& Lock()
{
    static std::mutex mutex;
    return mutex;
}

// All three guarded by Lock().
std::optional<QStringList>& InjectedImages()
{
    static std::optional<QStringList> images;
    return images;
}

std::optional<ImageWriters>& InjectedWriters()
{
    static std::optional<ImageWriters> writers;
    return writers;
}

std::optional<std::vector<Drive>>& DriveList()
{
    static std::optional<std::vector<Drive>> drives;
    return drives;
}

QString ReadSysfs(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).simplified() : QString();
}

// "VENDOR MODEL" of a block device, from the kernel's description of it.
QString DeviceModel(const QString& device)
{
    const QString sys = "/sys/class/block/" + QFileInfo(device).fileName() + "/device/";
    return (ReadSysfs(sys + "vendor") + " " + ReadSysfs(sys + "model")).simplified();
}

QStringList MachineDevices()
{
    QuietLibcdio();
    QStringList devices;
    char** list = cdio_get_devices(DRIVER_DEVICE); // NULL when there is no drive
    if (!list) return devices;
    for (char** d = list; *d; ++d) {
        const QString path = QFileInfo(QFile::decodeName(*d)).canonicalFilePath(); // /dev/cdrom is /dev/sr0
        if (!path.isEmpty() && !devices.contains(path)) devices << path;
    }
    cdio_free_device_list(list);
    QCollator order;
    order.setNumericMode(true); // /dev/sr2 before /dev/sr10
    std::sort(devices.begin(), devices.end(), order);
    return devices;
}

QString AbsolutePath(const QString& path) { return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath(); }

QStringList EnvironmentImages()
{
    QStringList images;
    for (const QString& path : qEnvironmentVariable("TARVELLO_CD_IMAGES").split(':', Qt::SkipEmptyParts))
        images << AbsolutePath(path);
    return images;
}

ImageWriters EnvironmentWriters()
{
    return {AbsolutePath(qEnvironmentVariable("TARVELLO_AUDIO_CD_IMAGE")),
            AbsolutePath(qEnvironmentVariable("TARVELLO_DATA_DISC_IMAGE"))};
}

std::vector<Drive> BuildDriveList()
{
    std::vector<Drive> drives;
    auto add = [&drives](const QString& path, DriveKind kind, const QString& model) {
        if (path.isEmpty() || int(drives.size()) >= kMaxDrives) return;
        const QString letter = QString(QChar('D' + int(drives.size()))) + ":";
        drives.push_back({(letter + " " + path + " " + model).trimmed(), path, kind});
    };
    const bool injected = InjectedImages() || InjectedWriters();
    if (!injected)
        for (const QString& device : MachineDevices()) add(device, DriveKind::Device, DeviceModel(device));
    const QStringList images = injected ? InjectedImages().value_or(QStringList{}) : EnvironmentImages();
    for (const QString& cue : images) add(cue, DriveKind::DiscImage, {});
    const ImageWriters writers = injected ? InjectedWriters().value_or(ImageWriters{}) : EnvironmentWriters();
    add(writers.audioCue, DriveKind::AudioImageWriter, {});
    add(writers.dataImage, DriveKind::DataImageWriter, {});
    return drives;
}

} // namespace

std::vector<Drive> Drives()
{
    std::lock_guard<std::mutex> lock(Lock());
    if (!DriveList()) DriveList() = BuildDriveList();
    return *DriveList();
}

std::vector<Drive> DrivesOf(std::initializer_list<DriveKind> kinds)
{
    std::vector<Drive> chosen;
    for (const Drive& d : Drives())
        if (std::find(kinds.begin(), kinds.end(), d.kind) != kinds.end()) chosen.push_back(d);
    return chosen;
}

bool DriveByLetter(const QString& letter, Drive* drive)
{
    if (letter.isEmpty()) return false;
    for (const Drive& d : Drives())
        if (d.Letter() == letter.at(0).toUpper()) {
            *drive = d;
            return true;
        }
    return false;
}

void QuietLibcdio()
{
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler([](cdio_log_level_t, const char*) {}); });
}

QString MoveTray(const QString& device, bool open)
{
    QuietLibcdio();
    const QByteArray path = QFile::encodeName(device);
    const driver_return_code_t rc = open ? cdio_eject_media_drive(path.constData())
                                         : cdio_close_tray(path.constData(), nullptr);
    return rc == DRIVER_OP_SUCCESS ? QString() : QString::fromUtf8(cdio_driver_errmsg(rc));
}

void SetDiscImages(std::optional<QStringList> cueFiles)
{
    std::lock_guard<std::mutex> lock(Lock());
    if (cueFiles)
        for (QString& cue : *cueFiles) cue = AbsolutePath(cue);
    InjectedImages() = std::move(cueFiles);
    DriveList().reset();
}

void SetImageWriters(std::optional<ImageWriters> writers)
{
    std::lock_guard<std::mutex> lock(Lock());
    if (writers) *writers = {AbsolutePath(writers->audioCue), AbsolutePath(writers->dataImage)};
    InjectedWriters() = std::move(writers);
    DriveList().reset();
}

} // namespace optical
