#include "lists/TrackTypeCode.h"
#include "core/WindowProcedures.h"
#include "support/ProgramFixture.h"

#include <QCursor>
#include <QWidget>

namespace {

class WindowProcedures : public support::ProgramFixture {};

TEST_F(WindowProcedures, SetTransparency)
{
    QWidget w;
    EXPECT_EQ(SetTransparency(&w, 256), 1);
    EXPECT_EQ(SetTransparency(&w, -1), 1);
    EXPECT_DOUBLE_EQ(w.windowOpacity(), 1.0) << "out of range: nothing changes";
    EXPECT_EQ(SetTransparency(&w, 0), 0);
    EXPECT_DOUBLE_EQ(w.windowOpacity(), 0.0);
    EXPECT_EQ(SetTransparency(&w, 90), 0);
    EXPECT_NEAR(w.windowOpacity(), 90 / 255.0, 0.01);
    EXPECT_EQ(RemoveTransparency(&w), 0);
    EXPECT_DOUBLE_EQ(w.windowOpacity(), 1.0);
    EXPECT_EQ(SetTransparency(nullptr, 10), 2);
    EXPECT_EQ(RemoveTransparency(nullptr), 2);
}

TEST_F(WindowProcedures, SetFormOnTopShowsAHiddenWindowWithoutActivatingIt)
{
    QWidget w;
    SetFormOnTop(&w, false);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    SetFormOnTop(&w, true);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(w.testAttribute(Qt::WA_ShowWithoutActivating)) << "restored after the show";
}

TEST_F(WindowProcedures, SetFormIcon32)
{
    QWidget owner;
    QWidget child(&owner, Qt::Window);
    for (const char* name : {"AAA", "replace2", "document_pulse", "gears", "cd_music", "cut", "colors", "document_music"}) {
        owner.setWindowIcon(QIcon());
        SetFormIcon32(&child, name, true);
        EXPECT_FALSE(child.windowIcon().isNull()) << name;
        EXPECT_FALSE(owner.windowIcon().isNull()) << name << ": the owner too";
    }
    SetFormIcon32(&child, "text_align_left", true);
    EXPECT_TRUE(child.windowIcon().availableSizes().isEmpty()) << "an unknown name leaves no icon of its own";
}

TEST_F(WindowProcedures, GetMousePosition)
{
    QCursor::setPos(40, 50);
    std::int32_t x = -1, y = -1;
    GetMousePosition(x, y);
    EXPECT_EQ(QPoint(x, y), QCursor::pos());
}

TEST(TrackTypeCode, Table)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        {"Audio", 3}, {"Data", 4}, {"audio", 0}, {"DATA", 0}, {"", 0}, {"Audio ", 0}, {"Mixed", 0}};
    for (auto [type, code] : cases) EXPECT_EQ(GetTrackTypeCode(type), code) << type;
}

} // namespace
