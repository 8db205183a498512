#include "controls/burn/DataCDBurner.h"

#include "controls/burn/BurnerEngine.h"
#include "controls/ControlThread.h"

using burnengine::Use;

namespace {

// The burn's events, queued to the window thread.
class DataCDForwarder : public burnengine::DataBurnEvents {
public:
    DataCDForwarder(cAudioDataBurner* control, const ControlThread::Post& post) : m_c(control), m_post(post) {}
    void AddingFile(const QString&) override {}
    void FilesToBurn(int, int) override {}
    void StartBurning() override {}
    void Progress(int percent) override
    {
        m_post([c = m_c, percent] { emit c->Progress(std::int16_t(percent)); });
    }
    void Finalizing() override
    {
        m_post([c = m_c] { emit c->ClosingSession(); });
    }

private:
    cAudioDataBurner* m_c;
    ControlThread::Post m_post;
};

} // namespace

cAudioDataBurner::cAudioDataBurner() : m_thread(std::make_unique<ControlThread>(this)) {}

cAudioDataBurner::~cAudioDataBurner() = default;

// ---- Writers

std::int32_t cAudioDataBurner::GetDriveCount() { return std::int32_t(burnengine::Writers(Use::DataCD).size()); }

QString cAudioDataBurner::GetDriveName(std::int32_t drive)
{
    optical::Drive writer;
    return burnengine::WriterAt(Use::DataCD, drive - 1, &writer) ? writer.name : QString();
}

std::int32_t cAudioDataBurner::GetSpeedCount(const QString& letter)
{
    m_speeds = burnengine::FactsByLetter(Use::DataCD, letter).speeds;
    return std::int32_t(m_speeds.size());
}

std::int32_t cAudioDataBurner::GetSpeed(std::int32_t index)
{
    return index >= 1 && index <= std::int32_t(m_speeds.size()) ? m_speeds[size_t(index - 1)] : 0;
}

bool cAudioDataBurner::IsDriveReady(const QString& letter) { return burnengine::FactsByLetter(Use::DataCD, letter).loaded; }

bool cAudioDataBurner::IsDiscEmpty(const QString& letter) { return burnengine::FactsByLetter(Use::DataCD, letter).writable; }

std::int32_t cAudioDataBurner::OpenTray(const QString& letter)
{
    return burnengine::MoveTrayByLetter(Use::DataCD, letter, true);
}

std::int32_t cAudioDataBurner::CloseTray(const QString& letter)
{
    return burnengine::MoveTrayByLetter(Use::DataCD, letter, false);
}

// ---- The disc

bool cAudioDataBurner::AddFile(const QString& path) { return burnengine::AddDataFile(&m_files, path).ok(); }

QStringList cAudioDataBurner::TakeFiles()
{
    QStringList files;
    files.swap(m_files);
    return files;
}

void cAudioDataBurner::Burn(const QString& letter, std::int32_t speed)
{
    if (m_thread->Busy()) return;
    burnengine::DataBurnRequest request;
    const burnengine::Status found = burnengine::WriterByLetter(Use::DataCD, letter, &request.drive);
    request.use = Use::DataCD;
    request.speed = speed;
    request.files = TakeFiles();
    request.volume = m_volumeLabel;
    request.publisher = m_publisherName;
    request.application = m_applicationName;
    request.closeDisc = !m_burnFlag;
    m_thread->Start([this, request, found](const std::atomic<bool>& abort, const ControlThread::Post& post) {
        post([this] { emit BurnStarted(); });
        DataCDForwarder events(this, post);
        const burnengine::Status s = found.ok() ? burnengine::BurnDataDisc(request, abort, events) : found;
        return std::function<void()>([this, s] {
            if (s.ok()) emit Finished();
            else emit Error(s.code, s.text);
        });
    });
}

void cAudioDataBurner::Abort() { m_thread->Abort(); }

void cAudioDataBurner::Terminate()
{
    m_thread->Stop();
    m_files.clear();
    m_speeds.clear();
    burnengine::ForgetDiscFacts();
}

bool cAudioDataBurner::IsBurning() const { return m_thread->Busy(); }

// ---------------------------------------------------------------------------

namespace {
std::function<std::unique_ptr<cAudioDataBurner>()>& Factory()
{
    static std::function<std::unique_ptr<cAudioDataBurner>()> factory;
    return factory;
}
} // namespace

std::unique_ptr<cAudioDataBurner> CreateAudioDataBurner()
{
    return Factory() ? Factory()() : std::make_unique<cAudioDataBurner>();
}

void SetAudioDataBurnerFactory(std::function<std::unique_ptr<cAudioDataBurner>()> factory)
{
    Factory() = std::move(factory);
}
