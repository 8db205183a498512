#include "core/Edition.h"
#include "core/frmTurnOff.h"
#include "core/mdlShutDown.h"
#include "platform/AppInfo.h"
#include "support/MainWindowDouble.h"
#include "support/ProgramFixture.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class ShutDown : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetEditionModes();
        ClearShutDownError();
    }
};

TEST_F(ShutDown, ShutdownSystemAsksForPowerOff)
{
    for (std::int32_t flags : {EWX_SHUTDOWN, EWX_POWEROFF, EWX_SHUTDOWN | EWX_FORCE}) {
        power->requests.clear();
        EXPECT_TRUE(ShutdownSystem(flags));
        ASSERT_EQ(power->requests.size(), 1u);
        EXPECT_EQ(power->requests[0], platform::PowerAction::PowerOff);
    }
    power->requests.clear();
    EXPECT_TRUE(ShutdownSystem(EWX_REBOOT));
    EXPECT_EQ(power->requests, std::vector<platform::PowerAction>{platform::PowerAction::Reboot});
    EXPECT_EQ(LastShutDownError().Number, 0u);
}

TEST_F(ShutDown, InvalidFlagsAreRecordedAndNothingIsRequested)
{
    for (std::int32_t flags : {32, -1}) {
        EXPECT_FALSE(ShutdownSystem(flags));
        EXPECT_EQ(LastShutDownError().Number, kErrInvalidShutdownFlags);
        EXPECT_EQ(LastShutDownError().Number, 0x8004062Fu);
        EXPECT_EQ(LastShutDownError().Description, "Invalid parameter to ShutdownSystem: " + QString::number(flags));
        EXPECT_EQ(LastShutDownError().Source, platform::AppExeName() + ".mShutDown");
    }
    EXPECT_TRUE(power->requests.empty());
}

TEST_F(ShutDown, ARefusedRequestIsRecorded)
{
    power->accept = false;
    power->refusalText = "Interactive authentication required.";
    EXPECT_FALSE(ShutdownSystem(EWX_SHUTDOWN));
    EXPECT_EQ(LastShutDownError().Number, 0x8004062Bu);
    EXPECT_EQ(LastShutDownError().Description, "ShutdownSystem failed: Interactive authentication required.");
}

TEST_F(ShutDown, AnUnreachableLoginManagerStopsAtThePrivilegeStep)
{
    power->canPowerOffAnswer = "";
    EXPECT_FALSE(EnableShutdownPrivilege());
    EXPECT_FALSE(ShutdownSystem(EWX_SHUTDOWN));
    EXPECT_TRUE(power->requests.empty());
    EXPECT_EQ(LastShutDownError().Number, 0x8004062Cu);
    EXPECT_EQ(LastShutDownError().Description,
              "Can't enable shutdown: Can't find the SE_SHUTDOWN_NAME privilege value. [" + power->unreachableText + "]");
}

TEST_F(ShutDown, AUserWithoutTheRightIsRefusedByTheRequest)
{
    power->canPowerOffAnswer = "no";
    power->accept = false;
    EXPECT_TRUE(EnableShutdownPrivilege());
    EXPECT_FALSE(ShutdownSystem(EWX_SHUTDOWN));
    EXPECT_EQ(LastShutDownError().Number, 0x8004062Bu);
}

TEST_F(ShutDown, LoggingOffAloneIsNotSupported)
{
    EXPECT_FALSE(ShutdownSystem(EWX_LOGOFF));
    EXPECT_TRUE(power->requests.empty());
    EXPECT_EQ(LastShutDownError().Number, 0x8004062Bu);
}

TEST_F(ShutDown, GetSystemErrorText)
{
    EXPECT_EQ(GetSystemErrorText(2), "No such file or directory");
    EXPECT_EQ(GetSystemErrorText(99999), "");
    EXPECT_TRUE(IsWindowsNT());
}

class TurnOff : public ShutDown {
protected:
    QStringList labels;
    void RecordLabel() { labels << g_frmTurnOff.Peek()->lblSecToShutDown->text(); }

    // Passes requests on to the fixture's recorder, noting what the countdown label showed then.
    struct LabelAtRequest : platform::PowerService {
        support::RecordingPower* inner = nullptr;
        QString label;
        QString CanPowerOff(QString* e) override { return inner->CanPowerOff(e); }
        bool Request(platform::PowerAction a, QString* e) override
        {
            if (CfrmTurnOff* w = g_frmTurnOff.Peek()) label = w->lblSecToShutDown->text();
            return inner->Request(a, e);
        }
    };
    support::RecordingPower recorder;
    LabelAtRequest* WatchLabel()
    {
        auto watch = std::make_unique<LabelAtRequest>();
        watch->inner = &recorder;
        LabelAtRequest* raw = watch.get();
        platform::SetPowerService(std::move(watch));
        return raw;
    }
};

