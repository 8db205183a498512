#pragma once
// What the fake job controls (conversion, CD ripper, joiner, audio editor)
// share: the record of calls and jobs that end as scripted with queued
// events, like the real controls'; and for the controls that take output
// settings, the settings each job was given.
#include "controls/audio/AudioOutput.h"
#include "support/QueuedEvents.h"

#include <QFile>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace support {

// Control: the real control class; kErrorCode: the code of a scripted error;
// Step: what one progress event carries (a percent; Step{100} is a job's end).
template <class Control, std::int32_t kErrorCode, class Step = std::int32_t>
class FakeJobControl : public Control {
public:
    using Control::Control;
    enum class Ending { Done, Aborted, Error, Hang }; // Hang: runs until Abort or Finish

    struct Script {
        std::vector<Step> progress{Step{100}};
        Ending ending = Ending::Done;
        std::int32_t errorCode = kErrorCode;
        QString errorText = "Scripted error";
    };

    // Scripts for the next jobs, in order; without one a job reports 100 %
    // and ends Done.
    void QueueScript(const Script& script) { m_scripts.push_back(script); }
    // Ends a hanging job now.
    void Finish(Ending ending)
    {
        if (m_running) EndJob(ending, m_script.errorCode, m_script.errorText);
    }

    // When set (the default), a job that ends Done creates its destination
    // file (WriteOutput).
    bool writeOutputs = true;
    // Every member call in order, e.g. "SetMP3Format".
    QStringList calls;

protected:
    bool JobRunning() const { return m_running; }
    bool ScriptQueued() const { return !m_scripts.empty(); }

    // Starts the next scripted job, or `instead` without taking one: its
    // progress, then its ending, queued.
    void StartJob(const Script* instead = nullptr)
    {
        m_script = Script{};
        if (instead) {
            m_script = *instead;
        } else if (!m_scripts.empty()) {
            m_script = m_scripts.front();
            m_scripts.pop_front();
        }
        m_running = true;
        for (const Step& p : m_script.progress) Post([this, p] { EmitProgress(p); });
        if (m_script.ending != Ending::Hang) Post([this] { EndJob(m_script.ending, m_script.errorCode, m_script.errorText); });
    }
    void AbortJob()
    {
        if (!m_running) return;
        m_events.Drop(); // the scripted ending will not come
        Post([this] { EndJob(Ending::Aborted, 0, {}); });
    }
    // Drops the running job and everything it has queued.
    void StopJob()
    {
        m_events.Drop();
        m_running = false;
    }

    virtual void EmitProgress(Step step) = 0;
    virtual void EmitEnding(Ending ending, std::int32_t code, const QString& text) = 0;
    // The destination of a job that ends Done: a file holding "FAKE AUDIO".
    virtual void WriteOutput()
    {
        QFile out(this->DestinationFile());
        if (out.open(QIODevice::WriteOnly)) out.write("FAKE AUDIO");
    }

private:
    void Post(std::function<void()> event) { m_events.Post(std::move(event)); }
    void EndJob(Ending ending, std::int32_t code, const QString& text)
    {
        StopJob(); // drops whatever of this job is still queued
        if (ending == Ending::Hang) return;
        if (ending == Ending::Done && writeOutputs) WriteOutput();
        EmitEnding(ending, code, text);
    }

    std::deque<Script> m_scripts;
    Script m_script;
    bool m_running = false;
    QueuedEvents m_events{this};
};

// A job control that takes output settings (AudioOutput).
template <class Control, std::int32_t kErrorCode, class Step = std::int32_t>
class FakeOutputControl : public FakeJobControl<Control, kErrorCode, Step> {
public:
    using FakeJobControl<Control, kErrorCode, Step>::calls;

    void SetWAVFormat(const WAVFormatSettings& settings) override
    {
        calls << "SetWAVFormat";
        Control::SetWAVFormat(settings);
    }
    void SetACMFormat(const QString& FormatTagName, const QString& FormatName) override
    {
        calls << "SetACMFormat";
        Control::SetACMFormat(FormatTagName, FormatName);
    }
    using Control::SetACMFormat;
    void SetMP3Format(const MP3FormatSettings& settings) override
    {
        calls << "SetMP3Format";
        Control::SetMP3Format(settings);
    }
    void SetWMAFormat(const WMAFormatSettings& settings) override
    {
        calls << "SetWMAFormat";
        Control::SetWMAFormat(settings);
    }
    void SetOGGFormat(const OGGFormatSettings& settings) override
    {
        calls << "SetOGGFormat";
        Control::SetOGGFormat(settings);
    }
    void SetAPEFormat(std::int32_t CompressionLevel) override
    {
        calls << "SetAPEFormat";
        Control::SetAPEFormat(CompressionLevel);
    }
    using Control::SetAPEFormat;
};

} // namespace support
