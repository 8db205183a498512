#pragma once
// What the progress bars share: a range from Min to Max and a Value in it.
#include <QWidget>

class RangeBar : public QWidget {
public:
    explicit RangeBar(QWidget* parent = nullptr) : QWidget(parent) {}

    int Min() const { return m_min; }
    void SetMin(int value) { m_min = value; update(); }
    int Max() const { return m_max; }
    void SetMax(int value) { m_max = value; update(); }
    int Value() const { return m_value; }
    void SetValue(int value) { m_value = value; update(); }

protected:
    // How much of the bar is filled, 0 for an empty or reversed range.
    double Fraction() const
    {
        const double span = m_max - m_min;
        return span > 0 ? (m_value - m_min) / span : 0.0;
    }

private:
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
};
