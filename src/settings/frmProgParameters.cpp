#include "settings/frmProgParameters.h"

#include "controls/widgets/PlainText.h"
#include "core/Skin.h"
#include "platform/VbCompat.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

DefaultInstance<CfrmProgParameters> g_frmProgParameters;

void ShowProgParameters(int section)
{
    CfrmProgParameters* dlg = g_frmProgParameters.get();
    dlg->cboSections->setCurrentIndex(section);
    dlg->ShowModal();
}

namespace {
constexpr int kWidth = 600;
}

CfrmProgParameters::CfrmProgParameters() : Form("g_frmProgParameters")
{
    setWindowTitle("Parameters");
    setFixedWidth(kWidth);

    picTitle = new QFrame(this);
    picTitle->setGeometry(0, 0, kWidth, 32);
    lblTitle = widgets::PlainLabel("Parameters", picTitle);
    lblTitle->setGeometry(10, 0, kWidth - 20, 32);
    QFont f = lblTitle->font();
    f.setBold(true);
    lblTitle->setFont(f);

    auto* lblSections = widgets::PlainLabel("Sections:", this);
    lblSections->setGeometry(12, 46, 70, 24);
    cboSections = new QComboBox(this);
    cboSections->setGeometry(86, 44, kWidth - 98, 26);
    cboSections->addItems({"Execute external application", "ID3 Audio Tags", "File Name Format"});
    cboSections->setCurrentIndex(-1);

    fraAppNotic = makeSection({{"[PROG_NAME]", "The program name."},
                               {"[PROG_VERSION]", "The version."},
                               {"[FILE_RECORDED]", "The created file path and name."},
                               {"[FILE_SIZE]", "The created file size."},
                               {"[FILE_TIME_LENGTH]", "The created file time length."},
                               {"[FILE_CREATED]", "The date and time of the file."}});
    fraID3Tags = makeSection({{"[PROG_NAME]", "The program name."},
                              {"[PROG_VERSION]", "The version."},
                              {"[DATE]", "The creation date of the file."},
                              {"[TIME]", "The creation time of the file."},
                              {"[TRACK_NUM]", "The item number."},
                              {"[YEAR]", "The creation year of the file."},
                              {"[SOURCE_NAME]", "The source file name."},
                              {"[ITEM_NAME]", "The item name from the Items List."},
                              {"[RANGE]", "The processed range."}});
    fraExt = makeSection({{"[file_name]", "The file name."},
                          {"[date]", "The current date."},
                          {"[time]", "The current time."},
                          {"[123]", "The track number."},
                          {"[source_extension]", "The extension of the source file."},
                          {"[dest_extension]", "The extension of the destination file."},
                          {"[item_name]", "The item name from the Items List."}});

    cmdOk = new QPushButton("OK", this);
    SetKeyButtons(cmdOk, cmdOk);
    cmdOk->setDefault(true);

    connect(cboSections, &QComboBox::currentIndexChanged, this, &CfrmProgParameters::cboSections_Click);
    connect(cmdOk, &QPushButton::clicked, this, &CfrmProgParameters::cmdOk_Click);
}

QGroupBox* CfrmProgParameters::makeSection(const QList<QPair<QString, QString>>& rows)
{
    auto* frame = new QGroupBox(this);
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < rows.size(); ++i) {
        auto* box = new QLineEdit(rows[i].first, frame);
        box->setReadOnly(true);
        txtParameter.append(box);
        grid->addWidget(box, i, 0);
        grid->addWidget(widgets::PlainLabel("-", frame), i, 1);
        grid->addWidget(widgets::PlainLabel(rows[i].second, frame), i, 2);
    }
    grid->setColumnStretch(2, 1);
    return frame;
}

void CfrmProgParameters::Form_Load()
{
    ApplyWindowSkin(this, picTitle, lblTitle, {fraAppNotic, fraID3Tags, fraExt});
    // The three sections share one place under the list; the window fits the tallest.
    const int top = cboSections->geometry().bottom() + 1 + platform::TwipsToPixels(50);
    int tallest = 0;
    for (QGroupBox* fra : {fraAppNotic, fraID3Tags, fraExt}) {
        fra->adjustSize();
        fra->setGeometry(cboSections->x(), top, kWidth - cboSections->x() - 12, fra->sizeHint().height());
        tallest = std::max(tallest, fra->height());
    }
    cmdOk->setGeometry(kWidth - 102, top + tallest + 10, 90, 28);
    setFixedHeight(cmdOk->geometry().bottom() + 12);
}

void CfrmProgParameters::cboSections_Click()
{
    const int index = cboSections->currentIndex();
    QGroupBox* frames[] = {fraAppNotic, fraID3Tags, fraExt};
    for (int i = 0; i < 3; ++i) frames[i]->setVisible(i == index);
}

void CfrmProgParameters::cmdOk_Click() { Unload(); }
