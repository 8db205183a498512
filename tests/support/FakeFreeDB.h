#pragma once
// A CD database control for window tests: lookups that play scripted events,
// queued like the real control's, and every call recorded. Install it for the
// windows with
//     SetFreeDBFactory([] { return std::make_unique<FakeFreeDB>(); });
// and reach the instance a window made through FakeFreeDB::Last(). What
// NextSetup() holds is given to every fake made afterwards, so a window that
// asks IsConnected and starts a lookup at once finds its answers ready.
#include "controls/cd/AudioCD.h"

#include <QStringList>
#include <deque>
#include <vector>

class FakeFreeDB : public cFreeDB {
    Q_OBJECT
public:
    struct Event {
        enum class Kind { State, Artist, Album, Track, Done, Error };
        Kind kind = Kind::Done;
        QString text;             // the state, artist, album, track title or error text
        QString artist;           // of a track
        std::int32_t number = 0;  // the track number, or the error code
    };
    static Event State(const QString& state) { return {Event::Kind::State, state, {}, 0}; }
    static Event Artist(const QString& artist) { return {Event::Kind::Artist, artist, {}, 0}; }
    static Event Album(const QString& album) { return {Event::Kind::Album, album, {}, 0}; }
    static Event Track(const QString& artist, std::int32_t track, const QString& title)
    {
        return {Event::Kind::Track, title, artist, track};
    }
    static Event Done() { return {}; }
    static Event Fail(std::int32_t code, const QString& text) { return {Event::Kind::Error, text, {}, code}; }
    // A lookup that finds this entry: a state, the artist, the album, one
    // track per title (tracks 1, 2, ... by the disc's artist), QueryDone.
    static std::vector<Event> Found(const QString& artist, const QString& album, const QStringList& titles);

    // What every fake starts with. A lookup plays the next script, event by
    // event, each queued; a script without Done or Fail keeps the lookup
    // running until Abort, Terminate or Raise. Without a script a lookup
    // ends with QueryDone alone.
    struct Setup {
        bool connected = true; // IsConnected's answer
        std::deque<std::vector<Event>> lookups;
    };
    static Setup& NextSetup();

    FakeFreeDB();
    ~FakeFreeDB() override;
    // The fake made last (nullptr once it is gone).
    static FakeFreeDB* Last();

    // Emits an event now, as if the running lookup had sent it (a Done or
    // Fail ends the lookup).
    void Raise(const Event& event);

    bool connected = true;
    std::deque<std::vector<Event>> lookups;
    // Every member call in order: "IsConnected", "SetDrive D:", "Timeout 20",
    // "ServerHost gnudb.gnudb.org", "ServerPort 8880", "UserName clsCDDB",
    // "ClientHost localhost", "ClientName clsCDDB", "ClientVersion v0.5",
    // "StartQuery", "Abort", "Terminate".
    QStringList calls;

    bool IsConnected() override;
    void SetDrive(const QString& drive) override;
    void SetTimeout(std::int32_t seconds) override;
    void SetServerHost(const QString& host) override;
    void SetServerPort(std::uint16_t port) override;
    void SetUserName(const QString& name) override;
    void SetClientHost(const QString& host) override;
    void SetClientName(const QString& name) override;
    void SetClientVersion(const QString& version) override;
    void StartQuery() override;
    void Abort() override;
    void Terminate() override;
    bool IsQuerying() const override { return m_running; }

private:
    void Stop();

    bool m_running = false;
    unsigned m_generation = 0;
};
