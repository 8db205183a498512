#include "tags/frmMP3TagsEditor.h"

#include "controls/widgets/PlainText.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/Skin.h"
#include "core/WindowProcedures.h"
#include "core/mdlCommDialog.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"
#include "tags/ID3Genres.h"
#include "tags/ID3v2Format.h"
#include "tags/TagError.h"
#include "tags/TagFile.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

DefaultInstance<CfrmMP3TagsEditor> g_frmMP3TagsEditor;

namespace {

constexpr int kWidth = 520;
constexpr int kHeight = 500;

// A field remembers the value the tag gave it and the text it showed for it:
// a field the user did not change gives that value back, so Apply leaves its
// frames as they are even where a box cannot show the text exactly.
constexpr const char* kTagValue = "tagValue";
constexpr const char* kShownText = "shownText";
constexpr const char* kTagGenre = "tagGenre";

QString BoxText(const QWidget* box)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(box)) return line->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(box)) return combo->currentText();
    return static_cast<const QPlainTextEdit*>(box)->toPlainText();
}

void ShowField(QWidget* box, const QString& value)
{
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setText(value);
        line->setCursorPosition(0);
    } else {
        // Several comments are joined by a NUL and a line break; the box shows the lines.
        QString lines = value;
        lines.remove(QChar(0)).replace("\r\n", "\n");
        static_cast<QPlainTextEdit*>(box)->setPlainText(lines);
    }
    box->setProperty(kTagValue, value);
    box->setProperty(kShownText, BoxText(box));
}

bool FieldChanged(const QWidget* box)
{
    const QVariant shown = box->property(kShownText);
    return !shown.isValid() || BoxText(box) != shown.toString();
}

QString FieldValue(const QWidget* box)
{
    return FieldChanged(box) ? BoxText(box) : box->property(kTagValue).toString();
}

// The value replaces the field only when it is not empty.
void ShowIfAny(QWidget* box, const QString& value)
{
    if (!value.isEmpty()) ShowField(box, value);
}

QString AppTitle() { return g_sAppName + " " + g_sAppVersion; }

QLabel* addRow(QGridLayout* grid, const QString& caption, QWidget* field)
{
    const int row = grid->rowCount();
    auto* label = widgets::PlainLabel(caption, field->parentWidget());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setContentsMargins(0, 4, 0, 0);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return label;
}

QPlainTextEdit* makeMultiLine(QWidget* parent)
{
    auto* box = new QPlainTextEdit(parent);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setTabChangesFocus(true);
    return box;
}

} // namespace

