// The CD database control: the disc id from the drive's table of contents,
// and the CDDB protocol through libcddb on a thread of the lookup's own.
//
// libcddb's calls block until the server answers or its time-out passes, so
// a lookup cannot be stopped halfway. Abort, Terminate and the control's own
// deadline therefore cut the lookup loose instead of waiting for it: its
// thread runs to its end alone and whatever it still sends is dropped.
#include "controls/cd/AudioCD.h"

#include "controls/cd/AudioCDEngine.h"

#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cddb/cddb.h>

namespace cddbquery {

struct Entry {
    struct Track {
        int number = 0;
        QString artist, title;
    };
    QString artist, album;
    std::vector<Track> tracks;
};

// What one lookup's thread shares with the control.
struct Link : std::enable_shared_from_this<Link> {
    // Runs `event` on the control's thread, unless the control has dropped
    // the lookup by then.
    void Post(std::function<void(cFreeDB&)> event)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!owner) return;
        QMetaObject::invokeMethod(
            owner,
            [self = shared_from_this(), event = std::move(event)] {
                cFreeDB* control = self->Owner();
                if (control) event(*control);
            },
            Qt::QueuedConnection);
    }
    cFreeDB* Owner()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return owner;
    }
    void Drop()
    {
        std::lock_guard<std::mutex> lock(mutex);
        owner = nullptr;
    }

    std::mutex mutex;
    cFreeDB* owner = nullptr; // nullptr once dropped
};

// Everything one lookup needs, copied from the control when it starts.
struct Request {
    QString drive, host, user, clientHost, clientName, clientVersion;
    std::uint16_t port = 0;
    int timeout = 1; // seconds
};

struct Failure {
    std::int32_t code = 0;
    QString text;
};

QString TimeoutText(const QString& host, int seconds)
{
    return QString("The CD database server %1 did not answer within %2 seconds.").arg(host).arg(seconds);
}

namespace {

using Clock = std::chrono::steady_clock;

QString NotFoundText(const QString& host) { return QString("The CD database server %1 cannot be found.").arg(host); }
const char kNoEntryText[] = "The CD database holds no entry for this CD.";

// The first IPv4 address of a host, as text; empty when it has none. libcddb
// connects over IPv4 only and resolves names with gethostbyname, which is not
// safe on a thread; handed an address, it looks nothing up.
QByteArray ResolveIPv4(const QString& host)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &found) != 0 || !found) return {};
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text);
    freeaddrinfo(found);
    return QByteArray(text);
}

// True when a TCP connection to the address opens before the deadline.
bool CanConnect(const QByteArray& address, std::uint16_t port, Clock::time_point deadline)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (address.isEmpty() || inet_pton(AF_INET, address.constData(), &to.sin_addr) != 1) return false;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool open = ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    if (!open && errno == EINPROGRESS) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        open = left > 0 && ::poll(&p, 1, int(left)) == 1 &&
               ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    ::close(fd);
    return open;
}

void PrepareLibcddb()
{
    static std::once_flag once;
    std::call_once(once, [] {
        libcddb_init();
        cddb_log_set_handler([](cddb_log_level_t, const char*) {}); // failures are reported as events
    });
}

QString Text(const char* utf8) { return utf8 ? QString::fromUtf8(utf8).trimmed() : QString(); }

// The disc as the CDDB protocol sees it: the start of every track and the
// lead-out, counted in frames from the disc's very start (150 before sector 0).
cddb_disc_t* DiscOf(const audiocd::Toc& toc)
{
    constexpr int kLeadIn = 150;
    cddb_disc_t* disc = cddb_disc_new();
    for (const audiocd::TocTrack& t : toc.tracks) {
        cddb_track_t* track = cddb_track_new();
        cddb_track_set_frame_offset(track, t.firstSector + kLeadIn);
        cddb_disc_add_track(disc, track);
    }
    cddb_disc_set_length(disc, unsigned((toc.leadout + kLeadIn) / kCDSectorsPerSecond));
    cddb_disc_calc_discid(disc);
    return disc;
}

