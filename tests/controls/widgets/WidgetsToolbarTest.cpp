// Toolbars (buttons by key and number, clicks, check and drop-down buttons),
// the host panel and the rebar.
#include "controls/widgets/WindowWidgets.h"

#include <QSignalSpy>
#include <QStyleOptionToolButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        images = std::make_unique<cImageList>();
        for (int i = 0; i < 80; ++i) {
            QPixmap pm(16, 16);
            pm.fill(QColor::fromHsv(i * 4, 180, 220));
            images->Add(QIcon(pm));
        }
        window = std::make_unique<QWidget>();
        window->resize(800, 120);
        bar = new cToolbar(window.get());
        // Set up as the main toolbar is.
        bar->SetDrawStyle(2);
        bar->SetButtonTextPosition(0);
        bar->SetListStyle(true);
        bar->SetImageList(images.get());
        bar->CreateToolbar(16, false, true, true);
        bar->AddButton("Add Files(s) to The Items List", 2, QString(), 0, "  Add File(s)  ", cToolbar::StylePlain,
                       "Add");
        bar->AddButton("", -1, QString(), 0, "", cToolbar::StyleSeparator);
        bar->AddButton("Items List", 39, QString(), 0, "Items List", cToolbar::StyleDropDown, "Items List");
        bar->AddButton("Pause", 1, QString(), 0, "", cToolbar::StyleCheck, "Pause");
        bar->SetButtonTextVisible(0, true);
        bar->adjustSize();
    }

    void showWindow()
    {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    static QPoint arrowCenter(QToolButton* button)
    {
        QStyleOptionToolButton option;
        option.initFrom(button);
        option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
        option.features = QStyleOptionToolButton::MenuButtonPopup | QStyleOptionToolButton::HasMenu;
        option.rect = button->rect();
        return button->style()
            ->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, button)
            .center();
    }

    std::unique_ptr<cImageList> images;
    std::unique_ptr<QWidget> window;
    cToolbar* bar = nullptr;
};

