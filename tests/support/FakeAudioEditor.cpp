#include "support/FakeAudioEditor.h"

#include "controls/audio/WaveFile.h"
#include "platform/FileIdentity.h"

#include <QMetaObject>
#include <cmath>

namespace {
FakeAudioEditor*& LastFake()
{
    static FakeAudioEditor* last = nullptr;
    return last;
}

std::int32_t MsOf(std::int64_t samples, std::int32_t rate)
{
    return std::int32_t(std::llround(double(samples) * 1000.0 / rate));
}
} // namespace

FakeAudioEditor::FakeAudioEditor(QWidget* parent) : FakeJobControl(parent) { LastFake() = this; }

FakeAudioEditor::~FakeAudioEditor()
{
    if (LastFake() == this) LastFake() = nullptr;
}

FakeAudioEditor* FakeAudioEditor::Last() { return LastFake(); }

std::int32_t FakeAudioEditor::LoadFile(const QString& path)
{
    calls << "LoadFile " + path;
    const auto it = files.constFind(path);
    m_loaded = it != files.constEnd();
    if (!m_loaded) {
        PostError(kEditorErrFileMissing, "The file does not exist: " + path);
        return kEditorErrFileMissing;
    }
    m_file = *it;
    const File f = m_file;
    QMetaObject::invokeMethod(
        this,
        [this, f] {
            emit FileLoaded(f.sampleRate, f.bitsPerSample, f.channels, std::int32_t(f.samples / f.sampleRate),
                            std::int32_t(f.samples));
            emit SelectionChanged(0, std::int32_t(f.samples), 0, MsOf(f.samples, f.sampleRate));
        },
        Qt::QueuedConnection);
    return 0;
}

void FakeAudioEditor::Select(std::int64_t startSample, std::int64_t endSample)
{
    emit SelectionChanged(std::int32_t(startSample), std::int32_t(endSample), MsOf(startSample, m_file.sampleRate),
                          MsOf(endSample, m_file.sampleRate));
}

void FakeAudioEditor::FailNextPlay(std::int32_t code, const QString& text) { m_playFailures.emplace_back(code, text); }

std::int32_t FakeAudioEditor::Play()
{
    calls << "Play";
    if (!m_playFailures.empty()) {
        const auto [code, text] = m_playFailures.front();
        m_playFailures.pop_front();
        PostError(code, text);
        return code;
    }
    if (!m_loaded) {
        PostError(kEditorErrNoFile, "No wave file is loaded.");
        return kEditorErrNoFile;
    }
    if (m_playing) return kEditorErrPlaying;
    m_playing = true;
    m_paused = false;
    return 0;
}

void FakeAudioEditor::postPlayDone()
{
    m_playEvents.Drop();
    m_playEvents.Post([this] {
        m_playing = m_paused = false;
        emit PlayDone();
    });
}

void FakeAudioEditor::FinishPlay()
{
    if (m_playing) postPlayDone();
}

bool FakeAudioEditor::IsPaused() const
{
    const_cast<FakeAudioEditor*>(this)->calls << "IsPaused";
    return m_playing && m_paused;
}

void FakeAudioEditor::Pause()
{
    calls << "Pause";
    if (m_playing) m_paused = true;
}

void FakeAudioEditor::Resume()
{
    calls << "Resume";
    m_paused = false;
}

void FakeAudioEditor::StopPlay()
{
    calls << "StopPlay";
    if (m_playing) postPlayDone();
}

void FakeAudioEditor::Zoom() { calls << "Zoom"; }
void FakeAudioEditor::RestoreZoom() { calls << "RestoreZoom"; }

void FakeAudioEditor::Abort()
{
    calls << "Abort";
    AbortJob();
}

void FakeAudioEditor::SetSourceFile(const QString& path)
{
    calls << "SetSourceFile " + path;
    cAudioEditor::SetSourceFile(path);
}

void FakeAudioEditor::SaveSelection()
{
    calls << "SaveSelection";
    if (JobRunning()) return PostError(kEditorErrBusy, "A selection is being saved; wait until it is done.");
    saves.push_back({SourceFile(), DestinationFile(), SelectionStart(), SelectionLength()});
    if (platform::IsSameFile(SourceFile(), DestinationFile())) {
        const Script refusal{{}, Ending::Error, kEditorErrDestinationIsSource,
                             "The selection cannot be saved over the file it comes from: " + DestinationFile()};
        return StartJob(&refusal);
    }
    StartJob();
}

void FakeAudioEditor::Terminate()
{
    calls << "Terminate";
    StopJob();
    m_playEvents.Drop();
    m_playing = m_paused = m_loaded = false;
}

void FakeAudioEditor::EmitEnding(Ending ending, std::int32_t code, const QString& text)
{
    switch (ending) {
    case Ending::Done: emit Done(); break;
    case Ending::Aborted: emit Aborted(); break;
    case Ending::Error: emit Error(code, text); break;
    case Ending::Hang: break;
    }
}

void FakeAudioEditor::WriteOutput()
{
    const wavefile::Format format{m_file.channels, m_file.sampleRate, m_file.bitsPerSample};
    const std::int64_t frames = std::llround(double(std::max(SelectionLength(), 0)) * m_file.sampleRate / 1000.0);
    const QByteArray silence(qsizetype(frames * format.BlockAlign()), format.bitsPerSample == 8 ? char(0x80) : '\0');
    wavefile::Writer out;
    if (out.Create(DestinationFile(), format).ok() && out.Append(silence.constData(), silence.size())) out.Commit();
}
