#include "core/frmFileCopy.h"

#include "controls/widgets/PlainText.h"
#include "controls/widgets/ProgressBars.h"
#include "core/Skin.h"
#include "settings/mdlOptions.h"
#include "platform/MessageBox.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

DefaultInstance<CfrmFileCopy> g_frmFileCopy;

namespace {

QTimer* makeTimer(QObject* parent, int interval)
{
    auto* t = new QTimer(parent);
    t->setInterval(interval);
    return t;
}

} // namespace

CfrmFileCopy::CfrmFileCopy() : Form("g_frmFileCopy")
{
    setWindowTitle("File Copy");
    resize(460, 200);

    picTitle = new QFrame(this);
    picTitle->setFixedHeight(28);
    lblTitle = widgets::PlainLabel("File Copy", picTitle);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    auto* titleLayout = new QHBoxLayout(picTitle);
    titleLayout->setContentsMargins(8, 0, 8, 0);
    titleLayout->addWidget(lblTitle);

    Label1 = widgets::PlainLabel("From:", this);
    lblFrom = widgets::PlainLabel(this);
    Label2 = widgets::PlainLabel("To:", this);
    lblTo = widgets::PlainLabel(this);
    for (QLabel* l : {lblFrom, lblTo}) l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblState = widgets::PlainLabel("State", this);
    ProgressBar1 = new XP_ProgressBar(this);
    ProgressBar1->setFixedHeight(18);
    cmdOK = new QPushButton("OK", this);
    cmdExit = new QPushButton("Exit", this);
    SetKeyButtons(cmdOK, cmdExit);

    auto* fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(lblFrom, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(lblTo, 1, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblState, 1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(picTitle);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 4, 8, 0);
    body->addLayout(fields);
    body->addWidget(ProgressBar1);
    body->addLayout(buttons);
    layout->addLayout(body);

    Timer1 = makeTimer(this, 1000);
    tmrStart = makeTimer(this, 100);
    tmrEnd = makeTimer(this, 100);
    connect(Timer1, &QTimer::timeout, this, &CfrmFileCopy::Timer1_Timer);
    connect(tmrStart, &QTimer::timeout, this, &CfrmFileCopy::tmrStart_Timer);
    connect(tmrEnd, &QTimer::timeout, this, &CfrmFileCopy::tmrEnd_Timer);
    connect(cmdOK, &QPushButton::clicked, this, &CfrmFileCopy::cmdOk_Click);
    connect(cmdExit, &QPushButton::clicked, this, &CfrmFileCopy::cmdExit_Click);
}

CfrmFileCopy::~CfrmFileCopy() = default;

void CfrmFileCopy::Form_Load()
{
    SetBackColor(picTitle, ColorFromNumber(g_lColor));
    SetForeColor(lblTitle, ColorFromNumber(g_lTextColor));
    ProgressBar1->SetColor(g_lColor);
}

void CfrmFileCopy::FileCopyEx(const QString& sSource, const QString& sDest)
{
    cmdOK->setEnabled(false);
    cmdExit->setEnabled(false);
    ProgressBar1->SetValue(0);
    ProgressBar1->setVisible(true);
    lblState->setText("Copying");
    m_cFileCopy = std::make_unique<FileCopyClass>();
    m_cFileCopy->CacheSize = 8000;
    Timer1->start();
    m_cFileCopy->Copy(sSource, sDest);
    Timer1->stop();
    const bool done = m_cFileCopy->Sucessfull;
    const QString why = m_cFileCopy->ErrorDescription;
    m_cFileCopy.reset();

    if (done) {
        ProgressBar1->SetValue(100);
        lblState->setText("Ready");
    } else {
        lblState->setText("Failed");
    }
    cmdOK->setEnabled(true);
    cmdExit->setEnabled(true);
    if (!done) platform::MsgBox(why, platform::vbExclamation | platform::vbOKOnly);
    tmrEnd->start();
}

void CfrmFileCopy::tmrStart_Timer()
{
    // One tick starts one copy.
    tmrStart->stop();
    FileCopyEx(g_sSourceFile, g_sDestFile);
}

void CfrmFileCopy::Timer1_Timer()
{
    if (m_cFileCopy) ProgressBar1->SetValue(m_cFileCopy->PercentREady);
}

void CfrmFileCopy::tmrEnd_Timer()
{
    tmrEnd->stop();
    Unload();
}

void CfrmFileCopy::cmdOk_Click() { FileCopyEx(g_sSourceFile, g_sDestFile); }

void CfrmFileCopy::cmdExit_Click() { Unload(); }

void CfrmFileCopy::Form_Unload(int& Cancel)
{
    // A running copy keeps the window.
    if (!cmdExit->isEnabled()) {
        Cancel = 1;
        return;
    }
    // Closed before its copy began: the copy must not start from a closed window.
    tmrStart->stop();
    tmrEnd->stop();
    Timer1->stop();
}
