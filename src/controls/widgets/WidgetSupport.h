#pragma once
// Helpers the window widgets share: colour numbers, mouse and key codes as
// the windows expect them, drop handling and bar painting.
#include "platform/ColorNumbers.h"

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QStringList>
#include <cstdint>
#include <functional>

class QMimeData;
class QPainter;
class QPixmap;
class QRect;
class QWidget;

namespace widgets {

using platform::ColorFromNumber;

// Mouse button: 1 left, 2 right, 4 middle.
int ButtonCode(Qt::MouseButton button);
// Shift state: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftState(Qt::KeyboardModifiers modifiers);
// The virtual-key code of a Qt key (letters, digits, arrows, F keys and the
// common editing keys); 0 for keys without one.
int KeyCode(int qtKey);

// Takes drops on a widget: files from the desktop and drags of the program's
// own controls. Positions are in the pixels of `coordinates`, which is the
// target or one of its ancestors.
class DropReceiver : public QObject {
public:
    using FilesHandler = std::function<void(const QStringList& files, int button, int shift, QPointF pos)>;
    using ControlHandler = std::function<void(QObject* source, QPointF pos)>;

    DropReceiver(QWidget* target, QWidget* coordinates, ControlHandler onControl, FilesHandler onFiles = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool accepts(const QMimeData* data) const;

    QWidget* m_coordinates;
    ControlHandler m_onControl;
    FilesHandler m_onFiles;
};

// Paints a progress bar: a sunken frame, `fraction` (0 to 1) of it filled with
// the picture when there is one, else with the colour, and the text centred.
void PaintBar(QPainter& painter, const QRect& rect, double fraction, const QColor& color,
              const QPixmap& picture, const QString& text);

} // namespace widgets
