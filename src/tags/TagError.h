#pragma once
// Errors the tag classes raise: the failing operation's number and
// description, and as source the program's name and the class that raised it.
// Callers catch them as TagError.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <exception>

inline constexpr std::int32_t kTagErrInvalidCall = 5;     // a missing frame or entry
inline constexpr std::int32_t kTagErrOverflow = 6;        // a tag or frame too large for its size field
inline constexpr std::int32_t kTagErrOutOfRange = 9;      // a frame position outside the list
inline constexpr std::int32_t kTagErrTypeMismatch = 13;   // a play counter that is not a number
inline constexpr std::int32_t kTagErrNoFile = 91;         // the frame list is used before a file was read
inline constexpr std::int32_t kTagErrNotMP3 = -2147217407; // 0x80041001: a file that cannot hold a tag

class TagError : public std::exception {
public:
    TagError(std::int32_t number, QString source, QString description);
    const char* what() const noexcept override { return m_what.constData(); }

    std::int32_t Number;
    QString Source;
    QString Description;

private:
    QByteArray m_what;
};

// "<program>.<class>", the source of every error a tag class raises.
QString TagErrorSource(const char* className);
// The description that goes with one of the numbers above.
QString TagErrorText(std::int32_t number);
[[noreturn]] void RaiseTagError(std::int32_t number, const QString& source);
// A failed file operation, by the system's error code (errno).
[[noreturn]] void RaiseFileError(int systemError, const QString& source);
// "<path> is not a valid MP3 file."
[[noreturn]] void RaiseNotMP3(const QString& path, const QString& source);
