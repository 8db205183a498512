#pragma once
#include "core/Form.h"

#include <cstdint>

class QLabel;
class QPushButton;
class QTimer;

// The shutdown countdown: a small top-most window that counts down and then
// shuts the computer down and closes the program, unless cancelled.
class CfrmTurnOff : public Form {
    Q_OBJECT
public:
    CfrmTurnOff();

    std::int32_t lNumOfSecToShutDown = 0;
    void StartShutDown(std::int32_t lNumOfSec);
    // Asks for the shutdown, then unloads this window and the main window.
    void ShutDown();

    QLabel* lblStatus;
    QLabel* lblSecToShutDown;
    QLabel* lblSeconds;
    QLabel* lblApplInfo;
    QLabel* Image1;
    QPushButton* cmdTurnOffNow;
    QPushButton* cmdCancel;
    QTimer* Timer1;

    void Timer1_Timer();
    void cmdTurnOffNow_Click();
    void cmdCancel_Click();

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
};

extern DefaultInstance<CfrmTurnOff> g_frmTurnOff;

// Opens the countdown with that many seconds; returns when the window closes.
void ShowTurnOff(std::int32_t lSeconds);
