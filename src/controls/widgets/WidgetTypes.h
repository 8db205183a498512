#pragma once
// Conventions shared by the window widgets.
//
// Numbering: rows, columns, tree nodes, tabs and status-bar panels count from
// 1; toolbar buttons and rebar bands count from 0; icon numbers are positions
// in a cImageList and count from 0, -1 meaning no icon.
//
// Events are Qt signals named as the windows handle them. An event whose
// handler may answer (Cancel, a new text) passes pointers to those values:
// connect it directly, write through the pointers, and the control reads them
// back once every handler has returned.
//
// Colours are the program's 32-bit colour numbers (0x00BBGGRR, or 0x800000nn
// for a system colour).
#include <QString>
#include <cstdint>

class QWidget;

// A panel, tab, button or column given either by its key or by its number.
class cItemRef {
public:
    cItemRef(int index) : m_index(index) {}
    cItemRef(const QString& key) : m_key(key), m_byKey(true) {}
    cItemRef(const char* key) : m_key(QString::fromUtf8(key)), m_byKey(true) {}

    bool ByKey() const { return m_byKey; }
    const QString& Key() const { return m_key; }
    int Index() const { return m_index; }

private:
    QString m_key;
    int m_index = 0;
    bool m_byKey = false;
};

namespace widgets {

// The MIME type of a drag of one of the window's own controls (the pane
// splitter). The grid, the tree, the toolbar hosts and the slider raise
// DragDrop(source, x, y) when such a drag is dropped on them, x and y in twips.
inline constexpr const char* kControlDragMimeType = "application/x-tarvello-control-drag";

// Starts a drag of `source` (blocks until it is dropped or given up).
void StartControlDrag(QWidget* source);

} // namespace widgets
