// A link label shows whether it can be clicked: blue with a pointing hand, or
// grey with the usual pointer while it (or its window part) is disabled.
#include "core/LinkLabel.h"
#include "support/ProgramFixture.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <functional>

namespace {

// Pixels drawn in a clear blue.
int BluePixels(QWidget* w)
{
    const QImage image = w->grab().toImage();
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 160 && c.red() < 100 && c.green() < 100) ++blue;
        }
    return blue;
}

class LinkLabels : public support::ProgramFixture {};

TEST_F(LinkLabels, LookDisabledWhileDisabled)
{
    const struct {
        const char* state;
        std::function<void(QWidget* page, LinkLabel* link)> set;
        bool clickable;
    } cases[] = {
        {"enabled", [](QWidget*, LinkLabel*) {}, true},
        {"disabled", [](QWidget*, LinkLabel* link) { link->setEnabled(false); }, false},
        {"on a disabled page", [](QWidget* page, LinkLabel*) { page->setEnabled(false); }, false},
        {"enabled again", [](QWidget* page, LinkLabel* link) {
             link->setEnabled(false);
             link->setEnabled(true);
         }, true},
    };
    for (const auto& c : cases) {
        QWidget page;
        auto* link = new LinkLabel("Set as default", &page);
        link->adjustSize();
        page.show();
        c.set(&page, link);
        QSignalSpy clicks(link, &LinkLabel::Click);
        QTest::mouseClick(link, Qt::LeftButton);
        EXPECT_EQ(clicks.count(), c.clickable ? 1 : 0) << c.state;
        EXPECT_EQ(BluePixels(link) > 0, c.clickable) << c.state;
        EXPECT_EQ(link->testAttribute(Qt::WA_SetCursor) && link->cursor().shape() == Qt::PointingHandCursor,
                  c.clickable)
            << c.state;
    }
}

} // namespace