TEST_F(TurnOff, CountsDownAndShutsDown)
{
    support::MainWindowDouble main;
    modal->hook = [&](QWidget* shown) {
        auto* w = static_cast<CfrmTurnOff*>(shown);
        EXPECT_EQ(w->windowTitle(), "Turn Off Computer");
        EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(w->lblApplInfo->text(), "Tarvello 1.2");
        EXPECT_EQ(w->lblStatus->text(), "Computer will shutdown in");
        EXPECT_EQ(w->lblSeconds->text(), "Seconds");
        EXPECT_TRUE(w->Timer1->isActive());
        EXPECT_EQ(w->Timer1->interval(), 1000);
        RecordLabel();
        while (g_frmTurnOff.IsLoaded()) {
            EXPECT_TRUE(power->requests.empty());
            w->Timer1_Timer();
            if (g_frmTurnOff.IsLoaded()) RecordLabel();
        }
    };
    ShowTurnOff(30);
    QStringList expected;
    for (int s = 30; s >= 1; --s) expected << QString::number(s);
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(power->requests, std::vector<platform::PowerAction>{platform::PowerAction::PowerOff});
    EXPECT_FALSE(g_frmTurnOff.IsLoaded());
    EXPECT_TRUE(main.unloaded) << "the program closes after the request";
}

TEST_F(TurnOff, TheLabelShowsZeroWhenTheRequestIsMade)
{
    LabelAtRequest* watch = WatchLabel();
    CfrmTurnOff* w = g_frmTurnOff.get();
    w->StartShutDown(2);
    EXPECT_EQ(w->lblSecToShutDown->text(), "2");
    w->Timer1_Timer();
    EXPECT_EQ(w->lblSecToShutDown->text(), "1");
    EXPECT_TRUE(recorder.requests.empty());
    w->Timer1_Timer();
    EXPECT_EQ(recorder.requests.size(), 1u);
    EXPECT_EQ(watch->label, "0");
    EXPECT_FALSE(g_frmTurnOff.IsLoaded());
}

TEST_F(TurnOff, ShutdownNow)
{
    support::MainWindowDouble main;
    modal->hook = [&](QWidget* shown) {
        auto* w = static_cast<CfrmTurnOff*>(shown);
        w->Timer1_Timer();
        QTest::mouseClick(w->cmdTurnOffNow, Qt::LeftButton);
    };
    ShowTurnOff(30);
    EXPECT_EQ(power->requests.size(), 1u);
    EXPECT_TRUE(main.unloaded);
}

TEST_F(TurnOff, ShutdownNowShowsZero)
{
    LabelAtRequest* watch = WatchLabel();
    CfrmTurnOff* w = g_frmTurnOff.get();
    w->StartShutDown(30);
    w->cmdTurnOffNow_Click();
    EXPECT_EQ(watch->label, "0");
    EXPECT_EQ(recorder.requests.size(), 1u);
}

TEST_F(TurnOff, CancelGivesControlBack)
{
    support::MainWindowDouble main;
    modal->hook = [&](QWidget* shown) {
        auto* w = static_cast<CfrmTurnOff*>(shown);
        w->Timer1_Timer();
        QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
    };
    ShowTurnOff(30);
    EXPECT_TRUE(power->requests.empty());
    EXPECT_FALSE(g_frmTurnOff.IsLoaded());
    EXPECT_FALSE(main.unloaded);
}

TEST_F(TurnOff, AFailedRequestStillClosesTheProgram)
{
    support::MainWindowDouble main;
    power->accept = false;
    modal->hook = [&](QWidget* shown) { static_cast<CfrmTurnOff*>(shown)->cmdTurnOffNow_Click(); };
    ShowTurnOff(30);
    EXPECT_EQ(power->requests.size(), 1u);
    EXPECT_TRUE(main.unloaded);
    EXPECT_EQ(LastShutDownError().Number, 0x8004062Bu);
}

TEST_F(TurnOff, TheCloseBoxEndsTheCountdown)
{
    support::MainWindowDouble main;
    QPointer<CfrmTurnOff> window;
    modal->hook = [&](QWidget* shown) {
        window = static_cast<CfrmTurnOff*>(shown);
        window->close();
    };
    ShowTurnOff(30);
    // The closed window waits for its deferred deletion; its countdown must not go on meanwhile.
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->Timer1->isActive());
    EXPECT_FALSE(g_frmTurnOff.IsLoaded());
    EXPECT_TRUE(power->requests.empty());
    EXPECT_FALSE(main.unloaded);
}

} // namespace
