// One MP3 conversion through the conversion control, in a process of its own,
// so that a test can run many and see an encoder that kills its process as
// one failed case.
//
//   mp3_convert_child SOURCE DESTINATION [Field=value ...]
//
// The fields are those of MP3FormatSettings (Bitrate, Mode, Quality,
// SampleRate, VBRMethod, ABRBitrate, VBRMinBitrateIndex, VBRMaxBitrateIndex,
// VBRQuality, VBRForceMinBitrate, ErrorProtection). Exit code 0 when the
// conversion is done, 1 when it ends in an error (the text goes to stderr),
// 2 for a bad command line.
#include "controls/audio/AudioConverter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHash>
#include <cstdio>
#include <functional>

namespace {

bool SetField(MP3FormatSettings& s, const QString& name, int value)
{
    const QHash<QString, std::function<void(int)>> fields = {
        {"Bitrate", [&](int v) { s.Bitrate = v; }},
        {"Mode", [&](int v) { s.Mode = v; }},
        {"Quality", [&](int v) { s.Quality = v; }},
        {"SampleRate", [&](int v) { s.SampleRate = v; }},
        {"VBRMethod", [&](int v) { s.VBRMethod = v; }},
        {"ABRBitrate", [&](int v) { s.ABRBitrate = v; }},
        {"VBRMinBitrateIndex", [&](int v) { s.VBRMinBitrateIndex = v; }},
        {"VBRMaxBitrateIndex", [&](int v) { s.VBRMaxBitrateIndex = v; }},
        {"VBRQuality", [&](int v) { s.VBRQuality = v; }},
        {"VBRForceMinBitrate", [&](int v) { s.VBRForceMinBitrate = std::int16_t(v); }},
        {"ErrorProtection", [&](int v) { s.ErrorProtection = std::int16_t(v); }},
    };
    const auto field = fields.find(name);
    if (field == fields.end()) return false;
    field.value()(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: mp3_convert_child SOURCE DESTINATION [Field=value ...]\n");
        return 2;
    }
    MP3FormatSettings settings;
    for (const QString& arg : args.mid(3)) {
        bool isNumber = false;
        const int value = arg.section('=', 1).toInt(&isNumber);
        if (!isNumber || !SetField(settings, arg.section('=', 0, 0), value)) {
            std::fprintf(stderr, "mp3_convert_child: bad setting %s\n", qPrintable(arg));
            return 2;
        }
    }

    cAudioConverter conv;
    conv.SetSourceFile(args[1]);
    conv.SetDestinationFile(args[2]);
    conv.SetDestinationFormat(kDestFormatMP3);
    conv.SetMP3Format(settings);
    QEventLoop loop;
    int result = 1;
    QObject::connect(&conv, &cAudioConverter::ConvertDone, &loop, [&] {
        result = 0;
        loop.quit();
    });
    QObject::connect(&conv, &cAudioConverter::ConvertAborted, &loop, [&] { loop.quit(); });
    QObject::connect(&conv, &cAudioConverter::ConvertError, &loop, [&](std::int32_t code, const QString& text) {
        std::fprintf(stderr, "conversion error %d: %s\n", int(code), qPrintable(text));
        loop.quit();
    });
    conv.Convert();
    loop.exec();
    conv.Terminate();
    return result;
}