TEST_F(ToolbarTest, ButtonsAreNumberedFromZeroAndFoundByKey)
{
    EXPECT_EQ(bar->ButtonCount(), 4);
    const QStringList keys = {bar->ButtonKey(0), bar->ButtonKey(1), bar->ButtonKey(2), bar->ButtonKey(3)};
    EXPECT_EQ(keys, (QStringList{"Add", "", "Items List", "Pause"}));
    EXPECT_EQ(bar->ButtonIndex("Pause"), 3);
    EXPECT_EQ(bar->ButtonIndex("Nothing"), -1);
    EXPECT_EQ(bar->ButtonKey(9), "");
    EXPECT_EQ(bar->ButtonWidget(1), nullptr); // a separator
    EXPECT_EQ(bar->ButtonCaption("Add"), "  Add File(s)  ");
    EXPECT_EQ(bar->ButtonToolTip(2), "Items List");
    EXPECT_EQ(bar->ButtonWidget(0)->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    EXPECT_EQ(bar->ButtonWidget(3)->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(bar->ButtonWidget(0)->icon().cacheKey(), images->Icon(2).cacheKey());

    bar->AddButton("Help", 12, "Items List", 0, "Help", cToolbar::StylePlain, "Help");
    EXPECT_EQ(bar->ButtonIndex("Help"), 2);
    EXPECT_EQ(bar->ButtonIndex("Items List"), 3);
}

TEST_F(ToolbarTest, ClicksReportTheButtonNumber)
{
    showWindow();
    QSignalSpy clicks(bar, &cToolbar::ButtonClick);
    QSignalSpy arrows(bar, &cToolbar::ButtonDropDown);

    QTest::mouseClick(bar->ButtonWidget(0), Qt::LeftButton);
    QToolButton* dropDown = bar->ButtonWidget(bar->ButtonIndex("Items List"));
    QTest::mouseClick(dropDown, Qt::LeftButton, {}, QPoint(6, dropDown->height() / 2)); // the body
    QTest::mouseClick(dropDown, Qt::LeftButton, {}, arrowCenter(dropDown));             // the arrow

    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(bar->ButtonKey(clicks.at(0).at(0).toInt()), "Add");
    EXPECT_EQ(bar->ButtonKey(clicks.at(1).at(0).toInt()), "Items List");
    ASSERT_EQ(arrows.count(), 1);
    EXPECT_EQ(arrows.at(0).at(0).toInt(), 2);
}

TEST_F(ToolbarTest, CheckButtonsHaveToggledWhenTheClickArrives)
{
    showWindow();
    bool checkedAtClick = false;
    QObject::connect(bar, &cToolbar::ButtonClick, bar, [&](int index) { checkedAtClick = bar->ButtonChecked(index); });

    QTest::mouseClick(bar->ButtonWidget(bar->ButtonIndex("Pause")), Qt::LeftButton);
    EXPECT_TRUE(checkedAtClick);
    EXPECT_TRUE(bar->ButtonChecked("Pause"));

    bar->SetButtonChecked("Pause", false);
    EXPECT_FALSE(bar->ButtonChecked(3));
    bar->SetButtonChecked("Add", true); // a plain button has no check
    EXPECT_FALSE(bar->ButtonChecked("Add"));
}

TEST_F(ToolbarTest, DisabledButtonsRaiseNothing)
{
    showWindow();
    QSignalSpy clicks(bar, &cToolbar::ButtonClick);
    bar->SetButtonEnabled("Add", false);
    EXPECT_FALSE(bar->ButtonEnabled("Add"));
    QTest::mouseClick(bar->ButtonWidget(0), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 0);
    bar->SetButtonEnabled("Add", true);
    QTest::mouseClick(bar->ButtonWidget(0), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ToolbarTest, DropDownPositionIsUnderTheButtonOnTheScreen)
{
    showWindow();
    int x = -1, y = -1;
    bar->GetDropDownPosition(2, x, y);
    QToolButton* button = bar->ButtonWidget(2);
    EXPECT_EQ(QPoint(x, y), button->mapToGlobal(QPoint(0, button->height())));
}

TEST_F(ToolbarTest, HostTakesTheToolbarAndDrawsItsPicture)
{
    auto* host = new cToolbarHost(window.get());
    host->Capture(bar);
    EXPECT_EQ(bar->parentWidget(), host);
    EXPECT_EQ(host->Captured(), bar);

    QTemporaryDir dir;
    QPixmap picture(8, 8);
    picture.fill(Qt::darkGreen);
    const QString file = dir.filePath("tbbg.bmp");
    ASSERT_TRUE(picture.save(file, "BMP"));
    host->SetBackgroundPictureFile(file);
    host->SetBackColor(255);
    EXPECT_EQ(host->BackgroundPictureFile(), file);
    EXPECT_EQ(host->BackColor(), 255);

    host->resize(300, 40);
    const QImage shot = host->grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() - 1, shot.height() - 1), QColor(Qt::darkGreen));
}

TEST_F(ToolbarTest, RebarBandHoldsTheToolbarAcrossItsParent)
{
    auto* picList = new QWidget(window.get());
    picList->resize(400, 40);
    cReBar rebar;
    rebar.SetImageSource(1);
    rebar.CreateRebar(picList);
    rebar.AddBandByHwnd(bar->hWnd(), "", false, false, "Toolbar1");
    rebar.SetBandChildMinWidth(0, 120);

    EXPECT_EQ(rebar.parentWidget(), picList);
    EXPECT_EQ(rebar.geometry(), picList->rect());
    EXPECT_EQ(bar->parentWidget(), &rebar);
    EXPECT_EQ(rebar.BandCount(), 1);
    EXPECT_EQ(rebar.BandKey(0), "Toolbar1");
    EXPECT_EQ(rebar.BandChildMinWidth(0), 120);
    EXPECT_EQ(bar->minimumWidth(), 120);

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    picList->resize(500, 40);
    EXPECT_EQ(rebar.width(), 500);
    rebar.setParent(nullptr);
}

} // namespace
