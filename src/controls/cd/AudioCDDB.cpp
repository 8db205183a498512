// The CD database control: the disc id from the drive's table of contents,
// and the CDDB line protocol, spoken on a thread of the lookup's own.
//
// Abort, Terminate and the control's own deadline cut the lookup loose at
// once: whatever its thread still sends is dropped, and the thread notices
// within a tenth of a second, closes the connection and ends.
#include "controls/cd/AudioCD.h"

#include "controls/cd/AudioCDEngine.h"
#include "controls/HandOver.h"
#include "controls/cd/CddbEntry.h"
#include "platform/TextCodec.h"

#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <functional>
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

namespace cddbquery {

// What one lookup's thread shares with the control.
struct Link : std::enable_shared_from_this<Link> {
    // Runs `event` on the control's thread, unless the control has dropped
    // the lookup by then.
    void Post(std::function<void(cFreeDB&)> event)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!owner) return;
        HandOver(owner, [self = shared_from_this(), event = std::move(event)] {
            cFreeDB* control = self->Owner();
            if (control) event(*control);
        });
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

// The first IPv4 address of a host, as text; empty when it has none.
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

// The lookup's line-by-line talk with the server over one TCP connection.
// Every wait ends at the deadline, and every 100 ms it looks whether the
// control has dropped the lookup, so a lookup thread never outlives its use
// by much.
class Connection {
public:
    enum class Status { Ok, Unreachable, Closed, TimedOut, Dropped, TooLong };

    Connection(Clock::time_point deadline, std::function<bool()> dropped)
        : m_deadline(deadline), m_dropped(std::move(dropped))
    {
    }
    ~Connection()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Status Open(const QByteArray& address, std::uint16_t port)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        if (inet_pton(AF_INET, address.constData(), &to.sin_addr) != 1) return Status::Unreachable;
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_fd < 0) return Status::Unreachable;
        if (::connect(m_fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) return Status::Ok;
        if (errno != EINPROGRESS) return Status::Unreachable;
        if (const Status s = Wait(POLLOUT); s != Status::Ok) return s;
        int error = 0;
        socklen_t size = sizeof error;
        return ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0 ? Status::Ok
                                                                                           : Status::Unreachable;
    }

    Status Send(QByteArray line)
    {
        line += "\r\n";
        for (qsizetype sent = 0; sent < line.size();) {
            const ssize_t n = ::send(m_fd, line.constData() + sent, size_t(line.size() - sent), MSG_NOSIGNAL);
            if (n > 0) {
                sent += n;
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                if (const Status s = Wait(POLLOUT); s != Status::Ok) return s;
            } else {
                return Status::Closed;
            }
        }
        return Status::Ok;
    }

    // The next line, without its CR LF.
    Status ReadLine(QByteArray* line)
    {
        for (;;) {
            const qsizetype end = m_pending.indexOf('\n');
            if (end >= 0) {
                *line = m_pending.left(end);
                m_pending.remove(0, end + 1);
                if (line->endsWith('\r')) line->chop(1);
                return Status::Ok;
            }
            if (m_pending.size() > kMaxLine) return Status::TooLong;
            if (const Status s = Wait(POLLIN); s != Status::Ok) return s;
            char buffer[4096];
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n == 0) return Status::Closed;
            if (n < 0 && errno != EAGAIN && errno != EINTR) return Status::Closed;
            if (n > 0) m_pending.append(buffer, n);
        }
    }

private:
    static constexpr qsizetype kMaxLine = 64 * 1024;

    Status Wait(short events)
    {
        for (;;) {
            if (m_dropped()) return Status::Dropped;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now()).count();
            if (left <= 0) return Status::TimedOut;
            pollfd p{m_fd, events, 0};
            const int ready = ::poll(&p, 1, int(std::min<long long>(left, 100)));
            if (ready > 0) return Status::Ok;
            if (ready < 0 && errno != EINTR) return Status::Closed;
        }
    }

    int m_fd = -1;
    QByteArray m_pending;
    Clock::time_point m_deadline;
    std::function<bool()> m_dropped;
};

// One status line of the server: its three-digit code and the rest.
struct Reply {
    int code = 0;
    QByteArray line;
};

// The lookup's side of the protocol: every step either succeeds or gives the
// failure that ends the lookup.
class Talk {
public:
    Talk(const Request& r, Connection& c) : m_request(r), m_connection(c) {}

