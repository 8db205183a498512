#pragma once
// The optical drives of the program, shared by every control that reads or
// writes discs (CD ripper, audio CD writer, data disc writers): one list, one
// letter per drive, the same name everywhere.
//
// The list, in letter order from "D:": the machine's optical drives ("D:
// /dev/sr0 VENDOR MODEL"), then the BIN/CUE images that stand in for CD
// drives (TARVELLO_CD_IMAGES, cue files separated by ':'), then the image
// writers the user's environment names: TARVELLO_AUDIO_CD_IMAGE, the cue file
// that the audio CD writer writes (its BIN beside it), and
// TARVELLO_DATA_DISC_IMAGE, the ISO image file that the data disc writers
// write. Images are named by letter and path ("E: /path/disc.cue").
//
// Tests set the list with SetCDDriveImages (AudioCD.h) and SetImageWriters:
// while either is set, the list holds only what they give.
#include <QChar>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>
#include <vector>

namespace optical {

enum class DriveKind {
    Device,          // a drive of the machine
    DiscImage,       // a BIN/CUE image read as a CD
    AudioImageWriter, // writes an audio CD as a BIN/CUE image
    DataImageWriter,  // writes a data disc as an ISO image file
};

struct Drive {
    QString name; // "D: /dev/sr0 VENDOR MODEL"
    QString path; // the device, the cue file, or the image file
    DriveKind kind = DriveKind::Device;
    QChar Letter() const { return name.isEmpty() ? QChar() : name.at(0); }
    QString Root() const { return name.left(2); } // "D:"
};

// Every drive, in letter order. The machine's drives are looked up once.
std::vector<Drive> Drives();
// The drives of these kinds, in letter order.
std::vector<Drive> DrivesOf(std::initializer_list<DriveKind> kinds);
// The drive whose letter is the first character of `letter` ("D", "d:", a
// drive's whole name); false when there is none.
bool DriveByLetter(const QString& letter, Drive* drive);

// libcdio's own messages are kept off the terminal; call before using it.
void QuietLibcdio();

// Opens or closes the tray of a machine's drive (its device); "" when done,
// else what went wrong.
QString MoveTray(const QString& device, bool open);

struct ImageWriters {
    QString audioCue;  // empty: no audio CD image writer
    QString dataImage; // empty: no data disc image writer
};

// Tests: the disc images and the image writers in place of the machine's
// drives and the environment; std::nullopt for both goes back to them.
void SetDiscImages(std::optional<QStringList> cueFiles);
void SetImageWriters(std::optional<ImageWriters> writers);

} // namespace optical
