// Writes the generated data files into a program folder, each only when missing:
// sound/notify.wav (a short two-note chime) and SysIcon/systrayicon.png.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <cmath>
#include <cstdio>

namespace {

QByteArray chimeWav()
{
    const int rate = 22050;
    const double notes[] = {880.0, 1318.5};
    const int noteLen = rate * 18 / 100;
    QByteArray pcm;
    for (double f : notes) {
        for (int i = 0; i < noteLen; ++i) {
            double t = double(i) / rate;
            double env = std::exp(-t * 14.0) * std::min(1.0, i / 60.0);
            auto s = qint16(std::lround(12000.0 * env * std::sin(2 * M_PI * f * t)));
            char b[2];
            qToLittleEndian(s, b);
            pcm.append(b, 2);
        }
    }
    QByteArray out;
    auto u32 = [&](quint32 v) { char b[4]; qToLittleEndian(v, b); out.append(b, 4); };
    auto u16 = [&](quint16 v) { char b[2]; qToLittleEndian(v, b); out.append(b, 2); };
    out.append("RIFF"); u32(36 + pcm.size()); out.append("WAVE");
    out.append("fmt "); u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
    out.append("data"); u32(pcm.size()); out.append(pcm);
    return out;
}

QImage trayIcon()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x2a, 0x6f, 0xb0));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(1, 1, 30, 30, 7, 7);
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    const int bars[] = {8, 16, 22, 12, 18, 6};
    for (int i = 0; i < 6; ++i) {
        int x = 6 + i * 4;
        p.drawLine(x, 16 - bars[i] / 2, x, 16 + bars[i] / 2);
    }
    return img;
}

bool writeIfMissing(const QString& path, const QByteArray& data)
{
    if (QFile::exists(path)) return true;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tarvello_makedata PROGRAM_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath("sound");
    dir.mkpath("SysIcon");
    bool ok = writeIfMissing(dir.filePath("sound/notify.wav"), chimeWav());
    QString icon = dir.filePath("SysIcon/systrayicon.png");
    if (!QFile::exists(icon)) ok = trayIcon().save(icon, "PNG") && ok;
    return ok ? 0 : 1;
}
