#include "settings/frmProgParameters.h"
#include "support/ProgramFixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

class ProgParameters : public support::ProgramFixture {};

QStringList PlaceholdersShown(QGroupBox* frame)
{
    QStringList texts;
    for (QLineEdit* box : frame->findChildren<QLineEdit*>()) texts << box->text();
    return texts;
}

TEST_F(ProgParameters, EachSectionShowsItsOwnPlaceholders)
{
    CfrmProgParameters* dlg = g_frmProgParameters.get();
    EXPECT_EQ(dlg->windowTitle(), "Parameters");
    const struct {
        int section;
        QGroupBox* frame;
        QStringList placeholders;
    } cases[] = {
        {0, dlg->fraAppNotic,
         {"[PROG_NAME]", "[PROG_VERSION]", "[FILE_RECORDED]", "[FILE_SIZE]", "[FILE_TIME_LENGTH]", "[FILE_CREATED]"}},
        {1, dlg->fraID3Tags,
         {"[PROG_NAME]", "[PROG_VERSION]", "[DATE]", "[TIME]", "[TRACK_NUM]", "[YEAR]", "[SOURCE_NAME]", "[ITEM_NAME]",
          "[RANGE]"}},
        {2, dlg->fraExt,
         {"[file_name]", "[date]", "[time]", "[123]", "[source_extension]", "[dest_extension]", "[item_name]"}},
    };
    modal->hook = [&](QWidget*) {
        for (const auto& c : cases) {
            dlg->cboSections->setCurrentIndex(c.section); // switching while open takes effect at once
            EXPECT_EQ(PlaceholdersShown(c.frame), c.placeholders) << c.section;
            for (QGroupBox* f : {dlg->fraAppNotic, dlg->fraID3Tags, dlg->fraExt})
                EXPECT_EQ(f->isVisible(), f == c.frame) << c.section;
        }
        dlg->cmdOk->click();
    };
    dlg->cboSections->setCurrentIndex(0);
    dlg->ShowModal();
    EXPECT_FALSE(g_frmProgParameters.IsLoaded()); // OK unloads it
    ProcessEvents();
    EXPECT_EQ(g_frmProgParameters->cboSections->currentIndex(), -1); // loads afresh
}

} // namespace
