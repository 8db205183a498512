// A list file that another writer changed since the window last read or
// wrote it: the other version is kept beside it, and the user told once,
// before the window saves its own rows.
#include "ListsTestSupport.h"

#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemsListFile.h"
#include "mainwindow/frmMain.h"

#include <QDateTime>
#include <QFile>
#include <QLabel>

#include <functional>

namespace {

using namespace liststest;

const char* const kKeptMessage = "The items list 'L' was changed by another program since it was opened here.\r\n\r\n"
                                 "That version is kept as the list '%1'; this window now saves its own items.";

class ListChangedElsewhere : public ListsTest {
protected:
    // The list "L" of a, b and c, open in the main window.
    void OpenListOfThree()
    {
        for (const char* name : {"a.wav", "b.wav", "c.wav"}) items << FileItem(name);
        WriteList("L", items);
        Main();
        ASSERT_EQ(Rows(), 3);
    }
    // This window adds a file through the open dialog, which saves the list.
    void AddHere(const QString& name)
    {
        dialogs->ExpectOpen({Wav(name)});
        Main()->AddFiles();
        WaitForOpenList();
    }
    // The items' names a list file holds, in order.
    QStringList NamesIn(const QString& list)
    {
        QStringList names;
        for (const QString& record : SplitListRecords(ReadListFile(ListPath(list))).mid(1))
            names << GetTagValue("Item Name", record);
        return names;
    }
    QList<Item> items;
};

TEST_F(ListChangedElsewhere, BothVersionsAreKeptAndTheUserIsToldOnce)
{
    OpenListOfThree();
    // Another program adds d.wav to the file, this window then adds e.wav.
    WriteList("L", items + QList<Item>{FileItem("d.wav")});
    const QByteArray theirs = ReadBytes(ListPath("L"));
    msgBox->Expect(QString(kKeptMessage).arg("L (changed elsewhere)"));
    AddHere("e.wav");
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(ReadBytes(ListPath("L (changed elsewhere)")), theirs);
    EXPECT_EQ(NamesIn("L"), QStringList({"a.wav", "b.wav", "c.wav", "e.wav"}));
    EXPECT_NE(ListNode("L (changed elsewhere)"), nullptr) << "the other version is a list of the tree";
    EXPECT_EQ(Main()->lblListName->text(), "L");

    // Its own writes are no change: the next save says nothing.
    Main()->SaveGridToFile();
    EXPECT_EQ(msgBox->shown.size(), 1u);

    // A second change elsewhere is kept under a name of its own.
    WriteList("L", items);
    msgBox->Expect(QString(kKeptMessage).arg("L (changed elsewhere 2)"));
    AddHere("f.wav");
    EXPECT_EQ(msgBox->shown.size(), 2u);
    EXPECT_EQ(NamesIn("L (changed elsewhere 2)"), QStringList({"a.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(NamesIn("L (changed elsewhere)"), QStringList({"a.wav", "b.wav", "c.wav", "d.wav"}));
    EXPECT_EQ(NamesIn("L"), QStringList({"a.wav", "b.wav", "c.wav", "e.wav", "f.wav"}));
}

// What does not change the list's content is no other version: the file
// rewritten with the same bytes (a sync tool), touched, or removed.
TEST_F(ListChangedElsewhere, TheSameContentOrNoFileIsNoOtherVersion)
{
    OpenListOfThree();
    struct Case {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"rewritten whole with the same bytes",
         [&] {
             const QByteArray bytes = ReadBytes(ListPath("L"));
             QFile::remove(ListPath("L"));
             WriteBytes(ListPath("L"), bytes);
         }},
        {"touched",
         [&] {
             QFile file(ListPath("L"));
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
         }},
        {"removed", [&] { QFile::remove(ListPath("L")); }},
    };
    for (const Case& c : cases) {
        c.change();
        Main()->SaveGridToFile();
        EXPECT_TRUE(msgBox->shown.empty()) << c.what;
        EXPECT_FALSE(QFile::exists(ListPath("L (changed elsewhere)"))) << c.what;
        EXPECT_EQ(NamesIn("L"), QStringList({"a.wav", "b.wav", "c.wav"})) << c.what;
    }
}

// Clearing the list writes it too: another version is kept first.
TEST_F(ListChangedElsewhere, ClearingKeepsTheOtherVersion)
{
    OpenListOfThree();
    WriteList("L", items + QList<Item>{FileItem("d.wav")});
    msgBox->Expect(QString(kKeptMessage).arg("L (changed elsewhere)"));
    Main()->DoClearTheList();
    WaitForOpenList();
    EXPECT_EQ(NamesIn("L (changed elsewhere)"), QStringList({"a.wav", "b.wav", "c.wav", "d.wav"}));
    EXPECT_EQ(ReadBytes(ListPath("L")), "\r\n");
}

} // namespace
