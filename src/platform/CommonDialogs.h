#pragma once
// The standard dialogs: open files, save a file, pick a colour, pick a folder.
// Production shows Qt's own (non-native) dialogs, placed at the centre of the
// owner or of the screen; tests install a service that answers from a script.
#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

namespace platform {

struct FileDialogRequest {
    QWidget* owner = nullptr;
    bool centreOnOwner = false;
    QString title;
    QString nameFilter;  // Qt form: "Description (*.a *.b);;..."
    QString directory;   // start folder, or a file whose folder to start in
    QString fileName;    // the name offered (save dialog)
    QString defaultSuffix;
    bool multiSelect = false;
    bool confirmOverwrite = true;
};

struct ColorRequest {
    QWidget* owner = nullptr;
    bool centreOnOwner = false;
    QColor initial;
    QList<QColor> customColors; // sixteen; the dialog may change them
};

struct FolderRequest {
    QWidget* owner = nullptr;
    QString title;
    QString startFolder;
    QString rootFolder; // empty: no root
    bool showFiles = false;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // Full paths of the picked files; empty when cancelled.
    virtual QStringList OpenFiles(const FileDialogRequest& request) = 0;
    // The full path to save to; empty when cancelled.
    virtual QString SaveFile(const FileDialogRequest& request) = 0;
    // The picked colour, nothing when cancelled; customColors comes back as the user left it.
    virtual std::optional<QColor> PickColor(ColorRequest& request) = 0;
    // The picked folder; empty when cancelled.
    virtual QString PickFolder(const FolderRequest& request) = 0;
};

void SetDialogService(std::unique_ptr<DialogService> service); // nullptr: Qt's dialogs
DialogService& Dialogs(); // window thread only

// Top-left corner that centres a dialog of that size on the area, each half
// computed exactly and rounded half to even.
QPoint CentredTopLeft(const QRect& area, const QSize& dialog);

} // namespace platform
