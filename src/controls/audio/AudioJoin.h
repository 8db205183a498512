#pragma once
// The join control: joins a list of audio files, each whole or a range of
// it, into one file in any destination format the conversion control writes
// (format codes and settings records in AudioOutput.h, error codes in
// AudioConverter.h). Every
// entry is decoded and resampled to the output's rate and channels; where
// the destination settings keep the source's rate or channels, the first
// entry's are used.
//
// Threads and events. Every member is called on the thread that owns the
// control (the window thread). Join returns at once; the join runs on the
// control's own thread, and its events arrive later as queued signals on the
// owning thread: zero or more Progress, then exactly one of Done, Aborted or
// Error. Done never follows an Error or an Aborted of the same join. A
// handler may call Join again.
//
// Before writing anything a join opens every entry, so a missing or
// unreadable entry, or a range that starts after the end of its file, ends it
// at once with Error. The output is written to a hidden temporary file in the
// destination folder and renamed into place when complete: an abort or an
// error leaves no file under the destination name and never touches an
// existing one. A destination that is one of the entries is refused.
//
// Getting a control. Windows call CreateAudioJoin(); tests install a factory
// that returns a FakeAudioJoin (support/FakeAudioJoin.h):
//     SetAudioJoinFactory([] { return std::make_unique<FakeAudioJoin>(); });
// The control has no QObject parent: the window owns it through the pointer.
#include "controls/audio/AudioConverter.h"
#include "controls/audio/AudioOutput.h"

#include <QList>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class ControlThread;

// Code of Error for a join without entries; the other codes are the
// conversion control's.
inline constexpr std::int32_t kJoinErrNoFiles = 13;

class cAudioJoin : public QObject, public AudioOutput {
    Q_OBJECT
public:
    cAudioJoin();
    ~cAudioJoin() override;

    // The destination, encoder settings and tags are AudioOutput's; its
    // range is not used, each entry has its own.

    // The list of entries, numbered from 1 in the order they were added.
    // Start and Length are seconds: -1 and -1 join the whole file; otherwise
    // the part from Start (a negative start counts as 0) for Length seconds,
    // where a length of 0 or less runs to the end of the file. A running join
    // keeps the list it started with.
    virtual void AddFile(const QString& path, std::int32_t Start, std::int32_t Length);
    // Removes entry `index`; an index outside the list changes nothing.
    virtual void RemoveFile(std::int32_t index);
    std::int32_t GetFileCount() const { return std::int32_t(m_files.size()); }
    // The path of entry `index`, and its start and length when asked for;
    // empty (and 0, 0) outside the list.
    QString GetFileName(std::int32_t index, std::int32_t* Start = nullptr, std::int32_t* Length = nullptr) const;

    // Starts joining the entries into DestinationFile and returns 0 at once;
    // while a join runs it returns kConvertErrBusy and raises nothing.
    virtual std::int32_t Join();
    // Stops the running join; Aborted follows. Nothing when idle.
    virtual void Abort();
    // As Abort, and the Progress events still queued are dropped: after
    // Abort and Reset only the ending arrives.
    virtual void Reset();
    // Shuts the control down: stops a running join and drops all its events.
    // The list and the settings stay; the control stays usable.
    virtual void Terminate();
    virtual bool IsJoining() const { return m_joining; }

signals:
    // File: the 1-based entry being read; Percent: 1 to 100 within that
    // entry, each value once. Every entry reaches 100 before the next one's
    // first event, the last one only once the joined file is in place.
    void Progress(std::int32_t File, std::int32_t Percent);
    void Done();
    void Aborted();
    void Error(std::int32_t Code, const QString& Description);

private:
    struct Entry {
        QString path;
        std::int32_t start = -1, length = -1;
    };
    QList<Entry> m_files;
    bool m_joining = false;
    bool m_progressDropped = false;
    std::unique_ptr<ControlThread> m_thread;
};

// Creates the control windows use: the real one, or what the installed
// factory makes.
std::unique_ptr<cAudioJoin> CreateAudioJoin();
// Tests: installs a factory; an empty function goes back to the real control.
void SetAudioJoinFactory(std::function<std::unique_ptr<cAudioJoin>()> factory);