    std::optional<Failure> Status(Connection::Status s) const
    {
        switch (s) {
        case Connection::Status::Ok:
            return std::nullopt;
        case Connection::Status::Unreachable:
            return Failure{kFreeDBErrConnect, QString("The CD database server %1 cannot be reached on port %2.")
                                                  .arg(m_request.host)
                                                  .arg(m_request.port)};
        case Connection::Status::Closed:
            return Failure{kFreeDBErrConnect, QString("The CD database server %1 closed the connection.").arg(m_request.host)};
        case Connection::Status::TimedOut:
            return Failure{kFreeDBErrTimeout, TimeoutText(m_request.host, m_request.timeout)};
        case Connection::Status::TooLong:
            return Unreadable("a line without end");
        case Connection::Status::Dropped:
            break;
        }
        return Failure{};
    }

    Failure Unreadable(const QString& what) const
    {
        return {kFreeDBErrAnswer,
                QString("The answer of the CD database server %1 cannot be read (%2).").arg(m_request.host, what)};
    }
    Failure Refused(const char* what) const
    {
        return {kFreeDBErrRefused, QString("The CD database server %1 refused the %2.").arg(m_request.host, what)};
    }

    // The next status line.
    std::optional<Failure> Read(Reply* reply)
    {
        if (std::optional<Failure> f = Status(m_connection.ReadLine(&reply->line))) return f;
        const QByteArray code = reply->line.left(3);
        bool number = code.size() == 3;
        for (char c : code) number = number && c >= '0' && c <= '9';
        if (!number) return Unreadable(Quoted(*reply));
        reply->code = code.toInt();
        return std::nullopt;
    }

    // Sends a command and reads its status line.
    std::optional<Failure> Ask(const QByteArray& command, Reply* reply)
    {
        if (std::optional<Failure> f = Status(m_connection.Send(command))) return f;
        return Read(reply);
    }

    // The lines that follow a status line, up to the closing ".". Real
    // entries are a few KB.
    std::optional<Failure> ReadBody(QList<QByteArray>* lines)
    {
        constexpr int kMaxLines = 10000;
        constexpr qsizetype kMaxBytes = 1024 * 1024;
        qsizetype bytes = 0;
        for (QByteArray line;;) {
            if (std::optional<Failure> f = Status(m_connection.ReadLine(&line))) return f;
            if (line == ".") return std::nullopt;
            if (lines->size() == kMaxLines) return Unreadable("an entry without end");
            bytes += line.size() + 2;
            if (bytes > kMaxBytes) return Unreadable("an entry too large");
            lines->append(line);
        }
    }

    // The greeting, the handshake and the protocol level whose texts are UTF-8.
    std::optional<Failure> Greet()
    {
        Reply reply;
        if (std::optional<Failure> f = Read(&reply)) return f;
        if (reply.code >= 432 && reply.code <= 434) return Refused("connection");
        if (reply.code != 200 && reply.code != 201) return Unreadable(Quoted(reply));
        const QByteArray hello = "cddb hello " + Word(m_request.user) + ' ' + Word(m_request.clientHost) + ' ' +
                                 Word(m_request.clientName) + ' ' + Word(m_request.clientVersion);
        if (std::optional<Failure> f = Ask(hello, &reply)) return f;
        if (reply.code == 431) return Refused("connection");
        if (reply.code != 200 && reply.code != 402) return Unreadable(Quoted(reply));
        return SetProtocolLevel();
    }

    // Level 6, whose texts are UTF-8, or the highest level an older server
    // takes, which "proto" names ("current 1, supported 5").
    std::optional<Failure> SetProtocolLevel()
    {
        Reply reply;
        if (std::optional<Failure> f = Ask("proto 6", &reply)) return f;
        if (reply.code == 201 || reply.code == 502) return std::nullopt;
        if (reply.code != 501) return Refused("connection");
        if (std::optional<Failure> f = Ask("proto", &reply)) return f;
        const QByteArray supported = "supported ";
        const qsizetype at = reply.line.indexOf(supported);
        const int highest = at < 0 ? 0 : reply.line.mid(at + supported.size()).trimmed().toInt();
        // Whatever it answers, the server goes on at a level it takes.
        if (reply.code == 200 && highest > 1 && highest < 6)
            return Ask("proto " + QByteArray::number(highest), &reply);
        return std::nullopt;
    }

