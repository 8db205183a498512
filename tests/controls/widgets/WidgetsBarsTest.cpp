// Status bar panels, tabs, slider, progress bars, the date and time picker,
// the image list and colour numbers.
#include "controls/widgets/DateTimePick.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WidgetSupport.h"
#include "controls/widgets/WindowWidgets.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

QIcon filled(Qt::GlobalColor color)
{
    QPixmap pm(16, 16);
    pm.fill(color);
    return QIcon(pm);
}

bool reddish(const QColor& c) { return c.red() > 200 && c.green() < 120 && c.blue() < 120; }

// --- status bar ---

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(900, 60);
        bar = new cStatusBar(window.get());
        bar->setGeometry(0, 30, 900, 26);
        // The main window's four panels.
        bar->AddPanel(0, "", "", 47, 120, false, false, 0, "Main");
        bar->AddPanel(0, "", "", -1, 180, false, false, 0, "Items List Properties");
        bar->AddPanel(0, "2 notes", "Notes", 8, 250, false, false, 0, "Notes");
        bar->AddPanel(0, "Master Volume", "", 79, 64, false, false, 0, "Master Volume");
    }

    std::unique_ptr<QWidget> window;
    cStatusBar* bar = nullptr;
};

TEST_F(StatusBarTest, PanelsAreReachedByKeyAndByNumber)
{
    bar->SetPanelText("Main", "Ready.");
    bar->SetPanelText(2, "3 Items.");
    bar->SetPanelIcon("Main", 38);

    struct Read {
        cItemRef panel;
        QString text;
    };
    const std::vector<Read> reads = {{"Main", "Ready."}, {1, "Ready."}, {"Items List Properties", "3 Items."},
                                     {3, "2 notes"},     {4, "Master Volume"}, {"Missing", ""}, {5, ""}};
    for (const Read& r : reads) EXPECT_EQ(bar->PanelText(r.panel), r.text);

    EXPECT_EQ(bar->PanelCount(), 4);
    EXPECT_EQ(bar->PanelKey(3), "Notes");
    EXPECT_EQ(bar->PanelKey(9), "");
    EXPECT_EQ(bar->PanelIndex("Master Volume"), 4);
    EXPECT_EQ(bar->PanelIcon(1), 38);
    EXPECT_EQ(bar->PanelToolTip("Notes"), "Notes");
    EXPECT_EQ(bar->PanelWidget(3)->minimumWidth(), 250);

    bar->SetPanelText("Missing", "ignored");
    EXPECT_EQ(bar->PanelCount(), 4);
}

TEST_F(StatusBarTest, ClickingAPanelRaisesPanelClickWithItsNumber)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QSignalSpy clicks(bar, &cStatusBar::PanelClick);
    QTest::mouseClick(bar->PanelWidget("Notes"), Qt::LeftButton);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(bar->PanelKey(clicks.at(0).at(0).toInt()), "Notes");
}

// --- tabs ---

class TabControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(600, 400);
        tabs = new cTabControl(window.get());
        tabs->setGeometry(10, 40, 500, 300);
        images = std::make_unique<cImageList>();
        for (int i = 0; i < 40; ++i) images->Add(filled(i % 2 ? Qt::red : Qt::blue));
        tabs->SetImageList(images.get());
        tabs->AddTab("Converter        ", 7, -1, "Settings");
        tabs->AddTab("Events        ", 10, -1, "Events");
        tabs->AddTab("Log             ", 36, -1, "Log");
    }

    std::unique_ptr<QWidget> window;
    std::unique_ptr<cImageList> images;
    cTabControl* tabs = nullptr;
};

TEST_F(TabControlTest, TabsAreFoundByKeyAndSelectedWithoutAClick)
{
    QSignalSpy clicks(tabs, &cTabControl::TabClick);
    EXPECT_EQ(tabs->TabCount(), 3);
    EXPECT_EQ(tabs->SelectedTab(), 1);
    EXPECT_EQ(tabs->TabIndex("Log"), 3);
    EXPECT_EQ(tabs->TabIndex("None"), 0);
    EXPECT_EQ(tabs->TabKey(2), "Events");
    EXPECT_EQ(tabs->TabKey(0), "");
    EXPECT_EQ(tabs->TabCaption(1), "Converter        ");

    tabs->SelectTab("Log");
    EXPECT_EQ(tabs->TabKey(tabs->SelectedTab()), "Log");
    EXPECT_EQ(clicks.count(), 0);

    EXPECT_EQ(tabs->AddTab("First", -1, 1, "First"), 1);
    EXPECT_EQ(tabs->TabIndex("Settings"), 2);
    tabs->ClearTabs();
    EXPECT_EQ(tabs->TabCount(), 0);
    EXPECT_EQ(tabs->SelectedTab(), 0);
}

