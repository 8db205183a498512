// What the job windows share in shape but each lays out its own way: the
// order of the end-of-job boxes on the Events page, and the tool tips of the
// destination folder and placeholder links.
#include "ConverterFixture.h"

#include "burning/frmAudioCDDuplicator.h"
#include "burning/frmCDBurner.h"
#include "conversion/frmACMConverter.h"
#include "conversion/frmConverter.h"
#include "core/LinkLabel.h"
#include "ripping/frmCDRipper.h"
#include "splitjoin/frmJoiner.h"
#include "splitjoin/frmSplitter.h"

#include <QCheckBox>
#include <QFrame>
#include <QLayout>
#include <functional>
#include <memory>

using namespace convtest;

namespace {

struct FamilyMember {
    const char* name;
    std::function<std::unique_ptr<JobWindow>()> make;
    QStringList eventBoxes; // from the top of the Events page down
    QString folderTip;      // of the destination folder link
    QString parametersTip;  // of "Parameters"
};
void PrintTo(const FamilyMember& m, std::ostream* os) { *os << m.name; }

template <class Window>
std::function<std::unique_ptr<JobWindow>()> make()
{
    return [] { return std::make_unique<Window>(); };
}

const QStringList kFamilyOrder{"chkPlaySound", "chkOpenDestFolder", "chkNoticeApp", "chkTurnOffComputer"};
const QStringList kShutdownThird{"chkPlaySound", "chkOpenDestFolder", "chkTurnOffComputer", "chkNoticeApp"};

class JobWindowFamily : public JobWindowTest, public ::testing::WithParamInterface<FamilyMember> {
protected:
    static QCheckBox* EventBox(JobWindow& w, const QString& name)
    {
        if (name == "chkPlaySound") return w.chkPlaySound;
        if (name == "chkOpenDestFolder") return w.chkOpenDestFolder;
        if (name == "chkNoticeApp") return w.chkNoticeApp;
        return w.chkTurnOffComputer;
    }
};

TEST_P(JobWindowFamily, LaysOutItsEventBoxesInItsOwnOrder)
{
    const std::unique_ptr<JobWindow> w = GetParam().make();
    const QStringList& order = GetParam().eventBoxes;
    QLayout* page = w->TabEvents->layout();
    int previous = page->indexOf(w->Label20);
    for (qsizetype i = 0; i < order.size(); ++i) {
        QCheckBox* box = EventBox(*w, order[i]);
        const int index = page->indexOf(box);
        EXPECT_EQ(index, previous + 1) << order[i].toStdString() << " stands right under the one before";
        previous = index;
        // The Tab key goes down the boxes in the same order.
        if (i > 0) {
            EXPECT_EQ(EventBox(*w, order[i - 1])->nextInFocusChain(), box) << order[i].toStdString();
        }
    }
}

TEST_P(JobWindowFamily, GivesItsLinksTheirToolTips)
{
    const std::unique_ptr<JobWindow> w = GetParam().make();
    EXPECT_EQ(w->lblOpenDestinationDestinationFolder->toolTip(), GetParam().folderTip);
    EXPECT_EQ(w->lblParameters->toolTip(), GetParam().parametersTip);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, JobWindowFamily,
    ::testing::Values(
        FamilyMember{"Converter", make<CfrmConverter>(), kFamilyOrder, "", ""},
        FamilyMember{"ACMConverter", make<CfrmACMConverter>(), kFamilyOrder, "", ""},
        FamilyMember{"Ripper", make<CfrmCDRipper>(), kShutdownThird, "Open destination folder", "Parameters"},
        FamilyMember{"Splitter", make<CfrmSplitter>(), kFamilyOrder, "Open destination folder", "Parameters"},
        FamilyMember{"Joiner", make<CfrmJoiner>(), kShutdownThird, "Open destination folder", "Parameters"},
        FamilyMember{"AudioCDMaker", make<CfrmCDBurner>(), kFamilyOrder, "Browse with the explorer.", ""},
        FamilyMember{"Duplicator", make<CfrmAudioCDDuplicator>(),
                     {"chkPlaySound", "chkTurnOffComputer", "chkNoticeApp", "chkOpenDestFolder"}, "", ""}),
    [](const ::testing::TestParamInfo<FamilyMember>& info) { return info.param.name; });

} // namespace
