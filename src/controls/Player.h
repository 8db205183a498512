#pragma once
// The preview player. For now it reads a file's facts (length, sample rate,
// bit rate, channels) on FFmpeg's libraries; playing comes later, so it never
// plays and IsPlaying stays false.
#include <QObject>
#include <QString>
#include <cstdint>

// Results of OpenFile besides 0.
inline constexpr std::int32_t kPlayerErrFileMissing = 1;
inline constexpr std::int32_t kPlayerErrNotAudio = 2;

class cPlayer : public QObject {
    Q_OBJECT
public:
    explicit cPlayer(QObject* parent = nullptr);

    // Reads the file's facts: 0 when it is audio. After any other result
    // the facts are all 0.
    std::int32_t OpenFile(const QString& path);
    // The opened file's length in seconds.
    double Length() const { return m_length; }
    std::int32_t SampleRate() const { return m_sampleRate; }
    // Bit rate in kbit/s.
    std::int32_t Bitrate() const { return m_bitrate; }
    std::int32_t Channels() const { return m_channels; }
    // Whole seconds as H:MM:SS, the hours unpadded ("0:03:25").
    QString FormatTime(std::int32_t seconds) const;

    // True while a file plays or is paused.
    bool IsPlaying() const { return false; }
    bool IsPaused() const { return false; }
    void Stop() {}
    // Releases the player.
    void Terminate();

signals:
    // A play has ended.
    void PlayFinished();

private:
    void forget();

    double m_length = 0;
    std::int32_t m_sampleRate = 0;
    std::int32_t m_bitrate = 0;
    std::int32_t m_channels = 0;
};