    // The category and disc id of the first match.
    std::optional<Failure> Query(const DiscFrames& disc, QByteArray* match)
    {
        Reply reply;
        if (std::optional<Failure> f = Ask(QueryCommand(disc), &reply)) return f;
        switch (reply.code) {
        case 200:
            *match = reply.line.mid(4);
            break;
        case 210:
        case 211: {
            QList<QByteArray> matches;
            if (std::optional<Failure> f = ReadBody(&matches)) return f;
            if (matches.isEmpty()) return Failure{kFreeDBErrNoMatch, kNoEntryText};
            *match = matches.first();
            break;
        }
        case 202:
            return Failure{kFreeDBErrNoMatch, kNoEntryText};
        case 403:
            return Refused("query");
        case 409:
            return Refused("connection");
        default:
            return Unreadable(Quoted(reply));
        }
        const QList<QByteArray> words = match->simplified().split(' ');
        if (words.size() < 2 || !IsWord(words[0]) || !IsWord(words[1])) return Unreadable(Quoted(reply));
        *match = words[0] + ' ' + words[1];
        return std::nullopt;
    }

    std::optional<Failure> ReadEntry(const QByteArray& match, QList<QByteArray>* lines)
    {
        Reply reply;
        if (std::optional<Failure> f = Ask("cddb read " + match, &reply)) return f;
        if (reply.code == 401) return Failure{kFreeDBErrNoMatch, kNoEntryText};
        if (reply.code == 402 || reply.code == 403) return Refused("query");
        if (reply.code == 409) return Refused("connection");
        if (reply.code != 210) return Unreadable(Quoted(reply));
        return ReadBody(lines);
    }

    void Quit() { m_connection.Send("quit"); }

private:
    // A text the handshake sends as one word.
    static QByteArray Word(const QString& text)
    {
        QByteArray word = text.toUtf8();
        for (char& c : word)
            if (static_cast<unsigned char>(c) <= ' ') c = '_';
        return word.isEmpty() ? "unknown" : word;
    }
    // A category or disc id that can be sent back as it came.
    static bool IsWord(const QByteArray& word)
    {
        for (char c : word)
            if (!std::isalnum(static_cast<unsigned char>(c))) return false;
        return !word.isEmpty() && word.size() <= 64;
    }
    // The start of a server's line for a message, without control characters.
    static QString Quoted(const Reply& reply)
    {
        QString text = platform::DecodeText(reply.line.left(80));
        text.removeIf([](QChar c) { return c.category() == QChar::Other_Control && !c.isSpace(); });
        return text.simplified();
    }

    const Request& m_request;
    Connection& m_connection;
};

// The disc as the CDDB protocol sees it: the start of every track and the
// lead-out, counted in frames from the disc's very start (150 before sector 0).
DiscFrames FramesOf(const audiocd::Toc& toc)
{
    constexpr int kLeadIn = 150;
    DiscFrames disc;
    for (const audiocd::TocTrack& t : toc.tracks) disc.tracks.push_back(t.firstSector + kLeadIn);
    disc.leadout = toc.leadout + kLeadIn;
    return disc;
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

using Outcome = std::variant<Entry, Failure>;

// The lookup, on its own thread: the entry of the first match, or why there is none.
Outcome Look(const Request& r, Link& link, Connection& connection)
{
    const auto state = [&link](const QString& text) { link.Post([text](cFreeDB& c) { emit c.StateChanged(text); }); };
    state("Reading the disc");
    audiocd::Toc toc;
    if (std::optional<Failure> f = ReadToc(r, &toc)) return *f;

    state("Connecting");
    const QByteArray address = ResolveIPv4(r.host);
    if (address.isEmpty()) return Failure{kFreeDBErrConnect, NotFoundText(r.host)};
    Talk talk(r, connection);
    if (std::optional<Failure> f = talk.Status(connection.Open(address, r.port))) return *f;
    if (std::optional<Failure> f = talk.Greet()) return *f;

    state("Querying");
    QByteArray match;
    if (std::optional<Failure> f = talk.Query(FramesOf(toc), &match)) return *f;
    state("Reading the entry");
    QList<QByteArray> lines;
    if (std::optional<Failure> f = talk.ReadEntry(match, &lines)) return *f;
    talk.Quit();
    return ParseEntry(lines, int(toc.tracks.size()));
}

} // namespace

void Run(const Request& request, Link& link)
{
    // A second longer than the control's own deadline, which ends the lookup first.
    Connection connection(Clock::now() + std::chrono::seconds(request.timeout + 1),
                          [&link] { return link.Owner() == nullptr; });
    const Outcome outcome = Look(request, link, connection);
    // Sent before the connection closes: once the server sees the end, the
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
