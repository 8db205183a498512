#pragma once
// An audio editor control for window tests: files load with scripted facts,
// selections are made by the test as the mouse would, saves end as scripted,
// with the same queued events as the real control, and every call is
// recorded. Install it for the windows with
//     SetAudioEditorFactory([](QWidget* parent) { return new FakeAudioEditor(parent); });
// and reach the instance a window made through FakeAudioEditor::Last().
#include "controls/widgets/AudioEditor.h"
#include "support/FakeOutputControl.h"

#include <QHash>
#include <deque>
#include <vector>

class FakeAudioEditor : public support::FakeJobControl<cAudioEditor, kEditorErrWrite> {
    Q_OBJECT
public:
    // The facts of a file LoadFile knows; any other path fails to load.
    struct File {
        std::int32_t sampleRate = 44100;
        std::int32_t bitsPerSample = 16;
        std::int32_t channels = 2;
        std::int64_t samples = 441000;
    };
    // What one SaveSelection was given.
    struct SaveCall {
        QString source, destination;
        std::int32_t startMs = 0, lengthMs = 0;
    };

    explicit FakeAudioEditor(QWidget* parent = nullptr);
    ~FakeAudioEditor() override;
    // The fake made last (nullptr once it is gone).
    static FakeAudioEditor* Last();

    void AddFile(const QString& path, const File& file) { files.insert(path, file); }
    // A selection made with the mouse: SelectionChanged at once.
    void Select(std::int64_t startSample, std::int64_t endSample);
    // The next Play returns this code (and Error follows) instead of 0.
    void FailNextPlay(std::int32_t code, const QString& text);
    // The play ends by itself: PlayDone arrives queued.
    void FinishPlay();

    QHash<QString, File> files;
    std::vector<SaveCall> saves;
    bool IsPlaying() const { return m_playing; }

    // Recorded in `calls`: "LoadFile /a.wav", "Play", "IsPaused", "Pause",
    // "Resume", "StopPlay", "Zoom", "RestoreZoom", "Abort",
    // "SetSourceFile /a.wav", "SaveSelection", "Terminate".
    std::int32_t LoadFile(const QString& path) override;
    std::int32_t Play() override;
    bool IsPaused() const override;
    void Pause() override;
    void Resume() override;
    void StopPlay() override;
    void Zoom() override;
    void RestoreZoom() override;
    void Abort() override;
    void SetSourceFile(const QString& path) override;
    void SaveSelection() override;
    void Terminate() override;

protected:
    void EmitProgress(std::int32_t percent) override { emit Progress(percent); }
    void EmitEnding(Ending ending, std::int32_t code, const QString& text) override;
    // A silent wave file of the loaded file's format and the saved length.
    void WriteOutput() override;

private:
    void postPlayDone();

    File m_file;
    bool m_loaded = false;
    std::deque<std::pair<std::int32_t, QString>> m_playFailures;
    bool m_playing = false, m_paused = false;
    support::QueuedEvents m_playEvents{this};
};