TEST_F(TabControlTest, PickingATabRaisesTabClickAfterTheSelectionMoved)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QString keyAtClick;
    QObject::connect(tabs, &cTabControl::TabClick, tabs, [&](int) { keyAtClick = tabs->TabKey(tabs->SelectedTab()); });
    QTest::mouseClick(tabs->TabBar(), Qt::LeftButton, {}, tabs->TabBar()->tabRect(1).center());
    EXPECT_EQ(keyAtClick, "Events");
}

TEST_F(TabControlTest, PageAreaIsGivenInTwipsInTheParentsCoordinates)
{
    const QRect area = tabs->ClientRect();
    EXPECT_GT(area.top(), tabs->TabBar()->sizeHint().height() - 4);
    EXPECT_GT(area.width(), 450);
    EXPECT_EQ(tabs->ClientLeft(), (10 + area.left()) * 15);
    EXPECT_EQ(tabs->ClientTop(), (40 + area.top()) * 15);
    EXPECT_EQ(tabs->ClientWidth(), area.width() * 15);
    EXPECT_EQ(tabs->ClientHeight(), area.height() * 15);
    EXPECT_EQ(tabs->TabBar()->tabIcon(1).cacheKey(), images->Icon(10).cacheKey());
}

// --- slider ---

TEST(SliderTest, ValueChangesAndDragsAreReported)
{
    QWidget window;
    window.resize(300, 60);
    auto* slider = new cSlider(&window);
    slider->setGeometry(10, 10, 280, 30);
    QSignalSpy changes(slider, &cSlider::Change);
    QSignalSpy starts(slider, &cSlider::ScrollStart);
    QSignalSpy ends(slider, &cSlider::ScrollEnd);

    slider->SetMin(-10);
    slider->SetMax(10);
    slider->SetValue(3);
    EXPECT_EQ(slider->Value(), 3);
    EXPECT_EQ(slider->Min(), -10);
    EXPECT_EQ(changes.count(), 1);

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSlider* track = slider->Track();
    track->setSliderDown(true);
    track->setSliderDown(false);
    EXPECT_EQ(starts.count(), 1);
    EXPECT_EQ(ends.count(), 1);

    slider->SetBackColor(0x00FF00);
    EXPECT_EQ(slider->palette().color(QPalette::Window), QColor(0, 255, 0));
}

