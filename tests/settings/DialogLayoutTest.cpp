#include "controls/widgets/WindowWidgets.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "SettingsFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

class DialogLayout : public SettingsFixture {
protected:
    // Every visible control of the page lies inside it, at least as large as it needs to be.
    void ExpectFits(QWidget* page, const std::string& name)
    {
        ASSERT_TRUE(page->isVisible()) << name;
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (!w->isVisible() || w->isWindow()) continue;
            if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLabel*>(w) && !qobject_cast<QComboBox*>(w) &&
                !qobject_cast<QLineEdit*>(w))
                continue;
            const QRect inPage(w->mapTo(page, QPoint(0, 0)), w->size());
            EXPECT_TRUE(page->rect().contains(inPage)) << name << ": " << w->objectName().toStdString() << " "
                                                       << w->metaObject()->className() << " outside its page";
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)) {
                EXPECT_GE(w->width(), w->minimumSizeHint().width())
                    << name << ": " << w->metaObject()->className() << " \""
                    << (qobject_cast<QLabel*>(w) ? qobject_cast<QLabel*>(w)->text().toStdString()
                                                 : qobject_cast<QAbstractButton*>(w)->text().toStdString())
                    << "\" clipped";
            }
        }
        Save(page->window(), name);
    }
    // With TARVELLO_SCREENSHOT_DIR set, keeps a picture of each page for a look by eye.
    static void Save(QWidget* window, const std::string& name)
    {
        const QString dir = qEnvironmentVariable("TARVELLO_SCREENSHOT_DIR");
        if (!dir.isEmpty()) window->grab().save(QDir(dir).filePath(QString::fromStdString(name) + ".png"));
    }
};

TEST_F(DialogLayout, EveryOptionsPageFits)
{
    CfrmOptions* dlg = frmOptions.get();
    dlg->show();
    for (const char* key : {"General", "Events", "View", "ID3 Tags", "Advanced"}) {
        dlg->cTreeView1_NodeClick(dlg->cTreeView1->Nodes()->Item(QString(key)));
        QWidget* page = nullptr;
        for (QGroupBox* g : dlg->findChildren<QGroupBox*>())
            if (g->isVisible()) page = g;
        ASSERT_NE(page, nullptr) << key;
        ExpectFits(page, std::string("options-") + key);
    }
}

TEST_F(DialogLayout, EveryAudioFormatPageFits)
{
    frmOptions.get();
    CfrmAudioProp* dlg = g_frmAudioProp.get();
    dlg->show();
    dlg->lblMP3Advanced_Click(); // the MP3 page with its advanced panel
    for (const char* key : {"WAV", "ACM", "MP3", "WMA", "OGG"}) {
        dlg->cTabControl1->SelectTab(key);
        dlg->cTabControl1_TabClick(dlg->cTabControl1->TabIndex(key));
        QFrame* pages[] = {dlg->froToWAV, dlg->froToACM, dlg->froToMP3, dlg->froToWMA, dlg->froToOGG};
        QFrame* shown = nullptr;
        for (QFrame* p : pages)
            if (p->isVisible()) shown = p;
        ASSERT_NE(shown, nullptr) << key;
        ExpectFits(shown, std::string("audioformat-") + key);
    }
}

} // namespace
