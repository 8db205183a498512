// The writers: libburn and libisofs started once, which drives write which
// discs, what a writer holds, its tray, and a drive grabbed for a burn.
#include "controls/burn/BurnerLibburn.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <tuple>

#include <cstdint> // before libisofs.h
#include <libisofs/libisofs.h>

namespace burnengine {

using namespace burn;

namespace {

// libburn's drive scanning and grabbing, kept to one thread at a time.
std::mutex& LibburnLock()
{
    static std::mutex mutex;
    return mutex;
}

struct Libraries {
    bool ok = false;
    QString why;
};

const Libraries& StartOnce()
{
    static const Libraries libraries = [] {
        Libraries l;
        if (!iso_lib_is_compatible(iso_lib_header_version_major, iso_lib_header_version_minor,
                                   iso_lib_header_version_micro)) {
            l.why = "The installed libisofs is older than this program needs.";
            return l;
        }
        int major = 0, minor = 0, micro = 0;
        burn_version(&major, &minor, &micro);
        if (std::make_tuple(major, minor, micro) <
            std::make_tuple(burn_header_version_major, burn_header_version_minor, burn_header_version_micro)) {
            l.why = "The installed libburn is older than this program needs.";
            return l;
        }
        if (iso_init() < 0) {
            l.why = "libisofs cannot be started.";
            return l;
        }
        iso_set_msgs_severities(const_cast<char*>("NEVER"), const_cast<char*>("NEVER"), const_cast<char*>(""));
        iso_set_local_charset(const_cast<char*>("UTF-8"), 0); // file names are handed over as UTF-8
        if (!burn_initialize()) {
            l.why = "libburn cannot be started.";
            return l;
        }
        // Complaints are kept for the error texts, never printed.
        burn_msgs_set_severities(const_cast<char*>("SORRY"), const_cast<char*>("NEVER"), const_cast<char*>(""));
        l.ok = true;
        return l;
    }();
    return libraries;
}

// ---- Which machine drives write which discs, from the kernel's table of them.

struct Writes {
    bool cd = true, dvd = true;
};

std::map<QString, Writes> KernelWriteTable()
{
    std::map<QString, Writes> table;
    QFile f("/proc/sys/dev/cdrom/info");
    if (!f.open(QIODevice::ReadOnly)) return table;
    QStringList names;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const int colon = line.indexOf(':');
        if (colon < 0) continue;
        const QString key = line.left(colon).trimmed();
        const QStringList values = line.mid(colon + 1).split('\t', Qt::SkipEmptyParts);
        if (key == "drive name") {
            names = values;
            for (const QString& n : names) table["/dev/" + n] = Writes{false, false};
            continue;
        }
        for (int i = 0; i < values.size() && i < names.size(); ++i) {
            const bool yes = values[i].trimmed() == "1";
            Writes& w = table["/dev/" + names[i]];
            if (key == "Can write CD-R" || key == "Can write CD-RW") w.cd = w.cd || yes;
            if (key == "Can write DVD-R" || key == "Can write DVD-RAM") w.dvd = w.dvd || yes;
        }
    }
    return table;
}

bool DeviceWrites(const QString& device, Use use)
{
    static const std::map<QString, Writes> table = KernelWriteTable();
    const auto it = table.find(device);
    const Writes w = it == table.end() ? Writes{} : it->second; // a drive the kernel does not describe may write
    return use == Use::DataDisc ? w.cd || w.dvd : w.cd;
}

optical::DriveKind ImageWriterKind(Use use)
{
    return use == Use::AudioCD ? optical::DriveKind::AudioImageWriter : optical::DriveKind::DataImageWriter;
}

// ---- What a writer holds

} // namespace

std::int64_t FolderFreeBytes(const QString& folder)
{
    std::error_code error;
    const std::filesystem::space_info room = std::filesystem::space(QFile::encodeName(folder).toStdString(), error);
    if (error || room.available == std::uintmax_t(-1)) return kUnknownBytes;
    return std::int64_t(room.available);
}

