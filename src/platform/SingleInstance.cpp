#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QThread>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcSingleInstance, "tarvello.instance", QtWarningMsg)

namespace platform {

namespace {

constexpr int kClaimMs = 10000;   // how long a start tries to reach the running program
constexpr int kAnswerMs = 10000;  // how long it waits for the running program to take its command line
const QByteArray kTaken = "taken";

QString CanonicalFolder(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : canonical;
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

QString SingleInstance::ServerName(const QString& settingsFolder)
{
    // Local socket names are short: the folder goes in as a digest, and each
    // user has sockets of their own.
    const QByteArray digest =
        QCryptographicHash::hash(CanonicalFolder(settingsFolder).toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
    return QString("tarvello-%1-%2").arg(::getuid()).arg(QString::fromLatin1(digest));
}

bool SingleInstance::Claim(const QStringList& arguments)
{
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(LockFilePath(m_folder));
    // Only a lock whose program no longer runs is stale, however old it is.
    m_lock->setStaleLockTime(0);
    const QDeadlineTimer deadline(kClaimMs);
    while (!deadline.hasExpired()) {
        if (m_lock->tryLock(0)) {
            Listen();
            return true;
        }
        if (m_lock->error() != QLockFile::LockFailedError) {
            qCWarning(lcSingleInstance) << "Cannot lock" << LockFilePath(m_folder) << "; running without it";
            return true;
        }
        if (HandOver(arguments)) return false;
        // The running program is between taking the lock and listening, or ending.
        QThread::msleep(100);
    }
    qCWarning(lcSingleInstance) << "The program holding" << LockFilePath(m_folder) << "does not answer";
    return true;
}

bool SingleInstance::Listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::Accept);
    const QString name = ServerName(m_folder);
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
    socket.connectToServer(ServerName(m_folder));
    if (!socket.waitForConnected(1000)) return false;
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