Failure ServerFailure(cddb_conn_t* conn, const Request& r)
{
    const QString server = r.host;
    switch (cddb_errno(conn)) {
    case CDDB_ERR_UNKNOWN_HOST_NAME:
        return {kFreeDBErrConnect, NotFoundText(server)};
    case CDDB_ERR_CONNECT:
        return {kFreeDBErrConnect, QString("The CD database server %1 cannot be reached on port %2.").arg(server).arg(r.port)};
    case CDDB_ERR_NOT_CONNECTED:
    case CDDB_ERR_UNEXPECTED_EOF:
        return {kFreeDBErrConnect, QString("The CD database server %1 closed the connection.").arg(server)};
    case CDDB_ERR_PERMISSION_DENIED:
        return {kFreeDBErrRefused, QString("The CD database server %1 refused the connection.").arg(server)};
    case CDDB_ERR_SERVER_ERROR:
        return {kFreeDBErrRefused, QString("The CD database server %1 refused the query.").arg(server)};
    case CDDB_ERR_DISC_NOT_FOUND:
        return {kFreeDBErrNoMatch, kNoEntryText};
    case CDDB_ERR_OK: // what it reports when the server's answer did not come in time
        return {kFreeDBErrTimeout, TimeoutText(server, r.timeout)};
    default:
        return {kFreeDBErrAnswer, QString("The answer of the CD database server %1 cannot be read (%2).")
                                      .arg(server, Text(cddb_error_str(cddb_errno(conn))))};
    }
}

Entry EntryOf(cddb_disc_t* disc)
{
    Entry entry;
    entry.artist = Text(cddb_disc_get_artist(disc));
    entry.album = Text(cddb_disc_get_title(disc));
    for (cddb_track_t* t = cddb_disc_get_track_first(disc); t; t = cddb_disc_get_track_next(disc))
        entry.tracks.push_back({cddb_track_get_number(t), Text(cddb_track_get_artist(t)), Text(cddb_track_get_title(t))});
    return entry;
}

// The disc in the request's drive; fails unless it is an audio CD.
std::optional<Failure> ReadToc(const Request& r, audiocd::Toc* toc)
{
    audiocd::DriveSource drive;
    if (!audiocd::DriveWithLetter(r.drive, &drive))
        return Failure{kFreeDBErrNoDisc, QString("There is no CD drive %1.").arg(r.drive)};
    const audioconv::Status s = audiocd::CurrentToc(drive, toc);
    if (!s.ok()) return Failure{kFreeDBErrNoDisc, s.text};
    if (!toc->disc) return Failure{kFreeDBErrNoDisc, QString("There is no disc in drive %1.").arg(drive.name.left(2))};
    if (!toc->HasAudio())
        return Failure{kFreeDBErrNoDisc, QString("The disc in drive %1 is not an audio CD.").arg(drive.name.left(2))};
    return std::nullopt;
}

// One session with the server; it closes when the lookup's thread is done.
struct Session {
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session()
    {
        if (disc) cddb_disc_destroy(disc);
        if (conn) cddb_destroy(conn);
    }
    cddb_conn_t* conn = nullptr;
    cddb_disc_t* disc = nullptr;
};

using Outcome = std::variant<Entry, Failure>;

// The lookup, on its own thread: the entry of the first match, or why there is none.
Outcome Look(const Request& r, Link& link, Session& session)
{
    const auto state = [&link](const QString& text) { link.Post([text](cFreeDB& c) { emit c.StateChanged(text); }); };
    state("Reading the disc");
    audiocd::Toc toc;
    if (std::optional<Failure> f = ReadToc(r, &toc)) return *f;

    state("Connecting");
    const QByteArray address = ResolveIPv4(r.host);
    if (address.isEmpty())
        return Failure{kFreeDBErrConnect, NotFoundText(r.host)};
    if (!link.Owner()) return Failure{};

    PrepareLibcddb();
    cddb_conn_t* conn = session.conn = cddb_new();
    cddb_disc_t* disc = session.disc = DiscOf(toc);
    cddb_set_server_name(conn, address.constData());
    cddb_set_server_port(conn, r.port);
    // A second longer than the lookup's own deadline, which ends the lookup first.
    cddb_set_timeout(conn, unsigned(r.timeout + 1));
    cddb_http_disable(conn);
    cddb_cache_disable(conn); // else it keeps entries in the home folder
    cddb_set_email_address(conn, (r.user + "@" + r.clientHost).toUtf8().constData());
    cddb_set_client(conn, r.clientName.toUtf8().constData(), r.clientVersion.toUtf8().constData());
    cddb_set_charset(conn, "UTF-8");

    state("Querying");
    const int matches = cddb_query(conn, disc);
    if (matches < 0) return ServerFailure(conn, r);
    if (matches == 0) return Failure{kFreeDBErrNoMatch, kNoEntryText};
    if (!link.Owner()) return Failure{};
    state("Reading the entry");
    if (!cddb_read(conn, disc)) return ServerFailure(conn, r);
    return EntryOf(disc);
}

} // namespace

