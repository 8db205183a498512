#pragma once
// The standard dialogs as procedures: open files, save a file, pick a colour,
// pick a folder. The open and save dialogs share one record, g_OFN, into which
// callers put the filter, the title and (for saving) the default extension
// before the call; what one dialog leaves there stays for the next.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <cstdint>

class QWidget;

// Flags of the open/save record.
inline constexpr std::uint32_t OFN_OVERWRITEPROMPT = 0x2;
inline constexpr std::uint32_t OFN_HIDEREADONLY = 0x4;
inline constexpr std::uint32_t OFN_ALLOWMULTISELECT = 0x200;
inline constexpr std::uint32_t OFN_CREATEPROMPT = 0x2000;
inline constexpr std::uint32_t OFN_EXPLORER = 0x80000;
inline constexpr std::uint32_t OFN_NODEREFERENCELINKS = 0x100000;
inline constexpr std::uint32_t OFN_LONGNAMES = 0x200000;
inline constexpr std::uint32_t kOpenDialogFlags = 0x382204;
inline constexpr std::uint32_t kSaveDialogFlags = 0x280006;

struct OPENFILENAME {
    QWidget* hwndOwner = nullptr;
    // Pairs of description and pattern, each text followed by a NUL character;
    // patterns are separated by ";".
    QString lpstrFilter;
    // In: the file name offered. Out: the picked file's full path (several
    // files: the folder, then each name, each followed by a NUL).
    QString lpstrFile;
    // Out: the picked file's name.
    QString lpstrFileTitle;
    QString lpstrInitialDir;
    QString lpstrTitle;
    std::uint32_t Flags = 0;
    QString lpstrDefExt;
};

struct CHOOSECOLOR {
    QWidget* hwndOwner = nullptr;
    std::int32_t rgbResult = 0;
    bool bCustColorsSet = false;
    std::array<std::uint32_t, 16> lpCustColors{}; // 0x00BBGGRR
    std::uint32_t Flags = 0;
};

extern OPENFILENAME g_OFN;
extern CHOOSECOLOR g_CC;
// The owner of the last open, save or colour dialog.
extern QWidget* g_hWndDialogOwner;

struct FileDialogResult {
    std::int16_t iFileCount = 0;
    // One file picked: element 0 its full path, element 1 its name. Several:
    // elements 1 to iFileCount the names, element 0 empty. Save: element 1 the full path.
    QStringList asFiles;
    // The picked files' folder: without a trailing "/" from the open dialog,
    // with one from the save dialog. Empty when cancelled.
    QString sFolder;
    bool bCancelled = false;
};

struct ColorDialogResult {
    std::int32_t lColor = -1; // 0x00BBGGRR, -1 when cancelled
    bool bCancelled = false;
};

// The per-user setting that remembers the file last picked alone in the open dialog.
inline constexpr const char* kLastPathApp = "Quillon";
inline constexpr const char* kLastPathSection = "path";
inline constexpr const char* kLastPathKey = "last_path";

FileDialogResult ShowOpen(QWidget* hWndOwner, bool bCentreOnOwner);
// Always asks before replacing an existing file.
FileDialogResult ShowSave(QWidget* hWndOwner, QString& sDefaultName, bool bCentreOnOwner);
ColorDialogResult ShowColor(QWidget* hWndOwner, bool bCentreOnOwner);
// The chosen folder, or empty on cancel. A root that names no existing folder means no root.
QString BrowseForFolder(const QString& sTitle, const QString& sStartFolder, QWidget* hWndOwner, bool bStatusText,
                        const QVariant& vRootFolder = QVariant(), bool bNewDialogStyle = false,
                        bool bShowFiles = false);

// The Qt form of a filter of NUL-separated description and pattern pairs.
QString QtNameFilter(const QString& lpstrFilter);