CfrmMP3TagsEditor::CfrmMP3TagsEditor() : Form("g_frmMP3TagsEditor")
{
    setWindowTitle("MP3 Tags Editor");
    setFixedSize(kWidth, kHeight);

    picTitle = new QFrame(this);
    picTitle->setGeometry(0, 0, kWidth, 44);
    lblTitleMain = widgets::PlainLabel("MP3 Tags Editor", picTitle);
    QFont bold = lblTitleMain->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    lblTitleMain->setFont(bold);
    lblTitleMain->setGeometry(12, 0, kWidth - 24, 44);

    lblSourceFIle = widgets::PlainLabel("Source File:", this);
    lblSourceFIle->setGeometry(12, 58, 84, 24);
    sSourceFile = new QPlainTextEdit(this);
    sSourceFile->setReadOnly(true);
    sSourceFile->setGeometry(100, 54, kWidth - 100 - 60, 46);
    cmdSelectFile = new QPushButton("...", this);
    cmdSelectFile->setGeometry(kWidth - 52, 54, 40, 28);

    Label1 = widgets::PlainLabel("Version:", this);
    Label1->setGeometry(12, 112, 84, 24);
    cboID3 = new QComboBox(this);
    cboID3->setGeometry(100, 110, 160, 28);

    cTabControl1 = new cTabControl(this);
    cTabControl1->setGeometry(8, 148, kWidth - 16, kHeight - 148 - 52);

    froGeneral = makePage();
    auto* general = new QGridLayout(froGeneral);
    txtArtist = new QLineEdit(froGeneral);
    txtTitle = new QLineEdit(froGeneral);
    txtAlbum = new QLineEdit(froGeneral);
    txtYear = new QLineEdit(froGeneral);
    cboGenre = new QComboBox(froGeneral);
    cboGenre->setEditable(true);
    cboGenre->setInsertPolicy(QComboBox::NoInsert);
    // What the user types stays as typed: no completion from the names.
    cboGenre->setCompleter(nullptr);
    cboGenre->setMaxVisibleItems(20);
    txtDescription = makeMultiLine(froGeneral);
    txtTrackNum = new QLineEdit(froGeneral);
    addRow(general, "Artist", txtArtist);
    addRow(general, "Title", txtTitle);
    addRow(general, "Album", txtAlbum);
    addRow(general, "Year", txtYear);
    addRow(general, "Genre", cboGenre);
    addRow(general, "Comment", txtDescription);
    addRow(general, "Track Number", txtTrackNum);
    general->setColumnStretch(1, 1);
    general->setRowStretch(5, 1);

    froAdvanced = makePage();
    auto* advanced = new QGridLayout(froAdvanced);
    txtOriginalArtist = new QLineEdit(froAdvanced);
    txtURL = new QLineEdit(froAdvanced);
    txtEncodedBy = new QLineEdit(froAdvanced);
    txtCopyright = new QLineEdit(froAdvanced);
    addRow(advanced, "Original Artist", txtOriginalArtist);
    addRow(advanced, "URL", txtURL);
    addRow(advanced, "Encoded By", txtEncodedBy);
    addRow(advanced, "Copyright", txtCopyright);
    advanced->setColumnStretch(1, 1);
    advanced->setRowStretch(advanced->rowCount(), 1);

    froLyric = makePage();
    auto* lyric = new QGridLayout(froLyric);
    txtLyric = makeMultiLine(froLyric);
    lyric->addWidget(widgets::PlainLabel("Lyrics", froLyric), 0, 0);
    lyric->addWidget(txtLyric, 1, 0);

    cmdApply = new QPushButton("Apply", this);
    cmdApply->setGeometry(kWidth - 200, kHeight - 42, 90, 30);
    cmdApply->setEnabled(false);
    cmdClose = new QPushButton("Close", this);
    SetKeyButtons(nullptr, cmdClose);
    cmdClose->setGeometry(kWidth - 100, kHeight - 42, 90, 30);

    connect(cboID3, &QComboBox::currentIndexChanged, this, &CfrmMP3TagsEditor::cboID3_Click);
    connect(cTabControl1, &cTabControl::TabClick, this, &CfrmMP3TagsEditor::cTabControl1_TabClick);
    connect(cmdSelectFile, &QPushButton::clicked, this, &CfrmMP3TagsEditor::cmdSelectFile_Click);
    connect(cmdApply, &QPushButton::clicked, this, &CfrmMP3TagsEditor::cmdApply_Click);
    connect(cmdClose, &QPushButton::clicked, this, &CfrmMP3TagsEditor::cmdClose_Click);
    // A name picked from the list counts as a change, even the one shown.
    connect(cboGenre, &QComboBox::activated, this, [this] { cboGenre->setProperty(kShownText, QVariant()); });
}

QFrame* CfrmMP3TagsEditor::makePage()
{
    auto* page = new QFrame(this);
    page->hide();
    return page;
}

void CfrmMP3TagsEditor::Form_Load()
{
    // The window's own icon name has no picture; the music document stands for it.
    SetFormIcon32(this, "DOCUMENT_MUSIC", true);
    ApplyWindowSkin(this, picTitle, lblTitleMain, {froGeneral, froAdvanced, froLyric});

    {
        const QSignalBlocker quiet(cboID3);
        cboID3->addItems({"ID3 v1", "ID3 v2", "ID3 v1+v2"});
    }
    cboID3->setCurrentIndex(2);

    FillGenreList();
    ShowGenre(kNoGenre, QString());

    const QRect area = cTabControl1->ClientRect();
    for (QFrame* page : {froGeneral, froAdvanced, froLyric}) {
        page->setGeometry(cTabControl1->x() + area.x(), cTabControl1->y() + area.y(), area.width(), area.height());
        page->raise();
    }
    froAdvanced->hide();
    froLyric->hide();
    froGeneral->show();
}

void CfrmMP3TagsEditor::FillGenreList()
{
    cboGenre->clear();
    cboGenre->addItem(QString(), int(kNoGenre));
    for (int n = 0; n <= 255; ++n)
        if (!m_cID3v1.GenreName(std::uint8_t(n)).isEmpty()) cboGenre->addItem(m_cID3v2.GenreName(std::uint8_t(n)), n);
}

