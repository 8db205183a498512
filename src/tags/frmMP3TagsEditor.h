#pragma once
#include "core/Form.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

class cTabControl;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "MP3 Tags Editor": reads the ID3v1 tag, the ID3v2 tag or both of one MP3
// file into the fields of three pages, and writes the fields back with Apply.
class CfrmMP3TagsEditor : public Form {
    Q_OBJECT
public:
    CfrmMP3TagsEditor();

    QFrame* picTitle;
    QLabel* lblTitleMain;
    QLabel* lblSourceFIle;
    QPlainTextEdit* sSourceFile;
    QPushButton* cmdSelectFile;
    QLabel* Label1;
    QComboBox* cboID3;
    cTabControl* cTabControl1;
    QFrame* froGeneral;
    QFrame* froAdvanced;
    QFrame* froLyric;
    QLineEdit* txtArtist;
    QLineEdit* txtTitle;
    QLineEdit* txtAlbum;
    QLineEdit* txtYear;
    QComboBox* cboGenre;
    QPlainTextEdit* txtDescription;
    QLineEdit* txtTrackNum;
    QLineEdit* txtOriginalArtist;
    QLineEdit* txtURL;
    QLineEdit* txtEncodedBy;
    QLineEdit* txtCopyright;
    QPlainTextEdit* txtLyric;
    QPushButton* cmdApply;
    QPushButton* cmdClose;

    void cboID3_Click();
    // Shows the page of the current tab (the argument is not used).
    void cTabControl1_TabClick(int tabIndex);
    void cmdSelectFile_Click();
    void cmdApply_Click();
    void cmdClose_Click();

protected:
    void Form_Load() override;

private:
    QFrame* makePage();
    void FillGenreList();
    void LoadTagsFromFile(const QString& path);
    void ShowGenre(std::uint8_t genre, const QString& name);
    struct GenreChoice {
        std::uint8_t v1Number;
        std::uint8_t v2Number;
        QString name;
    };
    // The genre Apply writes: an item the text names, else the text as it is.
    GenreChoice ChooseGenre();
    // A file without MPEG audio (a tag cut short, a few bytes of a frame) is
    // refused as the ID3v1 tag refuses a short file, before either tag is written.
    static void CheckHoldsAudio(const QString& path);
    void WriteID3v1(const GenreChoice& genre);
    void WriteID3v2(const GenreChoice& genre);

    cMP3ID3v1 m_cID3v1;
    cMP3ID3v2 m_cID3v2;
    bool m_bReadID3v1 = false;
    bool m_bReadID3v2 = false;
    bool m_bWriteID3v1 = false;
    bool m_bWriteID3v2 = false;
};

extern DefaultInstance<CfrmMP3TagsEditor> g_frmMP3TagsEditor;
