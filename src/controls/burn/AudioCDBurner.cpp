#include "controls/burn/AudioCDBurner.h"

#include "controls/burn/BurnerEngine.h"
#include "controls/ControlThread.h"

#include <QEventLoop>

#include <algorithm>
#include <limits>

using burnengine::Use;

namespace {

std::int32_t Clamped(std::int64_t value)
{
    return std::int32_t(std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

// The burn's events, queued to the window thread; none after an Abort.
class AudioBurnForwarder : public burnengine::AudioBurnEvents {
public:
    AudioBurnForwarder(cAudioBurner* control, const bool* aborted, const ControlThread::Post& post)
        : m_c(control), m_aborted(aborted), m_post(post)
    {
    }
    void CachingTrack(int) override
    {
        Raise([c = m_c] { emit c->CachingTrack(); });
    }
    void WritingTrack(int) override
    {
        Raise([c = m_c] { emit c->WritingTrack(); });
    }
    void TrackProgress(int track, int percent, int discPercent) override
    {
        Raise([c = m_c, track, percent, discPercent] {
            emit c->TrackProgress(std::int16_t(percent), std::int16_t(track));
            emit c->Progress(std::int16_t(percent), std::int16_t(discPercent));
        });
    }
    void ClosingTrack(int track) override
    {
        Raise([c = m_c, track] { emit c->ClosingTrack(std::int16_t(track)); });
    }
    void ClosingSession() override
    {
        Raise([c = m_c] { emit c->ClosingSession(); });
    }

private:
    void Raise(std::function<void()> event)
    {
        m_post([aborted = m_aborted, event = std::move(event)] {
            if (!*aborted) event();
        });
    }

    cAudioBurner* m_c;
    const bool* m_aborted; // read on the window thread only
    ControlThread::Post m_post;
};

cAudioBurner::cAudioBurner() : m_thread(std::make_unique<ControlThread>(this)) {}

cAudioBurner::~cAudioBurner() = default;

// ---- Writers

std::int32_t cAudioBurner::GetDriveCount() { return std::int32_t(burnengine::Writers(Use::AudioCD).size()); }

QString cAudioBurner::GetDriveName(std::int32_t drive)
{
    optical::Drive writer;
    return burnengine::WriterAt(Use::AudioCD, drive - 1, &writer) ? writer.name : QString();
}

std::int32_t cAudioBurner::GetSpeedCount(const QString& letter)
{
    m_speeds = burnengine::FactsByLetter(Use::AudioCD, letter).speeds;
    return std::int32_t(m_speeds.size());
}

QString cAudioBurner::GetSpeed(std::int32_t index)
{
    return index >= 1 && index <= std::int32_t(m_speeds.size()) ? QString::number(m_speeds[size_t(index - 1)])
                                                                  : QString();
}

std::int32_t cAudioBurner::GetDiskSize(const QString& letter)
{
    return Clamped(burnengine::FactsByLetter(Use::AudioCD, letter).sizeBytes);
}

std::int32_t cAudioBurner::GetDiskCapacity(const QString& letter)
{
    return Clamped(burnengine::FactsByLetter(Use::AudioCD, letter).freeBytes);
}

QString cAudioBurner::GetMediaState(const QString& letter) { return burnengine::FactsByLetter(Use::AudioCD, letter).state; }

std::int32_t cAudioBurner::OpenTray(const QString& letter)
{
    return burnengine::MoveTrayByLetter(Use::AudioCD, letter, true);
}

std::int32_t cAudioBurner::CloseTray(const QString& letter)
{
    return burnengine::MoveTrayByLetter(Use::AudioCD, letter, false);
}

// ---- Files

bool cAudioBurner::AddFile(const QString& path)
{
    if (!burnengine::CheckAudioSource(path).ok()) return false;
    m_files << path;
    return true;
}

std::int16_t cAudioBurner::GetFileCount() { return std::int16_t(std::min<qsizetype>(m_files.size(), 32767)); }

void cAudioBurner::ClearFiles() { m_files.clear(); }

// ---- Burning

void cAudioBurner::RaiseError(std::int32_t code, const QString& text) { emit Error(code, text); }

std::int32_t cAudioBurner::Burn(const QString& letter, std::int32_t speed)
{
    if (m_burning) return kBurnErrBusy;
    burnengine::AudioBurnRequest request;
    const burnengine::Status found = burnengine::WriterByLetter(Use::AudioCD, letter, &request.drive);
    if (!found.ok()) {
        RaiseError(found.code, found.text);
        return found.code;
    }
    request.speed = speed;
    request.files = m_files;
    request.decode = m_decodeSources;

    m_burning = true;
    m_aborted = false;
    std::int32_t result = 0;
    QEventLoop loop;
    m_thread->Start([this, request, &result, &loop](const std::atomic<bool>& abort, const ControlThread::Post& post) {
        AudioBurnForwarder events(this, &m_aborted, post);
        const burnengine::Status s = burnengine::BurnAudioCD(request, abort, events);
        return std::function<void()>([this, s, &result, &loop] {
            m_burning = false;
            result = s.code;
            if (!m_aborted) {
                if (s.ok()) emit Finished();
                else RaiseError(s.code, s.text);
            }
            loop.quit();
        });
    });
    loop.exec();
    return result;
}

void cAudioBurner::Abort()
{
    if (!m_burning) return;
    m_aborted = true;
    m_thread->Abort();
}

void cAudioBurner::Terminate()
{
    Abort();
    ClearFiles();
    m_speeds.clear();
    burnengine::ForgetDiscFacts();
}

bool cAudioBurner::IsBurning() const { return m_burning; }

// ---------------------------------------------------------------------------

namespace {
std::function<std::unique_ptr<cAudioBurner>()>& Factory()
{
    static std::function<std::unique_ptr<cAudioBurner>()> factory;
    return factory;
}
} // namespace

std::unique_ptr<cAudioBurner> CreateAudioBurner() { return Factory() ? Factory()() : std::make_unique<cAudioBurner>(); }

void SetAudioBurnerFactory(std::function<std::unique_ptr<cAudioBurner>()> factory) { Factory() = std::move(factory); }
