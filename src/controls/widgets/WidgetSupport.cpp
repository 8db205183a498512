#include "controls/widgets/WidgetSupport.h"

#include "controls/widgets/WidgetTypes.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QUrl>
#include <QWidget>

#include <algorithm>

namespace widgets {

int ButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int ShiftState(Qt::KeyboardModifiers modifiers)
{
    int state = 0;
    if (modifiers & Qt::ShiftModifier) state |= 1;
    if (modifiers & Qt::ControlModifier) state |= 2;
    if (modifiers & Qt::AltModifier) state |= 4;
    return state;
}

int KeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 0x70 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    default: return 0;
    }
}

DropReceiver::DropReceiver(QWidget* target, QWidget* coordinates, ControlHandler onControl, FilesHandler onFiles)
    : QObject(target), m_coordinates(coordinates), m_onControl(std::move(onControl)), m_onFiles(std::move(onFiles))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool DropReceiver::accepts(const QMimeData* data) const
{
    if (!data) return false;
    if (m_onControl && data->hasFormat(kControlDragMimeType)) return true;
    return m_onFiles && data->hasUrls();
}

bool DropReceiver::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(event);
        if (!accepts(e->mimeData())) return false;
        e->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const QMimeData* data = e->mimeData();
        if (!accepts(data)) return false;
        auto* from = static_cast<QWidget*>(watched);
        const QPointF pos = from->mapTo(m_coordinates, e->position().toPoint());
        if (data->hasFormat(kControlDragMimeType)) {
            e->acceptProposedAction();
            m_onControl(e->source(), pos);
            return true;
        }
        QStringList files;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) files << url.toLocalFile();
        e->acceptProposedAction();
        m_onFiles(files, ButtonCode(Qt::LeftButton), ShiftState(e->modifiers()), pos);
        return true;
    }
    default: return false;
    }
}

void PaintBar(QPainter& painter, const QRect& rect, double fraction, const QColor& color, const QPixmap& picture,
              const QString& text)
{
    const QPalette pal = QApplication::palette();
    painter.fillRect(rect, pal.color(QPalette::Base));
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    const QRect inner = rect.adjusted(2, 2, -2, -2);
    const double part = std::clamp(fraction, 0.0, 1.0);
    const QRect filled(inner.left(), inner.top(), int(inner.width() * part + 0.5), inner.height());
    if (filled.width() > 0) {
        if (!picture.isNull()) {
            painter.drawTiledPixmap(filled, picture);
        } else {
            QLinearGradient shade(filled.topLeft(), filled.bottomLeft());
            shade.setColorAt(0, color.lighter(135));
            shade.setColorAt(0.5, color);
            shade.setColorAt(1, color.darker(115));
            painter.fillRect(filled, shade);
        }
    }
    if (!text.isEmpty()) {
        painter.setPen(pal.color(QPalette::Text));
        painter.drawText(rect, Qt::AlignCenter, text);
    }
}

void StartControlDrag(QWidget* source)
{
    auto* drag = new QDrag(source);
    auto* data = new QMimeData;
    data->setData(kControlDragMimeType, source->objectName().toUtf8());
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
}

} // namespace widgets