void Run(const Request& request, Link& link)
{
    Session session;
    const Outcome outcome = Look(request, link, session);
    // Sent before the session closes: once the server sees the end, the
    // outcome is on its way.
    link.Post([outcome](cFreeDB& c) {
        if (const auto* entry = std::get_if<Entry>(&outcome))
            c.Finish(*entry);
        else
            c.Fail(std::get<Failure>(outcome).code, std::get<Failure>(outcome).text);
    });
}

} // namespace cddbquery

// ---------------------------------------------------------------------------

cFreeDB::cFreeDB() : m_deadline(new QTimer(this))
{
    m_deadline->setSingleShot(true);
    m_deadline->setTimerType(Qt::PreciseTimer);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        Fail(kFreeDBErrTimeout, cddbquery::TimeoutText(m_serverHost, m_deadline->interval() / 1000));
    });
}

cFreeDB::~cFreeDB() { DropQuery(); }

void cFreeDB::SetServerHost(const QString& host)
{
    if (!m_serverFixed) m_serverHost = host;
}

void cFreeDB::SetServerPort(std::uint16_t port)
{
    if (!m_serverFixed) m_serverPort = port;
}

void cFreeDB::UseServer(const QString& host, std::uint16_t port)
{
    m_serverFixed = false;
    SetServerHost(host);
    SetServerPort(port);
    m_serverFixed = true;
}

bool cFreeDB::IsConnected()
{
    // On a thread of its own, so that a name the resolver cannot settle
    // does not hold the window past the time-out.
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(std::max(m_timeout, 1));
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> connected = answer->get_future();
    std::thread([host = m_serverHost, port = m_serverPort, deadline, answer] {
        answer->set_value(cddbquery::CanConnect(cddbquery::ResolveIPv4(host), port, deadline));
    }).detach();
    return connected.wait_until(deadline + milliseconds(100)) == std::future_status::ready && connected.get();
}

void cFreeDB::StartQuery()
{
    if (m_link) {
        QMetaObject::invokeMethod(
            this, [this] { emit Error(kFreeDBErrBusy, "A CD database lookup is already running on this control."); },
            Qt::QueuedConnection);
        return;
    }
    ++m_generation;
    cddbquery::Request request{m_drive, m_serverHost, m_userName, m_clientHost, m_clientName, m_clientVersion,
                               m_serverPort, std::max(m_timeout, 1)};
    m_link = std::make_shared<cddbquery::Link>();
    m_link->owner = this;
    m_deadline->start(std::chrono::seconds(request.timeout));
    std::thread([request, link = m_link] { cddbquery::Run(request, *link); }).detach();
}

void cFreeDB::DropQuery()
{
    ++m_generation; // ends the delivery of an entry under way
    m_deadline->stop();
    if (!m_link) return;
    m_link->Drop();
    m_link.reset();
}

void cFreeDB::Abort() { DropQuery(); }

void cFreeDB::Terminate() { DropQuery(); }

void cFreeDB::Fail(std::int32_t code, const QString& text)
{
    DropQuery();
    emit Error(code, text);
}

void cFreeDB::Finish(const cddbquery::Entry& entry)
{
    DropQuery();
    // A handler may abort, start again or delete the control: then the rest
    // of this entry is not delivered.
    const unsigned generation = m_generation;
    const QPointer<cFreeDB> self(this);
    const auto goOn = [&] { return self && m_generation == generation; };
    if (!entry.artist.isEmpty()) emit ArtistReceived(entry.artist);
    if (goOn() && !entry.album.isEmpty()) emit AlbumReceived(entry.album);
    for (const cddbquery::Entry::Track& t : entry.tracks) {
        if (!goOn()) return;
        emit TrackReceived(t.artist, std::int16_t(t.number), t.title);
    }
    if (goOn()) emit QueryDone();
}

// ---------------------------------------------------------------------------

namespace {
std::function<std::unique_ptr<cFreeDB>()>& Factory()
{
    static std::function<std::unique_ptr<cFreeDB>()> factory;
    return factory;
}
} // namespace

std::unique_ptr<cFreeDB> CreateFreeDB() { return Factory() ? Factory()() : std::make_unique<cFreeDB>(); }

void SetFreeDBFactory(std::function<std::unique_ptr<cFreeDB>()> factory) { Factory() = std::move(factory); }