namespace {

DiscFacts ImageWriterFacts(const optical::Drive& drive, Use use)
{
    DiscFacts f;
    const QFileInfo folder(QFileInfo(drive.path).absolutePath());
    if (!folder.isDir()) {
        f.state = "The folder of the image does not exist: " + folder.filePath();
        return f;
    }
    if (!folder.isWritable()) {
        f.state = "The folder of the image cannot be written: " + folder.filePath();
        return f;
    }
    f.loaded = f.writable = true;
    f.freeBytes = f.sizeBytes = use == Use::AudioCD ? kImageCDSectors * 2048 : FolderFreeBytes(folder.filePath());
    return f;
}

bool ProfileFits(int profile, Use use)
{
    return IsCDProfile(profile) || (use == Use::DataDisc && IsDVDProfile(profile));
}

QString MediaStateText(burn_disc_status status, int profile, Use use)
{
    switch (status) {
    case BURN_DISC_EMPTY: return "There is no disc in the drive.";
    case BURN_DISC_APPENDABLE:
    case BURN_DISC_FULL: return "The disc is not blank.";
    case BURN_DISC_BLANK:
        if (ProfileFits(profile, use)) return {};
        return use == Use::DataDisc ? "The disc is not a writable CD or DVD." : "The disc is not a CD-R or CD-RW.";
    default: return "The disc in the drive cannot be written.";
    }
}

// The drive's writing speeds for the disc it holds (KB/s, slowest first) and
// the disc's size in sectors as the drive reports it (0 unknown).
void ReadSpeeds(burn_drive* d, int profile, DiscFacts* f, std::int64_t* sizeSectors)
{
    burn_speed_descriptor* list = nullptr;
    if (burn_drive_get_speedlist(d, &list) <= 0 || !list) return;
    bool performance = false; // GET PERFORMANCE reports are the drive's own word for this disc
    for (burn_speed_descriptor* s = list; s; s = s->next) performance = performance || s->source == 2;
    for (burn_speed_descriptor* s = list; s; s = s->next) {
        if (performance && s->source != 2) continue;
        if (s->profile_loaded >= 0 && s->profile_loaded != profile) continue;
        if (s->write_speed > 0) f->speeds.push_back(s->write_speed);
        *sizeSectors = std::max<std::int64_t>(*sizeSectors, s->end_lba);
    }
    burn_drive_free_speedlist(&list);
    std::sort(f->speeds.begin(), f->speeds.end());
    f->speeds.erase(std::unique(f->speeds.begin(), f->speeds.end()), f->speeds.end());
}

DiscFacts DeviceFacts(const optical::Drive& drive, Use use)
{
    DiscFacts f;
    GrabbedDrive grabbed;
    const Status s = grabbed.Grab(drive);
    if (!s.ok()) {
        f.state = s.text;
        return f;
    }
    burn_drive* d = grabbed.Get();
    const burn_disc_status status = burn_disc_get_status(d);
    int profile = 0;
    char profileName[80] = {};
    burn_disc_get_profile(d, &profile, profileName);
    f.loaded = status != BURN_DISC_EMPTY && status != BURN_DISC_UNREADY;
    f.state = MediaStateText(status, profile, use);
    f.writable = f.state.isEmpty();
    std::int64_t sizeSectors = 0;
    ReadSpeeds(d, profile, &f, &sizeSectors);
    if (status == BURN_DISC_BLANK) f.freeBytes = std::max<std::int64_t>(0, burn_disc_available_space(d, nullptr));
    f.sizeBytes = sizeSectors > 0 ? sizeSectors * 2048 : f.freeBytes;
    return f;
}

// What a machine drive held when last looked at: a window asks several
// questions about a drive in a row, and each look spins the drive.
struct CachedFacts {
    DiscFacts facts;
    qint64 at = 0;
};
constexpr qint64 kFactsFreshMs = 2000;

std::mutex& CacheLock()
{
    static std::mutex mutex;
    return mutex;
}

std::map<std::pair<QString, int>, CachedFacts>& FactsCache()
{
    static std::map<std::pair<QString, int>, CachedFacts> cache;
    return cache;
}

} // namespace

bool StartLibraries(QString* why)
{
    const Libraries& l = StartOnce();
    if (why) *why = l.why;
    return l.ok;
}

QString LibburnMessage(int* osError)
{
    QString last;
    int code = 0, osErrno = 0;
    char text[BURN_MSGS_MESSAGE_LEN] = {};
    char severity[80] = {};
    if (osError) *osError = 0;
    while (burn_msgs_obtain(const_cast<char*>("SORRY"), &code, text, &osErrno, severity) == 1) {
        last = QString::fromLocal8Bit(text).trimmed();
        if (osError && osErrno != 0) *osError = osErrno;
    }
    return last;
}

bool IsCDProfile(int profile) { return profile == 0x09 || profile == 0x0a; }

bool IsDVDProfile(int profile)
{
    switch (profile) {
    case 0x11: // DVD-R
    case 0x12: // DVD-RAM
    case 0x13: // DVD-RW restricted overwrite
    case 0x14: // DVD-RW sequential
    case 0x15: // DVD-R DL sequential
    case 0x16: // DVD-R DL jump
    case 0x1a: // DVD+RW
    case 0x1b: // DVD+R
    case 0x2b: // DVD+R DL
        return true;
    default: return false;
    }
}

