#include "burning/DiscMakerShared.h"

#include "controls/burn/AudioCDBurner.h"
#include "controls/burn/DiscWriter.h"
#include "controls/cd/OpticalDrives.h"
#include "core/FileSystem.h"
#include "core/Skin.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

namespace discmaker {

namespace {

constexpr double kCapacityPerSecond = 153535.0;
constexpr std::int32_t kGreen = 32768;
constexpr std::int32_t kRed = 255;

// /proc/self/mounts writes blanks and the like in paths as octal escapes.
QString UnescapeMountPath(const QByteArray& field)
{
    QByteArray out;
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += char(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return QString::fromUtf8(out);
}

// Where the disc in a machine's drive is mounted; "" when it is not.
QString MountPointOf(const QString& device)
{
    QFile mounts("/proc/self/mounts");
    if (!mounts.open(QIODevice::ReadOnly)) return {};
    const QString wanted = QFileInfo(device).canonicalFilePath();
    if (wanted.isEmpty()) return {};
    while (!mounts.atEnd()) {
        const QList<QByteArray> fields = mounts.readLine().split(' ');
        if (fields.size() < 2) continue;
        if (QFileInfo(UnescapeMountPath(fields[0])).canonicalFilePath() == wanted) return UnescapeMountPath(fields[1]);
    }
    return {};
}

} // namespace

void FillDriveList(QComboBox* drives, std::int32_t count, const std::function<QString(std::int32_t)>& nameAt)
{
    drives->clear();
    for (std::int32_t i = 1; i <= count; ++i) drives->addItem(nameAt(i));
    if (drives->count() > 0) drives->setCurrentIndex(0);
}

void FillDriveList(QComboBox* drives, cAudioBurner& writer)
{
    FillDriveList(drives, writer.GetDriveCount(), [&writer](std::int32_t i) { return writer.GetDriveName(i); });
}

QString SpeedEntryText(std::int32_t kbs)
{
    return QString::number(kbs) + " KB/s (" + QString::number(kbs / kCDSpeedKBs) + "x)";
}

void FillSpeedList(QComboBox* speeds, std::int32_t count, const std::function<std::int32_t(std::int32_t)>& speedAt)
{
    speeds->clear();
    for (std::int32_t i = 1; i <= count; ++i) {
        const std::int32_t kbs = speedAt(i);
        speeds->addItem(SpeedEntryText(kbs), kbs);
    }
    speeds->addItem("Max.", kBurnSpeedMax);
    speeds->setCurrentIndex(speeds->count() - 1);
}

void FillSpeedList(QComboBox* speeds, cAudioBurner& writer, const QString& letter)
{
    FillSpeedList(speeds, writer.GetSpeedCount(letter), [&writer](std::int32_t i) { return writer.GetSpeed(i).toInt(); });
}

QString SelectedDriveLetter(const QComboBox* drives)
{
    return drives->currentIndex() < 0 ? QString() : drives->currentText().left(1);
}

QString SelectedDriveRoot(const QComboBox* drives)
{
    return drives->currentIndex() < 0 ? QString() : drives->currentText().left(2);
}

std::int32_t SelectedSpeed(const QComboBox* speeds)
{
    if (speeds->currentIndex() < 0) return kBurnSpeedMax;
    bool ok = false;
    const std::int32_t kbs = speeds->currentData().toInt(&ok);
    return ok ? kbs : kBurnSpeedMax;
}

std::int16_t DiscCapacityMinutes(std::int32_t capacity)
{
    return std::int16_t(platform::CLng(capacity / kCapacityPerSecond / 60.0));
}

void ShowMediaState(QLabel* label, const QString& state)
{
    QFont font = label->font();
    if (state.isEmpty()) {
        label->setText("OK - Ready to be burn.");
        SetForeColor(label, ColorFromNumber(kGreen));
        font.setBold(false);
    } else {
        label->setText(state);
        SetForeColor(label, ColorFromNumber(kRed));
        font.setBold(true);
    }
    label->setFont(font);
}

void ShowDiscFacts(cAudioBurner& writer, const QString& letter, const DiscLabels& labels, std::int32_t needSeconds)
{
    const std::int32_t capacity = writer.GetDiskCapacity(letter);
    if (labels.size) labels.size->setText(QString::number(writer.GetDiskSize(letter)));
    if (labels.capacity) labels.capacity->setText(QString::number(DiscCapacityMinutes(capacity)) + " Min");
    if (!labels.state) return;
    QString state = writer.GetMediaState(letter);
    if (state.isEmpty() && needSeconds > capacity / kCapacityPerSecond)
        state = QString("The selected tracks do not fit on the disc: %1 Min / %2 Min.")
                    .arg(platform::CLng(needSeconds / 60.0))
                    .arg(DiscCapacityMinutes(capacity));
    ShowMediaState(labels.state, state);
}

bool RefuseWithoutWriter(const QComboBox* drives)
{
    if (drives->currentIndex() >= 0) return false;
    platform::MsgBox("No CD writer was found: there is no drive to burn with.", platform::vbInformation);
    return true;
}

QString DiscRootFolder(const QString& letter)
{
    optical::Drive drive;
    if (letter.isEmpty() || !optical::DriveByLetter(letter, &drive)) return {};
    if (drive.kind == optical::DriveKind::Device) return MountPointOf(drive.path);
    const QString folder = QFileInfo(drive.path).absolutePath();
    return QFileInfo(folder).isDir() ? folder : QString();
}

void OpenDiscRoot(QWidget* owner, const QString& letter)
{
    const QString folder = DiscRootFolder(letter);
    if (folder.isEmpty()) {
        const QString root = letter.isEmpty() ? QString("the drive") : letter.left(1) + ":";
        platform::MsgBox("There is no folder to open for " + root + ": no disc of it is mounted.",
                         platform::vbInformation);
        return;
    }
    OpenDocument(owner, folder);
}

void EraseFolderFiles(const QString& folder)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) return;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) QFile::remove(dir.filePath(name));
}

} // namespace discmaker
