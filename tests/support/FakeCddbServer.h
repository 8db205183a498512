#pragma once
// A CD database server for the tests: speaks the CDDB protocol on 127.0.0.1
// on a free port, from a thread of its own, and answers every connection with
// the recorded answers it was given. It records every line it receives.
// Stopped by its destructor.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace support {

class FakeCddbServer {
public:
    // Each answer is sent as it stands, its lines ended with CR LF. An answer
    // with a code of 230 or 431 to 434 closes the connection after it; an
    // empty answer is never sent (the server keeps still).
    struct Answers {
        QByteArray banner = "201 fake.cddb CDDBP server v1.5.2PL0 ready at Mon Jan 01 00:00:00 2024";
        QByteArray hello = "200 Hello and welcome clsCDDB@localhost running clsCDDB v0.5.";
        // The highest protocol level it takes; each connection starts at 1,
        // and "proto" answers as a CDDB server does.
        int protoLevel = 6;
        QByteArray query = "202 No match for disc ID.";
        QByteArray read = "401 Specified CDDB entry not found.";
        bool silent = false; // accepts connections and never answers
    };

    explicit FakeCddbServer(Answers answers);
    ~FakeCddbServer();
    FakeCddbServer(const FakeCddbServer&) = delete;
    FakeCddbServer& operator=(const FakeCddbServer&) = delete;

    std::uint16_t Port() const { return m_port; }
    // The lines received so far, over every connection, without line ends.
    QStringList Received() const;
    // Connections accepted so far, and those of them that have ended.
    int Connections() const { return m_connections; }
    int Closed() const { return m_closed; }

private:
    void Run();
    void Serve(int fd);
    bool Send(int fd, const QByteArray& answer);
    // `level`: the connection's protocol level.
    QByteArray AnswerTo(const QByteArray& line, int& level) const;
    QByteArray ProtoAnswer(const QByteArray& line, int& level) const;

    Answers m_answers;
    int m_listen = -1;
    int m_wake[2] = {-1, -1}; // written by the destructor to stop the thread
    std::uint16_t m_port = 0;
    std::atomic<int> m_connections{0};
    std::atomic<int> m_closed{0};
    mutable std::mutex m_mutex;
    QStringList m_received; // guarded by m_mutex
    std::thread m_thread;
};

// A disc as a CDDB entry knows it.
struct CddbDisc {
    std::vector<int> offsets; // frame offset of every track (sector + 150)
    int seconds = 0;          // the disc's length, lead-out included
};

struct CdImage;

// The CDDB disc id of a disc image, worked out from its table of contents:
// the digit sums of each track's start in seconds (modulo 255), the disc's
// length in seconds from the first track's start, and the track count.
QString CddbDiscId(const CdImage& image);
// The image as its CDDB entry knows it.
CddbDisc CddbDiscOf(const CdImage& image);

// A "cddb read" answer: "210 <category> <discid> ...", the xmcd entry with its
// header (track offsets, disc length), the given lines (DTITLE=..., TTITLE0=...,
// repeated keys allowed), and ".".
QByteArray CddbReadAnswer(const QString& category, const QString& discId, const CddbDisc& disc,
                          const QStringList& lines);

} // namespace support
