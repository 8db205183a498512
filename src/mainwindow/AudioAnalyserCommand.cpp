#include "mainwindow/AudioAnalyserCommand.h"

#include "controls/widgets/AudioEditor.h"
#include "controls/widgets/WindowWidgets.h"
#include "conversion/frmAudioEditorProc.h"
#include "core/Paths.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/MessageBox.h"
#include "recording/frmAudioEditor.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

namespace {

void tell(const QString& text) { platform::MsgBox(text, platform::vbInformation); }

bool onCDNode(CfrmMain& main)
{
    cTreeNode* node = main.cTreeView1->SelectedItem();
    return node && CfrmMain::IsCDNode(node->Key());
}

// The row's file as the editor needs it: false, after saying why, when it is
// missing or cannot be read. A CD's tracks are read through the conversion.
bool sourceUsable(CfrmMain& main, const QString& source)
{
    if (onCDNode(main)) return true;
    const QFileInfo info(source);
    if (source.isEmpty() || !info.isFile()) {
        tell("The file:" + source + " was not found.");
        return false;
    }
    if (!info.isReadable()) {
        tell("The file:" + source + " cannot be read.");
        return false;
    }
    return true;
}

// The wave file to edit: the source itself, or the source converted into the
// temporary wave file. Empty, after saying why, when the conversion did not end done.
QString waveToEdit(CfrmMain& main, const QString& source)
{
    if (GetLastExtension(source).toUpper() == "WAV") return source;
    const QString temporary = platform::AppPath() + "/tmpeditor.wav";
    main.unsetCursor();
    const AudioEditorProcEnding ending = ConvertWithAudioEditorProc(source, temporary);
    if (ending == AudioEditorProcEnding::Done) return temporary;
    if (ending == AudioEditorProcEnding::Aborted)
        tell("The conversion of the file:" + source + " was aborted, so the Audio Analyser was not opened.");
    else
        tell("The file:" + source + " could not be converted into a wave file, so the Audio Analyser was not opened.");
    return QString();
}

void loadFailed(const QString& path, std::int32_t code)
{
    if (code == kEditorErrFileMissing)
        tell("The file:" + path + " was not found.");
    else
        tell("The file:" + path + " is not a wave file the Audio Analyser can open.");
}

} // namespace

bool OpenAudioAnalyser(CfrmMain& main)
{
    if (!main.ListToolMayOpen("Mark the item to edit.")) return false;
    const int row = main.cGrid1->SelectedRow();
    if (row < 1 || row > main.cGrid1->Rows()) {
        tell("Select the item to edit.");
        return false;
    }
    const QString source = main.cGrid1->CellText(row, kColFile).toString();
    if (!sourceUsable(main, source)) return false;

    main.setCursor(Qt::WaitCursor);
    CfrmAudioEditor* editor = g_frmAudioEditor.get();
    main.g_bAbortedAudioEditor = false;
    const QString path = waveToEdit(main, source);
    if (path.isEmpty()) {
        main.unsetCursor();
        return true;
    }
    editor->txtWavFile->setText(path);
    if (const std::int32_t code = editor->cAudioEditor1->LoadFile(path); code != 0) {
        main.unsetCursor();
        editor->Unload();
        loadFailed(path, code);
        return true;
    }
    editor->setWindowTitle(main.cGrid1->CellText(row, kColItemName).toString());
    main.unsetCursor();
    main.ShowWithCDPollPaused([editor] { editor->ShowModal(); });
    return true;
}
