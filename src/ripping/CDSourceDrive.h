#pragma once
// The CD drive a window reads an audio CD from: the drive list filled from the
// CD ripper control, the drive's letter, and the check of the disc in it shown
// in a status label (black when the disc can be read, red otherwise).
#include <QString>
#include <cstdint>

class QComboBox;
class QLabel;
class cAudioCDRipper;

namespace cdsource {

// The control's drives, one item each, the first one chosen.
void FillDriveList(cAudioCDRipper& cd, QComboBox* list);
// "D:" of the chosen drive.
QString ChosenDrive(const QComboBox* list);

struct DiscCheck {
    bool ok = false;
    QString text; // "OK: N CDA tracks", or why the disc cannot be read
};
// Selects the chosen drive on the control and checks for an audio CD with tracks.
DiscCheck CheckChosenDisc(cAudioCDRipper& cd, const QComboBox* list);
// Shows a check in the label, with the control's own words as its tool tip.
void ShowDiscCheck(QLabel* label, const DiscCheck& check, const cAudioCDRipper& cd);

} // namespace cdsource
