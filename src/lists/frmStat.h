#pragma once
// The add-files window: checks each path, reads the file's facts and tags
// through its own conversion control and appends one row per accepted file
// to the items grid, with progress and Cancel.
#include "core/Form.h"

#include <QStringList>

class QLabel;
class QPushButton;
class QTimer;
class ParallelReading;
class cAudioConverter;
class cGrid;
class cProgressBar;
class MainWindowServices;

// The request to stop adding.
extern bool g_bCancelAdd;
// The status line the window's timer shows.
extern QString g_sAddStatus;

class CfrmStat : public Form {
    Q_OBJECT
public:
    CfrmStat();
    ~CfrmStat() override;

    QLabel* lblStat = nullptr;
    cProgressBar* cProgressBar1 = nullptr;
    QPushButton* cmdCancel = nullptr;
    cAudioConverter* cAudioConverter1 = nullptr;
    QTimer* tmrUpdate = nullptr;

    // Appends a row to cGrid1 for each accepted path, showing this window over
    // frm meanwhile; unloads the window at the end. bHide changes nothing.
    void AddFilesToList(const QStringList& Data, cGrid* cGrid1, QWidget* frm, bool bHide = false);
    // Whether the name's extension is one of the supported source formats (any case).
    static bool SupportAudioFile(const QString& sFileName);
    // The text without the first of each of : ? < > \ / * |
    static QString getLegaName(const QString& sPath);
    // The "tags from source" setting of the format the file's extension names.
    static bool GetTagsFromSource(const QString& sSource);

    void cmdCancel_Click();
    void AbortForExit() override { cmdCancel_Click(); }

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    void tmrUpdate_Timer();
    struct PathRead;
    // Reads one path as adding sees it (on a worker thread, with its reader).
    static PathRead ReadPath(const QString& path, cAudioConverter& reader, bool tagsFromFile);
    // Writes the new row of a path that was read; false when the path gave no row.
    bool AddReadFile(const QString& path, const PathRead& read, cGrid* grid, int row);
    void AfterAdding(cGrid* grid, MainWindowServices* main);

    bool m_bAdding = false;
    ParallelReading* m_reading = nullptr;
};

extern DefaultInstance<CfrmStat> g_frmStat;
