#pragma once
#include "core/Form.h"

class QFrame;
class QLabel;

// The splash window: product name and version, the loading status line, a fade-in.
class CfrmSplash : public Form {
    Q_OBJECT
public:
    CfrmSplash();
    void FadeIn();
    void SetStatus(const QString& text);

    QFrame* picTitle;
    QLabel* lblAppTitle;
    QLabel* lblVersion;
    QLabel* lblStat;
    QFrame* Shape1;

protected:
    void Form_Load() override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

extern DefaultInstance<CfrmSplash> g_frmSplash;
