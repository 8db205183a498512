#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

Q_LOGGING_CATEGORY(lcSingleInstance, "tarvello.instance", QtWarningMsg)

namespace platform {

namespace {

constexpr int kClaimMs = 10000;   // how long a start tries to reach the running program
constexpr int kRetryMs = 100;     // the pause between two tries
constexpr int kAnswerMs = 10000;  // how long it waits for the running program to take its command line
const QByteArray kTaken = "taken";

QString CanonicalFolder(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : canonical;
}

// $XDG_RUNTIME_DIR when it is a folder of this user's that nobody else can write.
QString RuntimeFolder()
{
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) return {};
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return {};
    return folder;
}

// True when the process at the other end of a connected local socket runs as this user.
bool PeerIsThisUser(const QLocalSocket& socket)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::geteuid();
}

// Lets events run (a signal's notice among them) for a while; true when `interrupted` then says so.
bool WaitUnlessInterrupted(int ms, const std::function<bool()>& interrupted)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return interrupted && interrupted();
}

} // namespace

SingleInstance::SingleInstance(const QString& settingsFolder, QObject* parent)
    : QObject(parent), m_folder(settingsFolder)
{
}

SingleInstance::~SingleInstance()
{
    if (m_server) m_server->close();
}

QString SingleInstance::LockFilePath(const QString& settingsFolder)
{
    return QDir(settingsFolder).filePath("tarvello.lock");
}

QString SingleInstance::SocketPath(const QString& settingsFolder)
{
    // Socket paths are short: in the shared runtime folder the settings
    // folder goes in as a digest.
    const QString runtime = RuntimeFolder();
    if (runtime.isEmpty()) return QDir(settingsFolder).filePath("tarvello.socket");
    const QByteArray digest =
        QCryptographicHash::hash(CanonicalFolder(settingsFolder).toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
    return QDir(runtime).filePath("tarvello-" + QString::fromLatin1(digest));
}

SingleInstance::Claimed SingleInstance::Claim(const QStringList& arguments, const std::function<bool()>& interrupted)
{
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(LockFilePath(m_folder));
    // Only a lock whose program no longer runs is stale, however old it is.
    m_lock->setStaleLockTime(0);
    const QDeadlineTimer deadline(kClaimMs);
    for (;;) {
        if (m_lock->tryLock(0)) {
            Listen();
            return Claimed::Run;
        }
        if (m_lock->error() != QLockFile::LockFailedError) {
            qCWarning(lcSingleInstance) << "Cannot lock" << LockFilePath(m_folder) << "; running without it";
            return Claimed::Run;
        }
        if (HandOver(arguments)) return Claimed::HandedOver;
        // Running beside the holder would lose what either writes: this start never does.
        if (deadline.hasExpired()) return Claimed::Unreachable;
        // The running program is between taking the lock and listening, or ending.
        if (WaitUnlessInterrupted(kRetryMs, interrupted)) return Claimed::Interrupted;
    }
}

bool SingleInstance::Listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::Accept);
    const QString name = SocketPath(m_folder);
    if (m_server->listen(name)) return true;
    // A socket left by a program that was killed: the lock says nobody uses it.
    QLocalServer::removeServer(name);
    if (m_server->listen(name)) return true;
    qCWarning(lcSingleInstance) << "Cannot listen on" << name << m_server->errorString();
    return false;
}

bool SingleInstance::HandOver(const QStringList& arguments)
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath(m_folder));
    if (!socket.waitForConnected(1000)) return false;
    // A socket another user made under our name gets nothing.
    if (!PeerIsThisUser(socket)) {
        if (!std::exchange(m_warnedOfStranger, true))
            qCWarning(lcSingleInstance) << SocketPath(m_folder) << "belongs to another user: nothing handed over";
        return false;
    }
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << arguments;
    socket.write(message);
    if (!socket.waitForBytesWritten(kAnswerMs)) return false;
    // Once sent, the command line is the running program's, answered or not:
    // a busy program reads it when it can.
    QByteArray answer;
    while (answer.size() < kTaken.size() && socket.waitForReadyRead(kAnswerMs)) answer += socket.readAll();
    if (!answer.startsWith(kTaken)) qCWarning(lcSingleInstance) << "The running program did not answer";
    return true;
}

void SingleInstance::Accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (!PeerIsThisUser(*socket)) {
            delete socket;
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        if (socket->bytesAvailable() > 0) Read(socket);
    }
}

void SingleInstance::Read(QLocalSocket* socket)
{
    QDataStream in(socket);
    in.startTransaction();
    QStringList arguments;
    in >> arguments;
    if (!in.commitTransaction()) return; // the rest is still on its way
    socket->write(kTaken);
    socket->flush();
    socket->disconnectFromServer();
    Deliver(arguments);
}

void SingleInstance::Deliver(const QStringList& arguments)
{
    qCInfo(lcSingleInstance) << "Command line from another start:" << arguments.join(' ');
    if (m_receiver) m_receiver(arguments);
    else m_waiting.append(arguments);
}

void SingleInstance::SetReceiver(std::function<void(const QStringList&)> run)
{
    m_receiver = std::move(run);
    const QList<QStringList> waiting = std::exchange(m_waiting, {});
    for (const QStringList& arguments : waiting) m_receiver(arguments);
}

} // namespace platform
