#pragma once
#include "controls/cd/AudioCD.h"
#include "core/Form.h"

#include <memory>

class QFrame;
class QLabel;
class QPushButton;
class XP_ProgressBar;
class cTreeNode;
class MainWindowServices;

// "FreeDB": looks the CD of the main window's selected CD node up in the CD
// database and writes what arrives into the main list: each track's title
// into its row's name, the artist and album into the row's tags, and, once
// the last row is named, artist and album into the CD node's text.
class CfrmFreeDB : public Form {
    Q_OBJECT
public:
    CfrmFreeDB();
    ~CfrmFreeDB() override;

    // Starts the lookup of the selected CD node's drive. False when there is
    // no connection to the server: the user was told and the window unloaded.
    bool GetFreeDB();

    QFrame* picTitle;
    QLabel* lblTitle;
    // The artist and album as they arrived ("Album Name" until then).
    QLabel* lblArtist;
    QLabel* lblAlbumName;
    QLabel* lblCurrentTrack;
    XP_ProgressBar* prgCurrnet;
    QPushButton* cmdAbort;
    std::unique_ptr<cFreeDB> cFreeDB1;

    void cmdAbort_Click();
    void cFreeDB1_QueryDone();
    void cFreeDB1_Error(std::int32_t Code, const QString& Description);
    void cFreeDB1_StateChanged(const QString& State);
    void cFreeDB1_ArtistReceived(const QString& Artist);
    void cFreeDB1_AlbumReceived(const QString& Album);
    void cFreeDB1_TrackReceived(const QString& Artist, std::int16_t Track, const QString& Title);

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    void ConnectControl();
    void SetQuerySettings();
    // Forgets the artist and album of an earlier lookup.
    void ForgetEntry();
    // The CD node's text from the artist and album that arrived; an empty
    // text when neither did.
    QString CDTitle() const;
    void RenameCDNode(MainWindowServices& main);

    // The artist and album of the running lookup; empty until they arrive
    // (the labels show their caption until then).
    QString m_artist, m_album;
};

extern DefaultInstance<CfrmFreeDB> g_frmFreeDB;
