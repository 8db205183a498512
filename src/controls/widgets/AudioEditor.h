#pragma once
// The audio editor control: shows a PCM wave file as a waveform, lets the
// user select part of it with the mouse, zooms to the selection and back,
// plays the selection (or the file) with a moving cursor, and saves the
// selection as a new wave file.
//
// The waveform is drawn from a peak cache, the smallest and largest sample of
// each channel in each pixel column, built on a worker thread once per view
// and width (a view already built is kept), so a long file opens without
// holding up the window.
//
// The selection. The control keeps it in samples (frames): [start, end), end
// excluded, so the whole file is [0, number of samples). Every change is
// reported by SelectionChanged with the samples and their times in
// milliseconds (rounded to the nearest). After LoadFile the selection is the
// whole file, and FileLoaded is followed by its SelectionChanged. A click
// without a drag leaves an empty selection at that point: Play then plays from
// there to the end of the file.
//
// Saving. SetSourceFile, DestinationFile, SelectionStart and SelectionLength
// (milliseconds), then SaveSelection: when the source is the loaded file and
// the two times are those of the last SelectionChanged, the samples it
// reported are written exactly; any other times are turned into samples. The
// frames are copied unchanged into a new wave file of the source's format,
// written to a temporary file beside the destination and renamed into place
// when complete; Abort, an error or Terminate leave no file under the
// destination name and an earlier file there untouched.
//
// Threads and events. Every member is called on the window thread; the save
// runs on the control's thread and playback on the player's. The events
// arrive as queued signals on the window thread: FileLoaded and
// SelectionChanged after LoadFile; Progress, then exactly one of Done,
// Aborted or Error after SaveSelection; PlayDone when a play ends (after
// StopPlay too); Error also when LoadFile or Play fails, with the reason.
// SelectionChanged from the mouse is raised at once.
//
// Playback goes to the default sound output device (ALSA's "default").
//
// Getting a control. Windows call CreateAudioEditor(parent); tests install a
// factory that returns a FakeAudioEditor (support/FakeAudioEditor.h):
//     SetAudioEditorFactory([](QWidget* parent) { return new FakeAudioEditor(parent); });
// The parent owns the control.
#include "controls/audio/AudioEditorCodes.h"
#include "controls/audio/AudioEditorPeaks.h"

#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ControlThread;
class cPlayer;

class cAudioEditor : public QWidget {
    Q_OBJECT
public:
    explicit cAudioEditor(QWidget* parent = nullptr);
    ~cAudioEditor() override;

    // Loads and shows a wave file (8, 16, 24 or 32 bits, 1 to 8 channels):
    // 0, or a code (Error follows with the reason, and the control shows nothing).
    virtual std::int32_t LoadFile(const QString& path);

    // Plays the selection, or from the selection's start to the end of the
    // file when it is empty: 0, or a code (Error follows, but not for
    // kEditorErrPlaying).
    virtual std::int32_t Play();
    virtual bool IsPaused() const;
    virtual void Pause();
    virtual void Resume();
    virtual void StopPlay();

    // Shows the selection across the control (nothing for an empty one);
    // RestoreZoom shows the whole file again.
    virtual void Zoom();
    virtual void RestoreZoom();

    // Ends a running save (Aborted follows); nothing when none runs.
    virtual void Abort();
    virtual void SetSourceFile(const QString& path) { m_sourceFile = path; }
    QString SourceFile() const { return m_sourceFile; }
    QString DestinationFile() const { return m_destinationFile; }
    void SetDestinationFile(const QString& path) { m_destinationFile = path; }
    std::int32_t SelectionStart() const { return m_selectionStartMs; }
    void SetSelectionStart(std::int32_t ms) { m_selectionStartMs = ms; }
    std::int32_t SelectionLength() const { return m_selectionLengthMs; }
    void SetSelectionLength(std::int32_t ms) { m_selectionLengthMs = ms; }
    virtual void SaveSelection();

    // Stops playback and any save (no events; the partial file is removed)
    // and forgets the file. The control stays usable.
    virtual void Terminate();

    // ForeColor: the waveform, the ruler's marks and the selection's tint;
    // BackColor: behind the waveform; BarColor: the time ruler along the top.
    std::int32_t ForeColor() const { return m_foreColor; }
    void SetForeColor(std::int32_t color);
    std::int32_t BarColor() const { return m_barColor; }
    void SetBarColor(std::int32_t color);
    std::int32_t BackColor() const { return m_backColor; }
    void SetBackColor(std::int32_t color);

    // What is shown, for tests: the view and its peaks (null while building).
    editorpeaks::View CurrentView() const;
    std::shared_ptr<const editorpeaks::Peaks> ShownPeaks() const;
    // The play cursor's sample; -1 when nothing plays.
    std::int64_t CursorSample() const { return m_cursor; }

signals:
    void FileLoaded(std::int32_t sampleRate, std::int32_t bitsPerSample, std::int32_t channels, std::int32_t seconds,
                    std::int32_t samples);
    void SelectionChanged(std::int32_t startSample, std::int32_t endSample, std::int32_t startMs, std::int32_t endMs);
    void Progress(std::int32_t percent);
    void Done();
    void Aborted();
    void PlayDone();
    void Error(std::int32_t code, const QString& text);
    // The waveform of the current view is ready and about to be drawn.
    void WaveformReady();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    // Queues an Error event.
    void PostError(std::int32_t code, const QString& text);

private:
    struct Reported {
        std::int64_t start = 0, end = 0;
        std::int32_t startMs = 0, endMs = 0;
    };
    QRect waveArea() const;
    std::int64_t sampleAt(double x) const;
    double xOf(std::int64_t sample) const;
    std::int32_t msOf(std::int64_t sample) const;
    void select(std::int64_t a, std::int64_t b);
    void setView(std::int64_t first, std::int64_t end);
    void requestPeaks();
    void peaksBuilt(std::shared_ptr<const editorpeaks::Peaks> peaks);
    void playFinished();
    void paintRuler(QPainter& p, const QRect& band) const;
    void paintWave(QPainter& p, const QRect& area) const;

    QString m_path;
    std::shared_ptr<wavefile::Reader> m_reader;
    std::int64_t m_viewFirst = 0, m_viewEnd = 0;
    std::int64_t m_anchor = -1; // the sample where a mouse drag began
    Reported m_reported; // the selection, as last reported
    std::shared_ptr<const editorpeaks::Peaks> m_peaks;
    std::vector<std::shared_ptr<const editorpeaks::Peaks>> m_cache; // built views, newest last
    std::unique_ptr<ControlThread> m_peakThread;
    std::unique_ptr<ControlThread> m_saveThread;
    std::unique_ptr<cPlayer> m_player;
    QTimer m_cursorTimer;
    std::int64_t m_cursor = -1;

    QString m_sourceFile, m_destinationFile;
    std::int32_t m_selectionStartMs = 0, m_selectionLengthMs = 0;
    std::int32_t m_foreColor = 0xFFFFFF, m_barColor = 0x7F4F1F, m_backColor = 0x3F2F1F;
};

// Creates the control windows use: the real one, or what the installed
// factory makes; owned by `parent`.
cAudioEditor* CreateAudioEditor(QWidget* parent);
// Tests: installs a factory; an empty function goes back to the real control.
void SetAudioEditorFactory(std::function<cAudioEditor*(QWidget*)> factory);
