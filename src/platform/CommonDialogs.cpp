#include "platform/CommonDialogs.h"
#include "platform/ServiceSlot.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace platform {

namespace {

// Moves the dialog to the centre of its owner or of the primary screen.
void placeDialog(QWidget* dialog, QWidget* owner, bool centreOnOwner)
{
    dialog->adjustSize();
    QRect area;
    if (centreOnOwner && owner)
        area = owner->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->geometry();
    if (area.isValid()) dialog->move(CentredTopLeft(area, dialog->frameGeometry().size()));
}

class QtDialogs : public DialogService {
public:
    QStringList OpenFiles(const FileDialogRequest& r) override
    {
        QFileDialog dialog(r.owner, r.title, r.directory, r.nameFilter);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(r.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        placeDialog(&dialog, r.owner, r.centreOnOwner);
        if (dialog.exec() != QDialog::Accepted) return {};
        return dialog.selectedFiles();
    }

    QString SaveFile(const FileDialogRequest& r) override
    {
        QFileDialog dialog(r.owner, r.title, r.directory, r.nameFilter);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
        dialog.setDefaultSuffix(r.defaultSuffix);
        if (!r.fileName.isEmpty()) dialog.selectFile(r.fileName);
        placeDialog(&dialog, r.owner, r.centreOnOwner);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().first();
    }

    std::optional<QColor> PickColor(ColorRequest& r) override
    {
        for (int i = 0; i < r.customColors.size() && i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, r.customColors[i]);
        QColorDialog dialog(r.initial, r.owner);
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        placeDialog(&dialog, r.owner, r.centreOnOwner);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        for (int i = 0; i < r.customColors.size() && i < QColorDialog::customCount(); ++i)
            r.customColors[i] = QColorDialog::customColor(i);
        if (!accepted) return std::nullopt;
        return dialog.selectedColor();
    }

    QString PickFolder(const FolderRequest& r) override
    {
        QFileDialog dialog(r.owner, r.title, r.startFolder);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, !r.showFiles);
        placeDialog(&dialog, r.owner, r.owner != nullptr);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().first();
    }
};

using Slot = ServiceSlot<DialogService, QtDialogs>;

} // namespace

void SetDialogService(std::unique_ptr<DialogService> service) { Slot::Install(std::move(service)); }

DialogService& Dialogs() { return Slot::Get(); }

QPoint CentredTopLeft(const QRect& area, const QSize& dialog)
{
    const double x = area.x() + area.width() / 2.0 - dialog.width() / 2.0;
    const double y = area.y() + area.height() / 2.0 - dialog.height() / 2.0;
    return QPoint(int(std::nearbyint(x)), int(std::nearbyint(y)));
}

} // namespace platform