void CfrmMP3TagsEditor::cboID3_Click()
{
    m_bReadID3v1 = m_bWriteID3v1 = false;
    m_bReadID3v2 = m_bWriteID3v2 = false;
    cTabControl1->ClearTabs();
    const int kind = cboID3->currentIndex();
    if (kind == 0) {
        m_bReadID3v1 = m_bWriteID3v1 = true;
        cTabControl1->AddTab("General", -1, -1, "General");
    } else if (kind == 1 || kind == 2) {
        m_bReadID3v2 = m_bWriteID3v2 = true;
        if (kind == 2) m_bReadID3v1 = m_bWriteID3v1 = true;
        for (const char* page : {"General", "Advanced", "Lyrics"}) cTabControl1->AddTab(page, -1, -1, page);
    }
    cTabControl1_TabClick(1);
    if (!sSourceFile->toPlainText().isEmpty()) LoadTagsFromFile(sSourceFile->toPlainText());
}

void CfrmMP3TagsEditor::cTabControl1_TabClick(int)
{
    froGeneral->hide();
    froAdvanced->hide();
    froLyric->hide();
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    if (key == "General") froGeneral->show();
    else if (key == "Advanced") froAdvanced->show();
    else if (key == "Lyrics") froLyric->show();
}

void CfrmMP3TagsEditor::cmdSelectFile_Click()
{
    g_OFN.lpstrFilter = QString("MP3 Audio Files (*.mp3)") + QChar(0) + "*.mp3";
    g_OFN.lpstrTitle = "Open MP3 audio file";
    const FileDialogResult result = ShowOpen(this, true);
    if (result.bCancelled || result.asFiles.isEmpty()) return;
    // Of several files picked, the first is taken.
    const QString path = result.iFileCount > 1 ? result.sFolder + "/" + result.asFiles.value(1) : result.asFiles.value(0);
    sSourceFile->setPlainText(path);
    cmdApply->setEnabled(true);
    LoadTagsFromFile(sSourceFile->toPlainText());
}

void CfrmMP3TagsEditor::LoadTagsFromFile(const QString& path)
{
    for (QWidget* box : std::initializer_list<QWidget*>{txtArtist, txtTitle, txtAlbum, txtYear, txtDescription,
                                                        txtTrackNum, txtOriginalArtist, txtLyric, txtCopyright,
                                                        txtEncodedBy, txtURL})
        ShowField(box, QString());
    ShowGenre(kNoGenre, QString());

    // A tag that cannot be read leaves its object empty, and the fields show that.
    if (m_bReadID3v1) {
        try {
            m_cID3v1.SetMP3File(path);
        } catch (const TagError&) {
        }
        ShowField(txtArtist, m_cID3v1.Artist());
        ShowField(txtTitle, m_cID3v1.Title());
        ShowField(txtAlbum, m_cID3v1.Album());
        ShowGenre(m_cID3v1.Genre(), m_cID3v1.GenreName(m_cID3v1.Genre()));
        ShowField(txtYear, m_cID3v1.Year());
        ShowField(txtDescription, m_cID3v1.Comment());
    }
    if (m_bReadID3v2) {
        try {
            m_cID3v2.SetMP3File(path);
        } catch (const TagError&) {
        }
        ShowIfAny(txtArtist, m_cID3v2.Artist());
        ShowIfAny(txtTitle, m_cID3v2.Title());
        ShowIfAny(txtAlbum, m_cID3v2.Album());
        const QString genre = m_cID3v2.OtherGenreName().isEmpty() ? m_cID3v2.GenreName(m_cID3v2.Genre())
                                                                  : m_cID3v2.OtherGenreName();
        if (!genre.isEmpty()) ShowGenre(m_cID3v2.Genre(), genre);
        ShowIfAny(txtYear, m_cID3v2.Year());
        ShowIfAny(txtDescription, m_cID3v2.Comment());
        ShowIfAny(txtTrackNum, m_cID3v2.Track());
        ShowIfAny(txtOriginalArtist, m_cID3v2.OriginalArtist());
        ShowIfAny(txtLyric, m_cID3v2.Lyrics());
        ShowIfAny(txtCopyright, m_cID3v2.Copyright());
        ShowIfAny(txtEncodedBy, m_cID3v2.EncodedBy());
        ShowIfAny(txtURL, m_cID3v2.LinkTo());
    }
}

