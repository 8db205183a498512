#pragma once
// A small stand-in for the main window, for tests of the windows that call on
// it: real controls where they address them (grid, tree, tray, image lists,
// menu, timer), recorded calls and scripted answers for the rest. Installed as
// the main window (MainWindow()) while it lives.
#include "core/MainWindowServices.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace support {

class MainWindowDouble : public MainWindowServices {
public:
    MainWindowDouble();

    // The services called so far, by name ("SaveGridToFile", "Unload", ...), in order;
    // m_cMenu_Click with the command key of its index ("m_cMenu_Click Add Files").
    QStringList calls;
    // The status panels' texts by key.
    QMap<QString, QString> panels;
    // What GetNotesToStatus answers.
    QString notesDigest = "Notes [ Empty ]";
    // What GetNoticAppArguments answers; GetNoticAppParameters joins it with blanks.
    QStringList noticeArguments;
    // The made file each of the two was given, in order.
    QStringList noticeFiles;
    // Whether SetAddingFiles last set adding.
    bool addingFiles = false;
    // What IsListLoading answers.
    bool listLoading = false;
    // Unload happened: the double no longer stands as the main window.
    bool unloaded = false;

    QWidget* Widget() override { return &m_window; }
    bool Unload() override;
    void Form_Resize() override { calls << "Form_Resize"; }
    void m_cMenu_Click(int ItemNumber) override;

    void SetStatusPanelText(const QString& key, const QString& text) override { panels[key] = text; }
    QString StatusPanelText(const QString& key) const override { return panels.value(key); }
    QString GetNotesToStatus() override { return notesDigest; }

    void ListsFolderChanged() override { calls << "ListsFolderChanged"; }
    void ApplyViewOptions() override { calls << "ApplyViewOptions"; }
    void SetTitleBackColor(std::int32_t color) override;
    void SetTitleTextColor(std::int32_t color) override;

    // Moves the file as the main window does (records "MoveListFile <new path>"); false when it cannot.
    bool MoveListFile(cTreeNode* node, const QString& newPath) override;
    void OpenDestFolder(QString sDir) override { calls << "OpenDestFolder " + sDir; }
    void cTreeView1_NodeClick(cTreeNode* node) override;
    // Records "cTreeView1_AfterLabelEdit <new text>".
    void cTreeView1_AfterLabelEdit(cTreeNode* node, QString& NewString, bool& Cancel) override;
    bool IsListLoading() const override { return listLoading; }
    void SaveGridToFile() override { calls << "SaveGridToFile"; }
    void SetAddingFiles(bool adding) override { addingFiles = adding; }
    void DisplayGridInfoStatusBar() override { calls << "DisplayGridInfoStatusBar"; }
    void GetFileInfoToGridInfo() override { calls << "GetFileInfoToGridInfo"; }

    void StopCommand() override { calls << "StopCommand"; }

    QString GetNoticAppParameters(const QString& madeFile) override
    {
        noticeFiles << madeFile;
        return noticeArguments.join(' ');
    }
    QStringList GetNoticAppArguments(const QString& madeFile) override
    {
        noticeFiles << madeFile;
        return noticeArguments;
    }

private:
    QWidget m_window;
};

} // namespace support
