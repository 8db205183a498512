#pragma once
// One running program per settings folder. The first start takes a lock file
// in the folder and listens on a local socket of the user's own; a later
// start on the same folder hands its command line to that program and ends.
// A lock left by a program that was killed is taken over by the next start.
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

    enum class Claimed {
        Run,         // this program runs: it holds the folder (or it cannot be locked at all)
        HandedOver,  // the running program took the command line: this start ends
        Unreachable, // another program holds the folder but cannot be reached: this start must not run
        Interrupted, // `interrupted` said so while this start waited for the running program
    };
    // Takes the folder, or hands `arguments` to the program that holds it. A
    // start that finds the folder held retries for a while (the holder may be
    // starting or ending), asking `interrupted` between tries.
    Claimed Claim(const QStringList& arguments, const std::function<bool()>& interrupted = {});
    // `run` gets each command line handed over by a later start, those that
    // came before it was set first.
    void SetReceiver(std::function<void(const QStringList&)> run);

    // The lock file for a settings folder.
    static QString LockFilePath(const QString& settingsFolder);
    // The socket's path: in $XDG_RUNTIME_DIR when that is a folder only the
    // user can write, else in the settings folder itself.
    static QString SocketPath(const QString& settingsFolder);

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
    bool m_warnedOfStranger = false;
};

} // namespace platform
