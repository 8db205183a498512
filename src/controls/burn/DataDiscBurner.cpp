#include "controls/burn/DataDiscBurner.h"

#include "controls/burn/BurnerEngine.h"
#include "controls/ControlThread.h"

using burnengine::Use;

namespace {

// The burn's events, queued to the window thread.
class DataDiscForwarder : public burnengine::DataBurnEvents {
public:
    DataDiscForwarder(cBurner* control, const ControlThread::Post& post) : m_c(control), m_post(post) {}
    void AddingFile(const QString& path) override
    {
        m_post([c = m_c, path] { emit c->AddingFile(path); });
    }
    void FilesToBurn(int files, int folders) override
    {
        m_post([c = m_c, files, folders] { emit c->FilesToBurn(files, folders); });
    }
    void StartBurning() override
    {
        m_post([c = m_c] { emit c->StartBurning(); });
    }
    void Progress(int percent) override
    {
        m_post([c = m_c, percent] { emit c->BurnerProgress(percent); });
    }
    void Finalizing() override
    {
        m_post([c = m_c] { emit c->BurnerFinalization(); });
    }

private:
    cBurner* m_c;
    ControlThread::Post m_post;
};

} // namespace

QString JolietVolumeNotice(const QString& volume, bool joliet)
{
    constexpr int kJolietVolumeChars = 16;
    if (!joliet || volume.size() <= kJolietVolumeChars) return {};
    return QString("The volume name \"%1\" is longer than the %2 characters Joliet holds: "
                   "Joliet readers see \"%3\".")
        .arg(volume)
        .arg(kJolietVolumeChars)
        .arg(volume.left(kJolietVolumeChars));
}

cBurner::cBurner() : m_thread(std::make_unique<ControlThread>(this)) {}

cBurner::~cBurner() = default;

bool cBurner::IsEngineInstalled() { return burnengine::StartLibraries(); }

// ---- Writers

std::int32_t cBurner::DeviceCount() { return std::int32_t(burnengine::Writers(Use::DataDisc).size()); }

QString cBurner::GetDriveLetter(std::int32_t index)
{
    optical::Drive writer;
    return burnengine::WriterAt(Use::DataDisc, index, &writer) ? writer.Root() : QString();
}

QString cBurner::GetDeviceName(std::int32_t index)
{
    optical::Drive writer;
    return burnengine::WriterAt(Use::DataDisc, index, &writer) ? writer.name.mid(3) : QString();
}

// ---- The disc

void cBurner::ClearFiles() { m_files.clear(); }

bool cBurner::AddFile(const QString& path) { return burnengine::AddDataFile(&m_files, path).ok(); }

QStringList cBurner::TakeFiles()
{
    QStringList files;
    files.swap(m_files);
    return files;
}

void cBurner::Burn(std::int32_t deviceIndex)
{
    if (m_thread->Busy()) return;
    burnengine::DataBurnRequest request;
    const bool found = burnengine::WriterAt(Use::DataDisc, deviceIndex, &request.drive);
    request.use = Use::DataDisc;
    request.files = TakeFiles();
    request.volume = m_volumeName;
    request.joliet = m_useJoliet;
    request.udf = m_useUDF;
    const QString notice = JolietVolumeNotice(request.volume, request.joliet);
    m_thread->Start([this, request, found, notice, deviceIndex](const std::atomic<bool>& abort,
                                                               const ControlThread::Post& post) {
        post([this] { emit BurnerInitializing(); });
        if (!notice.isEmpty()) post([this, notice] { emit BurnerWarning(notice); });
        DataDiscForwarder events(this, post);
        const burnengine::Status s =
            found ? burnengine::BurnDataDisc(request, abort, events)
                  : burnengine::Fail(kBurnErrNoDrive, QString("There is no writer number %1.").arg(deviceIndex));
        return std::function<void()>([this, s] {
            if (s.ok()) {
                emit BurnerDoneBurn();
                emit BurnerCompleted();
                emit BurnerEnd();
                return;
            }
            if (s.code == kBurnErrAborted) emit BurnerCanceled();
            emit BurnerError(s.text, QString("error %1").arg(s.code));
        });
    });
}

void cBurner::Abort() { m_thread->Abort(); }

bool cBurner::IsBurning() const { return m_thread->Busy(); }

// ---------------------------------------------------------------------------

namespace {
std::function<std::unique_ptr<cBurner>()>& Factory()
{
    static std::function<std::unique_ptr<cBurner>()> factory;
    return factory;
}
} // namespace

std::unique_ptr<cBurner> CreateBurner() { return Factory() ? Factory()() : std::make_unique<cBurner>(); }

void SetBurnerFactory(std::function<std::unique_ptr<cBurner>()> factory) { Factory() = std::move(factory); }
