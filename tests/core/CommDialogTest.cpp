#include "core/mdlCommDialog.h"
#include "platform/UserSettings.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QWidget>

namespace {

class CommDialog : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        g_OFN = OPENFILENAME();
        g_CC = CHOOSECOLOR();
    }
    QString LastPath() { return platform::GetSetting("Quillon", "path", "last_path", "<none>"); }
    QWidget owner;
};

TEST_F(CommDialog, FilterPairsBecomeQtFilters)
{
    const QChar nul(0);
    EXPECT_EQ(QtNameFilter(QString("Audio Files (*.mp3)") + nul + "*.mp3"), "Audio Files (*.mp3)");
    EXPECT_EQ(QtNameFilter(QString("media files (*.wav; *.mp3)") + nul + "*.wav; *.mp3" + nul + "mp3 (*.mp3)" + nul +
                           "*.mp3" + nul + "wav (*.wav)" + nul + "*.wav" + nul),
              "media files (*.wav *.mp3);;mp3 (*.mp3);;wav (*.wav)");
    EXPECT_EQ(QtNameFilter(QString("All supported (*.acm;*.wav;)") + nul + "*.acm;*.wav;" + nul + "MPEG-1 (MP3) (*.mp3)" +
                           nul + "*.mp3" + nul),
              "All supported (*.acm *.wav);;MPEG-1 (MP3) (*.mp3)");
    EXPECT_EQ(QtNameFilter(QString("All files") + nul + "*.*" + nul), "All files (*)");
    EXPECT_EQ(QtNameFilter(""), "");
}

TEST_F(CommDialog, OneFilePicked)
{
    g_OFN.lpstrFilter = QString("Audio Files (*.wav)") + QChar(0) + "*.wav";
    g_OFN.lpstrTitle = "Add audio files";
    dialogs->ExpectOpen({"/music/album/song.wav"});
    FileDialogResult r = ShowOpen(&owner, true);
    EXPECT_FALSE(r.bCancelled);
    EXPECT_EQ(r.iFileCount, 1);
    EXPECT_EQ(r.sFolder, "/music/album");
    ASSERT_GE(r.asFiles.size(), 2);
    EXPECT_EQ(r.asFiles[0], "/music/album/song.wav");
    EXPECT_EQ(r.asFiles[1], "song.wav");
    EXPECT_EQ(LastPath(), "/music/album/song.wav");

    ASSERT_EQ(dialogs->openRequests.size(), 1u);
    const auto& req = dialogs->openRequests[0];
    EXPECT_EQ(req.owner, &owner);
    EXPECT_TRUE(req.centreOnOwner);
    EXPECT_TRUE(req.multiSelect);
    EXPECT_EQ(req.title, "Add audio files");
    EXPECT_EQ(req.nameFilter, "Audio Files (*.wav)");
    EXPECT_EQ(req.directory, QDir::homePath()) << "no remembered file yet";
    EXPECT_EQ(g_OFN.Flags, kOpenDialogFlags);
    EXPECT_EQ(g_hWndDialogOwner, &owner);
}

TEST_F(CommDialog, TheNextOpenStartsAtTheFileLastPickedAlone)
{
    dialogs->ExpectOpen({"/music/a/one.wav"});
    ShowOpen(&owner, true);
    dialogs->ExpectOpen({"/music/b/x.wav", "/music/b/y.wav"});
    ShowOpen(&owner, true);
    dialogs->ExpectOpen({});
    ShowOpen(&owner, true);
    ASSERT_EQ(dialogs->openRequests.size(), 3u);
    EXPECT_EQ(dialogs->openRequests[1].directory, "/music/a/one.wav");
    EXPECT_EQ(dialogs->openRequests[2].directory, "/music/a/one.wav") << "several files do not change it";
}

TEST_F(CommDialog, SeveralFilesPicked)
{
    dialogs->ExpectOpen({"/music/b/x.wav", "/music/b/y.mp3", "/music/b/z.ogg"});
    FileDialogResult r = ShowOpen(&owner, true);
    EXPECT_FALSE(r.bCancelled);
    EXPECT_EQ(r.iFileCount, 3);
    EXPECT_EQ(r.sFolder, "/music/b");
    EXPECT_EQ(r.asFiles, QStringList({"", "x.wav", "y.mp3", "z.ogg"}));
    EXPECT_EQ(LastPath(), "<none>");
}

TEST_F(CommDialog, FilesInTheRootFolder)
{
    dialogs->ExpectOpen({"/a.wav"});
    FileDialogResult one = ShowOpen(&owner, true);
    EXPECT_EQ(one.sFolder, "");
    EXPECT_EQ(one.asFiles[1], "a.wav");
    dialogs->ExpectOpen({"/a.wav", "/b.wav"});
    FileDialogResult two = ShowOpen(&owner, true);
    EXPECT_EQ(two.sFolder, "/");
    // The callers join folder and name with "/" unless the folder ends in one.
    for (const auto& r : {one, two}) {
        QString joined = r.sFolder + (r.sFolder.endsWith('/') ? "" : "/") + r.asFiles[1];
        EXPECT_EQ(joined, "/a.wav");
    }
}

TEST_F(CommDialog, OpenCancelled)
{
    dialogs->ExpectOpen({});
    FileDialogResult r = ShowOpen(&owner, false);
    EXPECT_TRUE(r.bCancelled);
    EXPECT_EQ(r.iFileCount, 0);
    EXPECT_EQ(r.sFolder, "");
    EXPECT_TRUE(r.asFiles.isEmpty());
    EXPECT_FALSE(dialogs->openRequests[0].centreOnOwner);
}

