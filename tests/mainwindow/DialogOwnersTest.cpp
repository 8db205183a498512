// Every dialog and tool window opens over the window that opened it: owned by
// it (its transient dialog) and centred on it.
#include "MainWindowFixture.h"

#include "conversion/frmConverter.h"
#include "core/Form.h"
#include "lists/ItemRows.h"

#include <QWindow>
#include <functional>
#include <map>

namespace {

class DialogOwners : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        main = LoadMain();
        main->Show();
        main->setGeometry(0, 0, 800, 600); // the whole offscreen screen: every dialog fits centred
        main->cGrid1->CellDetails(1, kColInc, QVariant(), kIconCellFormat, kIconMarked);
        main->cGrid1->CellDetails(1, kColItemName, "a.wav");
        main->cGrid1->CellDetails(1, kColFile, ProgramFolder() + "/a.wav");
        // Each shown window is recorded as "window over owner"; `opens` names
        // what a window opens while it is shown.
        modal->hook = [this](QWidget* w) {
            auto* form = static_cast<Form*>(w);
            QWidget* owner = form->Owner();
            seen << form->Name() + " over " + (owner ? owner->objectName() : QString("nothing"));
            if (owner && (form->geometry().center() - owner->geometry().center()).manhattanLength() > 1)
                offCentre << form->Name();
            if (owner && w->windowHandle()->transientParent() != owner->windowHandle()) notTransient << form->Name();
            if (auto it = opens.find(form->Name()); it != opens.end()) it->second(form);
        };
    }
    void RunKey(const QString& key) { main->m_cMenu_Click(main->m_cMenu->IndexForKey(key)); }

    CfrmMain* main = nullptr;
    std::map<QString, std::function<void(Form*)>> opens;
    QStringList seen, offCentre, notTransient;
};

TEST_F(DialogOwners, EachOpensOverItsOpener)
{
    opens["frmOptions"] = [](Form*) {
        frmOptions->ShowParameters(0);
        frmOptions->cmdEditTargetFormat_Click();
    };
    opens["g_frmConverter"] = [](Form*) {
        g_frmConverter->lblParameters_Click();
        g_frmConverter->cmdEditTargetFormat_Click();
    };
    const struct {
        const char* key;
        QStringList shown;
    } cases[] = {
        {"General", {"frmOptions over frmMain", "g_frmProgParameters over frmOptions", "g_frmAudioProp over frmOptions"}},
        {"About", {"frmAbout over frmMain"}},
        {"Audio Converter",
         {"g_frmConverter over frmMain", "g_frmProgParameters over g_frmConverter",
          "g_frmAudioProp over g_frmConverter"}},
    };
    for (const auto& c : cases) {
        seen.clear();
        RunKey(c.key);
        EXPECT_EQ(seen, c.shown) << c.key;
    }
    EXPECT_TRUE(offCentre.isEmpty()) << offCentre.join(", ").toStdString();
    EXPECT_TRUE(notTransient.isEmpty()) << notTransient.join(", ").toStdString();
}

} // namespace