void CfrmMP3TagsEditor::ShowGenre(std::uint8_t genre, const QString& name)
{
    // A name of the list selects its item; any other text stands in the box alone.
    const int item = name.isEmpty() ? 0 : cboGenre->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (item >= 0) cboGenre->setCurrentIndex(item);
    cboGenre->setEditText(name);
    cboGenre->setProperty(kTagValue, name);
    cboGenre->setProperty(kTagGenre, int(genre));
    cboGenre->setProperty(kShownText, cboGenre->currentText());
}

CfrmMP3TagsEditor::GenreChoice CfrmMP3TagsEditor::ChooseGenre()
{
    const QString text = cboGenre->currentText();
    if (!FieldChanged(cboGenre)) {
        // The genre as read: an ID3v2 frame stays as it is, and the ID3v1
        // tag gets its number, or the number of the name.
        const auto read = std::uint8_t(cboGenre->property(kTagGenre).toInt());
        return {read != kNoGenre ? read : ID3GenreFromText(text), read, FieldValue(cboGenre)};
    }
    // The name that equals the text, else the first that contains it, becomes
    // the text; a text that no name contains is kept as the file's own genre.
    const std::uint8_t genre = ID3GenreFromText(text);
    const int item = genre == kNoGenre ? (text.isEmpty() ? 0 : -1) : cboGenre->findData(int(genre));
    if (item >= 0) {
        cboGenre->setCurrentIndex(item);
        cboGenre->setEditText(cboGenre->itemText(item));
    }
    return {genre, genre, cboGenre->currentText()};
}

void CfrmMP3TagsEditor::cmdApply_Click()
{
    const GenreChoice genre = ChooseGenre();
    try {
        CheckHoldsAudio(sSourceFile->toPlainText());
        if (m_bWriteID3v1) WriteID3v1(genre);
        if (m_bWriteID3v2) WriteID3v2(genre);
    } catch (const TagError& e) {
        platform::MsgBox(e.Description + "(" + QString::number(e.Number) + ")", platform::vbInformation, AppTitle());
        return;
    } catch (const std::exception& e) {
        platform::MsgBox(QString::fromLocal8Bit(e.what()), platform::vbInformation, AppTitle());
        return;
    }
    platform::MsgBox("Done.", platform::vbInformation, AppTitle());
}

void CfrmMP3TagsEditor::CheckHoldsAudio(const QString& path)
{
    TagFile file(TagErrorSource("frmMP3TagsEditor"));
    file.OpenRead(path);
    if (!id3v2::HoldsMpegAudio(file)) RaiseNotMP3(path, file.Source());
}

void CfrmMP3TagsEditor::WriteID3v1(const GenreChoice& genre)
{
    m_cID3v1.SetArtist(FieldValue(txtArtist));
    m_cID3v1.SetTitle(FieldValue(txtTitle));
    m_cID3v1.SetAlbum(FieldValue(txtAlbum));
    m_cID3v1.SetYear(FieldValue(txtYear));
    m_cID3v1.SetComment(FieldValue(txtDescription));
    m_cID3v1.SetGenre(genre.v1Number);
    m_cID3v1.Update();
}

void CfrmMP3TagsEditor::WriteID3v2(const GenreChoice& genre)
{
    m_cID3v2.SetArtist(FieldValue(txtArtist));
    m_cID3v2.SetTitle(FieldValue(txtTitle));
    m_cID3v2.SetAlbum(FieldValue(txtAlbum));
    m_cID3v2.SetYear(FieldValue(txtYear));
    m_cID3v2.SetComment(FieldValue(txtDescription));
    m_cID3v2.SetGenre(genre.v2Number);
    m_cID3v2.SetOtherGenreName(genre.name);
    m_cID3v2.SetTrack(FieldValue(txtTrackNum));
    m_cID3v2.SetOriginalArtist(FieldValue(txtOriginalArtist));
    m_cID3v2.SetCopyright(FieldValue(txtCopyright));
    m_cID3v2.SetEncodedBy(FieldValue(txtEncodedBy));
    m_cID3v2.SetLinkTo(FieldValue(txtURL));
    m_cID3v2.SetLyrics(FieldValue(txtLyric));
    m_cID3v2.Update();
}

void CfrmMP3TagsEditor::cmdClose_Click() { Unload(); }
