#include "core/Paths.h"

#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QFileInfo>
#include <QStringList>
#include <QToolTip>
#include <QWidget>
#include <cerrno>
#include <sys/stat.h>

const char* const kIllegalNameTip = "Illegal name.\r\n\r\nThe chars:   /\\:?*<>\"|   are not legal.";

namespace {

const char16_t kUnsafeChars[] = u"!/\\;:, $+&[](){}?*|<>\u05D6\uF893\u20AC@\u00A8~\u00B4`=%\u00BD#\u00A3'\"\u05D9";
const char16_t kIllegalNameChars[] = u"/\\:?*<>\"|";

QString textAfterLast(const QString& text, QChar separator)
{
    const qsizetype i = text.lastIndexOf(separator);
    return i < 0 ? QString() : text.mid(i + 1);
}

} // namespace

QString GetFileName(const QString& sPath)
{
    const qsizetype i = sPath.lastIndexOf('/');
    return i < 0 ? sPath : sPath.mid(i + 1);
}

QString GetFilePath(const QString& sPath)
{
    QStringList parts = sPath.split('/');
    if (parts.size() < 2) return {};
    parts.removeLast();
    return parts.join('/') + '/';
}

QString GetFolderOfPath(const QString& sPath)
{
    const qsizetype i = sPath.lastIndexOf('/');
    return i < 0 ? QString() : sPath.left(i + 1);
}

QString GetExtension(const QString& sName) { return textAfterLast(sName, '.').left(12); }

QString GetLastExtension(const QString& sName) { return textAfterLast(sName, '.'); }

QString RemoveExtension(const QString& sName)
{
    const qsizetype i = sName.lastIndexOf('.');
    return i < 0 ? QString() : sName.left(i);
}

QString MakeSafeName(const QString& sText)
{
    QString safe = sText;
    for (const char16_t* c = kUnsafeChars; *c; ++c) safe.replace(QChar(*c), QChar('-'));
    return safe;
}

bool IsValidFileName(const QString& sName)
{
    for (const char16_t* c = kIllegalNameChars; *c; ++c)
        if (sName.contains(QChar(*c))) return false;
    return true;
}

void CheckFileNameKey(QWidget* txtBox, int& KeyAscii)
{
    if (KeyAscii <= 0 || KeyAscii > 0xFFFF || IsValidFileName(QString(QChar(char16_t(KeyAscii))))) return;
    if (txtBox) {
        QString tip = QString::fromUtf8(kIllegalNameTip);
        tip.replace("\r\n", "\n");
        QToolTip::showText(txtBox->mapToGlobal(QPoint(txtBox->width() / 2, txtBox->height())), tip, txtBox, QRect(),
                           5000);
    }
    KeyAscii = 0;
}

namespace {

class FileNameKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() != 1) return false;
        int key = text[0].unicode();
        CheckFileNameKey(qobject_cast<QWidget*>(watched), key);
        return key == 0;
    }
};

} // namespace

void FilterFileNameKeys(QWidget* txtBox)
{
    if (txtBox) txtBox->installEventFilter(new FileNameKeyFilter(txtBox));
}

bool IsFolder(const QString& sPath) { return !sPath.isEmpty() && QFileInfo(sPath).isDir(); }

std::int32_t CreateFolderPath(const QString& sPath)
{
    QString path = sPath;
    if (path.endsWith('/')) path.chop(1);
    QString prefix;
    for (const QString& part : path.split('/')) {
        prefix += part + '/';
        if (QFileInfo(prefix).isDir()) continue;
        if (::mkdir(QFile::encodeName(prefix).constData(), 0777) != 0) {
            return (errno == ENOENT || errno == ENOTDIR) ? kErrPathNotFound : kErrPathFileAccess;
        }
    }
    return 0;
}
