#pragma once
// Inside the speech control: the program's one owner of espeak-ng. espeak-ng
// keeps its voice, parameters and output in global state, so every use of it
// goes through this engine, which runs one synthesis at a time, on the
// caller's thread, into memory (22,050 Hz, 16-bit, mono). Word positions come
// back as offsets into the caller's QString (UTF-16 units).
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <mutex>
#include <vector>

namespace speech {

struct Voice {
    QString name;          // "English (America)"
    QByteArray identifier; // "gmw/en-US"
};

// A spoken word: where it starts in the output and in the text.
struct Word {
    std::int64_t sample = 0; // of the engine's output, from 0
    std::int32_t position = 0;
    std::int32_t length = 0;
};

struct Settings {
    int voice = -1;   // index into Voices(); -1: the first voice
    int rate = 0;     // -10 (slowest) .. 10 (fastest), 0 normal
    int volume = 100; // 0 .. 100
    bool markup = false; // the text may hold SSML elements
};

// Where a synthesis goes; called on the synthesizing thread.
class Sink {
public:
    virtual ~Sink() = default;
    // Samples as made; false stops the synthesis.
    virtual bool Samples(const std::int16_t* samples, int count) = 0;
    virtual void WordStarts(const Word& word) = 0;
};

enum class Outcome { Done, Stopped, Failed };
struct Result {
    Outcome outcome = Outcome::Done;
    QString error; // when Failed
};

class Engine {
public:
    // The one engine of the program, started on first use.
    static Engine& Instance();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine();

    static constexpr int kSampleRate = 22050;

    // False when espeak-ng cannot start (its data is missing); StartError says why.
    bool Available();
    QString StartError();
    // The voices, the one for the system's language first, then by name.
    std::vector<Voice> Voices();

    // Speaks the text into the sink and returns when done, stopped by the
    // sink, or failed. Other callers wait meanwhile.
    Result Synthesize(const QString& text, const Settings& settings, Sink& sink);

    // espeak-ng's words per minute for a rate of -10 .. 10.
    static int EspeakRate(int rate);

private:
    Engine() = default;
    bool StartLocked();
    void ListVoicesLocked();

    std::mutex m_mutex;
    bool m_tried = false;
    bool m_started = false;
    QString m_startError;
    std::vector<Voice> m_voices;
};

} // namespace speech
