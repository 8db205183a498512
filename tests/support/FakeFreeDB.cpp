#include "support/FakeFreeDB.h"

#include <QMetaObject>

namespace {
FakeFreeDB*& LastFake()
{
    static FakeFreeDB* last = nullptr;
    return last;
}
} // namespace

std::vector<FakeFreeDB::Event> FakeFreeDB::Found(const QString& artist, const QString& album, const QStringList& titles)
{
    std::vector<Event> events{State("Querying"), Artist(artist), Album(album)};
    for (int i = 0; i < titles.size(); ++i) events.push_back(Track(artist, i + 1, titles[i]));
    events.push_back(Done());
    return events;
}

FakeFreeDB::Setup& FakeFreeDB::NextSetup()
{
    static Setup setup;
    return setup;
}

FakeFreeDB::FakeFreeDB() : connected(NextSetup().connected), lookups(NextSetup().lookups) { LastFake() = this; }

FakeFreeDB::~FakeFreeDB()
{
    if (LastFake() == this) LastFake() = nullptr;
}

FakeFreeDB* FakeFreeDB::Last() { return LastFake(); }

bool FakeFreeDB::IsConnected()
{
    calls << "IsConnected";
    return connected;
}

void FakeFreeDB::SetDrive(const QString& drive)
{
    calls << "SetDrive " + drive;
    cFreeDB::SetDrive(drive);
}

void FakeFreeDB::SetTimeout(std::int32_t seconds)
{
    calls << QString("Timeout %1").arg(seconds);
    cFreeDB::SetTimeout(seconds);
}

void FakeFreeDB::SetServerHost(const QString& host)
{
    calls << "ServerHost " + host;
    cFreeDB::SetServerHost(host);
}

void FakeFreeDB::SetServerPort(std::uint16_t port)
{
    calls << QString("ServerPort %1").arg(port);
    cFreeDB::SetServerPort(port);
}

void FakeFreeDB::SetUserName(const QString& name)
{
    calls << "UserName " + name;
    cFreeDB::SetUserName(name);
}

void FakeFreeDB::SetClientHost(const QString& host)
{
    calls << "ClientHost " + host;
    cFreeDB::SetClientHost(host);
}

void FakeFreeDB::SetClientName(const QString& name)
{
    calls << "ClientName " + name;
    cFreeDB::SetClientName(name);
}

void FakeFreeDB::SetClientVersion(const QString& version)
{
    calls << "ClientVersion " + version;
    cFreeDB::SetClientVersion(version);
}

void FakeFreeDB::Raise(const Event& event)
{
    if (event.kind == Event::Kind::Done || event.kind == Event::Kind::Error) Stop();
    switch (event.kind) {
    case Event::Kind::State: emit StateChanged(event.text); break;
    case Event::Kind::Artist: emit ArtistReceived(event.text); break;
    case Event::Kind::Album: emit AlbumReceived(event.text); break;
    case Event::Kind::Track: emit TrackReceived(event.artist, std::int16_t(event.number), event.text); break;
    case Event::Kind::Done: emit QueryDone(); break;
    case Event::Kind::Error: emit Error(event.number, event.text); break;
    }
}

void FakeFreeDB::StartQuery()
{
    calls << "StartQuery";
    if (m_running) {
        QMetaObject::invokeMethod(
            this, [this] { emit Error(kFreeDBErrBusy, "A CD database lookup is already running on this control."); },
            Qt::QueuedConnection);
        return;
    }
    std::vector<Event> script{Done()};
    if (!lookups.empty()) {
        script = lookups.front();
        lookups.pop_front();
    }
    m_running = true;
    const unsigned generation = ++m_generation;
    for (const Event& e : script)
        QMetaObject::invokeMethod(
            this,
            [this, generation, e] {
                if (generation == m_generation && m_running) Raise(e);
            },
            Qt::QueuedConnection);
}

void FakeFreeDB::Stop()
{
    ++m_generation;
    m_running = false;
}

void FakeFreeDB::Abort()
{
    calls << "Abort";
    Stop();
}

void FakeFreeDB::Terminate()
{
    calls << "Terminate";
    Stop();
}
