#include "tags/TagError.h"

#include "platform/AppInfo.h"

#include <cerrno>
#include <utility>

TagError::TagError(std::int32_t number, QString source, QString description)
    : Number(number), Source(std::move(source)), Description(std::move(description)),
      m_what((Description + " (" + QString::number(Number) + ")").toUtf8())
{
}

QString TagErrorSource(const char* className) { return platform::AppExeName() + "." + className; }

QString TagErrorText(std::int32_t number)
{
    switch (number) {
    case kTagErrInvalidCall: return "Invalid procedure call or argument";
    case kTagErrOverflow: return "Overflow";
    case kTagErrOutOfRange: return "Subscript out of range";
    case kTagErrTypeMismatch: return "Type mismatch";
    case kTagErrNoFile: return "Object variable or With block variable not set";
    case 53: return "File not found";
    case 57: return "Device I/O error";
    case 61: return "Disk full";
    case 62: return "Input past end of file";
    case 67: return "Too many files";
    case 70: return "Permission denied";
    case 76: return "Path not found";
    default: return "Path/File access error";
    }
}

void RaiseTagError(std::int32_t number, const QString& source) { throw TagError(number, source, TagErrorText(number)); }

void RaiseFileError(int systemError, const QString& source)
{
    std::int32_t number = 75;
    switch (systemError) {
    case ENOENT: number = 53; break;
    case ENOTDIR: number = 76; break;
    case EACCES:
    case EPERM:
    case ETXTBSY: number = 70; break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: number = 61; break;
    case EIO: number = 57; break;
    case EMFILE:
    case ENFILE: number = 67; break;
    default: break;
    }
    RaiseTagError(number, source);
}

void RaiseNotMP3(const QString& path, const QString& source)
{
    throw TagError(kTagErrNotMP3, source, path + " is not a valid MP3 file.");
}
