#pragma once
// What the disc windows (Audio CD Maker, MP3/WMA CD Maker, CD Duplicator)
// share: the writer and speed lists, the facts of the disc in a writer, the
// drive a list entry names, and the disc's root folder that the end of a burn
// and the "browse" links open.
//
// A writer list entry is a drive name ("D: /dev/sr0 VENDOR MODEL"): its first
// character is the letter the writer controls take, its first two the root.
#include <QString>
#include <cstdint>
#include <functional>

class QComboBox;
class QLabel;
class QWidget;
class cAudioBurner;

namespace discmaker {

// Empties the list and adds nameAt(1 ... count); with at least one entry the
// first is selected, which runs the list's selection handler.
void FillDriveList(QComboBox* drives, std::int32_t count, const std::function<QString(std::int32_t)>& nameAt);
// The same from an audio CD writer control.
void FillDriveList(QComboBox* drives, cAudioBurner& writer);

// "352 KB/s (2x)": the speed and the whole CD speeds it holds (176 KB/s each).
QString SpeedEntryText(std::int32_t kbs);
// Empties the list and adds one entry per speedAt(1 ... count), its item data
// the speed, then "Max." (the fastest, kBurnSpeedMax), which is selected.
void FillSpeedList(QComboBox* speeds, std::int32_t count, const std::function<std::int32_t(std::int32_t)>& speedAt);
// The same for a drive of an audio CD writer control.
void FillSpeedList(QComboBox* speeds, cAudioBurner& writer, const QString& letter);

// The selected writer's letter ("D") and root ("D:"); empty when none is selected.
QString SelectedDriveLetter(const QComboBox* drives);
QString SelectedDriveRoot(const QComboBox* drives);
// The selected entry's speed in KB/s; the fastest when none is selected.
std::int32_t SelectedSpeed(const QComboBox* speeds);

// Minutes of a capacity figure of the audio CD writer: value / 153535 / 60,
// halves to even.
std::int16_t DiscCapacityMinutes(std::int32_t capacity);
// The media state as the user sees it: "" becomes "OK - Ready to be burn." in
// green; any other text stays as it is, red and bold.
void ShowMediaState(QLabel* label, const QString& state);
// Size, capacity ("N Min") and media state of the disc in the writer's drive.
struct DiscLabels {
    QLabel* size = nullptr;
    QLabel* capacity = nullptr;
    QLabel* state = nullptr;
};
// A ready disc whose capacity is below `needSeconds` of audio says that
// they do not fit instead of being ready.
void ShowDiscFacts(cAudioBurner& writer, const QString& letter, const DiscLabels& labels,
                   std::int32_t needSeconds = 0);

// True, after telling the user, when no writer is selected (none was found).
bool RefuseWithoutWriter(const QComboBox* drives);

// The folder that stands for a drive's root: the mount point of a machine
// drive's disc, the folder of an image the drive stands for; "" when none.
QString DiscRootFolder(const QString& letter);
// Opens that folder with the desktop, or says why there is none.
void OpenDiscRoot(QWidget* owner, const QString& letter);

// Removes the files of a temporary folder, hidden ones included (an output
// name may begin with a dot); the folder stays. Nothing for "" or a missing folder.
void EraseFolderFiles(const QString& folder);

} // namespace discmaker
