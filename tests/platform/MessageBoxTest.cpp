// The Qt message boxes: what they show of a prompt that looks like markup.
#include "platform/MessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Seen {
    Qt::TextFormat format = Qt::AutoText;
    QString text;
};

// Shows the prompt in a real message box, looks at it and answers Yes.
Seen ShowAndLook(const QString& prompt)
{
    Seen seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        poll.stop();
        const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        seen.format = label ? label->textFormat() : Qt::AutoText;
        seen.text = label ? label->text() : QString();
        box->button(QMessageBox::Yes)->click();
    });
    poll.start(10);
    EXPECT_EQ(platform::MsgBox(prompt, platform::vbYesNo | platform::vbQuestion, "Title"), platform::vbYes);
    return seen;
}

TEST(MessageBoxes, ShowNamesThatLookLikeMarkupAsPlainText)
{
    platform::SetMessageBoxService(nullptr);
    for (const QString& name : {QString("<img src=cover.png>.mp3"), QString("<font color=white>secret</font>.wav"),
                                QString("<b>bold</b> & <i>more</i>.ogg")}) {
        SCOPED_TRACE(name.toStdString());
        const QString prompt = "The file " + name + " already exists. Overwrite?";
        const Seen seen = ShowAndLook(prompt);
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_EQ(seen.text, prompt);
    }
}

} // namespace
