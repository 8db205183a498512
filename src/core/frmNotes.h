#pragma once
#include "core/Form.h"

class QPlainTextEdit;

// The notes file beside the program: the notes text followed by one CR LF.
QString NotesFile();

// The notes window: a free-text scratch pad kept in the notes file. Closing
// it saves the text and refreshes the main window's notes panel.
class CfrmNotes : public Form {
    Q_OBJECT
public:
    CfrmNotes();

    QPlainTextEdit* Text1;

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void resizeEvent(QResizeEvent* event) override;
    void Form_Resize();

private:
    bool m_bLoaded = false; // the notes file was read
};

extern DefaultInstance<CfrmNotes> g_frmNotes;
