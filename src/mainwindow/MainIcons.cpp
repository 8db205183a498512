#include "mainwindow/MainIcons.h"

#include "controls/widgets/ImageList.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <cmath>
#include <functional>

namespace {

const QColor kBlue(0x2a, 0x6f, 0xb0);
const QColor kGreen(0x2e, 0x9a, 0x48);
const QColor kOrange(0xe0, 0x7b, 0x1a);
const QColor kRed(0xc8, 0x32, 0x32);
const QColor kGrey(0x55, 0x5f, 0x6d);

// Paints an icon on a 32 x 32 canvas, at the sizes the toolbars ask for.
QIcon Drawn(const std::function<void(QPainter&)>& paint)
{
    QIcon icon;
    for (int size : {16, 24, 26, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        paint(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

void Wave(QPainter& p, QRectF area, const QColor& color)
{
    QPainterPath path;
    path.moveTo(area.left(), area.center().y());
    for (double x = 0; x <= area.width(); x += 0.5)
        path.lineTo(area.left() + x, area.center().y() - area.height() / 2 * std::sin(x / area.width() * 4 * M_PI));
    p.setPen(QPen(color, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color)
{
    p.setPen(QPen(color, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - d * 5 + n * 4);
    p.drawLine(to, to - d * 5 - n * 4);
}

void Disc(QPainter& p, QRectF area)
{
    QRadialGradient shine(area.center(), area.width() / 2);
    shine.setColorAt(0, QColor(0xf4, 0xf6, 0xfa));
    shine.setColorAt(1, QColor(0xb8, 0xc2, 0xd2));
    p.setPen(QPen(kGrey, 1.2));
    p.setBrush(shine);
    p.drawEllipse(area);
    p.setBrush(Qt::white);
    const double hole = area.width() / 5;
    p.drawEllipse(area.center(), hole, hole);
}

QIcon Converter(const QColor& wave)
{
    return Drawn([wave](QPainter& p) {
        Wave(p, QRectF(2, 6, 14, 10), wave);
        Arrow(p, QPointF(9, 24), QPointF(28, 24), kGreen);
        Wave(p, QRectF(17, 6, 13, 10), kBlue);
    });
}

QIcon Analyser()
{
    return Drawn([](QPainter& p) {
        const int heights[] = {6, 14, 22, 12, 26, 16, 8, 18, 10};
        p.setPen(QPen(QColor(0x1b, 0x8a, 0x8f), 2.2, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 9; ++i) p.drawLine(QPointF(4 + i * 3, 16 - heights[i] / 2.0), QPointF(4 + i * 3, 16 + heights[i] / 2.0));
    });
}

QIcon Recorder()
{
    return Drawn([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kGrey);
        p.drawRoundedRect(QRectF(11, 3, 10, 17), 5, 5);
        p.setPen(QPen(kGrey, 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7, 8, 18, 16), 180 * 16, 180 * 16);
        p.drawLine(QPointF(16, 24), QPointF(16, 29));
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawEllipse(QPointF(25, 6), 4, 4);
    });
}

QIcon Splitter()
{
    return Drawn([](QPainter& p) {
        Wave(p, QRectF(3, 10, 26, 12), kBlue);
        p.setPen(QPen(kRed, 2, Qt::DashLine));
        p.drawLine(QPointF(16, 3), QPointF(16, 29));
    });
}

QIcon Joiner()
{
    return Drawn([](QPainter& p) {
        Wave(p, QRectF(2, 10, 11, 12), kBlue);
        Wave(p, QRectF(19, 10, 11, 12), kOrange);
        p.setPen(QPen(kGreen, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 11), QPointF(16, 21));
        p.drawLine(QPointF(11, 16), QPointF(21, 16));
    });
}

QIcon DiscWith(const std::function<void(QPainter&)>& mark)
{
    return Drawn([mark](QPainter& p) {
        Disc(p, QRectF(2, 2, 24, 24));
        mark(p);
    });
}

QIcon Speech()
{
    return Drawn([](QPainter& p) {
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(2, 4, 28, 18), 6, 6);
        bubble.moveTo(9, 21);
        bubble.lineTo(7, 29);
        bubble.lineTo(15, 21);
        p.setPen(QPen(kBlue, 1.6));
        p.setBrush(QColor(0xe6, 0xef, 0xfa));
        p.drawPath(bubble.simplified());
        p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i) p.drawLine(QPointF(8, 9 + i * 4.5), QPointF(i == 2 ? 18 : 24, 9 + i * 4.5));
    });
}

QIcon Duplicator()
{
    return Drawn([](QPainter& p) {
        Disc(p, QRectF(1, 1, 20, 20));
        Disc(p, QRectF(11, 11, 20, 20));
    });
}

} // namespace

void FillToolImages(cImageList* images)
{
    if (!images) return;
    images->Clear();
    images->SetIcon(19, Converter(kOrange));
    images->SetIcon(20, Analyser());
    images->SetIcon(21, Converter(kGrey));
    images->SetIcon(22, Splitter());
    images->SetIcon(23, Joiner());
    images->SetIcon(24, Recorder());
    images->SetIcon(25, DiscWith([](QPainter& p) { Arrow(p, QPointF(25, 14), QPointF(25, 30), kGreen); }));
    images->SetIcon(26, DiscWith([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(19, 24, 7, 5));
        p.setPen(QPen(kBlue, 2));
        p.drawLine(QPointF(25.5, 26), QPointF(25.5, 14));
    }));
    images->SetIcon(27, DiscWith([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawEllipse(QRectF(21, 19, 10, 12));
        p.setBrush(kOrange);
        p.drawEllipse(QRectF(23.5, 23, 5, 7));
    }));
    images->SetIcon(28, Speech());
    images->SetIcon(29, Duplicator());
}

void FillPlayerImages(cImageList* images)
{
    if (!images) return;
    images->Clear();
    QStyle* style = QApplication::style();
    if (!style) return;
    images->SetIcon(0, style->standardIcon(QStyle::SP_MediaPlay));
    images->SetIcon(1, style->standardIcon(QStyle::SP_MediaPause));
    images->SetIcon(2, style->standardIcon(QStyle::SP_MediaStop));
}