std::vector<optical::Drive> Writers(Use use)
{
    std::vector<optical::Drive> writers;
    for (const optical::Drive& d : optical::DrivesOf({optical::DriveKind::Device, ImageWriterKind(use)}))
        if (d.kind != optical::DriveKind::Device || DeviceWrites(d.path, use)) writers.push_back(d);
    return writers;
}

Status NoWriter(const QString& letter)
{
    return Fail(kBurnErrNoDrive, letter.isEmpty() ? QString("No writer was chosen.")
                                                  : QString("There is no writer %1:.").arg(letter.left(1).toUpper()));
}

Status WriterByLetter(Use use, const QString& letter, optical::Drive* drive)
{
    if (!letter.isEmpty())
        for (const optical::Drive& d : Writers(use))
            if (d.Letter() == letter.at(0).toUpper()) {
                *drive = d;
                return {};
            }
    return NoWriter(letter);
}

DiscFacts ReadDiscFacts(const optical::Drive& drive, Use use)
{
    if (drive.kind != optical::DriveKind::Device) return ImageWriterFacts(drive, use);
    const auto key = std::make_pair(drive.path, int(use));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    {
        std::lock_guard<std::mutex> lock(CacheLock());
        const auto it = FactsCache().find(key);
        if (it != FactsCache().end() && now - it->second.at < kFactsFreshMs) return it->second.facts;
    }
    const DiscFacts facts = DeviceFacts(drive, use);
    std::lock_guard<std::mutex> lock(CacheLock());
    FactsCache()[key] = {facts, now};
    return facts;
}

void ForgetDiscFacts()
{
    std::lock_guard<std::mutex> lock(CacheLock());
    FactsCache().clear();
}

Status MoveTray(const optical::Drive& drive, bool open)
{
    if (drive.kind != optical::DriveKind::Device) return {};
    ForgetDiscFacts();
    const QString problem = optical::MoveTray(drive.path, open);
    if (problem.isEmpty()) return {};
    return Fail(kBurnErrTray,
                QString("The tray of drive %1 did not %2: %3").arg(drive.Root(), open ? "open" : "close", problem));
}

bool WriterAt(Use use, std::int32_t index, optical::Drive* drive)
{
    const std::vector<optical::Drive> writers = Writers(use);
    if (index < 0 || index >= std::int32_t(writers.size())) return false;
    *drive = writers[size_t(index)];
    return true;
}

DiscFacts FactsByLetter(Use use, const QString& letter)
{
    optical::Drive drive;
    const Status s = WriterByLetter(use, letter, &drive);
    if (s.ok()) return ReadDiscFacts(drive, use);
    DiscFacts none;
    none.state = s.text;
    return none;
}

std::int32_t MoveTrayByLetter(Use use, const QString& letter, bool open)
{
    optical::Drive drive;
    Status s = WriterByLetter(use, letter, &drive);
    if (s.ok()) s = MoveTray(drive, open);
    return s.code;
}

// ---------------------------------------------------------------------------
// GrabbedDrive

GrabbedDrive::~GrabbedDrive()
{
    if (!m_info) return;
    std::lock_guard<std::mutex> lock(LibburnLock());
    if (m_drive) burn_drive_release(m_drive, m_eject ? 1 : 0);
    burn_drive_info_free(m_info);
}

Status GrabbedDrive::Grab(const optical::Drive& drive, bool loadTray)
{
    char address[BURN_DRIVE_ADR_LEN] = {};
    QString why;
    if (!StartLibraries(&why)) return Fail(kBurnErrNotInstalled, why);
    if (burn_drive_convert_fs_adr(QFile::encodeName(drive.path).data(), address) <= 0)
        return Fail(kBurnErrNoDrive, QString("The drive %1 cannot be used: libburn does not know %2.")
                                         .arg(drive.Root(), drive.path));
    return GrabAddress(address, drive.Root(), loadTray);
}

Status GrabbedDrive::GrabFile(const QString& file)
{
    QString why;
    if (!StartLibraries(&why)) return Fail(kBurnErrNotInstalled, why);
    return GrabAddress("stdio:" + QFile::encodeName(file), file, false);
}

Status GrabbedDrive::GrabAddress(const QByteArray& address, const QString& name, bool loadTray)
{
    std::lock_guard<std::mutex> lock(LibburnLock());
    QByteArray adr = address;
    if (burn_drive_scan_and_grab(&m_info, adr.data(), loadTray ? 1 : 0) != 1 || !m_info) {
        m_info = nullptr;
        const QString message = LibburnMessage();
        return Fail(kBurnErrNoDrive, QString("The drive %1 cannot be used%2")
                                         .arg(name, message.isEmpty() ? "." : ": " + message));
    }
    m_drive = m_info[0].drive;
    return {};
}

} // namespace burnengine
