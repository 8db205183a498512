#pragma once
// One running program per settings folder. The first start takes a lock file
// in the folder and listens on a local socket named after it; a later start
// on the same folder hands its command line to that program and ends. A lock
// left by a program that was killed is taken over by the next start.
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace platform {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& settingsFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this program is to run: it now holds the folder and listens
    // for later starts (or the folder cannot be locked at all, or the program
    // that holds it does not answer). False when the running program took
    // `arguments`: this start ends.
    bool Claim(const QStringList& arguments);
    // `run` gets each command line handed over by a later start, those that
    // came before it was set first.
    void SetReceiver(std::function<void(const QStringList&)> run);

    // The lock file and the socket's name for a settings folder.
    static QString LockFilePath(const QString& settingsFolder);
    static QString ServerName(const QString& settingsFolder);

private:
    bool Listen();
    bool HandOver(const QStringList& arguments);
    void Accept();
    void Read(QLocalSocket* socket);
    void Deliver(const QStringList& arguments);

    const QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    std::function<void(const QStringList&)> m_receiver;
    QList<QStringList> m_waiting;
};

} // namespace platform