TEST(SliderTest, APressOnTheTrackMovesTheKnobThereAsADrag)
{
    QWidget window;
    window.resize(300, 60);
    auto* slider = new cSlider(&window);
    slider->setGeometry(10, 10, 280, 30);
    slider->SetMax(100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy starts(slider, &cSlider::ScrollStart);
    QSignalSpy ends(slider, &cSlider::ScrollEnd);
    int valueAtStart = -1, valueAtEnd = -1;
    QObject::connect(slider, &cSlider::ScrollStart, [&] { valueAtStart = slider->Value(); });
    QObject::connect(slider, &cSlider::ScrollEnd, [&] { valueAtEnd = slider->Value(); });
    QSlider* track = slider->Track();
    const QPoint nearTheEnd(track->width() * 9 / 10, track->height() / 2);
    QTest::mousePress(track, Qt::LeftButton, {}, nearTheEnd);
    EXPECT_EQ(starts.count(), 1);
    QTest::mouseRelease(track, Qt::LeftButton, {}, nearTheEnd);
    EXPECT_EQ(ends.count(), 1);
    EXPECT_GT(valueAtEnd, 80);
    EXPECT_EQ(valueAtStart, valueAtEnd);
}

// --- progress bars ---

TEST(ProgressBarTest, VisibleIsTheBarsOwnStateWhileItsWindowIsHidden)
{
    QWidget window; // never shown, like a window in the tray
    auto* status = new XP_ProgressBar(&window);
    EXPECT_TRUE(status->Visible());
    status->SetVisible(false);
    EXPECT_FALSE(status->Visible());
    status->SetVisible(true);
    EXPECT_TRUE(status->Visible());
}

TEST(ProgressBarTest, BarsAcceptAnyRangeAndFillInTheirColour)
{
    XP_ProgressBar xp;
    xp.resize(100, 12);
    xp.SetColor(255);
    xp.SetMax(-1); // an empty list gives this maximum
    xp.SetValue(0);
    EXPECT_EQ(xp.Max(), -1);
    EXPECT_FALSE(xp.grab().isNull());
    xp.SetMax(100);
    xp.SetValue(100);
    EXPECT_TRUE(reddish(xp.grab().toImage().pixelColor(50, 6)));

    cProgressBar meter;
    meter.resize(100, 12);
    meter.SetMin(0);
    meter.SetMax(83);
    meter.SetValue(83);
    meter.SetBarColor(255);
    meter.SetText("16777215");
    EXPECT_EQ(meter.Text(), "16777215");
    EXPECT_EQ(meter.BarColor(), 255);
    EXPECT_TRUE(reddish(meter.grab().toImage().pixelColor(5, 6)));
    meter.SetValue(0);
    EXPECT_FALSE(reddish(meter.grab().toImage().pixelColor(5, 6)));
}

TEST(ColorNumberTest, NumbersAreBlueGreenRedOrSystemColours)
{
    EXPECT_EQ(widgets::ColorFromNumber(255), QColor(255, 0, 0));
    EXPECT_EQ(widgets::ColorFromNumber(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(widgets::ColorFromNumber(0x804020), QColor(0x20, 0x40, 0x80));
    EXPECT_EQ(widgets::ColorFromNumber(std::int32_t(0x80000008)), QApplication::palette().color(QPalette::Text));
}

// --- date and time picker ---

TEST(DateTimePickTest, ValueShowsAsTimeOfDayAndChangesAreReported)
{
    cDateTimePick pick;
    QSignalSpy changes(&pick, &cDateTimePick::Change);
    const QDateTime value(QDate(1899, 12, 30), QTime(1, 2, 3));
    pick.SetValue(value);
    EXPECT_EQ(pick.Value(), value);
    EXPECT_EQ(pick.Editor()->text(), "01:02:03");
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toDateTime(), value);

    pick.SetValue(value); // no change, no event
    EXPECT_EQ(changes.count(), 1);
    pick.SetEnabled(false);
    EXPECT_FALSE(pick.Enabled());
    EXPECT_EQ(pick.CustomFormat(), "HH:mm:ss");
}

TEST(DateTimePickTest, AClickSelectsThePartClickedSoDigitsReplaceIt)
{
    cDateTimePick pick;
    pick.resize(160, 28);
    pick.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pick));
    pick.SetValue(QDateTime(QDate(1899, 12, 30), QTime(0, 0, 3)));
    QLineEdit* text = pick.Editor()->findChild<QLineEdit*>();
    ASSERT_NE(text, nullptr);
    // On the seconds' first digit.
    const QPoint at(text->fontMetrics().horizontalAdvance("00:00:") + 4, text->height() / 2);
    QTest::mouseClick(text, Qt::LeftButton, {}, at);
    EXPECT_TRUE(QTest::qWaitFor([&] { return text->selectedText() == "03"; })) << text->selectedText().toStdString();
    QTest::keyClicks(pick.Editor(), "20");
    EXPECT_EQ(pick.Value().time(), QTime(0, 0, 20));
}

// --- image list ---

TEST(ImageListTest, IconsAreNumberedFromZero)
{
    cImageList list;
    QSignalSpy changes(&list, &cImageList::Changed);
    EXPECT_EQ(list.Add(filled(Qt::red)), 0);
    EXPECT_EQ(list.Add(filled(Qt::green)), 1);
    list.SetIcon(4, filled(Qt::blue));
    EXPECT_EQ(list.Count(), 5);
    EXPECT_TRUE(list.Icon(2).isNull());
    EXPECT_TRUE(list.Icon(-1).isNull());
    EXPECT_TRUE(list.Icon(5).isNull());
    EXPECT_EQ(list.ItemPicture(4).size(), QSize(16, 16));
    EXPECT_EQ(list.ItemPicture(4).toImage().pixelColor(8, 8), QColor(Qt::blue));
    EXPECT_EQ(changes.count(), 3);
}

} // namespace