TEST_F(CommDialog, SaveAfterOpenStartsWhereTheOpenDid)
{
    dialogs->ExpectOpen({"/music/a/one.wav"});
    ShowOpen(&owner, true);
    dialogs->ExpectOpen({"/music/a/two.wav"});
    ShowOpen(&owner, true);
    g_OFN.lpstrFilter = QString("Audio Files (*.mp3)") + QChar(0) + "*.mp3";
    g_OFN.lpstrTitle = "Save As";
    g_OFN.lpstrDefExt = "mp3";
    dialogs->ExpectSave("/out/copy.mp3");
    QString name = "song";
    FileDialogResult r = ShowSave(&owner, name, true);
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    const auto& req = dialogs->saveRequests[0];
    EXPECT_EQ(req.directory, "/music/a/one.wav");
    EXPECT_EQ(req.fileName, "song");
    EXPECT_EQ(req.defaultSuffix, "mp3");
    EXPECT_EQ(req.title, "Save As");
    EXPECT_EQ(req.nameFilter, "Audio Files (*.mp3)");
    EXPECT_TRUE(req.confirmOverwrite) << "a save after an open still asks before replacing a file";
    EXPECT_EQ(g_OFN.Flags, kOpenDialogFlags) << "the record keeps what the open dialog left";

    EXPECT_FALSE(r.bCancelled);
    EXPECT_EQ(r.iFileCount, 1);
    EXPECT_EQ(r.sFolder, "/out/");
    ASSERT_EQ(r.asFiles.size(), 2);
    EXPECT_EQ(r.asFiles[1], "/out/copy.mp3");
}

TEST_F(CommDialog, FirstSaveSetsTheSaveFlagsAndAlwaysAsksBeforeOverwriting)
{
    dialogs->ExpectSave("/out/a.wav");
    QString name;
    ShowSave(&owner, name, false);
    EXPECT_EQ(g_OFN.Flags, kSaveDialogFlags);
    EXPECT_TRUE(dialogs->saveRequests[0].confirmOverwrite);
    EXPECT_EQ(dialogs->saveRequests[0].directory, "");
}

TEST_F(CommDialog, SaveCancelled)
{
    dialogs->ExpectSave("");
    QString name = "x";
    FileDialogResult r = ShowSave(&owner, name, true);
    EXPECT_TRUE(r.bCancelled);
    EXPECT_EQ(r.iFileCount, 0);
    EXPECT_EQ(r.sFolder, "");
}

TEST_F(CommDialog, ColorConfirmedAndCancelled)
{
    dialogs->ExpectColor(QColor(255, 255, 255));
    ColorDialogResult white = ShowColor(&owner, false);
    EXPECT_FALSE(white.bCancelled);
    EXPECT_EQ(white.lColor, 0xFFFFFF);
    dialogs->ExpectColor(QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(ShowColor(&owner, false).lColor, 0x332211) << "stored as 0x00BBGGRR";
    dialogs->ExpectColor(std::nullopt);
    ColorDialogResult none = ShowColor(&owner, false);
    EXPECT_TRUE(none.bCancelled);
    EXPECT_EQ(none.lColor, -1);
    for (const auto& req : dialogs->colorRequests) {
        EXPECT_EQ(req.initial, QColor(Qt::white)) << "every call starts on white";
        EXPECT_FALSE(req.centreOnOwner);
    }
}

TEST_F(CommDialog, CustomColoursStartFromTheTableAndKeepTheUsersChanges)
{
    dialogs->ExpectColor(std::nullopt, [](QList<QColor>& custom) { custom[0] = QColor(1, 2, 3); });
    ShowColor(&owner, false);
    dialogs->ExpectColor(std::nullopt);
    ShowColor(&owner, false);
    ASSERT_EQ(dialogs->colorRequests.size(), 2u);
    const QList<QColor>& first = dialogs->colorRequests[0].customColors;
    ASSERT_EQ(first.size(), 16);
    EXPECT_EQ(first[0], QColor(139, 155, 184));
    EXPECT_EQ(first[1], QColor(188, 213, 254));
    EXPECT_EQ(first[6], QColor(108, 213, 210));
    EXPECT_EQ(first[7], QColor(236, 164, 236));
    for (int i = 8; i < 16; ++i) EXPECT_EQ(first[i], QColor(160, 160, 160));
    EXPECT_EQ(dialogs->colorRequests[1].customColors[0], QColor(1, 2, 3));
    EXPECT_EQ(dialogs->colorRequests[1].customColors[1], QColor(188, 213, 254));
}

TEST_F(CommDialog, BrowseForFolder)
{
    dialogs->ExpectFolder("/music/out");
    EXPECT_EQ(BrowseForFolder("Select a new directory", "/music/", &owner, true, true, true, false), "/music/out");
    const auto& req = dialogs->folderRequests[0];
    EXPECT_EQ(req.title, "Select a new directory");
    EXPECT_EQ(req.startFolder, "/music/");
    EXPECT_EQ(req.owner, &owner);
    EXPECT_EQ(req.rootFolder, "") << "True names no folder: no root";
    EXPECT_FALSE(req.showFiles);

    dialogs->ExpectFolder("");
    EXPECT_EQ(BrowseForFolder("Select a new directory", "/music/", &owner, true, ProgramFolder(), true, true), "");
    EXPECT_EQ(dialogs->folderRequests[1].rootFolder, ProgramFolder());
    EXPECT_TRUE(dialogs->folderRequests[1].showFiles);
}

} // namespace
