#include "core/frmTurnOff.h"

#include "controls/widgets/PlainText.h"
#include "core/Edition.h"
#include "core/mdlShutDown.h"
#include "core/MainWindowServices.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

DefaultInstance<CfrmTurnOff> g_frmTurnOff;

CfrmTurnOff::CfrmTurnOff() : Form("g_frmTurnOff")
{
    setWindowTitle("Turn Off Computer");
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setAttribute(Qt::WA_ShowWithoutActivating, true);

    Image1 = widgets::PlainLabel(this);
    QIcon icon = QIcon::fromTheme("system-shutdown");
    if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    Image1->setPixmap(icon.pixmap(48, 48));
    lblStatus = widgets::PlainLabel("Computer will shutdown in", this);
    lblSecToShutDown = widgets::PlainLabel("100", this);
    lblSecToShutDown->setAlignment(Qt::AlignCenter);
    QFont bold = lblSecToShutDown->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 6);
    lblSecToShutDown->setFont(bold);
    lblSeconds = widgets::PlainLabel("Seconds", this);
    lblSeconds->setAlignment(Qt::AlignCenter);
    lblApplInfo = widgets::PlainLabel(this);
    cmdTurnOffNow = new QPushButton("Shutdown Now", this);
    cmdCancel = new QPushButton("Cancel", this);
    // The window comes up unasked at the end of a job: an Enter meant for
    // something else cancels the countdown, it never shuts down at once.
    SetKeyButtons(cmdCancel, cmdCancel);
    cmdCancel->setFocus();

    auto* count = new QVBoxLayout;
    count->addWidget(lblStatus);
    count->addWidget(lblSecToShutDown);
    count->addWidget(lblSeconds);
    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addLayout(count, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblApplInfo, 1);
    buttons->addWidget(cmdTurnOffNow);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &CfrmTurnOff::Timer1_Timer);
    connect(cmdTurnOffNow, &QPushButton::clicked, this, &CfrmTurnOff::cmdTurnOffNow_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &CfrmTurnOff::cmdCancel_Click);
}

void CfrmTurnOff::Form_Load() { lblApplInfo->setText(g_sAppName + " " + g_sAppVersion); }

// However the window closes (its close box included), the countdown ends with it:
// the window lives on until its deferred deletion and must not shut down from there.
void CfrmTurnOff::Form_Unload(int& Cancel) { Timer1->stop(); }

void CfrmTurnOff::StartShutDown(std::int32_t lNumOfSec)
{
    lNumOfSecToShutDown = lNumOfSec;
    lblSecToShutDown->setText(QString::number(lNumOfSec));
    Timer1->start();
    Timer1_Timer();
}

void CfrmTurnOff::Timer1_Timer()
{
    lblSecToShutDown->setText(QString::number(lNumOfSecToShutDown));
    if (lNumOfSecToShutDown > 0) {
        --lNumOfSecToShutDown;
    } else {
        Timer1->stop();
        ShutDown();
    }
}

void CfrmTurnOff::cmdTurnOffNow_Click()
{
    Timer1->stop();
    lNumOfSecToShutDown = 0;
    lblSecToShutDown->setText("0");
    ShutDown();
}

void CfrmTurnOff::cmdCancel_Click()
{
    Timer1->stop();
    Unload();
}

void CfrmTurnOff::ShutDown()
{
    // The program closes whether or not the request was accepted.
    ShutdownSystem(EWX_SHUTDOWN);
    Unload();
    if (MainWindowServices* main = MainWindow()) main->Unload();
}

void ShowTurnOff(std::int32_t lSeconds)
{
    QPointer<CfrmTurnOff> window = g_frmTurnOff.get();
    window->StartShutDown(lSeconds);
    if (window && window->IsLoaded()) window->ShowModal();
}
