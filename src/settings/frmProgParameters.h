#pragma once
#include "core/Form.h"

#include <QVector>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Parameters": the placeholders that the end-of-job program line, the tag
// texts and the file-name patterns accept, one section at a time.
class CfrmProgParameters : public Form {
    Q_OBJECT
public:
    CfrmProgParameters();

    QFrame* picTitle;
    QLabel* lblTitle;
    QComboBox* cboSections;
    QGroupBox* fraAppNotic;
    QGroupBox* fraID3Tags;
    QGroupBox* fraExt;
    QVector<QLineEdit*> txtParameter;
    QPushButton* cmdOk;

    void cboSections_Click();
    void cmdOk_Click();

protected:
    void Form_Load() override;

private:
    QGroupBox* makeSection(const QList<QPair<QString, QString>>& rows);
};

extern DefaultInstance<CfrmProgParameters> g_frmProgParameters;

// Shows the placeholders modally, on a section: 0 the end-of-job program's,
// 1 the tag texts', 2 the file-name patterns'.
void ShowProgParameters(int section);
