#pragma once
#include "core/FileCopyClass.h"
#include "core/Form.h"

#include <memory>

class QFrame;
class QLabel;
class XP_ProgressBar;
class QPushButton;
class QTimer;

// The file copy window: copies g_sSourceFile to g_sDestFile with a progress
// bar, starting 100 ms after tmrStart is switched on and closing itself 100 ms
// after the copy ends. It cannot be closed while the copy runs.
class CfrmFileCopy : public Form {
    Q_OBJECT
public:
    CfrmFileCopy();
    ~CfrmFileCopy() override;

    QString g_sSourceFile;
    QString g_sDestFile;

    // Copies with progress; a failed copy ends with a message and state "Failed".
    void FileCopyEx(const QString& sSource, const QString& sDest);

    QFrame* picTitle;
    QLabel* lblTitle;
    QLabel* Label1;
    QLabel* lblFrom;
    QLabel* Label2;
    QLabel* lblTo;
    QLabel* lblState;
    XP_ProgressBar* ProgressBar1;
    QPushButton* cmdOK;
    QPushButton* cmdExit;
    QTimer* Timer1;
    QTimer* tmrStart;
    QTimer* tmrEnd;

    void tmrStart_Timer();
    void Timer1_Timer();
    void tmrEnd_Timer();
    void cmdOk_Click();
    void cmdExit_Click();

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    std::unique_ptr<FileCopyClass> m_cFileCopy;
};

extern DefaultInstance<CfrmFileCopy> g_frmFileCopy;
