#include "ripping/CDSourceDrive.h"

#include "controls/cd/AudioCD.h"
#include "controls/widgets/PlainText.h"
#include "core/Skin.h"
#include "platform/ColorNumbers.h"

#include <QComboBox>
#include <QLabel>

namespace cdsource {

namespace {
constexpr std::int32_t kRed = 255;
constexpr std::int32_t kBlack = 0;
} // namespace

void FillDriveList(cAudioCDRipper& cd, QComboBox* list)
{
    const std::int32_t count = cd.GetDriveCount();
    for (std::int32_t i = 0; i < count; ++i) {
        const QString name = cd.GetDriveName(i);
        if (name.isEmpty()) break;
        list->addItem(name);
    }
    if (list->count() > 0) list->setCurrentIndex(0);
}

QString ChosenDrive(const QComboBox* list) { return list->currentText().left(2); }

DiscCheck CheckChosenDisc(cAudioCDRipper& cd, const QComboBox* list)
{
    const QString d = ChosenDrive(list);
    if (list->currentIndex() < 0) return {false, "No CD drive was found."};
    if (!cd.SelectDrive(list->currentIndex())) return {false, "Cannot select '" + d + "/' as an Audio CD."};
    if (!cd.IsAudioCD()) return {false, "'" + d + "/' is not an Audio CD."};
    if (cd.GetTrackCount() < 1) return {false, "'" + d + "/' has no CDA tracks."};
    return {true, "OK: " + QString::number(cd.GetTrackCount()) + " CDA tracks"};
}

void ShowDiscCheck(QLabel* label, const DiscCheck& check, const cAudioCDRipper& cd)
{
    SetForeColor(label, platform::ColorFromNumber(check.ok ? kBlack : kRed));
    label->setText(check.text);
    widgets::SetPlainToolTip(label, cd.LastErrorText());
}

} // namespace cdsource
