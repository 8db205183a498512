#include "core/Form.h"
#include "platform/ModalRunner.h"
#include "support/ProgramFixture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

namespace {

class CfrmProbe : public Form {
public:
    CfrmProbe() : Form("frmProbe") {}
    int loads = 0;
    bool keep = false;

protected:
    void Form_Load() override { ++loads; }
    void Form_Unload(int& Cancel) override { Cancel = keep ? 1 : 0; }
};

DefaultInstance<CfrmProbe> frmProbe;

class CfrmOuter : public Form {
public:
    CfrmOuter() : Form("frmOuter") { setFixedSize(600, 400); }
};
DefaultInstance<CfrmOuter> frmOuter;

class CfrmAlone : public Form {
public:
    CfrmAlone() : Form("frmAlone")
    {
        MakeStandalone();
        setFixedSize(300, 200);
    }
};
DefaultInstance<CfrmAlone> frmAlone;

class FormModel : public support::ProgramFixture {};

TEST_F(FormModel, DefaultInstanceLoadsOnceAndComesBackFreshAfterUnload)
{
    CfrmProbe* first = frmProbe.get();
    EXPECT_EQ(first->loads, 1);
    EXPECT_EQ(frmProbe.get(), first);
    EXPECT_EQ(first->loads, 1);
    first->keep = true;
    EXPECT_FALSE(first->Unload()); // the unload handler keeps it
    EXPECT_TRUE(frmProbe.IsLoaded());
    first->keep = false;
    EXPECT_TRUE(first->Unload());
    EXPECT_FALSE(frmProbe.IsLoaded());
    EXPECT_EQ(frmProbe.Peek(), nullptr);
    ProcessEvents();
    EXPECT_EQ(frmProbe->loads, 1); // a new window, loaded anew
}

TEST_F(FormModel, AWindowThatUnloadsWhileShownModallyOutlivesTheShow)
{
    CfrmProbe* probe = frmProbe.get();
    QPointer<CfrmProbe> alive(probe);
    modal->hook = [](QWidget* w) {
        static_cast<Form*>(w)->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    probe->ShowModal();
    ASSERT_FALSE(alive.isNull()) << "destroyed while its opener still holds it";
    EXPECT_EQ(probe->Name(), "frmProbe");
    ProcessEvents();
    EXPECT_TRUE(alive.isNull());
}

TEST_F(FormModel, OnlyHidingOrUnloadingEndsAModalShow)
{
    struct Case {
        const char* action;
        std::function<void(Form*)> act;
        bool ends;
    };
    const Case cases[] = {
        {"minimised", [](Form* f) { f->showMinimized(); }, false},
        {"minimised and restored", [](Form* f) { f->showMinimized(); f->showNormal(); }, false},
        {"hidden", [](Form* f) { f->Hide(); }, true},
        {"unloaded", [](Form* f) { f->Unload(); }, true},
    };
    for (const Case& c : cases) {
        platform::SetModalRunner(nullptr); // the real nested event loop
        CfrmProbe* probe = frmProbe.get();
        bool returned = false, checked = false, endedByAction = false;
        QTimer::singleShot(0, probe, [&] {
            c.act(probe);
            QTimer::singleShot(0, [&] {
                endedByAction = returned;
                checked = true;
                if (!returned) probe->Unload();
            });
        });
        probe->ShowModal();
        returned = true;
        ASSERT_TRUE(QTest::qWaitFor([&] { return checked; })) << c.action;
        EXPECT_EQ(endedByAction, c.ends) << c.action;
        if (frmProbe.IsLoaded()) frmProbe->Unload();
        ProcessEvents();
    }
}

TEST_F(FormModel, ADialogIsOwnedByTheWindowThatOpensItAndCentredOnIt)
{
    CfrmOuter* outer = frmOuter.get();
    outer->move(200, 100);
    QWidget* owner = reinterpret_cast<QWidget*>(1);
    QWindow* transientParent = nullptr;
    QRect placed;
    Qt::WindowType type = Qt::Widget;
    modal->hook = [&](QWidget* w) {
        if (w == outer) {
            frmProbe->setFixedSize(200, 100);
            frmProbe->ShowModal();
            return;
        }
        owner = frmProbe->Owner();
        transientParent = w->windowHandle()->transientParent();
        placed = w->geometry();
        type = w->windowType();
    };
    outer->ShowModal();
    EXPECT_EQ(owner, outer);
    EXPECT_EQ(transientParent, outer->windowHandle());
    EXPECT_EQ(type, Qt::Dialog);
    EXPECT_EQ(placed.center(), outer->geometry().center());
}

TEST_F(FormModel, AWindowWithNothingToOpenItIsCentredOnTheScreen)
{
    struct Case {
        const char* opener;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"no other window shown", [] {}},
        {"the only other window minimised", [] { frmOuter->showMinimized(); }},
        {"the only other window hidden", [] { frmOuter->Hide(); }},
    };
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const Case& c : cases) {
        c.prepare();
        CfrmProbe* probe = frmProbe.get();
        probe->setFixedSize(200, 100);
        probe->Show();
        EXPECT_EQ(probe->Owner(), nullptr) << c.opener;
        EXPECT_EQ(probe->windowHandle()->transientParent(), nullptr) << c.opener;
        EXPECT_EQ(probe->geometry().center(), screen.center()) << c.opener;
        probe->Unload();
        if (frmOuter.IsLoaded()) frmOuter->Unload();
        ProcessEvents();
    }
}

TEST_F(FormModel, AStandaloneWindowHasNoOwnerAndKeepsItsPlace)
{
    frmOuter->Show();
    CfrmAlone* alone = frmAlone.get();
    alone->move(40, 30);
    alone->Show();
    EXPECT_EQ(alone->Owner(), nullptr);
    EXPECT_EQ(alone->windowType(), Qt::Window);
    EXPECT_EQ(alone->pos(), QPoint(40, 30));
}

} // namespace
