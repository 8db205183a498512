#include "support/FakeCddbServer.h"

#include "support/CdImage.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace support {

namespace {

int CodeOf(const QByteArray& answer) { return answer.left(3).toInt(); }

bool ClosesConnection(const QByteArray& answer)
{
    const int code = CodeOf(answer);
    return code == 230 || (code >= 431 && code <= 434);
}

} // namespace

FakeCddbServer::FakeCddbServer(Answers answers) : m_answers(std::move(answers))
{
    if (::pipe2(m_wake, O_CLOEXEC) != 0) return;
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = 0; // a free port
    socklen_t size = sizeof at;
    if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
        ::listen(m_listen, 8) != 0 || ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&at), &size) != 0)
        return;
    m_port = ntohs(at.sin_port);
    m_thread = std::thread([this] { Run(); });
}

FakeCddbServer::~FakeCddbServer()
{
    if (m_wake[1] >= 0) (void)::write(m_wake[1], "x", 1);
    if (m_thread.joinable()) m_thread.join();
    for (int fd : {m_listen, m_wake[0], m_wake[1]})
        if (fd >= 0) ::close(fd);
}

QStringList FakeCddbServer::Received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void FakeCddbServer::Run()
{
    for (;;) {
        pollfd p[2] = {{m_listen, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0 || p[1].revents) return;
        const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++m_connections;
        Serve(fd);
        ::close(fd);
        ++m_closed;
    }
}

bool FakeCddbServer::Send(int fd, const QByteArray& answer)
{
    QByteArray bytes = answer;
    bytes.replace("\r\n", "\n").replace("\n", "\r\n");
    bytes += "\r\n";
    return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
}

QByteArray FakeCddbServer::ProtoAnswer(const QByteArray& line, int& level) const
{
    const QByteArray asked = line.mid(5).trimmed();
    if (asked.isEmpty())
        return QString("200 CDDB protocol level: current %1, supported %2").arg(level).arg(m_answers.protoLevel).toUtf8();
    bool number = false;
    const int wanted = asked.toInt(&number);
    if (!number || wanted < 1 || wanted > m_answers.protoLevel) return "501 Illegal protocol level.";
    if (wanted == level) return "502 Protocol level already " + QByteArray::number(level) + ".";
    level = wanted;
    return "201 OK, CDDB protocol level now: " + QByteArray::number(level);
}

QByteArray FakeCddbServer::AnswerTo(const QByteArray& line, int& level) const
{
    if (line.startsWith("cddb hello")) return m_answers.hello;
    if (line == "proto" || line.startsWith("proto ")) return ProtoAnswer(line, level);
    if (line.startsWith("cddb query")) return m_answers.query;
    if (line.startsWith("cddb read")) return m_answers.read;
    if (line.startsWith("quit")) return "230 fake.cddb Closing connection.  Goodbye.";
    return "500 Unrecognized command.";
}

void FakeCddbServer::Serve(int fd)
{
    if (!m_answers.silent && (!Send(fd, m_answers.banner) || ClosesConnection(m_answers.banner))) return;
    QByteArray pending;
    int level = 1;
    for (;;) {
        pollfd p[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0 || p[1].revents) return;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        pending.append(buffer, n);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QByteArray line = pending.left(end).trimmed();
            pending.remove(0, end + 1);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received << QString::fromUtf8(line);
            }
            const QByteArray answer = AnswerTo(line, level);
            if (m_answers.silent || answer.isEmpty()) continue;
            if (!Send(fd, answer) || ClosesConnection(answer)) return;
        }
    }
}

QString CddbDiscId(const CdImage& image)
{
    int digits = 0;
    for (const CdImage::Track& t : image.tracks)
        for (std::int64_t s = (t.firstSector + 150) / 75; s > 0; s /= 10) digits += int(s % 10);
    const CdImage::Track& last = image.tracks.back();
    const std::int64_t length = (last.firstSector + last.sectors + 150) / 75 - (image.tracks.front().firstSector + 150) / 75;
    const quint32 id = quint32(digits % 255) << 24 | quint32(length) << 8 | quint32(image.tracks.size());
    return QString("%1").arg(id, 8, 16, QChar('0'));
}

CddbDisc CddbDiscOf(const CdImage& image)
{
    CddbDisc disc;
    for (const CdImage::Track& t : image.tracks) disc.offsets.push_back(int(t.firstSector + 150));
    disc.seconds = int((image.tracks.back().firstSector + image.tracks.back().sectors + 150) / 75);
    return disc;
}

QByteArray CddbReadAnswer(const QString& category, const QString& discId, const CddbDisc& disc,
                          const QStringList& lines)
{
    QStringList entry{QString("210 %1 %2 CD database entry follows (until terminating `.')").arg(category, discId),
                      "# xmcd", "#", "# Track frame offsets:"};
    for (int offset : disc.offsets) entry << QString("#\t%1").arg(offset);
    entry << "#" << QString("# Disc length: %1 seconds").arg(disc.seconds) << "#" << "# Revision: 1"
          << "# Submitted via: fake 1.0" << "#" << "DISCID=" + discId;
    entry << lines << "EXTD=" << "PLAYORDER=" << ".";
    return entry.join("\r\n").toUtf8();
}

} // namespace support
