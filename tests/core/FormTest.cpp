#include "core/Form.h"
#include "support/ProgramFixture.h"

#include <QCoreApplication>

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

} // namespace
