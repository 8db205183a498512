#include "controls/audio/AudioOutput.h"

bool AudioTags::IsEmpty() const
{
    return album.isEmpty() && artist.isEmpty() && comment.isEmpty() && genre.isEmpty() && title.isEmpty() &&
           track.isEmpty() && year.isEmpty();
}

void AudioOutput::SetRangeStart(std::int32_t seconds)
{
    m_out.rangeStart = seconds;
    m_out.ranged = true;
}

void AudioOutput::SetRangeLength(std::int32_t seconds)
{
    m_out.rangeLength = seconds;
    m_out.ranged = true;
}

void AudioOutput::ClearRange()
{
    m_out.rangeStart = 0;
    m_out.rangeLength = 0;
    m_out.ranged = false;
}

void AudioOutput::SetWAVFormat(const WAVFormatSettings& settings) { m_out.wav = settings; }

void AudioOutput::SetACMFormat(const QString& FormatTagName, const QString& FormatName)
{
    m_out.acm = {FormatTagName, FormatName};
}

void AudioOutput::SetMP3Format(const MP3FormatSettings& settings) { m_out.mp3 = settings; }
void AudioOutput::SetWMAFormat(const WMAFormatSettings& settings) { m_out.wma = settings; }
void AudioOutput::SetOGGFormat(const OGGFormatSettings& settings) { m_out.ogg = settings; }
void AudioOutput::SetAPEFormat(std::int32_t CompressionLevel) { m_out.ape.CompressionLevel = CompressionLevel; }
