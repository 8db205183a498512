#include "platform/Icons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace platform {

namespace {

// The program's own icon: a blue tile with level bars.
QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        p.setBrush(QColor(0x2a, 0x6f, 0xb0));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(1, 1, 30, 30, 7, 7);
        p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
        const int bars[] = {8, 16, 22, 12, 18, 6};
        for (int i = 0; i < 6; ++i) p.drawLine(6 + i * 4, 16 - bars[i] / 2, 6 + i * 4, 16 + bars[i] / 2);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

// Each resource: a freedesktop theme name, with a style icon where the theme has none.
struct Resource {
    const char* name;
    const char* themeName;
    QStyle::StandardPixmap fallback;
};

const Resource kResources[] = {
    {"CD_MUSIC", "media-optical-audio", QStyle::SP_DriveCDIcon},
    {"COLORS", "applications-graphics", QStyle::SP_DesktopIcon},
    {"CUT", "edit-cut", QStyle::SP_DialogResetButton},
    {"DOCUMENT_MUSIC", "audio-x-generic", QStyle::SP_FileIcon},
    {"DOCUMENT_PULSE", "audio-x-generic", QStyle::SP_MediaVolume},
    {"GEARS", "preferences-system", QStyle::SP_ComputerIcon},
    {"MICROPHONE2", "audio-input-microphone", QStyle::SP_MediaVolume},
    {"REPLACE2", "view-refresh", QStyle::SP_BrowserReload},
};

} // namespace

QIcon LoadIconResource(const QString& name)
{
    QString upper = name.toUpper();
    if (upper == "AAA") return programIcon();
    for (const auto& r : kResources) {
        if (upper != r.name) continue;
        QIcon themed = QIcon::fromTheme(r.themeName);
        if (!themed.isNull()) return themed;
        return qApp ? QApplication::style()->standardIcon(r.fallback) : QIcon();
    }
    return {};
}

} // namespace platform
