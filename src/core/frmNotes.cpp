#include "core/frmNotes.h"

#include "core/TextFiles.h"
#include "core/MainWindowServices.h"
#include "platform/AppInfo.h"

#include <QFile>
#include <QPlainTextEdit>

DefaultInstance<CfrmNotes> g_frmNotes;

QString NotesFile() { return platform::AppPath() + "/Notes"; }

CfrmNotes::CfrmNotes() : Form("g_frmNotes")
{
    setWindowTitle("Notes");
    resize(420, 320);
    Text1 = new QPlainTextEdit(this);
}

void CfrmNotes::Form_Load()
{
    Text1->move(0, 0);
    const QString file = NotesFile();
    if (!QFile::exists(file)) QFile(file).open(QIODevice::WriteOnly);
    QStringList lines;
    m_bLoaded = ReadTextLines(file, lines);
    if (!m_bLoaded) return;
    // The file holds the text and one CR LF: the last line end is not part of the notes.
    QString text;
    for (const QString& line : lines) text += line + "\n";
    if (text.size() > 1) {
        text.chop(1);
        Text1->setPlainText(text);
    }
}

void CfrmNotes::resizeEvent(QResizeEvent* event)
{
    Form::resizeEvent(event);
    Form_Resize();
}

void CfrmNotes::Form_Resize()
{
    // The box fills the window (its inner size: frame and caption are not part of it here).
    Text1->setGeometry(0, 0, width(), height());
}

void CfrmNotes::Form_Unload(int& Cancel)
{
    QString text = Text1->toPlainText();
    text.replace('\n', kCrLf);
    // Notes that could not be read are never replaced by the empty box.
    if (m_bLoaded) WriteTextFile(text, NotesFile());
    if (MainWindowServices* main = MainWindow()) main->SetStatusPanelText("Notes", main->GetNotesToStatus());
}
