#include "core/mdlCommDialog.h"

#include "core/Paths.h"
#include "core/Skin.h"
#include "platform/CommonDialogs.h"
#include "platform/UserSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

OPENFILENAME g_OFN;
CHOOSECOLOR g_CC;
QWidget* g_hWndDialogOwner = nullptr;

namespace {

const std::uint32_t kFirstCustomColors[16] = {
    0xB89B8B, 0xFED5BC, 0xB7AC73, 0xC6F9C8, 0xFDC2BD, 0xFFF9C8, 0xD2D56C, 0xECA4EC,
    0xA0A0A0, 0xA0A0A0, 0xA0A0A0, 0xA0A0A0, 0xA0A0A0, 0xA0A0A0, 0xA0A0A0, 0xA0A0A0,
};

const std::int32_t kWhite = 0xFFFFFF;

FileDialogResult cancelled()
{
    FileDialogResult r;
    r.bCancelled = true;
    return r;
}

// Patterns as the file dialog takes them: blank-separated; "*.*" means every file.
QString qtPatterns(const QString& patterns)
{
    QStringList out;
    for (QString p : patterns.split(';')) {
        p = p.trimmed();
        if (p.isEmpty()) continue;
        out << (p == "*.*" ? QStringLiteral("*") : p);
    }
    return out.join(' ');
}

FileDialogResult openResult(const QStringList& files)
{
    FileDialogResult r;
    const QString first = files.first();
    if (files.size() == 1) {
        r.sFolder = first.left(std::max<qsizetype>(first.lastIndexOf('/'), 0));
        r.asFiles = QStringList{first, GetFileName(first)};
        r.iFileCount = 1;
        g_OFN.lpstrFile = first;
        g_OFN.lpstrFileTitle = GetFileName(first);
        platform::SaveSetting(kLastPathApp, kLastPathSection, kLastPathKey, first);
    } else {
        r.sFolder = QFileInfo(first).absolutePath();
        r.asFiles = QStringList{QString()};
        g_OFN.lpstrFile = r.sFolder + QChar(0);
        for (const QString& f : files) {
            r.asFiles << GetFileName(f);
            g_OFN.lpstrFile += GetFileName(f) + QChar(0);
        }
        g_OFN.lpstrFileTitle.clear();
        r.iFileCount = std::int16_t(std::min<qsizetype>(files.size(), INT16_MAX));
    }
    return r;
}

} // namespace

QString QtNameFilter(const QString& lpstrFilter)
{
    static const QRegularExpression trailingGroup(R"(\s*\([^()]*\)\s*$)");
    const QStringList parts = lpstrFilter.split(QChar(0));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty()) break;
        QString description = parts[i];
        // The description usually names its patterns already; the dialog reads them from there.
        description.remove(trailingGroup);
        filters << description + " (" + qtPatterns(parts[i + 1]) + ")";
    }
    return filters.join(";;");
}

namespace {

// What the shared open/save record asks of the dialog.
platform::FileDialogRequest requestFromSharedRecord(QWidget* owner, bool centreOnOwner)
{
    platform::FileDialogRequest request;
    request.owner = owner;
    request.centreOnOwner = centreOnOwner;
    request.title = g_OFN.lpstrTitle;
    request.nameFilter = QtNameFilter(g_OFN.lpstrFilter);
    request.directory = g_OFN.lpstrInitialDir;
    return request;
}

} // namespace

FileDialogResult ShowOpen(QWidget* hWndOwner, bool bCentreOnOwner)
{
    g_hWndDialogOwner = hWndOwner;
    g_OFN.hwndOwner = hWndOwner;
    g_OFN.lpstrInitialDir = platform::GetSetting(kLastPathApp, kLastPathSection, kLastPathKey, QDir::homePath());
    g_OFN.lpstrFileTitle.clear();
    g_OFN.lpstrFile.clear();
    g_OFN.Flags = kOpenDialogFlags;

    platform::FileDialogRequest request = requestFromSharedRecord(hWndOwner, bCentreOnOwner);
    request.multiSelect = true;
    const QStringList files = platform::Dialogs().OpenFiles(request);
    if (files.isEmpty()) return cancelled();
    return openResult(files);
}

FileDialogResult ShowSave(QWidget* hWndOwner, QString& sDefaultName, bool bCentreOnOwner)
{
    g_hWndDialogOwner = hWndOwner;
    g_OFN.hwndOwner = hWndOwner;
    g_OFN.lpstrFileTitle.clear();
    g_OFN.lpstrFile = sDefaultName;
    if (g_OFN.Flags == 0) g_OFN.Flags = kSaveDialogFlags;

    platform::FileDialogRequest request = requestFromSharedRecord(hWndOwner, bCentreOnOwner);
    request.fileName = sDefaultName;
    request.defaultSuffix = g_OFN.lpstrDefExt;
    request.confirmOverwrite = true;
    const QString path = platform::Dialogs().SaveFile(request);
    if (path.isEmpty()) return cancelled();
    g_OFN.lpstrFile = path;
    g_OFN.lpstrFileTitle = GetFileName(path);
    FileDialogResult r;
    r.sFolder = GetFilePath(path);
    r.asFiles = QStringList{QString(), r.sFolder + GetFileName(path)};
    r.iFileCount = 1;
    return r;
}

ColorDialogResult ShowColor(QWidget* hWndOwner, bool bCentreOnOwner)
{
    g_hWndDialogOwner = hWndOwner;
    if (!g_CC.bCustColorsSet) {
        std::copy(std::begin(kFirstCustomColors), std::end(kFirstCustomColors), g_CC.lpCustColors.begin());
        g_CC.bCustColorsSet = true;
    }
    g_CC.hwndOwner = hWndOwner;
    g_CC.rgbResult = kWhite;
    g_CC.Flags = 0x103;

    platform::ColorRequest request;
    request.owner = hWndOwner;
    request.centreOnOwner = bCentreOnOwner;
    request.initial = ColorFromNumber(g_CC.rgbResult);
    for (std::uint32_t bgr : g_CC.lpCustColors) request.customColors << ColorFromNumber(std::int32_t(bgr));
    const std::optional<QColor> picked = platform::Dialogs().PickColor(request);
    for (int i = 0; i < 16 && i < request.customColors.size(); ++i)
        g_CC.lpCustColors[size_t(i)] = std::uint32_t(NumberFromColor(request.customColors[i]));

    ColorDialogResult r;
    if (!picked || !picked->isValid()) {
        r.bCancelled = true;
        return r;
    }
    g_CC.rgbResult = NumberFromColor(*picked);
    r.lColor = g_CC.rgbResult;
    return r;
}

QString BrowseForFolder(const QString& sTitle, const QString& sStartFolder, QWidget* hWndOwner, bool bStatusText,
                        const QVariant& vRootFolder, bool bNewDialogStyle, bool bShowFiles)
{
    platform::FolderRequest request;
    request.owner = hWndOwner;
    request.title = sTitle;
    request.startFolder = sStartFolder;
    const QString root = vRootFolder.toString();
    if (IsFolder(root)) request.rootFolder = root;
    request.showFiles = bShowFiles;
    return platform::Dialogs().PickFolder(request);
}
