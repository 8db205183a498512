#include "lists/ListImages.h"

#include "controls/widgets/ImageList.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace {

// Draws one 16 x 16 icon.
template <class Paint>
QIcon drawn(Paint paint)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.end();
    return QIcon(pm);
}

void box(QPainter& p)
{
    p.setPen(QPen(QColor(0x55, 0x5f, 0x6d), 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
}

QIcon uncheckedBox()
{
    return drawn([](QPainter& p) { box(p); });
}

QIcon checkedBox()
{
    return drawn([](QPainter& p) {
        box(p);
        p.setPen(QPen(QColor(0x1e, 0x8c, 0x3a), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(4.8, 8.2);
        tick.lineTo(7.2, 10.8);
        tick.lineTo(11.4, 5.0);
        p.drawPath(tick);
    });
}

QIcon musicNote()
{
    return drawn([](QPainter& p) {
        const QColor blue(0x2a, 0x6f, 0xb0);
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawEllipse(QRectF(2.5, 10, 5, 4));
        p.drawEllipse(QRectF(9, 8.5, 5, 4));
        p.setPen(QPen(blue, 1.5));
        p.drawLine(QPointF(7.2, 12), QPointF(7.2, 3));
        p.drawLine(QPointF(13.7, 10.5), QPointF(13.7, 1.5));
        p.setPen(QPen(blue, 2.2));
        p.drawLine(QPointF(7.2, 3.3), QPointF(13.7, 1.8));
    });
}

QIcon dataDisc()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
        p.setBrush(QColor(0xd8, 0xdc, 0xe4));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(6, 6, 4, 4));
        p.setPen(QPen(QColor(0x90, 0x60, 0x20), 1.4));
        p.drawLine(QPointF(3, 13), QPointF(13, 3));
    });
}

// A themed icon, or the style's when the desktop has no icon theme.
struct MenuIcon {
    int index;
    const char* themeName;
    QStyle::StandardPixmap fallback;
};

const MenuIcon kMenuIcons[] = {
    {0, "go-up", QStyle::SP_ArrowUp},
    {1, "go-down", QStyle::SP_ArrowDown},
    {2, "list-add", QStyle::SP_FileDialogNewFolder},
    {3, "list-remove", QStyle::SP_DialogDiscardButton},
    {4, "folder-open", QStyle::SP_DirOpenIcon},
    {5, "document-save-as", QStyle::SP_DialogSaveButton},
    {6, "document-properties", QStyle::SP_FileDialogInfoView},
    {7, "view-refresh", QStyle::SP_BrowserReload},
    {8, "accessories-text-editor", QStyle::SP_FileDialogContentsView},
    {9, "preferences-system", QStyle::SP_ComputerIcon},
    {10, "x-office-calendar", QStyle::SP_FileDialogDetailedView},
    {11, "preferences-desktop", QStyle::SP_DesktopIcon},
    {12, "help-contents", QStyle::SP_DialogHelpButton},
    {17, "folder", QStyle::SP_DirIcon},
    {18, "dialog-information", QStyle::SP_MessageBoxInformation},
    {19, "applications-utilities", QStyle::SP_DriveHDIcon},
    {22, "help-about", QStyle::SP_MessageBoxQuestion},
    {23, "text-x-generic", QStyle::SP_FileIcon},
    {25, "drive-optical", QStyle::SP_DriveCDIcon},
    {27, "edit-clear", QStyle::SP_DialogResetButton},
    {32, "document-edit", QStyle::SP_FileDialogContentsView},
    {36, "text-x-generic", QStyle::SP_FileDialogListView},
    {38, "media-playback-start", QStyle::SP_MediaPlay},
    {39, "view-list", QStyle::SP_FileDialogListView},
    {41, "media-playback-stop", QStyle::SP_MediaStop},
    {42, "audio-x-generic", QStyle::SP_FileIcon},
    {43, "document-open", QStyle::SP_FileLinkIcon},
    {45, "preferences-desktop-display", QStyle::SP_TitleBarNormalButton},
    {47, "emblem-default", QStyle::SP_DialogApplyButton},
    {48, "document-new", QStyle::SP_FileDialogNewFolder},
    {49, "edit-find-replace", QStyle::SP_FileDialogContentsView},
    {50, "edit-delete", QStyle::SP_TrashIcon},
    {51, "document-properties", QStyle::SP_FileDialogInfoView},
    {53, "go-top", QStyle::SP_TitleBarShadeButton},
    {59, "preferences-other", QStyle::SP_ComputerIcon},
    {60, "media-playlist-repeat", QStyle::SP_BrowserReload},
    {61, "media-playlist-shuffle", QStyle::SP_BrowserReload},
    {62, "audio-x-generic", QStyle::SP_MediaVolume},
    {63, "edit-cut", QStyle::SP_DialogResetButton},
    {64, "insert-object", QStyle::SP_FileDialogEnd},
    {70, "audio-input-microphone", QStyle::SP_MediaVolume},
    {71, "media-optical-audio", QStyle::SP_DriveCDIcon},
    {72, "media-optical-recordable", QStyle::SP_DriveDVDIcon},
    {73, "media-optical-burn", QStyle::SP_DriveDVDIcon},
    {74, "edit-select-all", QStyle::SP_DialogYesButton},
    {76, "go-bottom", QStyle::SP_TitleBarMinButton},
    {77, "go-jump", QStyle::SP_TitleBarMinButton},
    {78, "application-exit", QStyle::SP_DialogCloseButton},
    {79, "audio-volume-high", QStyle::SP_MediaVolume},
    {80, "go-first", QStyle::SP_MediaSkipBackward},
    {81, "go-last", QStyle::SP_MediaSkipForward},
    {82, "audio-speakers", QStyle::SP_MediaVolume},
    {83, "media-optical", QStyle::SP_DriveCDIcon},
    {84, "media-playback-start", QStyle::SP_MediaPlay},
};

} // namespace

void FillGridImages(cImageList* images)
{
    if (!images) return;
    images->Clear();
    images->SetIcon(0, uncheckedBox());
    images->SetIcon(1, checkedBox());
    images->SetIcon(3, musicNote());
    images->SetIcon(4, dataDisc());
}

void FillMenuImages(cImageList* images)
{
    if (!images) return;
    images->Clear();
    QStyle* style = QApplication::style();
    for (const MenuIcon& m : kMenuIcons) {
        QIcon icon = QIcon::fromTheme(m.themeName);
        if (icon.isNull() && style) icon = style->standardIcon(m.fallback);
        images->SetIcon(m.index, icon);
    }
}
