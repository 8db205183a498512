#pragma once
// The slider: a horizontal track from Min to Max. Change follows every change
// of Value (by the user or by the program); ScrollStart and ScrollEnd bracket
// a drag of the knob. A press on the track moves the knob there and starts a
// drag.
#include <QWidget>
#include <cstdint>

class QSlider;

class cSlider : public QWidget {
    Q_OBJECT
public:
    explicit cSlider(QWidget* parent = nullptr);

    int Min() const;
    void SetMin(int value);
    int Max() const;
    void SetMax(int value);
    int Value() const;
    void SetValue(int value);
    std::int32_t BackColor() const { return m_backColor; }
    void SetBackColor(std::int32_t color);

    // The slider inside (tests drive it).
    QSlider* Track() const { return m_slider; }

signals:
    void Change();
    void ScrollStart();
    void ScrollEnd();
    // One of the window's own controls was dropped here; x, y in twips.
    void DragDrop(QObject* source, float x, float y);

private:
    QSlider* m_slider;
    std::int32_t m_backColor = std::int32_t(0x8000000F);
};
